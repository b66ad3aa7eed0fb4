// The value of a signal at a time: the waveform of every kind, the start
// of a run, the logic level, and the shift of Delay that turns the present
// time into an initial condition.

#include <cmath>
#include <limits>

#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "doc/Doc.h"
#include "elements/Signal.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "expr/VarList.h"
#include "expr/globals.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// e^-x for x >= 0; an argument of 300 or more counts as 0 (the waveform
// has settled, and nothing underflows).
double Decay(double x) { return x >= 300.0 ? 0.0 : std::exp(-x); }

// Not after b within the tolerance of time comparisons.
bool AtOrBefore(double a, double b) { return CompareValues(a, b) <= 0; }

}  // namespace

void CSignal::InitSignal(CCalc* /*calc*/, double t, bool start) {
  origin = t;
  edge_state = kBeforeDelay;
  edge_start = kNaN;
  cycles = 0.0;
  phase_time = kNaN;
  table_index = -1;
  step_index_ = 1;
  state_time_ = 0.0;
  running = start;
}

bool CSignal::GetSignalValue(CCalc* calc, double t, double* v) {
  const bool table = kind_ == MC_LIST || kind_ == MC_FILE || kind_ == MC_TRACE;
  double value = 0.0;
  if (!running && kind_ != MC_FUNCTION) {
    // Resting before its start: the value before any delay.
    value = table ? (table_v.empty() ? 0.0 : table_v.front()) : u0.Value();
  } else {
    const double tau = running ? t - origin : 0.0;
    switch (kind_) {
      case MC_SINGLE:
      case MC_PULSE:
        value = PulseValue(tau);
        break;
      case MC_STEP:
        value = StepValue(tau);
        break;
      case MC_SIN:
        value = SinValue(tau);
        break;
      case MC_SWEEP:
        value = SweepValue(tau);
        break;
      case MC_CLOCK:
        value = edge_state == kHigh ? u1.Value() : u0.Value();
        break;
      case MC_FUNCTION:
        if (!FunctionValue(calc, tau, &value)) return false;
        break;
      default:
        if (table) value = TableValue(tau);
        break;
    }
  }
  last_value_ = value;
  *v = value;
  return true;
}

bool CSignal::FillSignalY(CCalc* calc, double t, int index) {
  double v = 0.0;
  if (!GetSignalValue(calc, t, &v)) return false;
  calc->SetY(index, v);
  return true;
}

// Single and Pulse. s is the time into the present cycle; a cycle boundary
// belongs to the cycle that ends there (the edges are left-continuous).
double CSignal::PulseValue(double tau) const {
  const double V0 = u0.Value(), V1 = u1.Value();
  const double D = delay.Value(), W = width.Value(), R = rise.Value(), F = fall.Value();
  const double P = period.Value();
  if (std::isinf(D) || AtOrBefore(tau, D)) return V0;  // an infinite Delay never ends
  double s = tau - D;
  const bool periodic = kind_ == MC_PULSE && P > 0.0 && std::isfinite(P);
  if (periodic) {
    const double n = std::floor(s / P);
    s -= n * P;
    if (n >= 1.0 && CompareValues(tau, D + n * P) <= 0) s += P;
    if (s > P) s = P;
  }
  if (s <= 0.0) return V0;
  if (slope == kSlopeExp) {
    if (AtOrBefore(s, W)) {
      if (R <= 0.0 || W <= 0.0) return V1;
      return V0 + (V1 - V0) * (1.0 - Decay(s / R)) / (1.0 - Decay(W / R));
    }
    if (F <= 0.0) return V0;
    if (!periodic) return V1 + (V0 - V1) * (1.0 - Decay((s - W) / F));
    if (W >= P) return V0;
    return V1 + (V0 - V1) * (1.0 - Decay((s - W) / F)) / (1.0 - Decay((P - W) / F));
  }
  const bool cosine = slope == kSlopeCos;
  if (R > 0.0 && AtOrBefore(s, R)) {
    const double x = s / R;
    return V0 + (V1 - V0) * (cosine ? (1.0 - std::cos(kPi * x)) / 2.0 : x);
  }
  if (AtOrBefore(s, W)) return V1;
  if (F > 0.0 && AtOrBefore(s, W + F)) {
    const double x = (s - W) / F;
    return V1 - (V1 - V0) * (cosine ? (1.0 - std::cos(kPi * x)) / 2.0 : x);
  }
  return V0;
}

double CSignal::StepValue(double tau) const {
  const double V0 = u0.Value(), V1 = u1.Value();
  const double D = delay.Value(), R = rise.Value();
  if (std::isinf(D) || AtOrBefore(tau, D)) return V0;
  const double s = tau - D;
  if (R <= 0.0) return V1;
  if (slope == kSlopeExp) return V1 + (V0 - V1) * Decay(s / R);
  if (s >= R) return V1;
  const double x = s / R;
  return V0 + (V1 - V0) * (slope == kSlopeCos ? (1.0 - std::cos(kPi * x)) / 2.0 : x);
}

// The phase is accumulated, not computed from tau: a Period that changes
// during the run changes the frequency from then on without a jump.
double CSignal::SinValue(double tau) {
  const double V0 = u0.Value(), V1 = u1.Value();
  const double D = delay.Value(), P = period.Value();
  if (!std::isfinite(D) || AtOrBefore(tau, D)) {
    cycles = 0.0;
    phase_time = kNaN;
    return V0;
  }
  if (std::isnan(phase_time)) phase_time = D;
  if (P > 0.0 && std::isfinite(P)) cycles += (tau - phase_time) / P;
  phase_time = tau;
  double v = V1 * std::sin(2.0 * kPi * (cycles + phase.Value() / 360.0));
  const double k = decay.Value();
  if (k > 0.0) v *= Decay((tau - D) * k);
  return V0 + v;
}

// Instantaneous frequency s into the sweep window, Hz.
double CSignal::SweepFrequency(double s) const {
  const double W = width.Value(), F0 = f0.Value(), F1 = f1.Value();
  if (F0 == F1 || !(W > 0.0)) return F0;
  if (sweep_type == kSweepExp && F0 > 0.0 && F1 > 0.0) return F0 * std::pow(F1 / F0, s / W);
  return F0 + (F1 - F0) * s / W;
}

// An exponential sweep needs two positive frequencies; from or to 0 Hz
// it sweeps linearly instead.
double CSignal::SweepValue(double tau) const {
  const double V0 = u0.Value(), V1 = u1.Value();
  const double D = delay.Value(), W = width.Value(), F0 = f0.Value(), F1 = f1.Value();
  const double s = tau - D;
  if (std::isinf(D) || !(s > 0.0) || !(s < W)) return V0;
  double cyc = 0.0;
  if (F0 == F1) {
    cyc = F0 * s;
  } else if (sweep_type == kSweepExp && F0 > 0.0 && F1 > 0.0) {
    const double k = W / std::log(F1 / F0);
    cyc = F0 * k * (std::exp(s / k) - 1.0);
  } else {
    cyc = F0 * s + s * s * 0.5 / W * (F1 - F0);
  }
  return V0 + V1 * std::sin(2.0 * kPi * cyc);
}

// List and File fold a time at or past the last one into the table's span
// when they cycle; a Trace signal steps back whole spans only while past
// the last time. Between two times the value is interpolated; at a table
// time it is the value of the segment that ends there (left-continuous,
// so a repeated time is a step that happens just after it).
double CSignal::TableValue(double tau) {
  const int n = static_cast<int>(table_t.size());
  if (n == 0) return 0.0;
  if (std::isinf(delay.Value())) return table_v.front();
  double s = tau - delay.Value();
  const double first = table_t.front(), last = table_t.back(), span = last - first;
  if (kind_ == MC_TRACE) {
    if (cycle && span > 0.0 && s > last) {
      s -= std::ceil((s - last) / span) * span;
      if (s > last) s = last;
    }
  } else if (s >= last && cycle && span > 0.0) {
    s = first + std::fmod(s - first, span);
  }
  if (n == 1 || s <= first) {
    table_index = -1;
    return table_v.front();
  }
  if (s >= last) {
    table_index = -2;
    return table_v.back();
  }
  // Sequential times move the remembered segment by at most a step or two.
  int i = table_index < 0 ? (table_index == -2 ? n - 2 : 0) : table_index;
  if (i > n - 2) i = n - 2;
  while (i > 0 && s <= table_t[static_cast<std::size_t>(i)]) --i;
  while (i < n - 2 && s > table_t[static_cast<std::size_t>(i) + 1]) ++i;
  table_index = i;
  const std::size_t a = static_cast<std::size_t>(i);
  const double dt = table_t[a + 1] - table_t[a];
  if (!(dt > 0.0)) return table_v[a + 1];
  return table_v[a] + (table_v[a + 1] - table_v[a]) * (s - table_t[a]) / dt;
}

bool CSignal::FunctionValue(CCalc* calc, double tau, double* v) {
  if (vars_ == nullptr) CreateFunction();
  SetDoubleNumber(&vars_->At(0)->values[0], tau);
  CDoc* doc = DocOf(calc);
  if (formula(function, v, doc, vars_.get(), nullptr, calc != nullptr, nullptr, nullptr, false,
              false, 0, false))
    return true;
  return Fail(calc, m_global_errstr);
}

int CSignal::GetSignalState() const {
  if (!running) return 0;
  if (kind_ == MC_LIST || kind_ == MC_FILE) return last_value_ > 0.0 ? 1 : 0;
  return edge_state == kHigh ? 1 : 0;
}

// Periodic kinds keep Delay within one period before 0, so that repeated
// saves do not let it grow; the others move it back by x.
AnsiString CSignal::SaveSignalStateToIC(double x) {
  const int kind = kind_ != 0 ? kind_ : (owner_ != nullptr ? owner_->Model() : 0);
  if (!KindHasDelay(kind)) return AnsiString();
  double d = delay.Value();
  const double P = period.Value();
  const bool periodic = (kind == MC_PULSE || kind == MC_SIN || kind == MC_CLOCK) && P > 0.0 &&
                        std::isfinite(P);
  if (periodic && d <= x) {
    d -= std::fmod(x, P);
    d -= std::floor(d / P) * P;  // now 0 <= d < P
    if (d >= 0.0) d -= P;        // into -P <= d < 0
    if (std::fabs(d) < P * 1e-12) d = 0.0;
  } else {
    d -= x;
  }
  delay.SetVal(d);
  AnsiString ic;
  add_csv_double(ic, "Delay", d);
  return ic;
}
