// The ranges of the simulation settings and the checks built on them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/SimSettingRanges.h"
#include "tests/engine/SettingSamples.h"

namespace {

TEST(SimSettingRanges, TheDefaultsHoldAndValuesThatBreakTheFeedAreRefusedByName) {
  EXPECT_EQ(CSimSettings().Validate(), "");
  const auto reason = [](auto change) {
    CSimSettings settings;
    change(settings);
    return settings.Validate();
  };
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fWitsOutInterval = -1; }),
            "'WITS Out Interval' (m_fWitsOutInterval) must be from 0.1 to 3600 seconds, not -1");
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fWOB = -50; }), "'WOB' (m_fWOB) must be from 0 to 1000, not -50");
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fWOB = 1e308; }), "'WOB' (m_fWOB) must be from 0 to 1000, not 1e+308");
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fStandLength = 1e12; }),
            "'Stand Length' (m_fStandLength) must be from 1 to 200, not 1e+12");
  EXPECT_EQ(reason([](CSimSettings& s) { s.fPipeSpeed_Trip = std::nan(""); }),
            "'Pipe Speed Trip' (fPipeSpeed_Trip) must be from 0 to 100000 per hour, not nan");
  // The checks of one setting against another.
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fDepthToSlide = 100.5; }), "'Stand Length' is less than 'Depth to Slide'");
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fWOB = 100.5; }), "'HOOKLOAD OFF BOTTOM' is less than 'WOB'");
  EXPECT_EQ(reason([](CSimSettings& s) { s.m_fWOB = s.m_fHookLoad; }), "");
}

// What a settings file gives: a value in range is taken, one far outside leaves the value before, and
// one the reader's last place put just past an end is that end.
TEST(SimSettingRanges, AFileValueOutOfRangeCountsAsAbsent) {
  CSimSettings before;
  before.m_fWOB = 12.5;  // a value of its own, so that keeping it is told from a default
  for (const vorn::test::SettingSample& sample : vorn::test::SettingSamples(3, 8)) {
    CSimSettings read = before;
    sample.range->set(read, sample.value);
    KeepOnlyInRange(read, before);
    EXPECT_EQ(sample.range->get(read), sample.inside ? sample.value : sample.range->get(before))
        << sample.range->key << " " << vorn::test::ExactText(sample.value);
  }
  for (const SimSettingRange& range : SimSettingRanges()) {
    if (range.whole) continue;
    CSimSettings read = before;
    range.set(read, std::nextafter(std::nextafter(range.max, 1e308), 1e308));
    KeepOnlyInRange(read, before);
    EXPECT_EQ(range.get(read), range.max) << range.key;
    range.set(read, std::nextafter(range.min, -1e308));
    KeepOnlyInRange(read, before);
    EXPECT_EQ(range.get(read), range.min) << range.key;
  }
}

}  // namespace
