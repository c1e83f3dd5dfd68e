#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/Time.h"

namespace vorn {

// Writes "<name> <ms> ms  (<h:mm:ss.mmm>) " to the diagnostic console when it goes out of scope.
class CVornTimer {
 public:
  explicit CVornTimer(std::string name, std::function<uint32_t()> clock = SteadyMilliseconds);
  virtual ~CVornTimer();
  CVornTimer(const CVornTimer&) = delete;
  CVornTimer& operator=(const CVornTimer&) = delete;

  // The line the destructor writes, for the given clock reading (without the line end).
  [[nodiscard]] std::string Line(uint32_t now) const;

 private:
  std::string m_name;
  std::function<uint32_t()> m_clock;
  uint32_t m_start;
};

}  // namespace vorn
