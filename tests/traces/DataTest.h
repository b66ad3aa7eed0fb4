#pragma once
// Helpers of the sample-storage tests: a trace and analysis record with a run
// of their own, and the few ways the tests fill and read a run.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "traces/Data.h"

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Bytes of one chunk: 65536 points of (time, value) or (f, magnitude, phase).
inline constexpr long long kTranChunk = 16LL * 65536;
inline constexpr long long kFreqChunk = 24LL * 65536;

// A transient run of a trace of an analysis, both owned by the fixture.
class DataTest : public ::testing::Test {
 protected:
  DataTest() { trace_.tran = &tran_; }

  CData& Run() {
    if (!data_) data_ = std::make_unique<CData>(&trace_);
    return *data_;
  }
  // Appends (t, v) pairs; every append must keep all points.
  void Fill(const std::vector<std::pair<double, double>>& points) {
    for (const auto& [t, v] : points) ASSERT_TRUE(Run().AddDataPoint(t, v)) << "t=" << t;
  }
  // Points i = 0 .. n - 1 at time i * dt with value i.
  void FillRamp(int n, double dt = 1.0) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(Run().AddDataPoint(i * dt, i)) << "i=" << i;
  }
  // All points as read by index (no digital conversion).
  std::vector<std::pair<double, double>> Points() {
    std::vector<std::pair<double, double>> out;
    for (int i = 0; i < Run().GetSize(); ++i) {
      double t, v;
      EXPECT_TRUE(Run().GetDataAt(i, &t, &v, false));
      out.emplace_back(t, v);
    }
    return out;
  }
  // Value at t, or NaN when the run says there is none.
  double At(double t, bool digital = false) {
    double v = 123.0;
    const bool ok = Run().GetDataPoint(t, &v, digital);
    EXPECT_EQ(ok, !std::isnan(v)) << "t=" << t;
    return v;
  }

  // Point i of run (default: Run()) read by index without digital
  // conversion is (t, v).
  void ExpectPoint(int i, double t, double v, CData* run = nullptr) {
    double gt = kNaN, gv = kNaN;
    ASSERT_TRUE((run != nullptr ? *run : Run()).GetDataAt(i, &gt, &gv, false)) << "index " << i;
    EXPECT_EQ(t, gt) << "index " << i;
    EXPECT_EQ(v, gv) << "index " << i;
  }
  // The value limits of block b of the run.
  void ExpectLimits(int b, double mn, double mx) {
    EXPECT_EQ(mn, Run().GetBlock(b)->ValueMin()) << "block " << b;
    EXPECT_EQ(mx, Run().GetBlock(b)->ValueMax()) << "block " << b;
  }

  SDataTran tran_;
  SDataTrace trace_;
  std::unique_ptr<CData> data_;
};

using PointList = std::vector<std::pair<double, double>>;
