#include "Response.h"

#include <cmath>
#include <cstddef>

namespace qvs {

namespace {

// The abscissa levels are interpolated over: log frequency, or frequency
// for a pair that reaches 0 Hz or below.
double Axis(double f, bool log) { return log ? std::log(f) : f; }

// The frequency between samples a and b at which the level is `level`;
// a.db and b.db lie on either side of it (or on it).
double Crossing(double fa, double da, double fb, double db, double level) {
  if (!std::isfinite(da) || !std::isfinite(db) || da == db) {
    // A magnitude of 0 has no dB to interpolate with: the finite side is
    // the best estimate; equal levels both are the level.
    return std::isfinite(da) ? fa : fb;
  }
  const bool log = fa > 0 && fb > 0;
  const double xa = Axis(fa, log), xb = Axis(fb, log);
  const double x = xa + (xb - xa) * (da - level) / (da - db);
  return log ? std::exp(x) : x;
}

}  // namespace

double ToDb(double mag) { return 20.0 * std::log10(mag); }

ResponseFigures AnalyseResponse(const std::vector<FreqSample>& s) {
  ResponseFigures r;
  const std::size_t n = s.size();
  if (n == 0) return r;
  r.valid = true;
  r.first = s.front();
  r.last = s.back();

  std::vector<double> db(n);
  for (std::size_t i = 0; i < n; ++i) db[i] = ToDb(s[i].mag);

  std::size_t k = 0;  // the first largest sample
  for (std::size_t i = 1; i < n; ++i)
    if (db[i] > db[k]) k = i;
  r.peak_db = db[k];
  r.peak_f = s[k].f;
  r.peak_inside = k > 0 && k + 1 < n;
  if (r.peak_inside && std::isfinite(db[k - 1]) && std::isfinite(db[k + 1])) {
    // The parabola y = y1 + b u + a u^2 through the three samples, in
    // u = x - x1 so that nearby log frequencies do not cancel. y1 is the
    // largest, so a <= 0 and the vertex lies between the neighbours.
    const bool log = s[k - 1].f > 0;
    const double x1 = Axis(s[k].f, log);
    const double h0 = x1 - Axis(s[k - 1].f, log), h2 = Axis(s[k + 1].f, log) - x1;
    const double d0 = db[k - 1] - db[k], d2 = db[k + 1] - db[k];
    if (h0 > 0 && h2 > 0) {
      const double a = (d0 * h2 + d2 * h0) / (h0 * h2 * (h0 + h2));
      const double b = (d2 - a * h2 * h2) / h2;
      if (a < 0) {
        double u = -b / (2.0 * a);
        u = u < -h0 ? -h0 : u > h2 ? h2 : u;
        r.peak_db = db[k] + b * u + a * u * u;
        r.peak_f = log ? std::exp(x1 + u) : x1 + u;
      }
    }
  }

  const double fall = db[0] - kHalfPowerDb;
  for (std::size_t i = 1; i < n && std::isfinite(fall); ++i) {
    if (db[i] <= fall) {
      r.f_3db = Crossing(s[i - 1].f, db[i - 1], s[i].f, db[i], fall);
      break;
    }
  }

  if (r.peak_inside && std::isfinite(r.peak_db)) {
    const double level = r.peak_db - kHalfPowerDb;
    for (std::size_t i = k; i-- > 0;) {
      if (db[i] <= level) {
        r.lower_3db = Crossing(s[i + 1].f, db[i + 1], s[i].f, db[i], level);
        break;
      }
    }
    for (std::size_t i = k + 1; i < n; ++i) {
      if (db[i] <= level) {
        r.upper_3db = Crossing(s[i - 1].f, db[i - 1], s[i].f, db[i], level);
        break;
      }
    }
    if (r.lower_3db && r.upper_3db && *r.upper_3db > *r.lower_3db)
      r.q = r.peak_f / (*r.upper_3db - *r.lower_3db);
  }
  return r;
}

}  // namespace qvs
