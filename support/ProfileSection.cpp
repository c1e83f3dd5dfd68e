#include "support/ProfileSection.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <cstring>

namespace vorn {
namespace {

QSettings Store() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "VornRigSim", "VornRigSim");
}

// The 44 bytes in the Windows layout: eleven little-endian 32-bit integers.
QByteArray ToBytes(const WindowPlacement& p) {
  const int32_t fields[11] = {p.length, p.flags, p.showCmd, p.minX, p.minY, p.maxX,
                              p.maxY,   p.left,  p.top,     p.right, p.bottom};
  QByteArray bytes(44, '\0');
  for (int i = 0; i < 11; ++i) {
    const auto v = static_cast<uint32_t>(fields[i]);
    for (int b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
  }
  return bytes;
}

WindowPlacement FromBytes(const QByteArray& bytes) {
  int32_t fields[11] = {};
  for (int i = 0; i < 11; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i * 4 + b])) << (8 * b);
    fields[i] = static_cast<int32_t>(v);
  }
  WindowPlacement p;
  p.length = fields[0];
  p.flags = fields[1];
  p.showCmd = fields[2];
  p.minX = fields[3];
  p.minY = fields[4];
  p.maxX = fields[5];
  p.maxY = fields[6];
  p.left = fields[7];
  p.top = fields[8];
  p.right = fields[9];
  p.bottom = fields[10];
  return p;
}

}  // namespace

CProfileSection::CProfileSection(std::string base, std::string sub) : m_base(std::move(base)), m_sub(std::move(sub)) {}

// The section "base\sub" is the group "base/sub"; with an empty sub-section just "base".
std::string CProfileSection::Key(const std::string& entry) const {
  std::string key = m_base;
  if (!m_sub.empty()) key += "/" + m_sub;
  return key + "/" + entry;
}

int CProfileSection::GetInt(const std::string& entry) const {
  const QVariant value = Store().value(QString::fromStdString(Key(entry)));
  bool ok = false;
  const int number = value.toInt(&ok);
  return ok ? number : 0;
}

void CProfileSection::WriteInt(const std::string& entry, int value) {
  QSettings store = Store();
  store.setValue(QString::fromStdString(Key(entry)), value);
  store.sync();
}

std::string CProfileSection::GetString(const std::string& entry) const {
  return Store().value(QString::fromStdString(Key(entry))).toString().toStdString();
}

void CProfileSection::WriteString(const std::string& entry, const std::string& value) {
  QSettings store = Store();
  store.setValue(QString::fromStdString(Key(entry)), QString::fromStdString(value));
  store.sync();
}

void CProfileSection::RemoveEntry(const std::string& entry) {
  QSettings store = Store();
  if (!store.contains(QString::fromStdString(Key(entry)))) return;
  store.remove(QString::fromStdString(Key(entry)));
  store.sync();
}

bool CProfileSection::GetPlacement(const std::string& entry, WindowPlacement& placement) const {
  const QVariant value = Store().value(QString::fromStdString(Key(entry)));
  if (!value.isValid()) return false;
  const QByteArray bytes = value.toByteArray();
  if (bytes.size() != 44) return false;
  placement = FromBytes(bytes);
  return true;
}

void CProfileSection::WritePlacement(const std::string& entry, const WindowPlacement& placement) {
  QSettings store = Store();
  store.setValue(QString::fromStdString(Key(entry)), ToBytes(placement));
  store.sync();
}

}  // namespace vorn
