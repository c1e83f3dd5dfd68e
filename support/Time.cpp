#include "support/Time.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "support/Text.h"

namespace vorn {
namespace {

// Days between 1970-01-01 and a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

const int64_t kEpoch2000 = DaysFromCivil(2000, 1, 1);

}  // namespace

double SystemTimeToSeconds(const SystemTime& time) {
  const int64_t days = DaysFromCivil(time.wYear, time.wMonth, time.wDay) - kEpoch2000;
  const int64_t seconds = days * 86400 + time.wHour * 3600 + time.wMinute * 60 + time.wSecond;
  return static_cast<double>(seconds) + time.wMilliseconds / 1000.0;
}

SystemTime SecondsToSystemTime(double seconds) {
  if (!std::isfinite(seconds)) seconds = 0.0;
  double whole = std::floor(seconds);
  auto milliseconds = static_cast<int64_t>(std::llround((seconds - whole) * 1000.0));
  if (milliseconds >= 1000) {  // a rounding that reaches 1000 carries into the seconds
    whole += 1.0;
    milliseconds = 0;
  }
  const auto total = static_cast<int64_t>(whole);
  int64_t days = total / 86400;
  int64_t secondOfDay = total % 86400;
  if (secondOfDay < 0) {
    secondOfDay += 86400;
    days -= 1;
  }
  const int64_t unixDays = days + kEpoch2000;
  const CivilDate date = CivilFromDays(unixDays);
  SystemTime time;
  time.wYear = static_cast<uint16_t>(date.year);
  time.wMonth = static_cast<uint16_t>(date.month);
  time.wDay = static_cast<uint16_t>(date.day);
  time.wDayOfWeek = static_cast<uint16_t>(((unixDays % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  time.wHour = static_cast<uint16_t>(secondOfDay / 3600);
  time.wMinute = static_cast<uint16_t>(secondOfDay / 60 % 60);
  time.wSecond = static_cast<uint16_t>(secondOfDay % 60);
  time.wMilliseconds = static_cast<uint16_t>(milliseconds);
  return time;
}

double NowSeconds() {
  timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local {};
  localtime_r(&now.tv_sec, &local);
  SystemTime time;
  time.wYear = static_cast<uint16_t>(local.tm_year + 1900);
  time.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
  time.wDay = static_cast<uint16_t>(local.tm_mday);
  time.wHour = static_cast<uint16_t>(local.tm_hour);
  time.wMinute = static_cast<uint16_t>(local.tm_min);
  time.wSecond = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);  // leap second
  time.wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1'000'000);
  return SystemTimeToSeconds(time);
}

uint32_t SteadyMilliseconds() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::string FormatFileStamp(double seconds) {
  const SystemTime t = SecondsToSystemTime(seconds);
  return Sprintf("%d_%d_%d_%02d_%02d_%02d", t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, t.wSecond);
}

std::string FormatDashedTimestamp(const SystemTime& t, std::string_view separator) {
  const std::string sep(separator);
  return Sprintf("%04d-%s-%02d%s%d:%02d:%02d", t.wYear, MonthAbbreviation(t.wMonth).c_str(), t.wDay, sep.c_str(),
                 t.wHour, t.wMinute, t.wSecond) +
         Sprintf(".%03d", t.wMilliseconds);
}

std::string FormatSlashedTimestamp(const SystemTime& t, std::string_view separator) {
  const std::string sep(separator);
  return Sprintf("%d/%d/%d%s%d:%02d:%02d", t.wMonth, t.wDay, t.wYear, sep.c_str(), t.wHour, t.wMinute,
                 t.wSecond) +
         Sprintf(".%03d", t.wMilliseconds);
}

std::string MonthAbbreviation(int month) {
  static const char* const kNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (month < 1 || month > 12) return "???";
  return kNames[month - 1];
}

std::string FormatElapsed(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  const auto totalMs = static_cast<int64_t>(std::llround(seconds * 1000.0));
  const int64_t hours = totalMs / 3'600'000;
  const int64_t minutes = totalMs / 60'000 % 60;
  const int64_t secs = totalMs / 1000 % 60;
  const int64_t ms = totalMs % 1000;
  return Sprintf("%lld:%02lld:%02lld.%03lld", static_cast<long long>(hours), static_cast<long long>(minutes),
                 static_cast<long long>(secs), static_cast<long long>(ms));
}

std::string StampedLine(double seconds, std::string_view line) {
  return FormatDashedTimestamp(SecondsToSystemTime(seconds), " ") + " " + std::string(line);
}

}  // namespace vorn
