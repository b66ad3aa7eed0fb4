// Cursor statistics between two times or frequencies, and the named values
// formulas ask a run for. Expected values are worked out by hand or by a
// reference integration in this file.

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
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

// (statistic index, expected value); NaN: the run has no value for it.
using StatList = std::vector<std::pair<int, double>>;

// Each statistic within 4 ulps (tol 0) or within tol.
void ExpectVars(CData& run, const StatList& want, double tol = 0.0) {
  for (const auto& [index, v] : want) {
    const double got = Var(run, index);
    if (std::isnan(v))
      EXPECT_TRUE(std::isnan(got)) << "statistic " << index << " = " << got;
    else if (tol == 0.0)
      EXPECT_DOUBLE_EQ(v, got) << "statistic " << index;
    else
      EXPECT_NEAR(v, got, tol) << "statistic " << index;
  }
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

TEST_F(DataTranStats, WindowsAcrossInsideBeyondAndOnAPoint) {
  using C = CData;
  const struct {
    double a, b;
    StatList want;
  } rows[] = {
      // Pieces: [0.5,1] 1->2, [1,2] 2, [2,3] 2->-1, [3,3.5] -1->0. Integral
      // 0.75 + 2 + 0.5 - 0.25 = 3; of the square 7/6 + 4 + 1 + 1/6 = 19/3.
      // Frequency not asked for.
      {0.5, 3.5, {{C::kLeft, 1}, {C::kRight, 0}, {C::kDelta, -1}, {C::kMin, -1}, {C::kMax, 2},
                  {C::kPP, 3}, {C::kIntegral, 3}, {C::kMean, 1}, {C::kRms, std::sqrt(19.0 / 9.0)},
                  {C::kSd, std::sqrt(10.0 / 9.0)}, {C::kFreq, kNaN}, {C::kSlope, kNaN}}},
      // On 2 -> -1 over [2,3]: p = 1.25, q = -0.25.
      {2.25, 2.75, {{C::kMin, -0.25}, {C::kMax, 1.25}, {C::kIntegral, 0.25}, {C::kMean, 0.5},
                    {C::kRms, std::sqrt(0.4375)}, {C::kSd, std::sqrt(0.4375 - 0.25)}}},
      // Cut to [0, 4]: 1 + 2 + 0.5 + 0 = 3.5; no cursor values there.
      {-5.0, 10.0, {{C::kLeft, kNaN}, {C::kRight, kNaN}, {C::kDelta, kNaN}, {C::kIntegral, 3.5},
                    {C::kMean, 0.875}, {C::kMin, -1}, {C::kMax, 2}}},
      // Equal cursors: no length to divide by.
      {1.5, 1.5, {{C::kIntegral, 0}, {C::kMean, kNaN}, {C::kMax, 2}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "window " << row.a << " .. " << row.b);
    Run().CalcTranData(false, row.a, row.b);
    ExpectVars(Run(), row.want);
  }
  // A window entirely outside gives no value at all.
  for (const auto& [a, b] : {std::pair{5.0, 6.0}, std::pair{-3.0, -2.0}}) {
    Run().CalcTranData(true, a, b);
    for (int k = 0; k < CData::kStatCount; ++k) EXPECT_TRUE(std::isnan(Var(Run(), k))) << a << " " << k;
  }
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
  // "" reads the right cursor (3.5 -> 0), "(x)" the value interpolated at
  // x ((3.75): -1 -> 1 over [3, 4]); "phase" and its separator mean nothing
  // more for a transient trace.
  const struct {
    const char* name;
    double want;
  } rows[] = {{"mean", 1.0},      {"MeAn", 1.0}, {"rms", std::sqrt(19.0 / 9.0)}, {"pp", 3.0},
              {"integral", 3.0},  {"delta", -1.0}, {"", 0.0}, {"(0.5)", 1.0}, {"(3.75)", 0.5},
              {"phase.max", 2.0}};
  for (const auto& row : rows) {
    bool ok = false, found = false;
    EXPECT_DOUBLE_EQ(row.want, Named(row.name, &ok, &found)) << row.name;
    EXPECT_TRUE(found && ok) << row.name;
  }
  // Known names without a value (only one crossing of the mean in the
  // window: no frequency) are found, but give no value; unknown ones are
  // not found.
  for (const auto& [name, known] : {std::pair{"slope", true}, {"freq", true}, {"cursor", false},
                                    {"average", false}, {"(abc)", false}, {"mean2", false}}) {
    bool ok = true, found = !known;
    Named(name, &ok, &found);
    EXPECT_EQ(known, found) << name;
    EXPECT_FALSE(ok) << name;
  }
}

using DataStatsShapes = DataTest;

TEST_F(DataStatsShapes, OnePointOrTwoAtOneTimeHaveNoSpread) {
  using C = CData;
  // One point is its own mean with no integral; of two at one time the
  // later value counts, over no length.
  Fill({{1.0, 3.0}});
  Run().CalcTranData(true, 0.0, 2.0);
  ExpectVars(Run(), {{C::kMean, 3}, {C::kMin, 3}, {C::kMax, 3}, {C::kRms, 0}, {C::kSd, 0},
                     {C::kIntegral, kNaN}});
  Run().ClearData();
  Fill({{1.0, 3.0}, {1.0, 5.0}});
  Run().CalcTranData(false, 0.0, 2.0);
  ExpectVars(Run(), {{C::kMean, 5}, {C::kMin, 5}, {C::kMax, 5}, {C::kRms, 5}, {C::kSd, 0},
                     {C::kIntegral, 0}});
}

TEST_F(DataStatsShapes, SquareWaveMeanHalfAndFrequencyFromCrossings) {
  using C = CData;
  // 1 for the first half of each 1 ms period, 0 for the second; vertical
  // edges are two points at one time. Ten periods.
  const double period = 1e-3;
  for (int k = 0; k < 10; ++k)
    Fill({{k * period, 1.0}, {(k + 0.5) * period, 1.0}, {(k + 0.5) * period, 0.0},
          {(k + 1) * period, 0.0}});
  Run().CalcTranData(true, 0.0, 10 * period);
  ExpectVars(Run(), {{C::kMean, 0.5}, {C::kRms, std::sqrt(0.5)}, {C::kSd, 0.5}}, 1e-12);
  // Falling edges at 0.5, 1.5 .. 9.5 ms (ten) outnumber rising ones at
  // 1 .. 9 ms (nine): period (9.5 - 0.5) / 9 ms.
  ExpectVars(Run(), {{C::kIntegral, 5 * period}, {C::kPeriod, period}}, 1e-15);
  ExpectVars(Run(), {{C::kFreq, 1000.0}}, 1e-9);
  ExpectVars(Run(), {{C::kMin, 0}, {C::kMax, 1}});
  // Whole periods starting mid-pulse give the same mean.
  Run().CalcTranData(true, 0.25 * period, 3.25 * period);
  ExpectVars(Run(), {{C::kMean, 0.5}}, 1e-12);
  ExpectVars(Run(), {{C::kPeriod, period}}, 1e-15);
}

TEST_F(DataStatsShapes, PeriodFromTheMoreNumerousEdgesRisingOnATie) {
  // Vertical edges, so crossings lie on them whatever the mean between 0
  // and 1: falling at 1, 3, 5 (spacing 2), rising at 2, 4.5 (spacing 2.5).
  Fill({{0, 1}, {1, 1}, {1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}, {4.5, 0}, {4.5, 1}, {5, 1},
        {5, 0}, {6, 0}});
  Run().CalcTranData(true, 0.0, 6.0);  // three falling, two rising
  ExpectVars(Run(), {{CData::kMean, 2.5 / 6.0}, {CData::kPeriod, 2.0}, {CData::kFreq, 0.5}});
  Run().CalcTranData(true, 0.0, 4.75);  // two of each: the rising ones count
  ExpectVars(Run(), {{CData::kPeriod, 2.5}, {CData::kFreq, 0.4}});
}

TEST_F(DataStatsShapes, DigitalIntegralHoldsTheLevelOfEachIntervalStart) {
  using C = CData;
  trace_.mode = SDataTrace::kDigital;
  trace_.threshold = 2.5;
  Fill({{0, 0.0}, {1, 5.0}, {3, 0.0}, {4, 5.0}});
  Run().CalcTranData(false, 0.5, 3.5);  // high from 1 to 3 only
  ExpectVars(Run(), {{C::kIntegral, 2}, {C::kMean, 2.0 / 3.0}, {C::kMin, 0}, {C::kMax, 1},
                     {C::kRms, kNaN}, {C::kSd, kNaN}});
  Run().CalcTranData(false, 1.5, 2.5);  // inside one interval: the level of its start
  ExpectVars(Run(), {{C::kIntegral, 1}, {C::kMean, 1}});
}

TEST_F(DataStatsShapes, BusMeanAndSpreadsAreScaledByFractionBits) {
  using C = CData;
  trace_.mode = SDataTrace::kBus;
  trace_.bus_fraction_bits = 2;
  Fill({{0, 3.6}, {1, 8.2}, {2, 8.2}});
  Run().CalcTranData(false, 0.0, 2.0);
  // Rounded 4, 8, 8: integral 4 + 8 = 12, mean 6 / 2^2, pp and delta
  // (8 - 4) / 4; the limits are unscaled.
  ExpectVars(Run(), {{C::kIntegral, 12}, {C::kMean, 1.5}, {C::kPP, 1}, {C::kDelta, 1},
                     {C::kMin, 4}, {C::kRms, kNaN}});
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
      {ts[3] + 0.2, ts[990] - 0.1},   // four blocks, partial ends
      {ts[300] + 0.1, ts[511]},       // ends on the last point of block 1
      {ts[256], ts[767]},             // whole blocks 1 and 2
      {ts[256], ts[767]},             // again, from the cached blocks
      {ts[10] + 0.3, ts[250] + 0.4},  // inside block 0
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(testing::Message() << "window from " << w[0]);
    const SReference r = Reference(ts, vs, w[0], w[1]);
    Run().CalcTranData(false, w[0], w[1]);
    const double len = w[1] - w[0];
    ExpectVars(Run(), {{CData::kIntegral, r.integral}}, 1e-9);
    ExpectVars(Run(), {{CData::kMean, r.integral / len}, {CData::kRms, std::sqrt(r.integral2 / len)}},
               1e-11);
    EXPECT_EQ(r.mn, Var(Run(), CData::kMin));
    EXPECT_EQ(r.mx, Var(Run(), CData::kMax));
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
  using C = CData;
  ac_->CalcFreqData(true, 10.0, 1000.0);
  // Magnitude, in dB, phase; mean is no AC statistic. kSkip: not checked.
  constexpr double kSkip = std::numeric_limits<double>::infinity();
  const struct {
    int index;
    double mag, db, phase;
  } rows[] = {
      {C::kLeft, 1.0, 0.0, 0.0},         {C::kRight, 0.01, -40.0, -90.0},
      {C::kMin, 0.01, -40.0, -90.0},     {C::kMax, 1.0, 0.0, 0.0},
      {C::kSlope, -20.0, kSkip, kSkip},  {C::kDelta, -0.99, -40.0, -90.0},
      {C::kPP, 0.99, 40.0, 90.0},        {C::kMean, kNaN, kSkip, kSkip},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "statistic " << row.index);
    for (const auto& [got, want] : {std::pair{Mag(row.index, false), row.mag},
                                    {Mag(row.index, true), row.db}, {Phase(row.index), row.phase}}) {
      if (std::isnan(want)) {
        EXPECT_TRUE(std::isnan(got)) << got;
      } else if (want != kSkip) {
        EXPECT_DOUBLE_EQ(want, got);
      }
    }
  }
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
  EXPECT_NEAR(1.0 - 0.9 * std::log10(2.0), Mag(CData::kMax, false), 1e-12);
  EXPECT_NEAR(1.0 - 0.9 * std::log10(5.0), Mag(CData::kMin, false), 1e-12);
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
  // "" is the right cursor; mean has no value for an AC trace.
  const struct {
    bool db;
    const char* name;
    double want;
  } rows[] = {{false, "slope", -20.0}, {false, "phase.min", -90.0}, {false, "phase.(100)", -45.0},
              {false, "(100)", 0.1},   {false, "", 0.01},           {true, "(100)", -20.0},
              {true, "pp", 40.0},      {true, "mean", kNaN}};
  for (const auto& row : rows) {
    trace_.db = row.db;
    double v = kNaN;
    bool ok = false;
    ASSERT_TRUE(ac_->GetTraceValue(row.name, 10.0, 1000.0, &v, &ok)) << row.name;
    EXPECT_EQ(!std::isnan(row.want), ok) << row.name;
    if (ok) {
      EXPECT_DOUBLE_EQ(row.want, v) << row.name;
    }
  }
}
