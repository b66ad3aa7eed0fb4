// Cursor statistics between two times or frequencies, and the named values
// formulas ask a run for. Expected values are worked out by hand or by a
// reference integration in this file.

#include <cmath>
#include <cstdint>
#include <vector>

#include "traces/DataTest.h"

namespace {

// Reference statistics of the piecewise-linear curve through (ts, vs) on
// [a, b], a and b inside the curve: midpoint rule for the integral and
// Simpson's rule for the square, both exact for each straight piece.
struct SReference {
  double integral = 0.0, integral2 = 0.0, mn = 0.0, mx = 0.0;
};

double Curve(const std::vector<double>& ts, const std::vector<double>& vs, double x) {
  std::size_t j = 0;
  while (j + 2 < ts.size() && ts[j + 1] <= x) ++j;
  return vs[j] + (x - ts[j]) / (ts[j + 1] - ts[j]) * (vs[j + 1] - vs[j]);
}

SReference Reference(const std::vector<double>& ts, const std::vector<double>& vs, double a,
                     double b) {
  std::vector<double> cuts{a};
  for (double t : ts)
    if (t > a && t < b) cuts.push_back(t);
  cuts.push_back(b);
  SReference r;
  r.mn = r.mx = Curve(ts, vs, a);
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    const double x0 = cuts[k], x1 = cuts[k + 1], h = x1 - x0;
    const double y0 = Curve(ts, vs, x0), y1 = Curve(ts, vs, x1);
    const double ym = (y0 + y1) / 2;  // the piece is straight
    r.integral += h * ym;
    r.integral2 += h / 6 * (y0 * y0 + 4 * ym * ym + y1 * y1);
    r.mn = std::fmin(r.mn, std::fmin(y0, y1));
    r.mx = std::fmax(r.mx, std::fmax(y0, y1));
  }
  return r;
}

double Var(CData& run, int index) {
  double v = kNaN;
  if (!run.GetDataVar(index, 0.0, &v)) return kNaN;
  return v;
}

}  // namespace

// (0, 0) (1, 2) (2, 2) (3, -1) (4, 1)
class DataTranStats : public DataTest {
 protected:
  void SetUp() override { Fill({{0, 0}, {1, 2}, {2, 2}, {3, -1}, {4, 1}}); }
  double Named(const char* name, bool* ok, bool* found = nullptr) {
    double v = kNaN;
    const bool f = Run().GetTraceValue(name, 0.5, 3.5, &v, ok);
    if (found != nullptr) *found = f;
    return v;
  }
};

TEST_F(DataTranStats, WindowAcrossSeveralIntervals) {
  Run().CalcTranData(false, 0.5, 3.5);
  // Pieces: [0.5,1] 1->2, [1,2] 2, [2,3] 2->-1, [3,3.5] -1->0.
  // Integral 0.75 + 2 + 0.5 - 0.25 = 3; of the square
  // 7/6 + 4 + 1 + 1/6 = 19/3.
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kLeft));
  EXPECT_DOUBLE_EQ(0.0, Var(Run(), CData::kRight));
  EXPECT_DOUBLE_EQ(-1.0, Var(Run(), CData::kDelta));
  EXPECT_DOUBLE_EQ(-1.0, Var(Run(), CData::kMin));
  EXPECT_DOUBLE_EQ(2.0, Var(Run(), CData::kMax));
  EXPECT_DOUBLE_EQ(3.0, Var(Run(), CData::kPP));
  EXPECT_DOUBLE_EQ(3.0, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kMean));
  EXPECT_DOUBLE_EQ(std::sqrt(19.0 / 9.0), Var(Run(), CData::kRms));
  EXPECT_DOUBLE_EQ(std::sqrt(10.0 / 9.0), Var(Run(), CData::kSd));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kFreq)));  // not asked for
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kSlope)));
}

TEST_F(DataTranStats, WindowInsideOneInterval) {
  Run().CalcTranData(false, 2.25, 2.75);
  // On 2 -> -1 over [2,3]: p = 1.25, q = -0.25.
  EXPECT_DOUBLE_EQ(-0.25, Var(Run(), CData::kMin));
  EXPECT_DOUBLE_EQ(1.25, Var(Run(), CData::kMax));
  EXPECT_DOUBLE_EQ(0.25, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(0.5, Var(Run(), CData::kMean));
  EXPECT_DOUBLE_EQ(std::sqrt(0.4375), Var(Run(), CData::kRms));
  EXPECT_DOUBLE_EQ(std::sqrt(0.4375 - 0.25), Var(Run(), CData::kSd));
}

TEST_F(DataTranStats, WindowBeyondBothEndsIsCutToTheRun) {
  Run().CalcTranData(false, -5.0, 10.0);
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kLeft)));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kRight)));
  double v;
  EXPECT_FALSE(Run().GetDataVar(CData::kDelta, 0.0, &v));
  // [0, 4]: 1 + 2 + 0.5 + 0 = 3.5.
  EXPECT_DOUBLE_EQ(3.5, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(0.875, Var(Run(), CData::kMean));
  EXPECT_DOUBLE_EQ(-1.0, Var(Run(), CData::kMin));
  EXPECT_DOUBLE_EQ(2.0, Var(Run(), CData::kMax));
}

TEST_F(DataTranStats, WindowEntirelyOutsideGivesOnlyEndValues) {
  Run().CalcTranData(true, 5.0, 6.0);
  for (int k = 0; k < CData::kStatCount; ++k) EXPECT_TRUE(std::isnan(Var(Run(), k))) << k;
  Run().CalcTranData(true, -3.0, -2.0);
  for (int k = 0; k < CData::kStatCount; ++k) EXPECT_TRUE(std::isnan(Var(Run(), k))) << k;
}

TEST_F(DataTranStats, EqualCursorsGiveZeroIntegralAndNoMean) {
  Run().CalcTranData(false, 1.5, 1.5);
  EXPECT_EQ(0.0, Var(Run(), CData::kIntegral));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kMean)));
  EXPECT_DOUBLE_EQ(2.0, Var(Run(), CData::kMax));
}

TEST_F(DataTranStats, GetDataVarIndexes) {
  Run().CalcTranData(false, 0.5, 3.5);
  double v = 9.0;
  EXPECT_FALSE(Run().GetDataVar(-1, 0.0, &v));
  EXPECT_FALSE(Run().GetDataVar(14, 0.0, &v));
  ASSERT_TRUE(Run().GetDataVar(CData::kCursor, 2.5, &v));
  EXPECT_DOUBLE_EQ(0.5, v);
  EXPECT_FALSE(Run().GetDataVar(CData::kCursor, 9.0, &v));
  EXPECT_TRUE(std::isnan(v));
}

TEST_F(DataTranStats, NamedValues) {
  bool ok = false, found = false;
  EXPECT_DOUBLE_EQ(1.0, Named("mean", &ok, &found));
  EXPECT_TRUE(found && ok);
  EXPECT_DOUBLE_EQ(1.0, Named("MeAn", &ok));
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(std::sqrt(19.0 / 9.0), Named("rms", &ok));
  EXPECT_DOUBLE_EQ(3.0, Named("pp", &ok));
  EXPECT_DOUBLE_EQ(3.0, Named("integral", &ok));
  EXPECT_DOUBLE_EQ(-1.0, Named("delta", &ok));
  // Empty: the value at the right cursor (3.5 -> 0).
  EXPECT_DOUBLE_EQ(0.0, Named("", &ok, &found));
  EXPECT_TRUE(found && ok);
  // A number in parentheses: the value interpolated there.
  EXPECT_DOUBLE_EQ(1.0, Named("(0.5)", &ok, &found));
  EXPECT_TRUE(found && ok);
  EXPECT_DOUBLE_EQ(0.5, Named("(3.75)", &ok));  // -1 -> 1 over [3, 4]
  // "phase" and its separator mean nothing more for a transient trace.
  EXPECT_DOUBLE_EQ(2.0, Named("phase.max", &ok));
  EXPECT_TRUE(ok);
  // A known name without a value: found, but no value.
  Named("slope", &ok, &found);
  EXPECT_TRUE(found);
  EXPECT_FALSE(ok);
  // Only one crossing of the mean in the window: no frequency.
  Named("freq", &ok, &found);
  EXPECT_TRUE(found);
  EXPECT_FALSE(ok);
  for (const char* bad : {"cursor", "average", "(abc)", "mean2"}) {
    ok = true;
    Named(bad, &ok, &found);
    EXPECT_FALSE(found) << bad;
    EXPECT_FALSE(ok) << bad;
  }
}

using DataStatsShapes = DataTest;

TEST_F(DataStatsShapes, OnePointIsItsOwnMeanWithNoSpread) {
  Fill({{1.0, 3.0}});
  Run().CalcTranData(true, 0.0, 2.0);
  EXPECT_EQ(3.0, Var(Run(), CData::kMean));
  EXPECT_EQ(3.0, Var(Run(), CData::kMin));
  EXPECT_EQ(3.0, Var(Run(), CData::kMax));
  EXPECT_EQ(0.0, Var(Run(), CData::kRms));
  EXPECT_EQ(0.0, Var(Run(), CData::kSd));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kIntegral)));
}

TEST_F(DataStatsShapes, TwoPointsAtOneTimeGiveTheLaterValue) {
  Fill({{1.0, 3.0}, {1.0, 5.0}});
  Run().CalcTranData(false, 0.0, 2.0);
  EXPECT_EQ(5.0, Var(Run(), CData::kMean));
  EXPECT_EQ(5.0, Var(Run(), CData::kMin));
  EXPECT_EQ(5.0, Var(Run(), CData::kMax));
  EXPECT_EQ(5.0, Var(Run(), CData::kRms));
  EXPECT_EQ(0.0, Var(Run(), CData::kSd));
  EXPECT_EQ(0.0, Var(Run(), CData::kIntegral));
}

TEST_F(DataStatsShapes, SquareWaveMeanHalfAndFrequencyFromCrossings) {
  // 1 for the first half of each 1 ms period, 0 for the second; vertical
  // edges are two points at one time. Ten periods.
  const double period = 1e-3;
  for (int k = 0; k < 10; ++k) {
    Fill({{k * period, 1.0},
          {(k + 0.5) * period, 1.0},
          {(k + 0.5) * period, 0.0},
          {(k + 1) * period, 0.0}});
  }
  Run().CalcTranData(true, 0.0, 10 * period);
  EXPECT_NEAR(0.5, Var(Run(), CData::kMean), 1e-12);
  EXPECT_NEAR(std::sqrt(0.5), Var(Run(), CData::kRms), 1e-12);
  EXPECT_NEAR(0.5, Var(Run(), CData::kSd), 1e-12);
  EXPECT_NEAR(5 * period, Var(Run(), CData::kIntegral), 1e-15);
  // Falling edges at 0.5, 1.5 .. 9.5 ms (ten) outnumber rising ones at
  // 1 .. 9 ms (nine): period (9.5 - 0.5) / 9 ms.
  EXPECT_NEAR(period, Var(Run(), CData::kPeriod), 1e-15);
  EXPECT_NEAR(1000.0, Var(Run(), CData::kFreq), 1e-9);
  EXPECT_EQ(0.0, Var(Run(), CData::kMin));
  EXPECT_EQ(1.0, Var(Run(), CData::kMax));

  // Whole periods starting mid-pulse give the same mean.
  Run().CalcTranData(true, 0.25 * period, 3.25 * period);
  EXPECT_NEAR(0.5, Var(Run(), CData::kMean), 1e-12);
  EXPECT_NEAR(period, Var(Run(), CData::kPeriod), 1e-15);
}

TEST_F(DataStatsShapes, PeriodFromTheMoreNumerousEdgesRisingOnATie) {
  // Vertical edges, so crossings lie on them whatever the mean between 0
  // and 1: falling at 1, 3, 5 (spacing 2), rising at 2, 4.5 (spacing 2.5).
  Fill({{0, 1}, {1, 1}, {1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}, {4.5, 0}, {4.5, 1}, {5, 1},
        {5, 0}, {6, 0}});
  Run().CalcTranData(true, 0.0, 6.0);
  EXPECT_DOUBLE_EQ(2.5 / 6.0, Var(Run(), CData::kMean));
  EXPECT_DOUBLE_EQ(2.0, Var(Run(), CData::kPeriod));  // three falling, two rising
  EXPECT_DOUBLE_EQ(0.5, Var(Run(), CData::kFreq));
  // Up to 4.75: two of each; the rising ones count.
  Run().CalcTranData(true, 0.0, 4.75);
  EXPECT_DOUBLE_EQ(2.5, Var(Run(), CData::kPeriod));
  EXPECT_DOUBLE_EQ(0.4, Var(Run(), CData::kFreq));
}

TEST_F(DataStatsShapes, DigitalIntegralHoldsTheLevelOfEachIntervalStart) {
  trace_.mode = SDataTrace::kDigital;
  trace_.threshold = 2.5;
  Fill({{0, 0.0}, {1, 5.0}, {3, 0.0}, {4, 5.0}});
  Run().CalcTranData(false, 0.5, 3.5);
  // High from 1 to 3 only.
  EXPECT_DOUBLE_EQ(2.0, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(2.0 / 3.0, Var(Run(), CData::kMean));
  EXPECT_EQ(0.0, Var(Run(), CData::kMin));
  EXPECT_EQ(1.0, Var(Run(), CData::kMax));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kRms)));
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kSd)));
  // Inside one interval: the level of its start.
  Run().CalcTranData(false, 1.5, 2.5);
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kMean));
}

TEST_F(DataStatsShapes, BusMeanAndSpreadsAreScaledByFractionBits) {
  trace_.mode = SDataTrace::kBus;
  trace_.bus_fraction_bits = 2;
  Fill({{0, 3.6}, {1, 8.2}, {2, 8.2}});
  Run().CalcTranData(false, 0.0, 2.0);
  // Rounded 4, 8, 8: integral 4 + 8 = 12, mean 6 / 2^2.
  EXPECT_DOUBLE_EQ(12.0, Var(Run(), CData::kIntegral));
  EXPECT_DOUBLE_EQ(1.5, Var(Run(), CData::kMean));
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kPP));     // (8 - 4) / 4
  EXPECT_DOUBLE_EQ(1.0, Var(Run(), CData::kDelta));  // (8 - 4) / 4
  EXPECT_DOUBLE_EQ(4.0, Var(Run(), CData::kMin));    // limits unscaled
  EXPECT_TRUE(std::isnan(Var(Run(), CData::kRms)));
}

TEST_F(DataStatsShapes, LongRunsMatchAReferenceIntegration) {
  // Irregular times and values over four blocks, from a fixed generator.
  std::vector<double> ts, vs;
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;  // [0, 1)
  };
  double t = 0.0;
  for (int i = 0; i < 1000; ++i) {
    ts.push_back(t);
    vs.push_back(10.0 * next() - 5.0);
    ASSERT_TRUE(Run().AddDataPoint(ts.back(), vs.back()));
    t += 0.5 + next();
  }
  const double windows[][2] = {
      {ts[3] + 0.2, ts[990] - 0.1},  // four blocks, partial ends
      {ts[300] + 0.1, ts[511]},      // ends on the last point of block 1
      {ts[256], ts[767]},            // whole blocks 1 and 2
      {ts[256], ts[767]},            // again, from the cached blocks
      {ts[10] + 0.3, ts[250] + 0.4},  // inside block 0
  };
  for (const auto& w : windows) {
    const SReference r = Reference(ts, vs, w[0], w[1]);
    Run().CalcTranData(false, w[0], w[1]);
    const double len = w[1] - w[0];
    EXPECT_NEAR(r.integral, Var(Run(), CData::kIntegral), 1e-9) << w[0];
    EXPECT_NEAR(r.integral / len, Var(Run(), CData::kMean), 1e-11) << w[0];
    EXPECT_NEAR(std::sqrt(r.integral2 / len), Var(Run(), CData::kRms), 1e-11) << w[0];
    EXPECT_EQ(r.mn, Var(Run(), CData::kMin)) << w[0];
    EXPECT_EQ(r.mx, Var(Run(), CData::kMax)) << w[0];
  }
}

// AC run on a log axis: (10, 1, 0), (100, 0.1, -45), (1000, 0.01, -90):
// -20 dB per decade.
class DataFreqStats : public DataTest {
 protected:
  void SetUp() override {
    trace_.transient = false;
    trace_.log_freq = true;
    ac_ = std::make_unique<CData>(&trace_);
    ASSERT_TRUE(ac_->AddFreqDataPoint(10.0, 1.0, 0.0));
    ASSERT_TRUE(ac_->AddFreqDataPoint(100.0, 0.1, -45.0));
    ASSERT_TRUE(ac_->AddFreqDataPoint(1000.0, 0.01, -90.0));
  }
  double Mag(int index, bool db) {
    double v = kNaN;
    return ac_->GetFreqDataVar(index, 0.0, &v, db) ? v : kNaN;
  }
  double Phase(int index) {
    double v = kNaN;
    return ac_->GetFreqDataVarPhase(index, 0.0, &v) ? v : kNaN;
  }
  std::unique_ptr<CData> ac_;
};

TEST_F(DataFreqStats, LimitsSlopeAndDbForms) {
  ac_->CalcFreqData(true, 10.0, 1000.0);
  EXPECT_EQ(1.0, Mag(CData::kLeft, false));
  EXPECT_EQ(0.01, Mag(CData::kRight, false));
  EXPECT_EQ(0.01, Mag(CData::kMin, false));
  EXPECT_EQ(1.0, Mag(CData::kMax, false));
  EXPECT_DOUBLE_EQ(-20.0, Mag(CData::kSlope, false));
  EXPECT_DOUBLE_EQ(-0.99, Mag(CData::kDelta, false));
  EXPECT_DOUBLE_EQ(0.99, Mag(CData::kPP, false));
  EXPECT_DOUBLE_EQ(0.0, Mag(CData::kMax, true));
  EXPECT_DOUBLE_EQ(-40.0, Mag(CData::kMin, true));
  EXPECT_DOUBLE_EQ(40.0, Mag(CData::kPP, true));
  EXPECT_DOUBLE_EQ(-40.0, Mag(CData::kDelta, true));
  EXPECT_TRUE(std::isnan(Mag(CData::kMean, false)));  // not an AC statistic
  EXPECT_EQ(-90.0, Phase(CData::kMin));
  EXPECT_EQ(0.0, Phase(CData::kMax));
  EXPECT_EQ(-90.0, Phase(CData::kDelta));
  EXPECT_EQ(90.0, Phase(CData::kPP));
  double v;
  ASSERT_TRUE(ac_->GetFreqDataVar(CData::kCursor, 100.0, &v, true));
  EXPECT_DOUBLE_EQ(-20.0, v);
  ASSERT_TRUE(ac_->GetFreqDataVarPhase(CData::kCursor, 100.0, &v));
  EXPECT_EQ(-45.0, v);
}

TEST_F(DataFreqStats, SlopeInsideOneIntervalUsesItsEndPoints) {
  ac_->CalcFreqData(true, 20.0, 50.0);
  // The interpolated magnitudes alone (linear in magnitude over log f)
  // would give about -14.7 dB per decade.
  EXPECT_DOUBLE_EQ(-20.0, Mag(CData::kSlope, false));
  // No stored point lies between: the limits are the two end values.
  const double at20 = 1.0 - 0.9 * std::log10(2.0);
  const double at50 = 1.0 - 0.9 * std::log10(5.0);
  EXPECT_NEAR(at20, Mag(CData::kMax, false), 1e-12);
  EXPECT_NEAR(at50, Mag(CData::kMin, false), 1e-12);
}

TEST_F(DataFreqStats, NoSlopeForRealOutputOrVswr) {
  trace_.ac_out = SDataTrace::kReal;
  ac_->CalcFreqData(true, 10.0, 1000.0);
  EXPECT_TRUE(std::isnan(Mag(CData::kSlope, false)));
  trace_.ac_out = SDataTrace::kMagPhase;
  trace_.type = SDataTrace::kTypeVSWR;
  ac_->CalcFreqData(true, 10.0, 1000.0);
  EXPECT_TRUE(std::isnan(Mag(CData::kSlope, false)));
  trace_.type = 0;
  ac_->CalcFreqData(false, 10.0, 1000.0);
  EXPECT_TRUE(std::isnan(Mag(CData::kSlope, false)));
}

TEST_F(DataFreqStats, DbOfZeroMagnitudeIsNoValue) {
  ac_->ClearData();
  ASSERT_TRUE(ac_->AddFreqDataPoint(10.0, 0.0, 0.0));
  ASSERT_TRUE(ac_->AddFreqDataPoint(100.0, 1.0, 0.0));
  ac_->CalcFreqData(true, 10.0, 100.0);
  EXPECT_EQ(0.0, Mag(CData::kMin, false));
  EXPECT_TRUE(std::isnan(Mag(CData::kMin, true)));
  EXPECT_TRUE(std::isnan(Mag(CData::kPP, true)));
  EXPECT_DOUBLE_EQ(0.0, Mag(CData::kMax, true));
}

TEST_F(DataFreqStats, NamedValues) {
  double v = kNaN;
  bool ok = false;
  ASSERT_TRUE(ac_->GetTraceValue("slope", 10.0, 1000.0, &v, &ok));
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(-20.0, v);
  ASSERT_TRUE(ac_->GetTraceValue("phase.min", 10.0, 1000.0, &v, &ok));
  EXPECT_EQ(-90.0, v);
  ASSERT_TRUE(ac_->GetTraceValue("phase.(100)", 10.0, 1000.0, &v, &ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ(-45.0, v);
  ASSERT_TRUE(ac_->GetTraceValue("(100)", 10.0, 1000.0, &v, &ok));
  EXPECT_DOUBLE_EQ(0.1, v);
  ASSERT_TRUE(ac_->GetTraceValue("", 10.0, 1000.0, &v, &ok));
  EXPECT_EQ(0.01, v);  // right cursor
  trace_.db = true;
  ASSERT_TRUE(ac_->GetTraceValue("(100)", 10.0, 1000.0, &v, &ok));
  EXPECT_DOUBLE_EQ(-20.0, v);
  ASSERT_TRUE(ac_->GetTraceValue("pp", 10.0, 1000.0, &v, &ok));
  EXPECT_DOUBLE_EQ(40.0, v);
  ASSERT_TRUE(ac_->GetTraceValue("mean", 10.0, 1000.0, &v, &ok));
  EXPECT_FALSE(ok);
}
