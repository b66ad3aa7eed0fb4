// Cursor statistics of a storage run: values, limits, integrals, mean, RMS
// and frequency between two times (transient) or limits and gain slope
// between two frequencies (AC), and the named values formulas ask for.

#include <algorithm>
#include <cmath>
#include <limits>

#include "expr/globals.h"
#include "traces/Data.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool MagnitudeInDbRange(double m) { return m >= 1e-30 && m <= 1e300; }

// Folds x into the limits; a NaN x changes nothing.
void Widen(double x, double* mn, double* mx) {
  if (std::isnan(x)) return;
  if (std::isnan(*mn) || x < *mn) *mn = x;
  if (std::isnan(*mx) || x > *mx) *mx = x;
}

// Integral over dt of the straight line from a to b, and of its square.
void AddTrapezoid(double a, double b, double dt, double* integral, double* integral2) {
  *integral += (a + b) * 0.5 * dt;
  *integral2 += (a * b + a * a + b * b) / 3.0 * dt;
}

// Rising and falling crossings of one level: first and last time, count.
struct SCrossings {
  double first = 0.0, last = 0.0;
  int count = 0;
  void Add(double t) {
    if (count++ == 0) first = t;
    last = t;
  }
};

}  // namespace

void CData::FoldBlocks(int from, int to, double* mn, double* mx, double* integral,
                       double* integral2) const {
  const bool analog =
      trace_->mode != SDataTrace::kDigital && trace_->mode != SDataTrace::kBus;
  const int first = from >> 8, last = to >> 8;
  for (int b = first; b <= last; ++b) {
    CDataBlock& block = *blocks_[static_cast<std::size_t>(b)];
    block.CalcBlock(b == first ? (from & 255) : 0, b == last ? (to & 255) : 255, *trace_);
    Widen(block.Min(), mn, mx);
    Widen(block.Max(), mn, mx);
    *integral += block.Integral();
    *integral2 += block.Integral2();
    if (b == first) continue;
    // The interval from the last point of the previous block to this one.
    double ta, a, tb, bv;
    blocks_[static_cast<std::size_t>(b - 1)]->PointAt(CDataBlock::kPoints - 1, &ta, &a);
    block.PointAt(0, &tb, &bv);
    a = Digital(a);
    bv = Digital(bv);
    if (analog) AddTrapezoid(a, bv, tb - ta, integral, integral2);
    else *integral += a * (tb - ta);
  }
}

void CData::CalcTranData(bool frequency, double t1, double t2) {
  for (int k = 0; k < kStatCount; ++k) stat_[k] = phase_[k] = kNaN;
  double left, right;
  GetDataPoint(t1, &left, true);
  GetDataPoint(t2, &right, true);
  stat_[kLeft] = left;
  stat_[kRight] = right;
  if (total_ == 0) return;

  const bool bus = trace_->mode == SDataTrace::kBus;
  const bool analog = trace_->mode != SDataTrace::kDigital && !bus;
  double t, v;
  if (total_ == 1) {
    GetDataAt(0, &t, &v, true);
    stat_[kMean] = stat_[kMin] = stat_[kMax] = v;
    if (analog) stat_[kRms] = stat_[kSd] = 0.0;
    return;
  }

  const int i1 = Find(t1);
  if (i1 >= total_ - 1) return;
  int start = i1 + 1;
  if (i1 < 0) {
    start = 0;
    GetDataAt(0, &t1, &v, true);
  }
  int i2 = Find(t2);
  if (i2 < 0) return;
  if (i2 >= total_ - 1) {
    i2 = total_ - 1;
    GetDataAt(i2, &t2, &v, true);
  }

  double mn = kNaN, mx = kNaN, integral = 0.0, integral2 = 0.0;
  // Mean and square mean when they do not come from the integrals.
  double mean = kNaN, square_mean = kNaN;
  double t0, v0;
  GetDataAt(0, &t0, &v0, true);
  GetDataAt(1, &t, &v, true);
  const bool equal_pair = total_ == 2 && CompareValues(t0, t) == 0;

  if (start > i2 || equal_pair) {
    // t1 and t2 lie in one interval, from point a to point b.
    const int a = equal_pair ? 0 : i1;
    double ta, va, tb, vb;
    GetDataAt(a, &ta, &va, false);
    GetDataAt(a + 1, &tb, &vb, false);
    if (CompareValues(ta, tb) == 0) {
      mean = mn = mx = Digital(vb);
      square_mean = mean * mean;
    } else {
      mn = mx = left;
      Widen(right, &mn, &mx);
      if (analog) {
        const double p = va + (t1 - ta) / (tb - ta) * (vb - va);
        const double q = va + (t2 - ta) / (tb - ta) * (vb - va);
        integral = (p + q) * 0.5 * (t2 - t1);
        integral2 = (p * p + p * q + q * q) / 3.0 * (t2 - t1);
      } else {
        integral = Digital(va) * (t2 - t1);
      }
    }
  } else {
    double ts, vs;
    GetDataAt(start, &ts, &vs, true);
    mn = mx = vs;
    Widen(left, &mn, &mx);
    Widen(right, &mn, &mx);
    if (start > 0 && CompareValues(ts, t1) > 0) {
      // From t1 to the first point inside the range.
      double tp, vp;
      GetDataAt(start - 1, &tp, &vp, true);
      if (analog) {
        const double p = vp + (t1 - tp) / (ts - tp) * (vs - vp);
        AddTrapezoid(p, vs, ts - t1, &integral, &integral2);
      } else {
        integral += vp * (ts - t1);
      }
    }
    FoldBlocks(start, i2, &mn, &mx, &integral, &integral2);
    double te, ve;
    GetDataAt(i2, &te, &ve, true);
    if (i2 < total_ - 1 && CompareValues(t2, te) > 0) {
      // From the last point inside the range to t2.
      if (analog) {
        double tn, vn;
        GetDataAt(i2 + 1, &tn, &vn, true);
        const double q = ve + (t2 - te) / (tn - te) * (vn - ve);
        AddTrapezoid(ve, q, t2 - te, &integral, &integral2);
      } else {
        integral += ve * (t2 - te);
      }
    }
  }

  stat_[kMin] = mn;
  stat_[kMax] = mx;
  stat_[kIntegral] = t2 == t1 ? 0.0 : integral;
  if (t2 > t1 && !equal_pair) {
    mean = integral / (t2 - t1);
    square_mean = integral2 / (t2 - t1);
  }
  // Crossings are of the mean in stored units; a bus mean is shown scaled.
  const double level = mean;
  if (bus && trace_->bus_fraction_bits > 0) mean = std::ldexp(mean, -trace_->bus_fraction_bits);
  stat_[kMean] = mean;
  if (analog && !std::isnan(square_mean)) {
    // Without a square mean (empty or reversed range) RMS and SD stay unknown.
    const double rms = square_mean > 0.0 ? std::sqrt(square_mean) : 0.0;
    const double var = rms * rms - mean * mean;
    stat_[kRms] = rms;
    stat_[kSd] = var > 0.0 ? std::sqrt(var) : 0.0;
  }

  if (!frequency || std::isnan(level) || start > i2) return;
  SCrossings rising, falling;
  double tp = 0.0, yp = 0.0;
  for (int i = start; i <= i2; ++i) {
    GetDataAt(i, &t, &v, true);
    const double y = v - level;
    if (i > start && (yp < 0.0) != (y < 0.0)) {
      const double tc = tp - (t - tp) * yp / (y - yp);
      if (y >= 0.0) rising.Add(tc);
      else falling.Add(tc);
    }
    tp = t;
    yp = y;
  }
  if (rising.count - 1 < 1 && falling.count - 1 < 1) return;
  const SCrossings& c = falling.count > rising.count ? falling : rising;
  const double period = (c.last - c.first) / (c.count - 1);
  stat_[kPeriod] = period;
  if (period > 0.0) stat_[kFreq] = 1.0 / period;
}

bool CData::GetDataVar(int index, double cursor, double* v) const {
  if (index < 0) return false;
  if (index == kDelta || index == kPP) {
    const double a = index == kDelta ? stat_[kRight] : stat_[kMax];
    const double b = index == kDelta ? stat_[kLeft] : stat_[kMin];
    if (std::isnan(a) || std::isnan(b)) return false;
    double d = a - b;
    if (trace_->mode == SDataTrace::kBus && trace_->bus_fraction_bits > 0)
      d = std::ldexp(d, -trace_->bus_fraction_bits);
    *v = d;
    return true;
  }
  if (index == kCursor) return GetDataPoint(cursor, v, true);
  if (index >= kStatCount || std::isnan(stat_[index])) return false;
  *v = stat_[index];
  return true;
}

void CData::CalcFreqData(bool with_slope, double f1, double f2) {
  for (int k = 0; k < kStatCount; ++k) stat_[k] = phase_[k] = kNaN;
  double m1, db1, p1, m2, db2, p2;
  GetFreqDataPoint(f1, &m1, &db1, &p1);
  GetFreqDataPoint(f2, &m2, &db2, &p2);
  stat_[kLeft] = m1;
  stat_[kRight] = m2;
  phase_[kLeft] = p1;
  phase_[kRight] = p2;
  if (total_ == 0 || doubles_ < 3 || type_ != 0) return;

  double mn = kNaN, mx = kNaN, pmn = kNaN, pmx = kNaN;
  Widen(m1, &mn, &mx);
  Widen(m2, &mn, &mx);
  Widen(p1, &pmn, &pmx);
  Widen(p2, &pmn, &pmx);
  const int i1 = Find(f1);
  const int start = i1 < 0 ? 0 : i1 + 1;
  int i2 = Find(f2);
  if (i2 > total_ - 1) i2 = total_ - 1;
  if (i2 >= 0 && start <= i2) {
    const int first = start >> 8, last = i2 >> 8;
    for (int b = first; b <= last; ++b) {
      CDataBlock& block = *blocks_[static_cast<std::size_t>(b)];
      block.CalcBlock(b == first ? (start & 255) : 0, b == last ? (i2 & 255) : 255, *trace_);
      Widen(block.Min(), &mn, &mx);
      Widen(block.Max(), &mn, &mx);
      Widen(block.PhaseMin(), &pmn, &pmx);
      Widen(block.PhaseMax(), &pmn, &pmx);
    }
  }
  stat_[kMin] = mn;
  stat_[kMax] = mx;
  phase_[kMin] = pmn;
  phase_[kMax] = pmx;

  if (!with_slope || trace_->ac_out != SDataTrace::kMagPhase ||
      trace_->type == SDataTrace::kTypeVSWR)
    return;
  double fa = f1, fb = f2, ma = m1, mb = m2;
  if (i1 >= 0 && i1 == Find(f2) && i1 < total_ - 1) {
    // Both inside one interval: its end points give the same slope without
    // the rounding of two interpolations.
    const double* a = PointPtr(i1);
    const double* b = PointPtr(i1 + 1);
    fa = a[0];
    ma = a[1];
    fb = b[0];
    mb = b[1];
  }
  if (fa > 1e-30 && fb > 1e-30 && ma > 1e-30 && mb > 1e-30 && fa != fb)
    stat_[kSlope] = 20.0 * std::log10(mb / ma) / std::log10(fb / fa);
}

bool CData::GetFreqDataVar(int index, double cursor, double* v, bool db) const {
  if (index < 0) return false;
  // The stored magnitude x as shown: itself, or in dB.
  auto shown = [db](double x, double* out) {
    if (std::isnan(x)) return false;
    if (db) {
      if (!MagnitudeInDbRange(x)) return false;
      x = 20.0 * std::log10(x);
    }
    *out = x;
    return true;
  };
  switch (index) {
    case kCursor: {
      double m, d, p;
      if (!GetFreqDataPoint(cursor, &m, &d, &p)) return false;
      const double x = db ? d : m;
      if (std::isnan(x)) return false;
      *v = x;
      return true;
    }
    case kDelta:
    case kPP: {
      double a, b;
      if (!shown(stat_[index == kDelta ? kRight : kMax], &a) ||
          !shown(stat_[index == kDelta ? kLeft : kMin], &b))
        return false;
      *v = a - b;
      return true;
    }
    case kLeft:
    case kRight:
    case kMin:
    case kMax:
      return shown(stat_[index], v);
    default:
      if (index >= kStatCount || std::isnan(stat_[index])) return false;
      *v = stat_[index];
      return true;
  }
}

bool CData::GetFreqDataVarPhase(int index, double cursor, double* v) const {
  if (index < 0) return false;
  if (index == kCursor) {
    double m, d, p;
    if (!GetFreqDataPoint(cursor, &m, &d, &p) || std::isnan(p)) return false;
    *v = p;
    return true;
  }
  if (index == kDelta || index == kPP) {
    const double a = phase_[index == kDelta ? kRight : kMax];
    const double b = phase_[index == kDelta ? kLeft : kMin];
    if (std::isnan(a) || std::isnan(b)) return false;
    *v = a - b;
    return true;
  }
  if (index >= kStatCount || std::isnan(phase_[index])) return false;
  *v = phase_[index];
  return true;
}

bool CData::GetTraceValue(const AnsiString& name, double left, double right, double* v,
                          bool* ok) {
  *ok = false;
  AnsiString n = name;
  bool phase = false;
  if (n.Length() >= 5 && n.SubString(1, 5).LowerCase() == "phase") {
    phase = true;  // "phase" and its separator, as in "phase.max"
    n = n.Length() > 6 ? n.SubString(7, -1) : AnsiString();
  }
  if (n.IsEmpty()) n = "right";

  if (n[1] == '(') {
    const int close = n.Pos(")");
    const AnsiString text = close > 0 ? n.SubString(2, close - 2) : n.SubString(2, -1);
    double x;
    if (!indig(text, &x)) return false;
    if (trace_->transient) {
      GetDataPoint(x, v, false);
    } else {
      double m, d, p;
      GetFreqDataPoint(x, &m, &d, &p);
      *v = phase ? p : (trace_->db ? d : m);
    }
    *ok = true;
    return true;
  }

  const AnsiString lower = n.LowerCase();
  int index = -1;
  for (int k = 0; k < kStatCount && index < 0; ++k)
    if (lower == VarNames[k]) index = k;
  if (index < 0) return false;
  if (trace_->transient) {
    CalcTranData(true, left, right);
    *ok = GetDataVar(index, 0.0, v);
  } else {
    CalcFreqData(true, left, right);
    *ok = phase ? GetFreqDataVarPhase(index, 0.0, v) : GetFreqDataVar(index, 0.0, v, trace_->db);
  }
  return true;
}
