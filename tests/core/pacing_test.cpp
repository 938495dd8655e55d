#include "core/pacing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace fhr {
namespace {

class RecordingPacer : public Pacer {
 public:
  void Wait(std::chrono::milliseconds time) override { waits.push_back(time.count()); }
  std::vector<long long> waits;
};

TEST(WaitProcessing, HandsTheScaledTimeToTheInstalledPacer) {
  RecordingPacer pacer;
  {
    ScopedPacer installed(&pacer);
    WaitProcessing(300);
    WaitProcessing(0);
    WaitProcessing(-5);
  }
  const auto scaled = static_cast<long long>(std::ceil(300 * PaceScale()));
  EXPECT_EQ(pacer.waits, (std::vector<long long>{scaled, 0, 0}));
  WaitProcessing(0);  // the default pacer again
  EXPECT_EQ(pacer.waits.size(), 3u);
}

TEST(WaitProcessing, ReturnsAtOnceWhileTheProgramTerminates) {
  SetProgramTerminating(true);
  const auto start = std::chrono::steady_clock::now();
  WaitProcessing(2000);
  SetProgramTerminating(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace fhr
