// Reading by time: Find, interpolation, the tolerance at the ends, step
// hold of digital and bus traces, time shift, sorted insertion, and the AC
// look-ups on linear and logarithmic frequency axes.

#include <cmath>
#include <utility>
#include <vector>

#include "traces/DataTest.h"

using DataFind = DataTest;
using DataInterpolation = DataTest;
using DataInsert = DataTest;

TEST_F(DataFind, LastPointNotAfterTheTime) {
  EXPECT_EQ(-1, Run().Find(0.0));  // empty
  Fill({{0.0, 0.0}, {1.0, 10.0}, {2.0, 10.0}, {4.0, -10.0}});
  // (time, index); within the relative tolerance a time counts as not after.
  for (const auto& [t, index] : {std::pair{-0.1, -1}, {0.0, 0}, {0.999, 0}, {1.0, 1}, {1.0 - 1e-13, 1},
                                 {1.0 - 1e-9, 0}, {3.999, 2}, {4.0, 3}, {100.0, 3}})
    EXPECT_EQ(index, Run().Find(t)) << "t=" << t;
}

TEST_F(DataFind, EqualTimesFindTheLaterPoint) {
  Fill({{0.0, 0.0}, {1.0, 0.0}, {1.0, 5.0}, {2.0, 5.0}});
  EXPECT_EQ(2, Run().Find(1.0));
  for (const auto& [t, v] : {std::pair{1.0, 5.0}, {0.5, 0.0}, {1.5, 5.0}}) EXPECT_EQ(v, At(t)) << t;
}

TEST_F(DataFind, SearchesAcrossBlocksAndChunks) {
  const int n = 65536 + 700;
  const double dt = 1e-6;
  FillRamp(n, dt);
  for (int i : {0, 1, 254, 255, 256, 257, 511, 512, 1000, 65535, 65536, 65537, n - 2}) {
    EXPECT_EQ(i, Run().Find((i + 0.5) * dt)) << i;
    EXPECT_EQ(i, Run().Find(i * dt)) << i;
    EXPECT_NEAR(i + 0.25, At((i + 0.25) * dt), 1e-6) << i;  // slope 1 per dt
  }
  for (int i = 0; i < n - 1; i += 37) ASSERT_EQ(i, Run().Find((i + 0.5) * dt)) << i;
  EXPECT_EQ(n - 1, Run().Find(1.0));
}

TEST_F(DataFind, TimeShiftAndRunOffsetMoveTheWholeRun) {
  Fill({{0.0, 0.0}, {1.0, 10.0}});
  trace_.time_shift = 10.0;
  EXPECT_EQ(-1, Run().Find(9.0));
  EXPECT_EQ(0, Run().Find(10.5));
  EXPECT_EQ(5.0, At(10.5));
  tran_.offset = true;
  Run().SetTimeOffset(100.0);
  EXPECT_EQ(-1, Run().Find(10.5));
  EXPECT_EQ(0, Run().Find(110.5));
  EXPECT_EQ(5.0, At(110.5));
  EXPECT_EQ(10.0, At(111.0));
}

TEST_F(DataInterpolation, LinearBetweenPointsAndExactAtPoints) {
  Fill({{0.0, 0.0}, {1.0, 10.0}, {2.0, 10.0}, {4.0, -10.0}});
  for (const auto& [t, v] : {std::pair{0.5, 5.0}, {1.0, 10.0}, {1.7, 10.0}, {3.0, 0.0}, {3.5, -5.0},
                            {4.0, -10.0}})
    EXPECT_EQ(v, At(t)) << "t=" << t;
}

TEST_F(DataInterpolation, EndsFailBeyondTheToleranceOnly) {
  Fill({{1.0, 0.0}, {2.0, 4.0}});
  // 1e-13 relative after the last point is still the last point.
  EXPECT_EQ(4.0, At(2.0 * (1.0 + 1e-13)));
  EXPECT_TRUE(std::isnan(At(2.0 * (1.0 + 1e-11))));
  EXPECT_TRUE(std::isnan(At(2.1)));
  EXPECT_TRUE(std::isnan(At(0.9)));
  // A time a hair before the first point reads the first point.
  EXPECT_NEAR(0.0, At(1.0 - 1e-13), 1e-11);
  EXPECT_EQ(0.0, At(1.0));
  double v = 1.0;
  EXPECT_FALSE(Run().GetDataPoint(5.0, &v, false));
  EXPECT_TRUE(std::isnan(v));
}

TEST_F(DataInterpolation, EmptyRunHasNoValue) {
  double v = 1.0;
  EXPECT_FALSE(Run().GetDataPoint(0.0, &v, false));
  EXPECT_TRUE(std::isnan(v));
}

TEST_F(DataInterpolation, DigitalAndBusHoldTheirLevelWhenReadDigitally) {
  trace_.mode = SDataTrace::kDigital;
  trace_.threshold = 2.5;
  Fill({{0.0, 0.0}, {1.0, 5.0}, {2.0, 0.0}});
  for (const auto& [t, v] : {std::pair{0.9, 0.0}, {1.0, 1.0}, {1.5, 1.0}, {2.0, 0.0}})
    EXPECT_EQ(v, At(t, true)) << "t=" << t;
  // Without the flag the stored values are interpolated.
  EXPECT_EQ(2.5, At(0.5, false));

  trace_.mode = SDataTrace::kBus;
  Run().ClearData();
  Fill({{0.0, 1.4}, {1.0, 2.6}});
  EXPECT_EQ(1.0, At(0.5, true));   // floor(1.4 + 0.5), held
  EXPECT_EQ(3.0, At(1.0, true));
  EXPECT_DOUBLE_EQ(2.0, At(0.5, false));
}

TEST_F(DataInterpolation, AnalogTraceInterpolatesEvenWhenReadDigitally) {
  Fill({{0.0, 0.0}, {2.0, 3.0}});
  EXPECT_EQ(1.5, At(1.0, true));
}

TEST_F(DataInterpolation, RampValuesMatchIndependentInterpolation) {
  // v = t^2 sampled irregularly; the reference interpolates the samples.
  std::vector<double> ts, vs;
  double t = 0.0;
  for (int i = 0; i < 600; ++i) {
    ts.push_back(t);
    vs.push_back(t * t);
    ASSERT_TRUE(Run().AddDataPoint(t, t * t));
    t += 0.001 * (1 + i % 7);
  }
  for (int k = 0; k < 599; k += 13) {
    const double x = ts[k] + 0.3 * (ts[k + 1] - ts[k]);
    const double expected = vs[k] + 0.3 * (vs[k + 1] - vs[k]);
    EXPECT_NEAR(expected, At(x), 1e-12 * (1 + std::fabs(expected))) << k;
  }
}

TEST_F(DataInsert, LaterTimesGoBeforeTheirSuccessors) {
  ASSERT_TRUE(Run().InsertDLLDataPoint(1.0, 10.0));
  ASSERT_TRUE(Run().InsertDLLDataPoint(3.0, 30.0));
  ASSERT_TRUE(Run().InsertDLLDataPoint(2.0, 20.0));
  EXPECT_EQ((PointList{{1, 10}, {2, 20}, {3, 30}}), Points());
  ASSERT_TRUE(Run().InsertDLLDataPoint(0.0, 0.0));
  ASSERT_TRUE(Run().InsertDLLDataPoint(2.0, 21.0));  // after the equal time
  ASSERT_TRUE(Run().InsertDLLDataPoint(5.0, 50.0));
  EXPECT_EQ((PointList{{0, 0}, {1, 10}, {2, 20}, {2, 21}, {3, 30}, {5, 50}}), Points());
}

TEST_F(DataInsert, ShiftsPointsAcrossBlockBoundaries) {
  for (int i = 1; i <= 300; ++i) ASSERT_TRUE(Run().InsertDLLDataPoint(i, i));
  ASSERT_TRUE(Run().InsertDLLDataPoint(0.5, 1000.0));
  ASSERT_EQ(301, Run().GetSize());
  auto p = Points();
  EXPECT_EQ(0.5, p[0].first);
  EXPECT_EQ(1000.0, p[0].second);
  for (int i = 1; i <= 300; ++i) ASSERT_EQ(static_cast<double>(i), p[i].first) << i;
  // Point 256 (time 256) moved into block 1 and its limits follow.
  ExpectLimits(1, 256.0, 300.0);
  EXPECT_EQ(1000.0, Run().GetBlock(0)->ValueMax());
  EXPECT_EQ(255, Run().Find(255.5));
}

TEST_F(DataInsert, CallerSamplesAreNotCompressed) {
  tran_.compress = true;
  for (double t : {1.0, 2.0, 3.0}) ASSERT_TRUE(Run().InsertDLLDataPoint(t, 5.0));
  EXPECT_EQ(3, Run().GetSize());
}

// AC run: (100 Hz, 1, 0 deg), (1000 Hz, 0.1, -90 deg).
class DataFreq : public DataTest {
 protected:
  void SetUp() override {
    trace_.transient = false;
    ac_ = std::make_unique<CData>(&trace_);
    ASSERT_TRUE(ac_->AddFreqDataPoint(100.0, 1.0, 0.0));
    ASSERT_TRUE(ac_->AddFreqDataPoint(1000.0, 0.1, -90.0));
  }
  struct SLookup {
    bool ok;
    double mag, db, phase;
  };
  SLookup Look(double f) {
    SLookup r{};
    r.ok = ac_->GetFreqDataPoint(f, &r.mag, &r.db, &r.phase);
    return r;
  }
  std::unique_ptr<CData> ac_;
};

TEST_F(DataFreq, LinearAxisInterpolatesMagnitudeAndPhase) {
  const SLookup r = Look(550.0);
  ASSERT_TRUE(r.ok);
  EXPECT_DOUBLE_EQ(0.55, r.mag);
  EXPECT_DOUBLE_EQ(-45.0, r.phase);
  EXPECT_DOUBLE_EQ(20.0 * std::log10(0.55), r.db);
}

TEST_F(DataFreq, LogAxisUsesTheLogarithmicFraction) {
  trace_.log_freq = true;
  const double mid = std::sqrt(100.0 * 1000.0);  // half way on a log axis
  SLookup r = Look(mid);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(0.55, r.mag, 1e-12);
  EXPECT_NEAR(-45.0, r.phase, 1e-10);
  // Shown in dB: 0 dB and -20 dB meet at -10 dB.
  trace_.db = true;
  r = Look(mid);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(-10.0, r.db, 1e-10);
  EXPECT_NEAR(std::pow(10.0, -0.5), r.mag, 1e-12);
}

TEST_F(DataFreq, EndsAndTolerance) {
  SLookup r = Look(1000.0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(0.1, r.mag);
  EXPECT_EQ(-90.0, r.phase);
  EXPECT_TRUE(Look(1000.0 * (1 + 1e-13)).ok);
  r = Look(1001.0);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(std::isnan(r.mag) && std::isnan(r.db) && std::isnan(r.phase));
  EXPECT_FALSE(Look(99.0).ok);
  r = Look(100.0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(1.0, r.mag);
  EXPECT_EQ(0.0, r.db);
}

TEST_F(DataFreq, RealAndImaginaryOutputs) {
  ac_->ClearData();
  ASSERT_TRUE(ac_->AddFreqDataPoint(100.0, 2.0, 60.0));
  ASSERT_TRUE(ac_->AddFreqDataPoint(200.0, 2.0, 60.0));
  trace_.ac_out = SDataTrace::kReal;
  EXPECT_NEAR(1.0, Look(150.0).mag, 1e-10);  // 2 cos 60 deg
  trace_.ac_out = SDataTrace::kImag;
  EXPECT_NEAR(std::sqrt(3.0), Look(150.0).mag, 1e-10);
  // Formulas get the stored magnitude whatever the trace shows.
  double m, p;
  ASSERT_TRUE(ac_->GetFreqDataPointFormula(150.0, &m, &p));
  EXPECT_EQ(2.0, m);
  EXPECT_EQ(60.0, p);
}

TEST_F(DataFreq, DbOfAMagnitudeOutsideItsRangeIsNoValue) {
  ac_->ClearData();
  ASSERT_TRUE(ac_->AddFreqDataPoint(100.0, 0.0, 0.0));
  ASSERT_TRUE(ac_->AddFreqDataPoint(200.0, 1.0, 0.0));
  trace_.db = true;
  SLookup r = Look(150.0);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(std::isnan(r.mag) && std::isnan(r.phase));
  trace_.db = false;
  r = Look(150.0);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(0.5, r.mag);
}

TEST_F(DataFreq, FormulaLookupInterpolatesTheMagnitudeOnALogAxis) {
  trace_.log_freq = true;
  trace_.db = true;
  double m, p;
  ASSERT_TRUE(ac_->GetFreqDataPointFormula(std::sqrt(1e5), &m, &p));
  EXPECT_NEAR(0.55, m, 1e-12);  // not 10^(-10/20)
  EXPECT_NEAR(-45.0, p, 1e-10);
  EXPECT_FALSE(ac_->GetFreqDataPointFormula(2000.0, &m, &p));
  EXPECT_TRUE(std::isnan(m) && std::isnan(p));
}

TEST_F(DataFreq, LogAxisNeedsPositiveFrequencies) {
  ac_->ClearData();
  ASSERT_TRUE(ac_->AddFreqDataPoint(0.0, 1.0, 0.0));
  ASSERT_TRUE(ac_->AddFreqDataPoint(10.0, 2.0, 0.0));
  trace_.log_freq = true;
  EXPECT_FALSE(Look(5.0).ok);
  trace_.log_freq = false;
  EXPECT_EQ(1.5, Look(5.0).mag);
}

TEST_F(DataFreq, InsertKeepsFrequenciesSorted) {
  ASSERT_TRUE(ac_->InsertFreqDataPoint(500.0, 0.5, -45.0));
  ASSERT_TRUE(ac_->InsertFreqDataPoint(50.0, 2.0, 10.0));
  std::vector<std::vector<double>> points;  // (f, magnitude, phase) as read in sequence
  ac_->GetFirst(0);
  for (double f, m, p; ac_->GetNextFreqData(&f, &m, &p) && points.size() < 10;) points.push_back({f, m, p});
  EXPECT_EQ(4, ac_->GetSize());
  EXPECT_EQ((std::vector<std::vector<double>>{{50, 2, 10}, {100, 1, 0}, {500, 0.5, -45}, {1000, 0.1, -90}}),
            points);
}

TEST_F(DataFreq, FrequenciesAreNotShifted) {
  trace_.time_shift = 50.0;
  EXPECT_EQ(0, ac_->Find(100.0));
  EXPECT_DOUBLE_EQ(0.55, Look(550.0).mag);
}

TEST_F(DataFreq, AdjustPhaseUnwrapsJumpsAcross180) {
  ac_->ClearData();
  const double raw[] = {170, -170, 190, 530, -100};
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(ac_->AddFreqDataPoint(i + 1.0, 1.0, raw[i]));
  ac_->AdjustPhase();
  // Into -180..180: 170, -170, -170, 170, -100; a jump from above 90 to
  // below -90 adds a turn, the reverse takes one away.
  const double expected[] = {170, 190, 190, 170, 260};
  for (int i = 0; i < 5; ++i) {
    double f, m, p;
    ASSERT_TRUE(ac_->GetFreqDataAt(i, &f, &m, &p));
    EXPECT_EQ(expected[i], p) << i;
  }
}
