// The number readers take text from every box, file and frame: whatever comes in, they give a
// finite number and never read past the text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = vorn::ReadDecimal(text);
  if (!std::isfinite(value)) std::abort();
  if (!vorn::HoldsDecimal(text) && value != 0.0) std::abort();
  // A depth box takes only a text that is a number as a whole.
  if (vorn::IsWholeDecimal(text) && !vorn::HoldsDecimal(text)) std::abort();
  const int32_t integer = vorn::ReadInteger(text);
  if (!vorn::HoldsInteger(text) && integer != 0) std::abort();
  // What the program writes, it reads back as the C library does. strtod, unlike stod, gives a
  // tiny number (1e-310) instead of throwing.
  const std::string written = vorn::FormatG(value);
  if (vorn::ReadDecimal(written) != std::strtod(written.c_str(), nullptr)) std::abort();
  return 0;
}
