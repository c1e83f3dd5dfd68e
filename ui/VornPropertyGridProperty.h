#pragma once

#include <QString>

// One row of the property list: a name, a value (a number or a true/false flag) and a description.
// The list shows the text FormatProperty gives and hands typed text back through ApplyEditText.
class CVornPropertyGridProperty {
 public:
  CVornPropertyGridProperty(QString name, double value, QString description);
  CVornPropertyGridProperty(QString name, bool value, QString description);
  virtual ~CVornPropertyGridProperty() = default;
  CVornPropertyGridProperty(const CVornPropertyGridProperty&) = delete;
  CVornPropertyGridProperty& operator=(const CVornPropertyGridProperty&) = delete;

  [[nodiscard]] const QString& GetName() const { return m_strName; }
  [[nodiscard]] const QString& GetDescription() const { return m_strDescription; }
  [[nodiscard]] bool IsFlag() const { return m_bIsFlag; }
  [[nodiscard]] double GetNumber() const { return m_fValue; }
  [[nodiscard]] bool GetFlag() const { return m_bValue; }

  // The displayed text of the value: "True" or "False" for a flag.
  [[nodiscard]] virtual QString FormatProperty() const;

  // The user left the value's editor with this text. When it differs from the displayed text the
  // value takes it (a number is read as a decimal; text that is no number gives 0) and true comes
  // back, so the list reports a change.
  bool ApplyEditText(const QString& text);

  // Set by the list when the user changed the value.
  [[nodiscard]] bool IsModified() const { return m_bModified; }
  void SetModified(bool modified) { m_bModified = modified; }

  static constexpr const char* kTrue = "True";
  static constexpr const char* kFalse = "False";

 private:
  QString m_strName;
  QString m_strDescription;
  bool m_bIsFlag;
  double m_fValue = 0.0;
  bool m_bValue = false;
  bool m_bModified = false;
};
