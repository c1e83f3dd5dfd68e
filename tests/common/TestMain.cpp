#include <QCoreApplication>
#include <clocale>
#include <gtest/gtest.h>

#include "tests/common/TestEnvironment.h"

int main(int argc, char** argv) {
  vorn::test::PrepareEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const int result = RUN_ALL_TESTS();
  vorn::test::CleanEnvironment();
  return result;
}
