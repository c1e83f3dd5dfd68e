#include "faults/FaultOrder.h"

#include <rapidjson/error/en.h>

#include <array>
#include <charconv>
#include <cmath>
#include <set>

#include "support/DepthLimitedJson.h"
#include "support/Numbers.h"

namespace {

enum class ParamType { Number, Whole, Choice };

struct ParamDef {
  std::string_view key;
  ParamType type;
  double min;  // Number: above min; Whole: from min
  double max;
  std::vector<std::string_view> choices;
};

struct KindDef {
  FaultKind kind;
  std::string_view name;
  std::vector<ParamDef> params;
};

const ParamDef kSeconds{"seconds", ParamType::Number, 0.0, 86400.0, {}};

const std::array<KindDef, kFaultKindCount>& Catalogue() {
  static const std::array<KindDef, kFaultKindCount> catalogue{{
      {FaultKind::Silence, "silence", {kSeconds}},
      {FaultKind::Split, "split",
       {{"pieces", ParamType::Whole, 2, 1000, {}}, {"gap_ms", ParamType::Whole, 0, 60000, {}}}},
      {FaultKind::Pace, "pace", {{"bps", ParamType::Number, 0.0, 10'000'000, {}}}},
      {FaultKind::LineEnds, "line-ends", {{"style", ParamType::Choice, 0, 0, {"lf", "cr", "none"}}}},
      {FaultKind::DropEnd, "drop-end", {}},
      {FaultKind::DropStart, "drop-start", {}},
      {FaultKind::Garbage, "garbage", {{"bytes", ParamType::Whole, 1, 65536, {}}}},
      {FaultKind::BadValue, "bad-value", {{"kind", ParamType::Choice, 0, 0, {"text", "null", "range", "mark"}}}},
      {FaultKind::BadLine, "bad-line", {{"kind", ParamType::Choice, 0, 0, {"short", "blank", "id"}}}},
      {FaultKind::Oversize, "oversize", {{"what", ParamType::Choice, 0, 0, {"item", "frame"}}}},
      {FaultKind::Duplicate, "duplicate", {}},
      {FaultKind::Swap, "swap", {}},
      {FaultKind::Disconnect, "disconnect", {kSeconds}},
  }};
  return catalogue;
}

const ParamDef kEvery{"every", ParamType::Whole, 1, 1e9, {}};
const ParamDef kProbability{"p", ParamType::Number, 0.0, 1.0, {}};
// From 0 ("from min" is checked below); at most 2,000,000 s (23 days), so that a plan's times stay
// within the signed reach of the 32-bit millisecond clock.
const ParamDef kAt{"at", ParamType::Number, -1.0, 2e6, {}};

const KindDef& Def(FaultKind kind) { return Catalogue()[static_cast<std::size_t>(kind)]; }

// A fault with its kind's defaults.
FaultOrder Defaults(FaultKind kind) {
  FaultOrder order;
  order.kind = kind;
  switch (kind) {
    case FaultKind::Silence: order.seconds = 31.0; break;
    case FaultKind::Disconnect: order.seconds = 5.0; break;
    case FaultKind::LineEnds: order.choice = "lf"; break;
    case FaultKind::BadValue: order.choice = "text"; break;
    case FaultKind::BadLine: order.choice = "short"; break;
    case FaultKind::Oversize: order.choice = "item"; break;
    default: break;
  }
  return order;
}

// The shortest text that reads back as the same double.
std::string NumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A bound of a range as people write it: 10000000, not 1e+07.
std::string BoundText(double bound) { return std::to_string(static_cast<long long>(bound)); }

std::string RangeText(const ParamDef& def) {
  switch (def.type) {
    case ParamType::Whole:
      return "a whole number from " + BoundText(def.min) + " to " + BoundText(def.max);
    case ParamType::Number:
      if (def.key == "at") return "a number of seconds from 0 to " + BoundText(def.max);
      return "a number above " + BoundText(def.min) + " and at most " + BoundText(def.max);
    case ParamType::Choice: {
      std::string text = "one of ";
      for (std::size_t i = 0; i < def.choices.size(); ++i) text += (i ? ", " : "") + std::string(def.choices[i]);
      return text;
    }
  }
  return {};
}

bool InRange(const ParamDef& def, double value) {
  if (!std::isfinite(value) || value > def.max) return false;
  if (def.key == "at") return value >= 0.0;
  if (def.type == ParamType::Whole) return value >= def.min && value == std::floor(value);
  return value > def.min;
}

// Stores a checked value in its field.
void Store(FaultOrder& order, std::string_view key, double number, std::string_view choice) {
  if (key == "seconds") order.seconds = number;
  else if (key == "pieces") order.pieces = static_cast<int32_t>(number);
  else if (key == "gap_ms") order.gapMs = static_cast<int32_t>(number);
  else if (key == "bps") order.bps = number;
  else if (key == "bytes") order.bytes = static_cast<int32_t>(number);
  else if (key == "every") order.every = static_cast<int64_t>(number);
  else if (key == "p") order.p = number;
  else if (key == "at") order.at = number;
  else order.choice = std::string(choice);
}

// One parameter's value, given as text (`fromText`) or as a JSON value; an error message or empty.
class CParamReader {
 public:
  CParamReader(FaultOrder& order, bool allowAt) : m_order(order), m_allowAt(allowAt) {}

  [[nodiscard]] std::string Prefix() const { return "Fault '" + std::string(FaultName(m_order.kind)) + "': "; }

  // The definition of `key`, or the error.
  const ParamDef* Find(std::string_view key, std::string& error) {
    const KindDef& def = Def(m_order.kind);
    const ParamDef* found = nullptr;
    for (const ParamDef& param : def.params) {
      if (param.key == key) found = &param;
    }
    if (key == "every") found = &kEvery;
    if (key == "p") found = &kProbability;
    if (key == "at" && m_allowAt) found = &kAt;
    if (found == nullptr) {
      std::string known;
      for (const ParamDef& param : def.params) known += std::string(param.key) + ", ";
      known += m_allowAt ? "every, p, at" : "every, p";
      error = Prefix() + "unknown parameter '" + std::string(key) + "' (its parameters: " + known + ").";
      return nullptr;
    }
    if (!m_seen.insert(std::string(key)).second) {
      error = Prefix() + "parameter '" + std::string(key) + "' is given twice.";
      return nullptr;
    }
    return found;
  }

  std::string Take(const ParamDef& def, std::optional<double> number, std::optional<std::string_view> choice,
                   std::string_view given) {
    bool good = false;
    if (def.type == ParamType::Choice) {
      for (std::string_view option : def.choices) good = good || (choice && *choice == option);
    } else {
      good = number && InRange(def, *number);
    }
    if (!good) {
      return Prefix() + "parameter '" + std::string(def.key) + "' must be " + RangeText(def) + ", not " +
             std::string(given) + ".";
    }
    Store(m_order, def.key, number.value_or(0.0), choice.value_or(""));
    return {};
  }

  [[nodiscard]] std::string CheckTrigger() const {
    if (m_seen.count("every") && m_seen.count("p")) return Prefix() + "give 'every' or 'p', not both.";
    return {};
  }

 private:
  FaultOrder& m_order;
  bool m_allowAt;
  std::set<std::string> m_seen;
};

std::optional<FaultKind> KindNamed(std::string_view name) {
  for (const KindDef& def : Catalogue()) {
    if (def.name == name) return def.kind;
  }
  return std::nullopt;
}

std::string UnknownFault(std::string_view name) {
  return "Unknown fault '" + std::string(name) + "' (the faults: " + FaultNames() + ").";
}

std::string JsonValueText(const rapidjson::Value& value) {
  if (value.IsString()) return "'" + std::string(value.GetString(), value.GetStringLength()) + "'";
  if (value.IsNumber()) return NumberText(value.GetDouble());
  if (value.IsBool()) return value.GetBool() ? "true" : "false";
  if (value.IsNull()) return "null";
  return value.IsArray() ? "an array" : "an object";
}

// A value with its JSON type, for a value of the wrong type: "the string '3'", "true", "an array".
std::string JsonTypedText(const rapidjson::Value& value) {
  if (value.IsString()) {
    std::string text = "the string ";
    text += JsonValueText(value);
    return text;
  }
  if (value.IsNumber()) {
    std::string text = "the number ";
    text += JsonValueText(value);
    return text;
  }
  return JsonValueText(value);
}

}  // namespace

std::string_view FaultName(FaultKind kind) { return Def(kind).name; }

std::string FaultNames() {
  std::string names;
  for (const KindDef& def : Catalogue()) names += (names.empty() ? "" : ", ") + std::string(def.name);
  return names;
}

bool IsTimedFault(FaultKind kind) { return kind == FaultKind::Silence || kind == FaultKind::Disconnect; }

std::string FaultText(const FaultOrder& order) {
  std::vector<std::string> parts;
  for (const ParamDef& param : Def(order.kind).params) {
    std::string value;
    if (param.key == "seconds") value = NumberText(order.seconds);
    else if (param.key == "pieces") value = std::to_string(order.pieces);
    else if (param.key == "gap_ms") value = std::to_string(order.gapMs);
    else if (param.key == "bps") value = NumberText(order.bps);
    else if (param.key == "bytes") value = std::to_string(order.bytes);
    else value = order.choice;
    parts.push_back(std::string(param.key) + "=" + value);
  }
  if (order.every > 0) parts.push_back("every=" + std::to_string(order.every));
  if (order.p > 0.0) parts.push_back("p=" + NumberText(order.p));
  if (order.at) parts.push_back("at=" + NumberText(*order.at));
  std::string text(FaultName(order.kind));
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? ":" : ",") + parts[i];
  return text;
}

Parsed<FaultOrder> ParseFaultText(std::string_view text) {
  const std::size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  const std::optional<FaultKind> kind = KindNamed(name);
  if (!kind) return {std::nullopt, name.empty() ? "A fault needs a name (the faults: " + FaultNames() + ")." : UnknownFault(name)};
  FaultOrder order = Defaults(*kind);
  CParamReader reader(order, false);
  std::string_view rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view pair = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      return {std::nullopt, reader.Prefix() + "'" + std::string(pair) + "' is no KEY=VALUE pair."};
    }
    const std::string_view key = pair.substr(0, equals);
    const std::string_view value = pair.substr(equals + 1);
    std::string error;
    const ParamDef* def = reader.Find(key, error);
    if (def == nullptr) return {std::nullopt, error};
    std::optional<double> number;
    if (def->type != ParamType::Choice && vorn::IsWholeDecimal(value) && value.find(' ') == std::string_view::npos) {
      number = vorn::ReadDecimal(value);
    }
    // Appended, not "text" + std::string: g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
    error = reader.Take(*def, number, value, std::string("'").append(value).append("'"));
    if (!error.empty()) return {std::nullopt, error};
  }
  if (std::string error = reader.CheckTrigger(); !error.empty()) return {std::nullopt, error};
  return {order, {}};
}

Parsed<FaultOrder> ParseFaultJson(const rapidjson::Value& object, bool allowAt) {
  if (!object.IsObject()) return {std::nullopt, "A fault must be a JSON object with the member \"fault\"."};
  const auto nameMember = object.FindMember("fault");
  if (nameMember == object.MemberEnd() || !nameMember->value.IsString()) {
    return {std::nullopt, "A fault needs the member \"fault\" with its name (the faults: " + FaultNames() + ")."};
  }
  const std::string name(nameMember->value.GetString(), nameMember->value.GetStringLength());
  const std::optional<FaultKind> kind = KindNamed(name);
  if (!kind) return {std::nullopt, UnknownFault(name)};
  FaultOrder order = Defaults(*kind);
  CParamReader reader(order, allowAt);
  for (auto member = object.MemberBegin(); member != object.MemberEnd(); ++member) {
    const std::string key(member->name.GetString(), member->name.GetStringLength());
    if (key == "fault") continue;
    std::string error;
    const ParamDef* def = reader.Find(key, error);
    if (def == nullptr) return {std::nullopt, error};
    const rapidjson::Value& value = member->value;
    std::optional<double> number;
    std::optional<std::string_view> choice;
    if (value.IsNumber()) number = value.GetDouble();
    if (value.IsString()) choice = std::string_view(value.GetString(), value.GetStringLength());
    const bool choiceParam = def->type == ParamType::Choice;
    if (choiceParam ? !value.IsString() : !value.IsNumber()) {
      // A value of the wrong JSON type: say which type is wanted, and what came.
      error = reader.Prefix();
      error += "parameter '";
      error += key;
      error += choiceParam ? "' must be a JSON string, " : "' must be a JSON number, ";
      error += RangeText(*def);
      error += ", not ";
      error += JsonTypedText(value);
      error += '.';
      return {std::nullopt, error};
    }
    error = reader.Take(*def, number, choiceParam ? choice : std::nullopt, JsonValueText(value));
    if (!error.empty()) return {std::nullopt, error};
  }
  if (std::string error = reader.CheckTrigger(); !error.empty()) return {std::nullopt, error};
  return {order, {}};
}

std::optional<uint64_t> ParseSeed(std::string_view text) {
  uint64_t seed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return seed;
}

Parsed<FaultPlan> ParseFaultPlan(std::string_view json) {
  rapidjson::Document document;
  if (const vorn::JsonParseResult parsed = vorn::ParseJsonWithinDepth(document, json); !parsed) {
    return {std::nullopt, "Fault plan: not JSON at offset " + std::to_string(parsed.offset) + ": " + parsed.message};
  }
  FaultPlan plan;
  const rapidjson::Value* entries = &document;
  if (document.IsObject()) {
    for (auto member = document.MemberBegin(); member != document.MemberEnd(); ++member) {
      const std::string_view key(member->name.GetString(), member->name.GetStringLength());
      if (key != "faults" && key != "seed") {
        return {std::nullopt, "Fault plan: unknown member '" + std::string(key) + "' (a plan has \"seed\" and \"faults\")."};
      }
    }
    const auto faults = document.FindMember("faults");
    if (faults == document.MemberEnd()) return {std::nullopt, "Fault plan: the member \"faults\" is missing."};
    entries = &faults->value;
    const auto seed = document.FindMember("seed");
    if (seed != document.MemberEnd()) {
      if (!seed->value.IsUint64()) return {std::nullopt, "Fault plan: \"seed\" must be a whole number from 0 to 2^64-1."};
      plan.seed = seed->value.GetUint64();
    }
  }
  if (!entries->IsArray()) return {std::nullopt, "Fault plan: a list of faults (a JSON array) is expected."};
  for (rapidjson::SizeType i = 0; i < entries->Size(); ++i) {
    Parsed<FaultOrder> entry = ParseFaultJson((*entries)[i], true);
    if (!entry.ok()) return {std::nullopt, "Fault plan, entry " + std::to_string(i + 1) + ": " + entry.error};
    plan.entries.push_back(*entry.value);
  }
  return {plan, {}};
}
