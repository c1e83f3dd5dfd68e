#include <gtest/gtest.h>

#include "control/Routes.h"

namespace {

using namespace vorn::control;

TEST(RoutesTest, EndpointsForTheProgramsRigAndByRigNumber) {
  const auto status = ResolveRoute("GET", "/api/v1/status");
  ASSERT_TRUE(status.route);
  EXPECT_EQ(status.route->rig, 0);
  EXPECT_EQ(status.route->action, Action::GetStatus);

  const auto put = ResolveRoute("PUT", "/api/v1/rigs/3/settings");
  ASSERT_TRUE(put.route);
  EXPECT_EQ(put.route->rig, 3);
  EXPECT_EQ(put.route->action, Action::PutSettings);

  const auto defaults = ResolveRoute("POST", "/api/v1/rigs/2/items/defaults");
  ASSERT_TRUE(defaults.route);
  EXPECT_EQ(defaults.route->rig, 2);
  EXPECT_EQ(defaults.route->action, Action::PostItemDefaults);
  EXPECT_EQ(ResolveRoute("GET", "/api/v1/items/defaults").allow, "POST");
}

TEST(RoutesTest, UnknownPathsAre404AndOtherMethods405WithTheAllowedOnes) {
  for (const char* path :
       {"/", "/api/v1", "/api/v1/", "/api/v2/status", "/api/v1/status/", "/api/v1/Status", "/api/v1/rigs/x/status",
        "/api/v1/rigs//status", "/api/v1/rigs/-1/status", "/api/v1/rigs/1", "/api/v1/rigs/9999999/status"}) {
    const auto result = ResolveRoute("GET", path);
    EXPECT_FALSE(result.route) << path;
    EXPECT_EQ(result.status, 404) << path;
  }
  const auto wrong = ResolveRoute("DELETE", "/api/v1/settings");
  EXPECT_FALSE(wrong.route);
  EXPECT_EQ(wrong.status, 405);
  EXPECT_EQ(wrong.allow, "GET, PUT");
  EXPECT_EQ(ResolveRoute("GET", "/api/v1/run").allow, "POST");
}

}  // namespace
