#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

#include "tests/common/TestEnvironment.h"

int main(int argc, char** argv) {
  vorn::test::PrepareEnvironment();  // also selects the offscreen platform when none is set
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const int result = RUN_ALL_TESTS();
  vorn::test::CleanEnvironment();
  return result;
}
