#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <random>

#include "app/CommandLine.h"
#include "app/OptionsFile.h"

namespace {

// Any words, each written bare, in single or in double quotes, among blanks and comments, split back
// into the same words.
TEST(SplitOptionsText, QuotedWordsAmongCommentsComeBackAsWritten) {
  std::mt19937 random(29);
  const std::string alphabet = "ab-=:,./0 \t#'\"\\";
  for (int round = 0; round < 500; ++round) {
    std::vector<std::string> words(random() % 6);
    std::string text = random() % 2 ? "# a comment \"unclosed\n" : "";
    for (std::string& word : words) {
      const std::size_t length = 1 + random() % 8;
      for (std::size_t i = 0; i < length; ++i) word += alphabet[random() % alphabet.size()];
      const bool plain = word.find_first_of(" \t#'\"\\") == std::string::npos;
      if (plain && random() % 2) {
        text += word;
      } else if (word.find('\'') == std::string::npos && random() % 2) {
        text += "'" + word + "'";
      } else {
        text += '"';
        for (char c : word) text += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
        text += '"';
      }
      text += random() % 3 ? " " : "\n  # between\n";
    }
    const SplitOptions split = SplitOptionsText(text);
    EXPECT_EQ(split.error, "") << text;
    EXPECT_EQ(split.words, words) << text;
  }
}

TEST(SplitOptionsText, AQuoteThatDoesNotEndOrAZeroByteIsRefusedWithItsLine) {
  EXPECT_EQ(SplitOptionsText("--fleet 3\n--control \"127.0.0.1:80\n\n").error,
            "line 2: a quote (\") that does not end");
  EXPECT_EQ(SplitOptionsText(std::string("--a\n\n--b\0", 9)).error, "line 3: a zero byte");
  EXPECT_TRUE(SplitOptionsText("--a 'b").words.empty());
}

TEST(ExpandOptionsFiles, TheFilesWordsStandInItsPlaceAndBadFilesAreRefused) {
  QTemporaryDir folder;
  const std::string path = folder.filePath("lab1.conf").toStdString();
  std::ofstream(path) << "# lab rig\n--fleet 3 --fleet-first 4\n--log-format json\n";
  const auto parsed = ParseCommandLine({"vornrigsim", "--headless", "--options-file", QString::fromStdString(path),
                                        "--fleet-first", "7"});
  ASSERT_FALSE(parsed.exitCode) << parsed.output;
  EXPECT_EQ(parsed.options.fleet.value_or(0), 3);
  EXPECT_EQ(parsed.options.fleetFirst, 7);  // given after the file: it wins
  EXPECT_EQ(parsed.options.logFormat, vorn::StatusFormat::Json);

  const std::string nested = folder.filePath("nested.conf").toStdString();
  std::ofstream(nested) << "--options-file=" << path << "\n";
  const std::string unclosed = folder.filePath("unclosed.conf").toStdString();
  std::ofstream(unclosed) << "--control\n'8080\n";
  const std::string big = folder.filePath("big.conf").toStdString();
  std::ofstream(big) << std::string(kMaxOptionsFileBytes + 1, ' ');
  const std::pair<std::string, std::string> refused[] = {
      {folder.filePath("missing.conf").toStdString(), "Cannot read the options file '"},
      {nested, "it names another options file"},
      {unclosed, "unclosed.conf': line 2: a quote (') that does not end."},
      {big, "is over 64 KiB"},
      {"", "Cannot read the options file ''"},
  };
  for (const auto& [file, message] : refused) {
    const auto result = ParseCommandLine({"vornrigsim", "--headless", "--options-file=" + QString::fromStdString(file)});
    EXPECT_EQ(result.exitCode.value_or(-1), 2) << file;
    EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
  }
  EXPECT_NE(ParseCommandLine({"vornrigsim", "--options-file"}).output.find("Missing value after '--options-file'"),
            std::string::npos);
}

}  // namespace
