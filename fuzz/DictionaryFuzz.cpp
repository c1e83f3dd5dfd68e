// The dictionary reader on arbitrary table text: never a crash, and every entry it keeps comes from
// a row of at least eleven fields.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "wits/WitsDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WitsDictionary dictionary;
  ParseWitsDictionary(std::string_view(reinterpret_cast<const char*>(data), size), dictionary);
  for (const auto& [key, description] : dictionary) {
    if (description.find_first_of("|\r\n*") != std::string::npos) std::abort();
  }
  return 0;
}
