#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>
#include <string_view>

namespace vorn {

// One JSON text written member by member. Texts from the rig (link bytes, received values, file
// names) are 8-bit text that need not be UTF-8: a byte sequence that is not becomes U+FFFD, so the
// answer is always valid JSON. A number that is not finite is written as null.
class CJsonText {
 public:
  CJsonText() = default;
  CJsonText(const CJsonText&) = delete;  // the writer points into the buffer
  CJsonText& operator=(const CJsonText&) = delete;

  CJsonText& Begin() {
    m_writer.StartObject();
    return *this;
  }
  CJsonText& End() {
    m_writer.EndObject();
    return *this;
  }
  CJsonText& BeginArray() {
    m_writer.StartArray();
    return *this;
  }
  CJsonText& EndArray() {
    m_writer.EndArray();
    return *this;
  }
  CJsonText& Key(std::string_view key);
  CJsonText& Text(std::string_view text);
  CJsonText& Number(double value);
  CJsonText& Integer(int value) {
    m_writer.Int(value);
    return *this;
  }
  CJsonText& Null() {
    m_writer.Null();
    return *this;
  }
  CJsonText& Flag(bool value) {
    m_writer.Bool(value);
    return *this;
  }
  // Members: a key and its value.
  CJsonText& Text(std::string_view key, std::string_view text) { return Key(key).Text(text); }
  CJsonText& Number(std::string_view key, double value) { return Key(key).Number(value); }
  CJsonText& Integer(std::string_view key, int value) { return Key(key).Integer(value); }
  CJsonText& Flag(std::string_view key, bool value) { return Key(key).Flag(value); }
  // A JSON text made elsewhere, taken as it stands.
  CJsonText& Raw(std::string_view json);

  [[nodiscard]] std::string Take() const { return std::string(m_buffer.GetString(), m_buffer.GetSize()); }

 private:
  rapidjson::StringBuffer m_buffer;
  rapidjson::Writer<rapidjson::StringBuffer> m_writer{m_buffer};
};

}  // namespace vorn
