#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/common/EventWait.h"

namespace vorn::test {

// The first of `count` consecutive TCP ports that nothing listens on at the moment of the call; 0
// when none were found.
inline uint16_t FreeConsecutivePorts(int count) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int base = FreePort();
    if (base + count - 1 > 65535) continue;
    std::vector<std::unique_ptr<QTcpServer>> held;
    bool all = true;
    for (int port = base; all && port < base + count; ++port) {
      held.push_back(std::make_unique<QTcpServer>());
      all = held.back()->listen(QHostAddress::AnyIPv4, static_cast<quint16>(port));
    }
    if (all) return static_cast<uint16_t>(base);
  }
  return 0;
}

}  // namespace vorn::test
