// The control API's request bodies: every command's decoding takes any bytes, and either gives
// arguments that hold together or says why not, never both; what it gives can be sent again and
// decodes to the same. The request size guard takes any byte stream, cut anywhere.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/JsonText.h"
#include "control/RequestDecoding.h"
#include "control/RequestSizeGuard.h"
#include "control/Routes.h"
#include "SameRecords.h"

using namespace vorn::control;

namespace {

template <typename T>
void Check(const Decoded<T>& decoded) {
  if (decoded.value.has_value() == !decoded.error.empty()) std::abort();
}

template <typename Record>
std::string Json(const Record& record) {
  return RecordJson(record);  // what GET answers
}

void CheckSettings(std::string_view body) {
  const auto decoded = DecodeSettings(body, CSimSettings());
  Check(decoded);
  if (!decoded.Ok()) return;
  const CSimSettings& s = *decoded.value;
  if (s.m_mode < 0 || s.m_mode > 3 || s.m_nFlowSPPGain < 0 || s.m_nFlowSPPGain > 100) std::abort();
  if (!std::isfinite(s.m_fWOB) || !std::isfinite(s.fPipeSpeed_Trip)) std::abort();
  // What the API answers on GET is what a PUT takes back, unchanged but for the reader's last place.
  const auto again = DecodeSettings(Json(s), CSimSettings());
  if (!again.Ok() || !fuzz::SameRecords(Json(*again.value), Json(s))) std::abort();
}

void CheckLink(std::string_view body) {
  const auto decoded = DecodeLinkSettings(body, CWitsCommSettings());
  Check(decoded);
  if (!decoded.Ok()) return;
  const CWitsCommSettings& l = *decoded.value;
  if (l.commType < 0 || l.commType > 1 || l.tcpIpType < 0 || l.tcpIpType > 1) std::abort();
  if (l.nTcpIpPort < 1 || l.nTcpIpPort > 65535) std::abort();
  const auto again = DecodeLinkSettings(Json(l), CWitsCommSettings());
  if (!again.Ok() || !fuzz::SameRecords(Json(*again.value), Json(l))) std::abort();
}

void CheckItems(std::string_view body) {
  const auto decoded = DecodeItems(body);
  Check(decoded);
  if (!decoded.Ok()) return;
  for (const COutputItem& item : *decoded.value) {
    if (item.m_type < 0 || item.m_type > 19 || item.m_slidingRotating < 0 || item.m_slidingRotating > 2) std::abort();
    for (char c : item.m_strMnem + item.m_strD) {
      if (static_cast<unsigned char>(c) < 0x20) std::abort();
    }
    const auto again = DecodeItems("[" + Json(item) + "]");
    if (!again.Ok() || again.value->size() != 1 || !fuzz::SameRecords(Json(again.value->front()), Json(item))) {
      std::abort();
    }
  }
}

void CheckGuard(std::string_view bytes) {
  using Verdict = CRequestSizeGuard::Verdict;
  CRequestSizeGuard whole;
  const Verdict once = whole.Feed(bytes);
  const size_t cut = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % bytes.size();
  CRequestSizeGuard pieces;
  Verdict first = pieces.Feed(bytes.substr(0, cut));
  Verdict last = first == Verdict::Pass || first == Verdict::SendContinue ? pieces.Feed(bytes.substr(cut)) : first;
  // A refusal does not depend on where the stream was cut.
  const auto refused = [](Verdict v) { return v != Verdict::Pass && v != Verdict::SendContinue; };
  if (refused(once) != refused(last)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  Check(DecodeRunning(body));
  Check(DecodeTenTimes(body));
  Check(DecodeNoArguments(body));
  const auto mode = DecodeMode(body);
  Check(mode);
  if (mode.Ok() && (*mode.value < 0 || *mode.value > 3)) std::abort();
  const auto depth = DecodeDepth(body);
  Check(depth);
  if (depth.Ok() && !std::isfinite(*depth.value)) std::abort();
  const auto gain = DecodeGain(body);
  Check(gain);
  if (gain.Ok() && (*gain.value < 0 || *gain.value > 100)) std::abort();
  CheckSettings(body);
  CheckLink(body);
  CheckItems(body);
  CheckGuard(body);
  // The same bytes as a request's path: a route, or 404, or 405 with the methods to use.
  const RouteResult routed = ResolveRoute("PUT", body);
  if (routed.route ? routed.status != 0 : routed.status != 404 && (routed.status != 405 || routed.allow.empty())) {
    std::abort();
  }
  return 0;
}
