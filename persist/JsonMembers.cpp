#include "persist/JsonMembers.h"

#include "support/Text.h"

namespace vorn::json {

const rapidjson::Value* Member(const rapidjson::Value& object, const char* key) {
  if (!object.IsObject()) return nullptr;
  const auto it = object.FindMember(key);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

std::optional<double> Number(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = Member(object, key);
  if (value == nullptr || !value->IsNumber()) return std::nullopt;
  const double number = value->GetDouble();
  if (!std::isfinite(number)) return std::nullopt;
  return number;
}

std::optional<int32_t> Integer(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = Member(object, key);
  if (value == nullptr || !value->IsInt()) return std::nullopt;  // a fraction or beyond 32 bits: absent
  return value->GetInt();
}

std::optional<std::string> Text(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = Member(object, key);
  if (value == nullptr || !value->IsString()) return std::nullopt;
  return NarrowToWide(std::string_view(value->GetString(), value->GetStringLength()));
}

std::optional<bool> Flag(const rapidjson::Value& object, const char* key) {
  const rapidjson::Value* value = Member(object, key);
  if (value == nullptr) return std::nullopt;
  return value->IsTrue();
}

namespace {

void Add(rapidjson::Value& object, const char* key, rapidjson::Value value, Allocator& allocator) {
  object.AddMember(rapidjson::StringRef(key), value, allocator);
}

}  // namespace

void AddNumber(rapidjson::Value& object, const char* key, double value, Allocator& allocator) {
  Add(object, key, rapidjson::Value(std::isfinite(value) ? value : 0.0), allocator);
}

void AddInteger(rapidjson::Value& object, const char* key, int32_t value, Allocator& allocator) {
  Add(object, key, rapidjson::Value(value), allocator);
}

void AddFlag(rapidjson::Value& object, const char* key, bool value, Allocator& allocator) {
  Add(object, key, rapidjson::Value(value), allocator);
}

void AddText(rapidjson::Value& object, const char* key, const std::string& value, Allocator& allocator) {
  const std::string narrow = WideToNarrow(value);
  rapidjson::Value text;
  text.SetString(narrow.data(), static_cast<rapidjson::SizeType>(narrow.size()), allocator);
  Add(object, key, std::move(text), allocator);
}

}  // namespace vorn::json
