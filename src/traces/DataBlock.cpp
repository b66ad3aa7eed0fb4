#include "traces/DataBlock.h"

#include <cmath>
#include <cstring>

namespace {

// Bytes of one raw sample: signed/unsigned 8, 16, 32 bit, float, double.
constexpr int m_type_width[9] = {0, 1, 1, 2, 2, 4, 4, 4, 8};

// Degrees to radians with the constant the stored phases were made with.
constexpr double kDegToRad = 3.14159265358 / 180.0;

// Raw sample at p of the given type, as a double. Samples are little-endian
// like the host, so a byte copy reads them.
double RawSample(uint32_t type, const unsigned char* p) {
  switch (type) {
    case 1: { int8_t x; std::memcpy(&x, p, 1); return x; }
    case 2: { uint8_t x; std::memcpy(&x, p, 1); return x; }
    case 3: { int16_t x; std::memcpy(&x, p, 2); return x; }
    case 4: { uint16_t x; std::memcpy(&x, p, 2); return x; }
    case 5: { int32_t x; std::memcpy(&x, p, 4); return x; }
    case 6: { uint32_t x; std::memcpy(&x, p, 4); return x; }
    case 7: { float x; std::memcpy(&x, p, 4); return x; }
    default: { double x; std::memcpy(&x, p, 8); return x; }
  }
}

}  // namespace

int CDataBlock::TypeWidth(uint32_t type) {
  return type < 9 ? m_type_width[type] : 0;
}

bool CDataBlock::GetBlockDataAt(int index, double* t, double* v) const {
  if (type_ == 0 || index < 0 || index >= count_) return false;
  *t = index * x_scale_ + x_zero_;
  *v = (RawSample(type_, data_ + index * point_size_) - y_offset_) * y_scale_ + y_zero_;
  return true;
}

void CDataBlock::PointAt(int index, double* t, double* v) const {
  if (type_ != 0) {
    *t = index * x_scale_ + x_zero_;
    *v = (RawSample(type_, data_ + index * point_size_) - y_offset_) * y_scale_ + y_zero_;
    return;
  }
  const double* p = Points() + index * doubles_;
  *t = p[0];
  *v = p[1];
}

void CDataBlock::NoteValue(int slot, double v) {
  if (slot == 0) {
    vmax_ = vmin_ = v;
  } else {
    if (v > vmax_) vmax_ = v;
    if (v < vmin_) vmin_ = v;
  }
}

void CDataBlock::CreateBlockFD() {
  for (int i = 0; i < count_; ++i) {
    double t, v;
    PointAt(i, &t, &v);
    NoteValue(i, v);
  }
}

double CDataBlock::StatValue(double v, const SDataTrace& trace) {
  if (trace.mode == SDataTrace::kDigital) return v > trace.threshold ? 1.0 : 0.0;
  if (trace.mode == SDataTrace::kBus) return std::floor(v + 0.5);
  return v;
}

void CDataBlock::CalcBlock(int from, int to, const SDataTrace& trace) {
  if (to > count_ - 1) to = count_ - 1;
  const bool whole = from == 0 && to == kPoints - 1;
  if (whole && whole_) return;
  if (from < 0 || from > to) return;

  if (!trace.transient) {
    // AC: limits of the magnitude as shown and of the phase; no integrals.
    const double* p = Points() + from * doubles_;
    for (int i = from; i <= to; ++i, p += doubles_) {
      double m = p[1];
      const double ph = p[2];
      if (trace.ac_out == SDataTrace::kReal) m *= std::cos(ph * kDegToRad);
      else if (trace.ac_out == SDataTrace::kImag) m *= std::sin(ph * kDegToRad);
      if (i == from) {
        min_ = max_ = m;
        phase_min_ = phase_max_ = ph;
        integral_ = integral2_ = 0.0;
        continue;
      }
      if (m < min_) min_ = m;
      if (m > max_) max_ = m;
      if (ph < phase_min_) phase_min_ = ph;
      if (ph > phase_max_) phase_max_ = ph;
    }
    whole_ = whole;
    return;
  }

  const bool analog = trace.mode != SDataTrace::kDigital && trace.mode != SDataTrace::kBus;
  double ta, a;
  PointAt(from, &ta, &a);
  a = StatValue(a, trace);
  min_ = max_ = a;
  integral_ = integral2_ = 0.0;
  for (int i = from + 1; i <= to; ++i) {
    double tb, b;
    PointAt(i, &tb, &b);
    b = StatValue(b, trace);
    if (b < min_) min_ = b;
    if (b > max_) max_ = b;
    const double dt = tb - ta;
    if (analog) {
      // Exact integrals of the straight line from a to b and of its square.
      integral_ += (a + b) * 0.5 * dt;
      integral2_ += (a * b + a * a + b * b) / 3.0 * dt;
    } else {
      integral_ += a * dt;  // the value holds until the next point
    }
    ta = tb;
    a = b;
  }
  whole_ = whole;
}
