// The figures of a frequency response, on responses given in closed form:
//  - first-order low-pass: |H| = 1 / sqrt(1 + (f/fc)^2), half power at fc;
//  - series RLC across R: |H| = 1 / sqrt(1 + Q^2 (x - 1/x)^2), x = f / f0,
//    peak 1 at f0, half power at f0 (sqrt(1 + 1/(4 Q^2)) -/+ 1/(2Q)).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Response.h"

namespace {

using qvs::AnalyseResponse;
using qvs::FreqSample;
using qvs::ResponseFigures;

// n frequencies spaced evenly in log f over [f0, f1], magnitudes from h.
template <class H>
std::vector<FreqSample> LogSweep(double f0, double f1, int n, H h) {
  std::vector<FreqSample> s;
  for (int i = 0; i < n; ++i) {
    const double f = std::exp(std::log(f0) + (std::log(f1) - std::log(f0)) * i / (n - 1));
    s.push_back({f, h(f), 0.0});
  }
  return s;
}

double LowPass(double f, double fc) { return 1.0 / std::sqrt(1.0 + (f / fc) * (f / fc)); }

double BandPass(double f, double f0, double q) {
  const double x = f / f0, d = q * (x - 1.0 / x);
  return 1.0 / std::sqrt(1.0 + d * d);
}

TEST(ResponseHalfPower, ExactOnAStraightLineInDbOverLogFrequency) {
  // Flat to 100 Hz, then -20 dB per decade: the half-power point is where
  // 100 / f = 1 / sqrt(2), f = 100 sqrt(2), and interpolation over log f
  // between 100 Hz and 1 kHz meets it exactly.
  const std::vector<FreqSample> s = {{10, 1.0, 0}, {100, 1.0, 0}, {1000, 0.1, 0}};
  const ResponseFigures r = AnalyseResponse(s);
  ASSERT_TRUE(r.valid);
  ASSERT_TRUE(r.f_3db.has_value());
  EXPECT_NEAR(100.0 * std::sqrt(2.0), *r.f_3db, 1e-9);
  EXPECT_NEAR(3.0103, qvs::kHalfPowerDb, 1e-4);
}

TEST(ResponseHalfPower, LowPassCornerFromASweep) {
  const double fc = 1.0 / (2 * M_PI * 1e-3);  // 1 kOhm, 1 uF: 159.15 Hz
  // 40 points per decade; the interpolation error is ~0.04 % of f there.
  const ResponseFigures r =
      AnalyseResponse(LogSweep(1, 1e5, 201, [&](double f) { return LowPass(f, fc); }));
  ASSERT_TRUE(r.f_3db.has_value());
  EXPECT_NEAR(fc, *r.f_3db, fc * 1e-3);
  // Monotone: the peak is the first point, so there is no Q.
  EXPECT_FALSE(r.peak_inside);
  EXPECT_DOUBLE_EQ(1.0, r.peak_f);
  EXPECT_FALSE(r.q.has_value());
  EXPECT_NEAR(20 * std::log10(LowPass(1e5, fc)), qvs::ToDb(r.last.mag), 1e-12);
}

TEST(ResponseHalfPower, RelativeToTheFirstPointNotToZeroDb) {
  // The same low-pass scaled by 10 (+20 dB): the corner does not move.
  const double fc = 1000.0;
  const ResponseFigures r =
      AnalyseResponse(LogSweep(10, 1e5, 161, [&](double f) { return 10 * LowPass(f, fc); }));
  ASSERT_TRUE(r.f_3db.has_value());
  EXPECT_NEAR(fc, *r.f_3db, fc * 1e-3);
}

TEST(ResponseHalfPower, NoneWhenTheLevelNeverFallsOrOnlyRises) {
  const ResponseFigures rising =
      AnalyseResponse(LogSweep(10, 1e4, 31, [](double f) { return f / 10; }));
  EXPECT_FALSE(rising.f_3db.has_value());
  EXPECT_FALSE(rising.peak_inside);  // the peak is the last point
  EXPECT_NEAR(1e4, rising.peak_f, 1e-8);
  EXPECT_FALSE(rising.q.has_value());
  const ResponseFigures flat =
      AnalyseResponse(LogSweep(10, 1e4, 31, [](double) { return 0.9; }));
  EXPECT_FALSE(flat.f_3db.has_value());
}

TEST(ResponseHalfPower, AZeroMagnitudeAfterTheFallIsHarmless) {
  // A notch to exactly 0 (-inf dB) after the fall.
  const std::vector<FreqSample> s = {{10, 1.0, 0}, {100, 0.5, 0}, {1000, 0.0, 0}};
  const ResponseFigures r = AnalyseResponse(s);
  ASSERT_TRUE(r.f_3db.has_value());
  // -3.0103 dB between 0 dB at 10 Hz and -6.0206 dB at 100 Hz: half way in log f.
  EXPECT_NEAR(std::sqrt(10.0 * 100.0), *r.f_3db, 1e-9);
  EXPECT_EQ(10.0, r.peak_f);
  EXPECT_TRUE(std::isinf(qvs::ToDb(r.last.mag)));
}

TEST(ResponseResonance, PeakAndQOfASeriesRlc) {
  const double f0 = 1.0 / (2 * M_PI * std::sqrt(10e-3 * 1e-6));  // 1591.55 Hz
  const double q = 10.0;
  const ResponseFigures r =
      AnalyseResponse(LogSweep(100, 1e4, 2001, [&](double f) { return BandPass(f, f0, q); }));
  ASSERT_TRUE(r.peak_inside);
  EXPECT_NEAR(f0, r.peak_f, f0 * 1e-4);
  EXPECT_NEAR(0.0, r.peak_db, 1e-4);
  ASSERT_TRUE(r.q.has_value());
  EXPECT_NEAR(q, *r.q, q * 1e-3);
  const double root = std::sqrt(1 + 1 / (4 * q * q));
  ASSERT_TRUE(r.lower_3db && r.upper_3db);
  EXPECT_NEAR(f0 * (root - 1 / (2 * q)), *r.lower_3db, f0 * 1e-4);
  EXPECT_NEAR(f0 * (root + 1 / (2 * q)), *r.upper_3db, f0 * 1e-4);
  // The first point lies far below the peak, so the level never falls by
  // 3 dB below it.
  EXPECT_FALSE(r.f_3db.has_value());
}

TEST(ResponseResonance, PeakBetweenTwoSamplesIsRefined) {
  // A broad peak (Q = 1) exactly half way, in log f, between two samples
  // 0.04 decades apart: either sample is 4.7 % off f0 and 0.037 dB low. The
  // parabola through the top three samples finds f0 far closer.
  const double f0 = 1000.0;
  std::vector<FreqSample> s;
  for (int i = 0; i <= 50; ++i) {
    const double f = f0 * std::pow(10.0, (i - 25.5) * 0.04);
    s.push_back({f, BandPass(f, f0, 1.0), 0.0});
  }
  const ResponseFigures r = AnalyseResponse(s);
  ASSERT_TRUE(r.peak_inside);
  EXPECT_NEAR(f0, r.peak_f, f0 * 5e-3);
  EXPECT_NEAR(0.0, r.peak_db, 5e-3);
  ASSERT_TRUE(r.q.has_value());
  EXPECT_NEAR(1.0, *r.q, 0.01);
}

TEST(ResponseResonance, NoQWhenAHalfPowerPointLiesOutsideTheSweep) {
  const double f0 = 1000.0;
  // The sweep ends just above f0, before the upper half-power point.
  const ResponseFigures r =
      AnalyseResponse(LogSweep(100, 1040, 401, [&](double f) { return BandPass(f, f0, 10); }));
  EXPECT_TRUE(r.peak_inside);
  EXPECT_TRUE(r.lower_3db.has_value());
  EXPECT_FALSE(r.upper_3db.has_value());
  EXPECT_FALSE(r.q.has_value());
}

TEST(ResponseFigures, EmptyAndSinglePoint) {
  EXPECT_FALSE(AnalyseResponse({}).valid);
  const ResponseFigures one = AnalyseResponse({{50, 2.0, -30}});
  ASSERT_TRUE(one.valid);
  EXPECT_EQ(50, one.first.f);
  EXPECT_EQ(-30, one.last.phase);
  EXPECT_NEAR(20 * std::log10(2.0), one.peak_db, 1e-12);
  EXPECT_FALSE(one.peak_inside);
  EXPECT_FALSE(one.f_3db.has_value());
}

}  // namespace
