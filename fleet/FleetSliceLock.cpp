#include "fleet/FleetSliceLock.h"

#include <QDir>
#include <QRegularExpression>

std::optional<std::string> CFleetSliceLock::Claim(const std::string& fleetFolder, int first, int last) {
  const QDir folder(QString::fromStdString(fleetFolder));
  if (!folder.mkpath(".")) return "Cannot make the fleet's folder " + fleetFolder + ".";
  const QString name = QString("Slice-%1-%2.lock").arg(first).arg(last);
  auto own = std::make_unique<QLockFile>(folder.filePath(name));
  own->setStaleLockTime(0);  // a lock is stale only when its process is gone
  if (!own->tryLock(0)) {
    qint64 pid = 0;
    QString host;
    QString application;
    own->getLockInfo(&pid, &host, &application);
    return "Rigs " + std::to_string(first) + " to " + std::to_string(last) + " are served by another process (" +
           std::to_string(pid) + "), which holds " + folder.filePath(name).toStdString() + ".";
  }
  // Another live slice over any of these rigs: its lock cannot be taken.
  static const QRegularExpression slice("^Slice-(\\d+)-(\\d+)\\.lock$");
  for (const QString& other : folder.entryList({"Slice-*.lock"}, QDir::Files)) {
    const QRegularExpressionMatch match = slice.match(other);
    if (!match.hasMatch() || other == name) continue;
    const long long otherFirst = match.captured(1).toLongLong();
    const long long otherLast = match.captured(2).toLongLong();
    if (otherLast < first || otherFirst > last) continue;
    QLockFile probe(folder.filePath(other));
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
      probe.unlock();  // stale: its process is gone, and so is the file now
      continue;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    probe.getLockInfo(&pid, &host, &application);
    return "Rigs " + std::to_string(first) + " to " + std::to_string(last) + " overlap rigs " +
           std::to_string(otherFirst) + " to " + std::to_string(otherLast) + " of another process (" +
           std::to_string(pid) + "): choose --fleet-first and --fleet so that no two slices share a rig.";
  }
  m_lock = std::move(own);
  return std::nullopt;
}
