#include "support/VornTimer.h"

#include "support/Console.h"

namespace vorn {

CVornTimer::CVornTimer(std::string name, std::function<uint32_t()> clock)
    : m_name(std::move(name)), m_clock(std::move(clock)), m_start(m_clock()) {}

// The line is only made for a console that shows it: timers run on every arrival of a flood.
CVornTimer::~CVornTimer() {
  if (ConsoleEnabled()) Console() << Line(m_clock()) << std::endl;
}

std::string CVornTimer::Line(uint32_t now) const {
  const uint32_t elapsed = now - m_start;  // unsigned, so a wrap of the clock is harmless
  return m_name + " " + std::to_string(elapsed) + " ms " + " (" + FormatElapsed(elapsed / 1000.0) + ") ";
}

}  // namespace vorn
