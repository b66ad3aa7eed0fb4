// Window statistics of recorded traces: samples are a piece-wise linear
// curve, so figures are time averages, not sample averages.

#include "Stats.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qvs {
namespace {

// v = 10 t on [0, 1] s in 11 samples.
std::vector<Sample> Ramp() {
  std::vector<Sample> s;
  for (int i = 0; i <= 10; ++i) s.push_back({i * 0.1, i * 1.0});
  return s;
}

TEST(WindowStats, RampOverWholeRun) {
  const WindowStats st = ComputeStats(Ramp(), 0.0);
  ASSERT_TRUE(st.valid);
  EXPECT_DOUBLE_EQ(10.0, st.final);
  EXPECT_DOUBLE_EQ(0.0, st.min);
  EXPECT_DOUBLE_EQ(10.0, st.max);
  EXPECT_NEAR(5.0, st.mean, 1e-12);
  // RMS of a ramp from 0 to A is A / sqrt(3); exact for straight segments.
  EXPECT_NEAR(10.0 / std::sqrt(3.0), st.rms, 1e-12);
  EXPECT_EQ(11, st.points);
}

TEST(WindowStats, WindowStartingBetweenSamplesStartsAtTheInterpolatedValue) {
  const WindowStats st = ComputeStats(Ramp(), 0.55);
  ASSERT_TRUE(st.valid);
  EXPECT_NEAR(5.5, st.min, 1e-12);
  EXPECT_NEAR((5.5 + 10.0) / 2.0, st.mean, 1e-12);
  // Mean of (10 t)^2 over [0.55, 1]: 100 (1 - 0.55^3) / 3 / 0.45.
  EXPECT_NEAR(std::sqrt(100.0 * (1.0 - std::pow(0.55, 3)) / 3.0 / 0.45), st.rms, 1e-12);
  EXPECT_EQ(6, st.points);  // the start point and the samples at 0.6 .. 1.0
}

TEST(WindowStats, WeighsByTimeNotBySampleCount) {
  // 1 for a second in 101 samples, a jump at t = 1, then 3 for a second in
  // two samples: sample averages would say about 1.04, time says 2.
  std::vector<Sample> s;
  for (int i = 0; i <= 100; ++i) s.push_back({i * 0.01, 1.0});
  s.push_back({1.0, 3.0});
  s.push_back({2.0, 3.0});
  const WindowStats st = ComputeStats(s, 0.0);
  EXPECT_NEAR(2.0, st.mean, 1e-12);
  EXPECT_NEAR(std::sqrt(5.0), st.rms, 1e-12);
  EXPECT_DOUBLE_EQ(1.0, st.min);
  EXPECT_DOUBLE_EQ(3.0, st.max);
}

TEST(WindowStats, EmptyOrEndedBeforeTheWindowIsInvalid) {
  EXPECT_FALSE(ComputeStats({}, 0.0).valid);
  EXPECT_FALSE(ComputeStats(Ramp(), 1.5).valid);
  const WindowStats last = ComputeStats(Ramp(), 1.0);
  ASSERT_TRUE(last.valid);  // a window of zero length: the single value
  EXPECT_DOUBLE_EQ(10.0, last.mean);
  EXPECT_DOUBLE_EQ(10.0, last.rms);
}

TEST(WindowStats, ValueAtInterpolatesAndTakesTheLaterSideOfAJump) {
  std::vector<Sample> s = {{0, 0}, {1, 2}, {1, 5}, {2, 7}};
  EXPECT_DOUBLE_EQ(1.0, ValueAt(s, 0.5));
  EXPECT_DOUBLE_EQ(6.0, ValueAt(s, 1.5));
  EXPECT_DOUBLE_EQ(5.0, ValueAt(s, 1.0));
  EXPECT_DOUBLE_EQ(0.0, ValueAt(s, -1.0));
  EXPECT_DOUBLE_EQ(7.0, ValueAt(s, 3.0));
  EXPECT_TRUE(std::isnan(ValueAt({}, 0.0)));
}

}  // namespace
}  // namespace qvs
