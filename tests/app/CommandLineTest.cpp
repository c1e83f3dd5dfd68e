#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

CommandLineResult Parse(QStringList arguments) {
  arguments.prepend("vornrigsim");
  return ParseCommandLine(arguments);
}

TEST(CommandLineTest, ReadsEveryOption) {
  const auto result = Parse({"--headless", "--duration", "2.5", "--ten-times", "--console", "--root", "/tmp/x"});
  ASSERT_FALSE(result.exitCode);
  EXPECT_TRUE(result.options.headless);
  EXPECT_EQ(result.options.durationSeconds.value_or(0), 2.5);
  EXPECT_TRUE(result.options.tenTimes);
  EXPECT_TRUE(result.options.console);
  EXPECT_EQ(result.options.root.value_or(""), "/tmp/x");

  const auto plain = Parse({});
  ASSERT_FALSE(plain.exitCode);
  EXPECT_FALSE(plain.options.headless);
  EXPECT_FALSE(plain.options.durationSeconds);
  EXPECT_FALSE(plain.options.root);
}

TEST(CommandLineTest, HelpAndVersionExitZero) {
  const auto version = Parse({"--version"});
  EXPECT_EQ(version.exitCode.value_or(-1), 0);
  EXPECT_EQ(version.output, "Vorn Rig Sim v1.0.2.7\n");
  EXPECT_FALSE(version.outputIsError);

  const auto help = Parse({"--help"});
  EXPECT_EQ(help.exitCode.value_or(-1), 0);
  EXPECT_NE(help.output.find("--headless"), std::string::npos);
}

TEST(CommandLineTest, BadInputExitsTwoWithAMessage) {
  for (const QStringList& arguments : {QStringList{"--bogus"}, QStringList{"--duration"},
                                       QStringList{"--duration", "abc"}, QStringList{"--duration", "-3"},
                                       QStringList{"--duration", "inf"}, QStringList{"stray"}}) {
    const auto result = Parse(arguments);
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(result.outputIsError);
    EXPECT_FALSE(result.output.empty());
  }
}

TEST(CommandLineTest, HeadlessIsFoundBeforeAnyApplicationObject) {
  char program[] = "vornrigsim";
  char headless[] = "--headless";
  char other[] = "--console";
  char* withIt[] = {program, other, headless};
  char* without[] = {program, other};
  EXPECT_TRUE(WantsHeadless(3, withIt));
  EXPECT_FALSE(WantsHeadless(2, without));
}

}  // namespace
