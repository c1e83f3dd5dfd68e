#include "control/RequestDecoding.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <QHostAddress>
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>

#include "engine/RigMode.h"
#include "support/DepthLimitedJson.h"

namespace vorn::control {

namespace {

using rapidjson::Value;

// Iterative parsing: a body nested thousands of levels deep must not exhaust the stack.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag;

struct Range {
  int min;
  int max;
};

// Integer members that only take some values.
const std::map<std::string, Range, std::less<>>& IntegerRanges() {
  static const std::map<std::string, Range, std::less<>> ranges = {
      {"m_mode", {0, kRigModeCount - 1}}, {"m_nFlowSPPGain", {0, 100}},
      {"m_type", {ItemDepth, ItemRamp}},  {"m_slidingRotating", {FilterBoth, FilterRotating}},
      {"commType", {Comm, TcpIp}},        {"tcpIpType", {Master, Slave}},
      {"nCommPort", {1, INT_MAX}},        {"nBaudRate", {1, INT_MAX}},
      {"nTcpIpPort", {1, 65535}},
      {"answerMode", {AnswerAsConfigured, AnswerValidPerRecord}}, {"lineEnd", {LineEndCrLf, LineEndCr}},
      {"frameGrouping", {GroupOneFrame, GroupPerRecord}}, {"nMaxClients", {1, kMaxLinkClients}},
  };
  return ranges;
}

// Appended, not "text" + std::string: g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
std::string Quoted(std::string_view name) { return std::string("'").append(name).append("'"); }

std::string Name(const Value& key) { return std::string(key.GetString(), key.GetStringLength()); }

// Parses the body; an error text when it is not JSON or its top level is not of the wanted kind.
std::string Parse(std::string_view body, rapidjson::Document& document, bool wantArray = false) {
  const char* wanted = wantArray ? "a JSON array" : "a JSON object";
  if (body.empty()) return std::string("the body is empty; ") + wanted + " is expected";
  if (const JsonParseResult parsed = ParseJsonWithinDepth<kParseFlags>(document, body); !parsed) {
    return std::string("malformed JSON: ") + parsed.message + " (at byte " + std::to_string(parsed.offset) + ")";
  }
  if (wantArray ? !document.IsArray() : !document.IsObject()) return std::string("the body must be ") + wanted;
  return {};
}

// Refuses members that `known` does not hold and members given twice.
std::string CheckMemberNames(const Value& object, const std::set<std::string, std::less<>>& known,
                             const std::string& prefix = {}) {
  std::set<std::string, std::less<>> seen;
  for (const auto& member : object.GetObject()) {
    const std::string name = Name(member.name);
    if (!known.contains(name)) return prefix + "unknown member " + Quoted(name);
    if (!seen.insert(name).second) return prefix + "member " + Quoted(name) + " is given twice";
  }
  return {};
}

// The kind of each member as a record writes it into its file: that is the type a body must give.
enum class Kind { Flag, Integer, Number, Text };

template <typename Record>
std::map<std::string, Kind, std::less<>> MembersOf(const Record& record) {
  rapidjson::Document document(rapidjson::kObjectType);
  record.ToJson(document, document.GetAllocator());
  std::map<std::string, Kind, std::less<>> kinds;
  for (const auto& member : document.GetObject()) {
    const Value& v = member.value;
    kinds[Name(member.name)] = v.IsBool()     ? Kind::Flag
                               : v.IsString() ? Kind::Text
                               : v.IsDouble() ? Kind::Number
                                              : Kind::Integer;
  }
  return kinds;
}

std::string CheckInteger(std::string_view name, const Value& value) {
  const auto range = IntegerRanges().find(name);
  const int min = range == IntegerRanges().end() ? INT_MIN : range->second.min;
  const int max = range == IntegerRanges().end() ? INT_MAX : range->second.max;
  if (value.IsInt() && value.GetInt() >= min && value.GetInt() <= max) return {};
  if (min == INT_MIN) return Quoted(name) + " must be a whole number that fits in 32 bits";
  if (max == INT_MAX) return Quoted(name) + " must be a whole number of at least " + std::to_string(min);
  return Quoted(name) + " must be a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}

std::string CheckText(std::string_view name, const Value& value) {
  if (!value.IsString()) return Quoted(name) + " must be a string";
  const std::string_view text(value.GetString(), value.GetStringLength());
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    return Quoted(name) + " must not hold control characters";
  }
  if (name == "strListenAddress" && !text.empty()) {
    QHostAddress address;
    if (!address.setAddress(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))) {
      return Quoted(name) + " must be an IP address, or empty for every address";
    }
  }
  if (name == "strIpAddress") {
    QHostAddress address;
    if (!address.setAddress(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())))) {
      return Quoted(name) + " must be an IP address";
    }
  }
  return {};
}

// Checks every member of `object` against the record's members and their types and ranges.
std::string CheckRecordMembers(const Value& object, const std::map<std::string, Kind, std::less<>>& kinds,
                               const std::set<std::string, std::less<>>& ignored = {}, const std::string& prefix = {}) {
  std::set<std::string, std::less<>> known(ignored);
  for (const auto& [name, kind] : kinds) known.insert(name);
  if (std::string error = CheckMemberNames(object, known, prefix); !error.empty()) return error;
  for (const auto& member : object.GetObject()) {
    const std::string name = Name(member.name);
    const auto kind = kinds.find(name);
    if (kind == kinds.end()) continue;  // accepted and ignored
    const Value& value = member.value;
    std::string error;
    switch (kind->second) {
      case Kind::Flag:
        if (!value.IsBool()) error = Quoted(name) + " must be true or false";
        break;
      case Kind::Integer: error = CheckInteger(name, value); break;
      case Kind::Number:
        if (!value.IsNumber() || !std::isfinite(value.GetDouble())) error = Quoted(name) + " must be a finite number";
        break;
      case Kind::Text: error = CheckText(name, value); break;
    }
    if (!error.empty()) return prefix + error;
  }
  return {};
}

// The one member of a command body, after the body and its member names were checked.
template <typename T>
Decoded<T> Refuse(std::string error) {
  return {std::nullopt, std::move(error)};
}

template <typename T, typename Read>
Decoded<T> DecodeOne(std::string_view body, const char* key, Read read) {
  rapidjson::Document document;
  if (std::string error = Parse(body, document); !error.empty()) return Refuse<T>(error);
  if (std::string error = CheckMemberNames(document, {key}); !error.empty()) return Refuse<T>(error);
  const auto member = document.FindMember(key);
  if (member == document.MemberEnd()) return Refuse<T>("missing member " + Quoted(key));
  return read(member->value);
}

Decoded<bool> DecodeFlag(std::string_view body, const char* key) {
  return DecodeOne<bool>(body, key, [key](const Value& value) -> Decoded<bool> {
    if (!value.IsBool()) return Refuse<bool>(Quoted(key) + " must be true or false");
    return {value.GetBool(), {}};
  });
}

}  // namespace

Decoded<bool> DecodeRunning(std::string_view body) { return DecodeFlag(body, "running"); }

Decoded<bool> DecodeTenTimes(std::string_view body) { return DecodeFlag(body, "on"); }

Decoded<int> DecodeMode(std::string_view body) {
  return DecodeOne<int>(body, "mode", [](const Value& value) -> Decoded<int> {
    const auto& names = RigModeNames();
    if (value.IsInt() && value.GetInt() >= 0 && value.GetInt() < kRigModeCount) return {value.GetInt(), {}};
    if (value.IsString()) {
      const QString text = QString::fromUtf8(value.GetString(), static_cast<qsizetype>(value.GetStringLength()));
      for (size_t i = 0; i < names.size(); ++i) {
        if (text.compare(QString::fromStdString(names[i]), Qt::CaseInsensitive) == 0) {
          return {static_cast<int>(i), {}};
        }
      }
    }
    std::string list;
    for (const auto& name : names) list += "\"" + name + "\", ";
    return Refuse<int>("'mode' must be one of " + list + "or an index from 0 to " + std::to_string(kRigModeCount - 1));
  });
}

Decoded<double> DecodeDepth(std::string_view body) {
  return DecodeOne<double>(body, "depth", [](const Value& value) -> Decoded<double> {
    if (!value.IsNumber() || !std::isfinite(value.GetDouble()))
      return Refuse<double>("'depth' must be a finite number");
    return {value.GetDouble(), {}};
  });
}

Decoded<int> DecodeGain(std::string_view body) {
  return DecodeOne<int>(body, "percent", [](const Value& value) -> Decoded<int> {
    if (std::string error = CheckInteger("m_nFlowSPPGain", value); !error.empty()) {
      return Refuse<int>("'percent' must be a whole number from 0 to 100");
    }
    return {value.GetInt(), {}};
  });
}

Decoded<bool> DecodeNoArguments(std::string_view body) {
  if (std::all_of(body.begin(), body.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; })) {
    return {true, {}};
  }
  rapidjson::Document document;
  if (std::string error = Parse(body, document); !error.empty()) return Refuse<bool>(error);
  if (std::string error = CheckMemberNames(document, {}); !error.empty()) return Refuse<bool>(error);
  return {true, {}};
}

Decoded<CSimSettings> DecodeSettings(std::string_view body, const CSimSettings& current) {
  rapidjson::Document document;
  if (std::string error = Parse(body, document); !error.empty()) return Refuse<CSimSettings>(error);
  static const auto kinds = MembersOf(CSimSettings());
  if (std::string error = CheckRecordMembers(document, kinds); !error.empty()) return Refuse<CSimSettings>(error);
  CSimSettings settings = current;
  settings.FromJson(document);  // takes exactly the members present, all checked above
  return {settings, {}};
}

Decoded<CWitsCommSettings> DecodeLinkSettings(std::string_view body, const CWitsCommSettings& current) {
  rapidjson::Document document;
  if (std::string error = Parse(body, document); !error.empty()) return Refuse<CWitsCommSettings>(error);
  // The wire profile's and the server's members are saved only away from their defaults: a record
  // with all of them so.
  static const auto kinds = MembersOf([] {
    CWitsCommSettings all;
    all.fKeepAliveInterval = 0.5;
    all.strKeepAliveText.clear();
    all.answerMode = all.lineEnd = all.frameGrouping = 1;
    all.nMaxClients = 2;
    all.strListenAddress = "127.0.0.1";
    return all;
  }());
  if (std::string error = CheckRecordMembers(document, kinds); !error.empty()) {
    return Refuse<CWitsCommSettings>(error);
  }
  CWitsCommSettings settings = current;
  settings.FromJson(document);
  return {settings, {}};
}

Decoded<std::vector<COutputItem>> DecodeItems(std::string_view body) {
  using Items = std::vector<COutputItem>;
  rapidjson::Document document;
  if (std::string error = Parse(body, document, true); !error.empty()) return Refuse<Items>(error);
  static const auto kinds = MembersOf(COutputItem());
  static const std::set<std::string, std::less<>> shownOnly = {"valueText", "sendPending"};
  Items items;
  items.reserve(document.Size());
  for (rapidjson::SizeType i = 0; i < document.Size(); ++i) {
    const Value& element = document[i];
    const std::string prefix = "item " + std::to_string(i) + ": ";
    if (!element.IsObject()) return Refuse<Items>(prefix + "must be a JSON object");
    if (std::string error = CheckRecordMembers(element, kinds, shownOnly, prefix); !error.empty()) {
      return Refuse<Items>(error);
    }
    COutputItem& item = items.emplace_back();
    item.FromJson(element);
  }
  return {std::move(items), {}};
}

Decoded<FaultOrder> DecodeFault(std::string_view body) {
  rapidjson::Document document;
  if (std::string error = Parse(body, document); !error.empty()) return Refuse<FaultOrder>(error);
  Parsed<FaultOrder> fault = ParseFaultJson(document);
  if (!fault.ok()) return Refuse<FaultOrder>(fault.error);
  return {fault.value, {}};
}

Decoded<FaultPlan> DecodeFaultPlan(std::string_view body) {
  Parsed<FaultPlan> plan = ParseFaultPlan(body);
  if (!plan.ok()) return Refuse<FaultPlan>(plan.error);
  return {plan.value, {}};
}

}  // namespace vorn::control
