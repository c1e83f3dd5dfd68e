#include "support/System.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "Version.h"
#include "support/Text.h"

namespace vorn {

bool LaunchWithFile(const std::string& program, const std::string& filePath) {
  return QProcess::startDetached(QString::fromStdString(program), {QString::fromStdString(filePath)},
                                 QString::fromStdString(ParentFolder(filePath)));
}

std::string GetVersionText() {
  return Sprintf("v%d.%d.%d.%d", kVersionMajor, kVersionMinor, kVersionPatch, kVersionTweak);
}

}  // namespace vorn
