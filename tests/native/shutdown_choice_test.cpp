#include "app/shutdown_choice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RecordingSession final : SessionControl {
  std::string calls;
  void RequestPowerOff() override { calls += "power-off "; }
  void PostClose() override { calls += "close "; }
};

TEST(ShutdownChoice, NowPowersOffThenClosesLaterOnlyCloses) {
  RecordingSession now, later;
  ShutDownNow(now);
  ShutDownLater(later);
  EXPECT_EQ(now.calls, "power-off close ");
  EXPECT_EQ(later.calls, "close ");
}

}  // namespace
