#pragma once

#include <QLockFile>
#include <memory>
#include <optional>
#include <string>

// A fleet's claim on its rigs' folders, so that two processes never drive the same rig: each process
// holds <root>/Fleet/Slice-<first>-<last>.lock while it runs (one descriptor, whatever the count of
// rigs) and refuses to start when another live process holds a slice that overlaps its own. A lock
// left by a process that died is stale and taken over.
class CFleetSliceLock {
 public:
  // Claims rigs first..last under `fleetFolder`; the reason it cannot, naming the other slice and its
  // process, or nothing when the claim is held.
  [[nodiscard]] std::optional<std::string> Claim(const std::string& fleetFolder, int first, int last);

 private:
  std::unique_ptr<QLockFile> m_lock;
};
