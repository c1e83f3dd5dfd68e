#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "replay/FieldText.h"
#include "replay/RowReader.h"
#include "tests/replay/RecordedFiles.h"

namespace {

using vorn::test::MadeWell;

std::vector<ReplayRow> ReadAll(CRowReader& reader) {
  std::vector<ReplayRow> rows;
  ReplayRow row;
  while (reader.Next(row)) rows.push_back(row);
  return rows;
}

void ExpectSameWell(const MadeWell& well, const std::vector<ReplayRow>& rows, const std::string& shape) {
  ASSERT_EQ(rows.size(), well.index.size()) << shape;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_DOUBLE_EQ(rows[r].index, well.index[r]) << shape << " row " << r;
    ASSERT_EQ(rows[r].values.size(), well.curves.size()) << shape;
    for (std::size_t c = 0; c < well.curves.size(); ++c) {
      if (std::isnan(well.values[r][c])) {
        EXPECT_TRUE(std::isnan(rows[r].values[c])) << shape << " row " << r << " curve " << c;
      } else {
        EXPECT_DOUBLE_EQ(rows[r].values[c], well.values[r][c]) << shape << " row " << r << " curve " << c;
      }
    }
  }
}

std::string Folder() {
  return vorn::test::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Every shape of LAS a well can be written in reads back as the same rows, from a file and from memory.
TEST(LasReader, EveryShapeReadsBackTheSameRows) {
  const std::string folder = Folder();
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    const bool time = seed % 2 == 0;
    const MadeWell well = vorn::test::MakeWell(seed, 40 + seed * 7, time);
    vorn::test::LasShape shape;
    shape.version3 = seed % 3 != 0;
    shape.wrapped = seed % 4 == 1;
    shape.delimiter = std::array<char, 3>{' ', ',', '\t'}[seed % 3];
    shape.isoTimes = seed % 5 < 2;
    shape.crlf = seed % 7 < 3;
    const std::string text = vorn::test::LasText(well, shape);
    const std::string path = vorn::test::WriteFile(folder, "well" + std::to_string(seed) + ".las", text);
    std::string error;
    auto reader = OpenRowReader(path, error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->Header().format, shape.version3 ? ReplayFormat::Las3 : ReplayFormat::Las2);
    const std::vector<ReplayRow> rows = ReadAll(*reader);
    EXPECT_EQ(reader->Header().indexKind, time ? ReplayIndexKind::Time : ReplayIndexKind::Depth);
    EXPECT_EQ(reader->Problems().badRows, 0U) << reader->Problems().firstBadRow;
    ExpectSameWell(well, rows, text.substr(0, 400));
    auto inMemory = OpenRowText(text, "well.las", error);
    ASSERT_TRUE(inMemory) << error;
    ExpectSameWell(well, ReadAll(*inMemory), "memory");
  }
}

// A seek to where any row started gives the rest of the file exactly as reading through did.
TEST(RowReader, SeekingToAnyRowGivesTheSameRest) {
  const MadeWell well = vorn::test::MakeWell(7, 300, true);
  const std::string folder = Folder();
  for (const std::string& text : {vorn::test::LasText(well, {}), vorn::test::CsvText(well, ';', true)}) {
    const std::string path = vorn::test::WriteFile(folder, "seek.txt", text);
    std::string error;
    auto reader = OpenRowReader(path, error);
    ASSERT_TRUE(reader) << error;
    std::vector<ReplayPosition> positions;
    std::vector<ReplayRow> rows;
    ReplayRow row;
    for (;;) {
      positions.push_back(reader->Position());
      if (!reader->Next(row)) break;
      rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 300U);
    std::mt19937 random(3);
    for (int trial = 0; trial < 20; ++trial) {
      const std::size_t at = random() % rows.size();
      reader->Seek(positions[at]);
      const std::vector<ReplayRow> rest = ReadAll(*reader);
      ASSERT_EQ(rest.size(), rows.size() - at);
      for (std::size_t r = 0; r < rest.size(); ++r) {
        EXPECT_EQ(rest[r].index, rows[at + r].index);
        EXPECT_EQ(rest[r].rowNumber, rows[at + r].rowNumber);
        EXPECT_EQ(rest[r].lineNumber, rows[at + r].lineNumber);
      }
    }
  }
}

// CSV with any delimiter, units in the names or on a line of their own, reads back the same rows.
TEST(CsvReader, DelimitersAndUnitsReadBackTheSameRows) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const MadeWell well = vorn::test::MakeWell(seed, 50, seed % 2 == 0);
    const char delimiter = std::array<char, 3>{',', ';', '\t'}[seed % 3];
    std::string text = vorn::test::CsvText(well, delimiter, seed % 4 < 2);
    if (seed % 4 >= 2) {
      // A line of units under the names.
      std::string units = "s";
      for (const std::string& unit : well.units) units += delimiter + unit;
      text.insert(text.find('\n') + 1, units + "\n");
    }
    std::string error;
    auto reader = OpenRowText(text, "well.csv", error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->Header().format, ReplayFormat::GenericCsv);
    EXPECT_EQ(reader->Header().curves.size(), well.curves.size());
    for (std::size_t c = 0; c < well.curves.size(); ++c) {
      EXPECT_EQ(reader->Header().curves[c].mnemonic, well.curves[c]);
      EXPECT_EQ(reader->Header().curves[c].unit, well.units[c]) << text.substr(0, 200);
    }
    ExpectSameWell(well, ReadAll(*reader), text.substr(0, 300));
  }
}

TEST(CsvReader, RunFilesReadWithMonthFirstTimesAndAbsentValues) {
  const std::string text =
      "TIME,DEPTH,HOOKLOAD,TF\r\n"
      "12/11/2026 9:30:00.100,1000,60,-999.25\r\n"
      "12/11/2026 9:30:10.100,1000.5,59.5,99\r\n";
  std::string error;
  auto reader = OpenRowText(text, "12_11_2026_09_30_00.csv", error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->Header().format, ReplayFormat::RunCsv);
  EXPECT_EQ(reader->Header().indexKind, ReplayIndexKind::Time);
  const auto rows = ReadAll(*reader);
  ASSERT_EQ(rows.size(), 2U);
  vorn::SystemTime t;
  t.wYear = 2026;
  t.wMonth = 12;
  t.wDay = 11;
  t.wHour = 9;
  t.wMinute = 30;
  EXPECT_NEAR(rows[0].index, vorn::SystemTimeToSeconds(t) + 0.1, 1e-6);
  EXPECT_NEAR(rows[1].index - rows[0].index, 10.0, 1e-6);
  EXPECT_TRUE(std::isnan(rows[0].values[2]));
  EXPECT_EQ(rows[1].values[2], 99.0);
}

TEST(CsvReader, DateAndTimeOfDayColumnsMakeTheMoment) {
  std::string error;
  auto reader = OpenRowText("DATE,TIME,HKLD\n25/12/2026,23:59:58,1\n26/12/2026,00:00:03,2\n", "d.csv", error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->Header().curves.size(), 1U);
  const auto rows = ReadAll(*reader);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_NEAR(rows[1].index - rows[0].index, 5.0, 1e-6);
}

TEST(CsvReader, NoIndexColumnPlaysRowByRowAndANamedOneIsUsed) {
  std::string error;
  auto rowByRow = OpenRowText("HKLD,SPPA\n1,2\n3,4\n", "r.csv", error);
  ASSERT_TRUE(rowByRow) << error;
  EXPECT_EQ(rowByRow->Header().indexKind, ReplayIndexKind::Row);
  const auto rows = ReadAll(*rowByRow);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[1].index, 2.0);
  EXPECT_EQ(rows[1].values[0], 3.0);
  auto named = OpenRowText("A,B\n5,1\n6,2\n", "n.csv", error, "b");
  ASSERT_TRUE(named) << error;
  EXPECT_EQ(named->Header().index.mnemonic, "B");
  EXPECT_FALSE(OpenRowText("A,B\n5,1\n", "n.csv", error, "C"));
  EXPECT_NE(error.find("n.csv"), std::string::npos);
  EXPECT_NE(error.find("\"C\""), std::string::npos);
}

// A bad row anywhere is skipped and counted, every other row still comes, and the message names the
// file and the line.
TEST(RowReader, BadRowsAreSkippedCountedAndNamed) {
  const MadeWell well = vorn::test::MakeWell(11, 60, false);
  const std::string good = vorn::test::LasText(well, {});
  std::vector<std::string> lines;
  vorn::SplitText(good, "\n", lines);
  const std::size_t dataStart = good.substr(0, good.find("~A")).size();
  const std::size_t firstDataLine =
      static_cast<std::size_t>(std::count(good.begin(), good.begin() + static_cast<long>(dataStart), '\n')) + 1;
  const std::vector<std::string> badRows = {"1,2,3", "abc 1 2", "1000.25 " + std::string(3, 'x'),
                                            "1000.3 " + std::string(70000, '1')};
  std::mt19937 random(5);
  for (const std::string& bad : badRows) {
    const std::size_t at = firstDataLine + 2 + random() % 40;
    std::vector<std::string> edited = lines;
    edited.insert(edited.begin() + static_cast<long>(at), bad);
    const std::string text = vorn::JoinText(edited, "\n");
    std::string error;
    auto reader = OpenRowText(text, "bad.las", error);
    ASSERT_TRUE(reader) << error;
    const auto rows = ReadAll(*reader);
    ExpectSameWell(well, rows, bad.substr(0, 20));
    EXPECT_EQ(reader->Problems().badRows, 1U);
    EXPECT_EQ(reader->Problems().firstBadRow.rfind("bad.las: line " + std::to_string(at + 1) + ": ", 0), 0U)
        << reader->Problems().firstBadRow;
  }
}

TEST(RowReader, AnIndexThatRepeatsOrGoesBackIsReportedAndSkipped) {
  const std::string head = "~V\nVERS. 2.0 :\n~W\nNULL. -999.25 :\n~C\nDEPT.M :\nHKLD.klb :\n~A\n";
  std::string error;
  auto reader = OpenRowText(head + "100 1\n101 2\n101 3\n100.5 4\n102 5\n", "order.las", error);
  ASSERT_TRUE(reader) << error;
  const auto rows = ReadAll(*reader);
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[2].values[0], 5.0);
  EXPECT_EQ(reader->Problems().indexNotIncreasing, 2U);
  EXPECT_NE(reader->Problems().firstIndexNotIncreasing.find("order.las: line 11: the index 101 repeats"), std::string::npos)
      << reader->Problems().firstIndexNotIncreasing;
  // A log recorded upwards falls all the way.
  auto upwards = OpenRowText(head + "200 1\n199.5 2\n199 3\n", "up.las", error);
  ASSERT_TRUE(upwards) << error;
  EXPECT_EQ(ReadAll(*upwards).size(), 3U);
  EXPECT_EQ(upwards->Direction(), -1);
}

TEST(LasReader, MissingSectionsAndABadNullAreRefusedWithFileAndLine) {
  std::string error;
  EXPECT_FALSE(OpenRowText("~V\nVERS. 2.0 :\n~C\nDEPT.M :\n", "a.las", error));
  EXPECT_EQ(error, "a.las: no data section (~A)");
  EXPECT_FALSE(OpenRowText("~W\nNULL. -999.25 :\n~C\nDEPT.M :\n~A\n1\n", "b.las", error));
  EXPECT_NE(error.find("b.las: line 5: data before a version section"), std::string::npos) << error;
  EXPECT_FALSE(OpenRowText("~V\nVERS. 2.0 :\n~W\nNULL. none : null\n~C\nDEPT.M :\n~A\n1\n", "c.las", error));
  EXPECT_EQ(error, "c.las: line 4: the NULL value \"none\" is not a number");
  EXPECT_FALSE(OpenRowText("~V\nVERS. 9.0 :\n~A\n", "d.las", error));
  EXPECT_NE(error.find("d.las: line 2: unsupported LAS version"), std::string::npos) << error;
  EXPECT_FALSE(OpenRowReader("/nonexistent/e.las", error));
  EXPECT_NE(error.find("e.las: cannot be read"), std::string::npos) << error;
}

TEST(LasReader, TimeIndexInUnitsAndDateWithTimeOfDayInTwoFields) {
  std::string error;
  auto minutes = OpenRowText("~V\nVERS. 2.0 :\n~C\nETIM.MIN :\nHKLD.klb :\n~A\n0 1\n1.5 2\n", "m.las", error);
  ASSERT_TRUE(minutes) << error;
  auto rows = ReadAll(*minutes);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(minutes->Header().indexKind, ReplayIndexKind::Time);
  EXPECT_DOUBLE_EQ(rows[1].index, 90.0);
  auto twoFields = OpenRowText("~V\nVERS. 2.0 :\n~C\nDATE. :\nHKLD.klb :\n~A\n11/12/2026 10:00:00 1\n11/12/2026 10:00:05 2\n",
                               "t.las", error);
  ASSERT_TRUE(twoFields) << error;
  rows = ReadAll(*twoFields);
  ASSERT_EQ(rows.size(), 2U) << twoFields->Problems().firstBadRow;
  EXPECT_DOUBLE_EQ(rows[1].index - rows[0].index, 5.0);
  EXPECT_EQ(rows[1].values[0], 2.0);
}

TEST(FieldText, DateTimeTextsReadAsTheSameMoment) {
  using vorn::replay::ReadDateTime;
  const auto moment = ReadDateTime("11/12/2026-14:05:09");
  ASSERT_TRUE(moment);
  EXPECT_EQ(ReadDateTime("2026-12-11T14:05:09"), moment);
  EXPECT_EQ(ReadDateTime("2026-12-11T16:05:09+02:00"), moment);
  EXPECT_EQ(ReadDateTime("2026-12-11 14:05:09Z"), moment);
  EXPECT_EQ(ReadDateTime("12/11/2026 14:05:09", vorn::replay::DateOrder::MonthFirst), moment);
  EXPECT_EQ(ReadDateTime("2026/12/11 14:05:09"), moment);
  EXPECT_EQ(ReadDateTime("2026-Dec-11 14:05:09"), moment);
  EXPECT_NEAR(*ReadDateTime("2026-Dec-11 14:05:09.250") - *moment, 0.25, 1e-9);
  for (const char* bad : {"", "1000.5", "32/12/2026", "11/13/2026", "2026-12-11T25:00:00", "11/12/2026-14:05:09 x",
                          "2026-12-11T14:05:09+2"}) {
    EXPECT_FALSE(ReadDateTime(bad)) << bad;
  }
}

}  // namespace
