#include "ui/VornPropertyGridProperty.h"

#include "support/Numbers.h"

CVornPropertyGridProperty::CVornPropertyGridProperty(QString name, double value, QString description)
    : m_strName(std::move(name)), m_strDescription(std::move(description)), m_bIsFlag(false), m_fValue(value) {}

CVornPropertyGridProperty::CVornPropertyGridProperty(QString name, bool value, QString description)
    : m_strName(std::move(name)), m_strDescription(std::move(description)), m_bIsFlag(true), m_bValue(value) {}

QString CVornPropertyGridProperty::FormatProperty() const {
  if (m_bIsFlag) return m_bValue ? kTrue : kFalse;
  return QString::fromStdString(vorn::FormatG(m_fValue));
}

bool CVornPropertyGridProperty::ApplyEditText(const QString& text) {
  if (text == FormatProperty()) return false;
  if (m_bIsFlag) {
    m_bValue = text == kTrue;
  } else {
    m_fValue = vorn::ReadDecimal(text.toStdString());
  }
  return true;
}
