#pragma once

#include <string>

#include "ui/VornPropertyGridProperty.h"

// A numeric row whose value is displayed through a printf format ("%g": 1, 0.25, 8000, 1e+06).
class CMFCPropertyGridProperty_Formatted : public CVornPropertyGridProperty {
 public:
  CMFCPropertyGridProperty_Formatted(QString name, double value, QString description, std::string format);
  ~CMFCPropertyGridProperty_Formatted() override = default;

  [[nodiscard]] QString FormatProperty() const override;

  std::string m_strFormat;  // one floating-point conversion
};
