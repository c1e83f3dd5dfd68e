#pragma once

#include <rapidjson/document.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

// Typed reading and writing of JSON members. A member of another type than the one asked for counts
// as absent, so no getter is ever called on a value of the wrong type.
namespace vorn::json {

using Allocator = rapidjson::Document::AllocatorType;

[[nodiscard]] const rapidjson::Value* Member(const rapidjson::Value& object, const char* key);

[[nodiscard]] std::optional<double> Number(const rapidjson::Value& object, const char* key);
[[nodiscard]] std::optional<int32_t> Integer(const rapidjson::Value& object, const char* key);  // whole, 32-bit
[[nodiscard]] std::optional<std::string> Text(const rapidjson::Value& object, const char* key);
// true only for the literal true; empty when the member is absent.
[[nodiscard]] std::optional<bool> Flag(const rapidjson::Value& object, const char* key);

// A member is taken only when present and of its type; otherwise the field stays as it is.
template <typename T, typename Read>
void IfPresent(T& field, const rapidjson::Value& object, const char* key, Read read) {
  if (const auto value = read(object, key)) field = static_cast<T>(*value);
}

// Writers. A number that is not finite is written as 0: JSON has no text for it, and the writer
// would stop half-way and leave a cut-off file.
void AddNumber(rapidjson::Value& object, const char* key, double value, Allocator& allocator);
void AddInteger(rapidjson::Value& object, const char* key, int32_t value, Allocator& allocator);
void AddFlag(rapidjson::Value& object, const char* key, bool value, Allocator& allocator);
void AddText(rapidjson::Value& object, const char* key, const std::string& value, Allocator& allocator);

}  // namespace vorn::json
