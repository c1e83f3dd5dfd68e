#include "support/Console.h"

#include <iostream>
#include <streambuf>

#include "support/ProfileSection.h"

namespace vorn {
namespace {

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

bool g_enabled = false;

std::ostream& NullStream() {
  static NullBuffer buffer;
  static std::ostream stream(&buffer);
  return stream;
}

}  // namespace

std::ostream& Console() { return g_enabled ? std::cout : NullStream(); }
void EnableConsole(bool enabled) { g_enabled = enabled; }
bool ConsoleEnabled() { return g_enabled; }

int InitConsoleFromProfile() {
  CProfileSection local("_Local", "");
  const int value = local.GetInt("ConsoleWindow");
  local.WriteInt("ConsoleWindow", value);
  EnableConsole(value != 0);
  return value;
}

}  // namespace vorn
