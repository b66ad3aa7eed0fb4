#include "Stats.h"

#include <algorithm>
#include <cmath>

namespace qvs {

double ValueAt(const std::vector<Sample>& s, double t) {
  if (s.empty()) return std::nan("");
  if (t <= s.front().t) return s.front().v;
  if (t >= s.back().t) return s.back().v;
  // First sample after t; the one before it is at or before t.
  auto hi = std::upper_bound(s.begin(), s.end(), t,
                             [](double x, const Sample& p) { return x < p.t; });
  auto lo = hi - 1;
  if (lo->t == t || hi->t == lo->t) return lo->v;
  return lo->v + (hi->v - lo->v) * (t - lo->t) / (hi->t - lo->t);
}

WindowStats ComputeStats(const std::vector<Sample>& s, double from) {
  WindowStats st;
  if (s.empty() || s.back().t < from) return st;

  // The window's curve: the interpolated start point, then every sample
  // after it.
  std::vector<Sample> w;
  std::size_t i = 0;
  while (i < s.size() && s[i].t < from) ++i;
  if (i > 0 && (i == s.size() || s[i].t > from)) w.push_back({from, ValueAt(s, from)});
  for (; i < s.size(); ++i) w.push_back(s[i]);

  st.valid = true;
  st.points = static_cast<int>(w.size());
  st.final = w.back().v;
  st.min = st.max = w.front().v;
  double area = 0.0, area2 = 0.0;
  for (std::size_t k = 0; k < w.size(); ++k) {
    st.min = std::min(st.min, w[k].v);
    st.max = std::max(st.max, w[k].v);
    if (k == 0) continue;
    const double dt = w[k].t - w[k - 1].t;
    const double a = w[k - 1].v, b = w[k].v;
    area += 0.5 * (a + b) * dt;
    // Exact integral of the square of a straight segment.
    area2 += (a * a + a * b + b * b) / 3.0 * dt;
  }
  const double span = w.back().t - w.front().t;
  if (span > 0) {
    st.mean = area / span;
    st.rms = std::sqrt(std::max(0.0, area2 / span));
  } else {
    st.mean = st.final;
    st.rms = std::fabs(st.final);
  }
  return st;
}

}  // namespace qvs
