#pragma once
// The figures `qvs ac` reads off a frequency response: level and phase at
// both ends, the peak, the -3 dB frequency and the Q of a resonance.
//
// "-3 dB" is the half-power level, 10 log10(1/2) = -3.0103 dB, so that the
// -3 dB frequency of a first-order low-pass is exactly 1 / (2 pi R C) and a
// resonance's bandwidth is the one in Q = f0 / bandwidth. Between two
// samples a level is interpolated linearly in dB over log frequency (over
// frequency when a frequency is not above 0): a first-order roll-off is a
// straight line there, so the interpolation error stays far below the
// sample spacing.

#include <optional>
#include <vector>

#include "Circuit.h"

namespace qvs {

// dB below the reference at the half-power points.
constexpr double kHalfPowerDb = 3.010299956639812;

// 20 log10(mag); -inf for a magnitude of 0.
double ToDb(double mag);

struct ResponseFigures {
  bool valid = false;  // false without samples; nothing else is set then
  FreqSample first{}, last{};
  // The largest level: the largest sample, refined by the parabola through
  // it and its two neighbours (dB over log frequency) when it lies inside
  // the sweep; the sample itself at either end.
  double peak_db = 0.0;
  double peak_f = 0.0;  // Hz
  bool peak_inside = false;
  // The first frequency at which the level has fallen by kHalfPowerDb
  // below the first point's level; none when it never does.
  std::optional<double> f_3db;
  // For a peak inside the sweep: the frequencies below and above it where
  // the level is kHalfPowerDb under the peak, and Q = peak_f / (upper -
  // lower). None when either point lies outside the sweep.
  std::optional<double> lower_3db, upper_3db, q;
};

// samples in frequency order, as an AC run records them.
ResponseFigures AnalyseResponse(const std::vector<FreqSample>& samples);

}  // namespace qvs
