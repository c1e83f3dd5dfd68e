#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "support/Numbers.h"

namespace {

TEST(Numbers, ReadDecimalReadsThePrefixThatIsANumber) {
  struct Case {
    const char* text;
    double value;
    bool holds;
  };
  const Case cases[] = {
      {"1000", 1000.0, true},  {" -2.5e3x", -2500.0, true}, {"  12abc", 12.0, true}, {".5", 0.5, true},
      {"5.", 5.0, true},       {"+7", 7.0, true},           {"1e", 1.0, true},       {"1e+", 1.0, true},
      {"2E-2", 0.02, true},    {"-999.25", -999.25, true},  {"", 0.0, false},        {"+", 0.0, false},
      {"-.", 0.0, false},      {"abc", 0.0, false},         {"\t\n 3", 3.0, true},   {"0x10", 0.0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vorn::ReadDecimal(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(vorn::HoldsDecimal(c.text), c.holds) << '"' << c.text << '"';
  }
}

TEST(Numbers, AWholeNumberHoldsNothingButWhiteSpaceBesideIt) {
  for (const char* text : {"1500", " -2.5 ", "1e3", "\t.5"}) EXPECT_TRUE(vorn::IsWholeDecimal(text)) << text;
  for (const char* text : {"", " ", "12abc", "1,5", "abc", "1 2", "-"}) EXPECT_FALSE(vorn::IsWholeDecimal(text)) << text;
}

TEST(Numbers, NoInfinityOrNaNComesInFromText) {
  for (const char* text : {"inf", "-inf", "INFINITY", "nan", "NaN(123)", "1e999", "-1e400", "0x1p3"}) {
    const double value = vorn::ReadDecimal(text);
    EXPECT_TRUE(std::isfinite(value)) << text;
    EXPECT_EQ(value, 0.0) << text;
  }
}

TEST(Numbers, ReadIntegerSaturatesBeyondThirtyTwoBits) {
  EXPECT_EQ(vorn::ReadInteger("42"), 42);
  EXPECT_EQ(vorn::ReadInteger("  -17x"), -17);
  EXPECT_EQ(vorn::ReadInteger("12.9"), 12);
  EXPECT_EQ(vorn::ReadInteger("abc"), 0);
  EXPECT_FALSE(vorn::HoldsInteger("abc"));
  EXPECT_FALSE(vorn::HoldsInteger("-"));
  EXPECT_TRUE(vorn::HoldsInteger(" +0"));
  EXPECT_EQ(vorn::ReadInteger("2147483647"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(vorn::ReadInteger("2147483648"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(vorn::ReadInteger("-2147483649"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(vorn::ReadInteger("99999999999999999999999"), std::numeric_limits<int32_t>::max());
}

TEST(Numbers, FormatGMatchesPrintf) {
  const double values[] = {1000.0, 0.997, 0.0, -999.25, 100000.0, 1e6, 1e-5, 0.1, 123456789.0, -0.5, 2.0 / 3.0};
  for (const double value : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", value);
    EXPECT_EQ(vorn::FormatG(value), expected) << value;
  }
  EXPECT_EQ(vorn::FormatG(1e-5), "1e-05");
  EXPECT_EQ(vorn::FormatFixed(1000.0, 2), "1000.00");
  EXPECT_EQ(vorn::FormatFixed(-0.005, 2), "-0.01");
  EXPECT_EQ(vorn::FormatFixed(2.675, 2), "2.67");  // the double just below 2.675, as printf has it
}

// A decimal-comma locale changes neither how numbers are written nor how they are read.
TEST(Numbers, TheUserLocaleDoesNotReachNumbers) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/install-deps.sh --with-test-locale makes it)";
  }
  char printed[32];
  std::snprintf(printed, sizeof printed, "%g", 1000.5);
  EXPECT_STREQ(printed, "1000,5");  // proves the locale is really active
  EXPECT_EQ(vorn::FormatG(1000.5), "1000.5");
  EXPECT_EQ(vorn::FormatFixed(1000.5, 2), "1000.50");
  EXPECT_EQ(vorn::ReadDecimal("1000.5"), 1000.5);
  EXPECT_EQ(vorn::ReadDecimal("1000,5"), 1000.0);
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
