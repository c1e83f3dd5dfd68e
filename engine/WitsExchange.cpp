// Frames out on the WITS link, frames in from it, and the skid link's gain command.
#include <algorithm>

#include "engine/RigSim.h"
#include "engine/WitsLog.h"
#include "support/Console.h"
#include "support/Text.h"
#include "support/TextFile.h"
#include "support/VornTimer.h"
#include "wits/WitsFrame.h"

namespace {

// Received bytes as text. A zero byte is dropped: it cannot stand in text, and what follows it in
// the same arrival is read as usual. The text between zero bytes moves as a whole, not byte by
// byte: random bytes hold a zero in every 256.
std::string ReceivedText(const std::vector<uint8_t>& bytes) {
  std::string text = vorn::NarrowToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  std::size_t kept = text.find('\0');
  if (kept == std::string::npos) return text;
  for (std::size_t from = kept + 1; from < text.size();) {
    const std::size_t zero = std::min(text.find('\0', from), text.size());
    std::char_traits<char>::move(text.data() + kept, text.data() + from, zero - from);
    kept += zero - from;
    from = zero + 1;
  }
  text.resize(kept);
  return text;
}

// The received-items table keeps the start of a value, so that long values from a peer cannot fill
// memory for as long as the run lasts; the log shows what came.
constexpr std::size_t kMaxTableValueBytes = 256;

std::string_view TableValue(std::string_view value) {
  if (value.size() <= kMaxTableValueBytes) return value;
  std::size_t end = kMaxTableValueBytes;
  // Not inside a UTF-8 character: step back over at most three continuation bytes.
  for (int i = 0; i < 3 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80; ++i) --end;
  return value.substr(0, end);
}

}  // namespace

void CRigSim::DoWitsOut(FrameGrouping grouping) {
  vorn::CVornTimer timer("CRigSim::DoWitsOut", m_clocks.milliseconds);
  if (m_pFrameSink != nullptr) {
    std::vector<WitsOutLine> lines;
    for (COutputItem& item : RunItems()) {
      if (!item.m_bSendPending) continue;
      lines.push_back({item.m_nWitsRecord, item.m_nWitsChannel, item.m_strValue});
      item.m_bSendPending = false;
    }
    m_pFrameSink->SendFrame(lines, grouping);
    return;
  }
  std::vector<std::string> lines;
  for (COutputItem& item : RunItems()) {
    if (!item.m_bSendPending) continue;
    lines.push_back(FormatWitsDataLine(item.m_nWitsRecord, item.m_nWitsChannel, item.m_strValue));
    item.m_bSendPending = false;
  }
  const std::string frame = BuildWitsFrame(lines);
  const std::string bytes = vorn::WideToNarrow(frame);
  // Bytes the link refuses are lost; the items still count as sent, and the entry says why.
  const LinkWrite outcome = m_witsLink.Write(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  vorn::AppendTextFile(m_strWitsLogPath, WitsOutEntry(m_clocks.nowSeconds(), frame, LinkWriteRefusal(outcome)));
  if (m_pTraffic != nullptr) m_pTraffic->OnFrameOut(bytes, outcome);
}

void CRigSim::CommsReceiverIF_OnReceive(std::vector<uint8_t> bytes, int32_t linkId) {
  if (linkId == WitsLink) {
    const uint64_t client = m_witsLink.ArrivalClient();
    ReceiveWits(ReceivedText(bytes), client == 0 ? m_strWitsInBuffer : m_witsInClientBuffers[client]);
  } else if (linkId == SkidLink) {
    ReceiveSkidCommand(std::string(bytes.begin(), bytes.end()));
  }
}

void CRigSim::CommsReceiverIF_OnClientGone(uint64_t clientId, int32_t linkId) {
  if (linkId == WitsLink) m_witsInClientBuffers.erase(clientId);
}

void CRigSim::ReceiveWits(const std::string& text, std::string& buffer) {
  buffer += text;
  std::size_t validFrames = 0;
  const std::vector<WitsDataLine> lines = ParseWitsFrames(buffer, &validFrames);
  if (const std::size_t dropped = BoundWitsInBuffer(buffer); dropped > 0) {
    vorn::Console() << "WITS input: " << dropped << " bytes without a complete frame dropped\n";
  }
  const double now = m_clocks.nowSeconds();
  for (const WitsDataLine& line : lines) {
    CWitsInItem& entry = m_witsInItems[WitsItemKey{line.record, line.item}];
    entry.description = FindWitsDescription(*m_witsDictionary, line.record, line.item);
    entry.valueText = TableValue(line.valueText);
    entry.timeReceived = now;
  }
  vorn::CVornTimer timer("CRigSim::CommsReceiverIF_OnReceive", m_clocks.milliseconds);
  if (vorn::ConsoleEnabled()) {
    vorn::Console() << std::string(26, 'v') << '\n' << text << '\n' << std::string(26, '^') << '\n';
  }
  LogUnloggedWitsIn();
  if (m_witsInLogBudget.Admit(m_clocks.milliseconds(), text.size())) {
    vorn::AppendTextFile(m_strWitsLogPath, WitsInEntry(m_clocks.nowSeconds(), text));
  }
  if (m_pTraffic != nullptr) m_pTraffic->OnArrival(text);
  AnswerArrival(validFrames);
}

void CRigSim::AnswerArrival(std::size_t validFrames) {
  switch (m_witsLink.m_settings.answerMode) {
    case AnswerValidOneFrame:
      if (validFrames > 0) DoWitsOut(FrameGrouping::OneFrame);
      break;
    case AnswerValidPerRecord:
      if (validFrames > 0) DoWitsOut(FrameGrouping::OnePerRecord);
      break;
    default:
      // Any arrival on the WITS link is the receiver's request for data.
      if (m_settings.m_bRequiresPing) DoWitsOut();
      break;
  }
}

void CRigSim::LogUnloggedWitsIn(bool runStops) {
  if (const std::optional<UnloggedArrivals> unlogged = m_witsInLogBudget.EndMinute(m_clocks.milliseconds(), runStops)) {
    vorn::AppendTextFile(m_strWitsLogPath, WitsUnloggedEntry(m_clocks.nowSeconds(), *unlogged));
  }
}

void CRigSim::ReceiveSkidCommand(const std::string& bytes) {
  vorn::Console() << "skid comms\n" << bytes << '\n';
  if (const std::optional<int32_t> gain = ReadSkidGain(vorn::NarrowToWide(bytes))) {
    vorn::Console() << "skid comms DP = " << *gain << '\n';
    m_settings.m_nFlowSPPGain = *gain;
  }
}
