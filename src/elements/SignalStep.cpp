// Breakpoints and step limits of a signal: at the start of every linear
// interval the signal names its next edge (so that a step ends exactly
// there) and the longest step that samples its curved parts finely
// enough, and its edge machine moves past the edges already reached.
//
// Invariant: a breakpoint handed to the engine always lies ahead of t by
// the engine's own tolerant comparison; an edge that t has reached is
// passed here first. Otherwise the engine would stop at the same instant
// again and again.

#include <algorithm>
#include <cmath>

#include "circuit/ElemSet.h"
#include "elements/Signal.h"
#include "expr/globals.h"

namespace {

// Lowers maxStep to h when h is a usable step.
void Limit(double& maxStep, double h) {
  if (h > 0.0 && std::isfinite(h) && (!(maxStep > 0.0) || h < maxStep)) maxStep = h;
}

}  // namespace

bool CSignal::Reached(double t, double local) const {
  return CompareValues(t, origin + local) >= 0;
}

void CSignal::Break(double& next, double local) const {
  const double at = origin + local;
  if (std::isfinite(at) && (std::isnan(next) || at < next)) next = at;
}

// The start of the last cycle (start + k * period, k >= 0) that t has
// reached; start itself when t has not passed a whole period.
double CSignal::LatestCycleStart(double t, double start, double period) const {
  const double k = std::floor((t - origin - start) / period);
  if (k > 0.0) start += k * period;
  while (Reached(t, start + period)) start += period;
  return start;
}

void CSignal::CalcSignalNewStep(CCalc* /*calc*/, double t, double& next, double& maxStep,
                                double& firstStep) {
  if (!running) return;
  switch (kind_) {
    case MC_SINGLE:
    case MC_PULSE:
      PulseNewStep(t, next, maxStep);
      break;
    case MC_STEP:
      StepNewStep(t, next, maxStep);
      break;
    case MC_SIN: {
      const double D = delay.Value();
      if (!std::isfinite(D)) break;
      if (!Reached(t, D)) {
        Break(next, D);
        cycles = 0.0;
        phase_time = std::nan("");
        break;
      }
      Limit(maxStep, period.Value() / 16.0);
      break;
    }
    case MC_CLOCK:
      ClockNewStep(t, next, maxStep, firstStep);
      break;
    case MC_SWEEP:
      SweepNewStep(t, next, maxStep);
      break;
    case MC_LIST:
    case MC_FILE:
      TableNewStep(t, next, maxStep);
      break;
    default:  // Function and Trace have no edges of their own
      break;
  }
}

// Each cycle: rise, high, fall, then low until the next cycle (Pulse) or
// for good (Single, state kFinished). While waiting for a cycle,
// edge_start holds that cycle's start (NaN: the first one, at Delay).
void CSignal::PulseNewStep(double t, double& next, double& maxStep) {
  const double W = width.Value(), R = rise.Value(), F = fall.Value(), P = period.Value();
  const bool periodic = kind_ == MC_PULSE && P > 0.0 && std::isfinite(P);
  // Within a cycle no part reaches past the next cycle's start.
  auto cap = [&](double d) { return periodic ? std::min(d, P) : d; };
  // Every pass either returns or moves the machine on; a whole cycle is
  // five passes, and skipped cycles are jumped over at once.
  for (int pass = 0; pass < 16; ++pass) {
    switch (edge_state) {
      case kBeforeDelay: {
        double start = std::isnan(edge_start) ? delay.Value() : edge_start;
        if (!std::isfinite(start)) return;
        if (!Reached(t, start)) {
          Break(next, start);
          return;
        }
        if (periodic) start = LatestCycleStart(t, start, P);
        edge_start = start;
        edge_state = kRising;
        break;
      }
      case kRising: {
        const double r = std::max(0.0, std::min(W, R));
        if (!Reached(t, edge_start + cap(r))) {
          Break(next, edge_start + cap(r));
          Limit(maxStep, 0.25 * r);
          return;
        }
        edge_state = kHigh;
        break;
      }
      case kHigh:
        if (!Reached(t, edge_start + cap(W))) {
          Break(next, edge_start + cap(W));
          Limit(maxStep, 0.25 * (W - R));
          return;
        }
        edge_state = kFalling;
        break;
      case kFalling:
        if (!Reached(t, edge_start + cap(W + F))) {
          Break(next, edge_start + cap(W + F));
          Limit(maxStep, 0.25 * F);
          return;
        }
        if (!periodic) {
          edge_state = kFinished;
          return;
        }
        edge_start += P;
        edge_state = kBeforeDelay;
        break;
      default:
        return;
    }
  }
}

void CSignal::StepNewStep(double t, double& next, double& maxStep) {
  const double D = delay.Value(), R = rise.Value();
  if (edge_state == kBeforeDelay) {
    if (!std::isfinite(D)) return;
    if (!Reached(t, D)) {
      Break(next, D);
      return;
    }
    edge_start = D;
    edge_state = R > 0.0 ? kRising : kHigh;
  }
  if (edge_state == kRising) {
    if (!Reached(t, edge_start + R)) {
      Break(next, edge_start + R);
      Limit(maxStep, 0.25 * R);
      return;
    }
    edge_state = kHigh;
  }
}

// The machine goes high at every period start and asks for a first step
// of clock_step; the owner's zone check takes it out of kHigh after that
// step, so each pulse lasts one step.
void CSignal::ClockNewStep(double t, double& next, double& maxStep, double& firstStep) {
  const double P = period.Value();
  if (!(P > 0.0) || !std::isfinite(P)) return;
  double start = std::isnan(edge_start) ? delay.Value() : edge_start;
  if (edge_state == kBeforeDelay) {
    if (!std::isfinite(start)) return;
    if (!Reached(t, start)) {
      Break(next, start);
      return;
    }
  } else {
    start += P;  // the next period start
    if (!Reached(t, start)) {
      Break(next, start);
      Limit(maxStep, P);
      return;
    }
  }
  edge_start = LatestCycleStart(t, start, P);
  edge_state = kHigh;
  const double first = clock_step.Value();
  if (first > 0.0 && (!(firstStep > 0.0) || first < firstStep)) firstStep = first;
  Break(next, edge_start + P);
  Limit(maxStep, P);
}

// The window is cut into 16 parts; in each the step is 1/16 of the period
// at the part's higher end frequency (the frequency moves one way only).
void CSignal::SweepNewStep(double t, double& next, double& maxStep) {
  const double D = delay.Value(), W = width.Value();
  if (!std::isfinite(D) || !(W > 0.0) || !std::isfinite(W)) return;
  if (!Reached(t, D)) {
    Break(next, D);
    return;
  }
  if (Reached(t, D + W)) return;
  const double part = W / 16.0;
  const double s = t - origin - D;
  double end = (std::floor(s / part) + 1.0) * part;
  if (Reached(t, D + end)) end += part;
  end = std::min(end, W);
  const double f = std::max(SweepFrequency(std::max(0.0, s)), SweepFrequency(end));
  if (f > 0.0) Limit(maxStep, 1.0 / (16.0 * f));
  Break(next, D + end);
}

// Every table time is a breakpoint; with Cycle the times repeat every
// span (last - first). step_index_ remembers the segment searched last.
void CSignal::TableNewStep(double t, double& next, double& maxStep) {
  const int n = static_cast<int>(table_t.size());
  const double D = delay.Value();
  if (n == 0 || !std::isfinite(D)) return;
  const double first = table_t.front(), last = table_t.back(), span = last - first;
  if (!Reached(t, D + first)) {
    Break(next, D + first);
    return;
  }
  if (n < 2) return;
  double base = D;  // local time of the present repetition's time 0
  if (cycle && span > 0.0) {
    const double k = std::floor((t - origin - D - first) / span);
    if (k > 0.0) base += k * span;
    while (Reached(t, base + last)) base += span;
  } else if (Reached(t, D + last)) {
    return;
  }
  // j: the first table time not reached yet.
  int j = std::clamp(step_index_, 1, n - 1);
  while (j > 1 && !Reached(t, base + table_t[static_cast<std::size_t>(j) - 1])) --j;
  while (j < n - 1 && Reached(t, base + table_t[static_cast<std::size_t>(j)])) ++j;
  step_index_ = j;
  const std::size_t a = static_cast<std::size_t>(j);
  Break(next, base + table_t[a]);
  Limit(maxStep, 0.25 * (table_t[a] - table_t[a - 1]));
}

bool CSignal::EndClockPulse(bool final) {
  if (kind_ != MC_CLOCK || !running || edge_state != kHigh) return false;
  if (final) edge_state = kFalling;
  return true;
}
