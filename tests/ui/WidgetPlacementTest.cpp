#include <gtest/gtest.h>

#include <QWidget>
#include <climits>

#include "support/ProfileSection.h"
#include "ui/WidgetPlacement.h"

namespace {

vorn::WindowPlacement Placed(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  vorn::WindowPlacement placement;
  placement.left = left;
  placement.top = top;
  placement.right = right;
  placement.bottom = bottom;
  return placement;
}

// The offscreen screen is 800 x 600 at the origin.
TEST(WindowPlacement, ADamagedPlacementLeavesTheWindowWhereItIs) {
  QWidget window;
  const QRect before(100, 100, 300, 200);
  window.setGeometry(before);
  const vorn::WindowPlacement damaged[] = {
      Placed(INT32_MIN, 0, INT32_MAX, 500),         // a width beyond 32 bits
      Placed(0, INT32_MIN + 1, 400, INT32_MAX),     // a height beyond 32 bits
      Placed(INT32_MAX - 10, 0, INT32_MIN + 10, 300),
      Placed(500, 100, 400, 300),                   // the right edge left of the left one
      Placed(100, 300, 400, 200),                   // bottom above the top
      Placed(100, 100, 100, 300),                   // no width
      Placed(0, 0, 40000, 300),                     // wider than any X11 window
      Placed(-2000000000, 0, -1999999000, 300),     // far left of every screen
      Placed(5000, 5000, 5400, 5300),               // beyond the screen's bottom right
  };
  for (const vorn::WindowPlacement& placement : damaged) {
    vorn::ApplyPlacement(window, placement);
    EXPECT_EQ(window.geometry(), before) << placement.left << " " << placement.top << " " << placement.right << " "
                                         << placement.bottom;
  }

  // The same damage read from the profile: the window keeps the place it was given.
  vorn::CProfileSection section("VornRigSim", "PlacementTest");
  section.WritePlacement("WindowPlacment", Placed(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
  new CPlacementKeeper(window, section, "WindowPlacment");
  EXPECT_EQ(window.geometry(), before);
}

TEST(WindowPlacement, ARectangleReachingIntoAScreenIsApplied) {
  QWidget window;
  window.setGeometry(100, 100, 300, 200);
  vorn::ApplyPlacement(window, Placed(-100, 40, 500, 440));  // partly left of the screen
  EXPECT_EQ(window.geometry(), QRect(-100, 40, 600, 400));
  vorn::ApplyPlacement(window, Placed(700, 500, 1700, 1300));  // larger than the screen, from inside it
  EXPECT_EQ(window.geometry(), QRect(700, 500, 1000, 800));
}

}  // namespace
