#pragma once

#include <cstdint>
#include <functional>

namespace vorn::test {

// Runs the event loop in short slices until done() is true or timeoutMs have passed, so that real
// sockets, serial lines and child processes deliver their events. True when done() became true.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// A TCP port on the loopback address that nothing listens on at the moment of the call.
[[nodiscard]] uint16_t FreePort();

}  // namespace vorn::test
