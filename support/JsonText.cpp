#include "support/JsonText.h"

#include <QString>
#include <cmath>

namespace vorn {

namespace {

bool IsUtf8(std::string_view text) {
  // Plain ASCII, by far the common case, needs no conversion.
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
      return wide.toUtf8() == QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
    }
  }
  return true;
}

}  // namespace

CJsonText& CJsonText::Key(std::string_view key) {
  m_writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
  return *this;
}

CJsonText& CJsonText::Text(std::string_view text) {
  if (IsUtf8(text)) {
    m_writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
  } else {
    const QByteArray mended = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    m_writer.String(mended.constData(), static_cast<rapidjson::SizeType>(mended.size()));
  }
  return *this;
}

CJsonText& CJsonText::Number(double value) {
  if (std::isfinite(value)) {
    m_writer.Double(value);
  } else {
    m_writer.Null();
  }
  return *this;
}

CJsonText& CJsonText::Raw(std::string_view json) {
  m_writer.RawValue(json.data(), json.size(), rapidjson::kObjectType);
  return *this;
}

}  // namespace vorn
