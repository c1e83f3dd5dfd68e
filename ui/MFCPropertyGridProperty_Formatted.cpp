#include "ui/MFCPropertyGridProperty_Formatted.h"

CMFCPropertyGridProperty_Formatted::CMFCPropertyGridProperty_Formatted(QString name, double value,
                                                                       QString description, std::string format)
    : CVornPropertyGridProperty(std::move(name), value, std::move(description)), m_strFormat(std::move(format)) {}

// QString::asprintf formats numbers in the C locale, so a decimal-comma desktop still shows "0.25".
QString CMFCPropertyGridProperty_Formatted::FormatProperty() const {
  return QString::asprintf(m_strFormat.c_str(), GetNumber());
}
