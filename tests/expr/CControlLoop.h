#pragma once
// A typical Code component program, shared by its test and its benchmark: a
// PI controller with anti-windup through lim(), an output clamp by if/else
// and a two-state switch, driving a first-order plant. The same controller
// is written once more in plain C++ as the reference.

#include <cmath>

#include "base/globals.h"
#include "expr/VarList.h"
#include "expr/xml_C.h"

namespace control_loop {

// x1: set point, x2: plant output (measured), y1: controller output.
// mode 1 counts the runs spent in the clamp; it drops back to 0 once the
// unclamped demand is below 90 % of the limit.
inline const char* const kProgram =
    "// PI controller\r\n"
    "double kp = 2.0, ki = 400.0, dt = 1e-4;\r\n"
    "double ilim = 6.0, umax = 10.0;\r\n"
    "double integ, e, u;\r\n"
    "int mode, nsat;\r\n"
    "init() {\r\n"
    "  integ = 0; mode = 0; nsat = 0;\r\n"
    "}\r\n"
    "main() {\r\n"
    "  double raw;\r\n"
    "  e = x1 - x2;\r\n"
    "  integ = lim(integ + ki * e * dt, -ilim, ilim);\r\n"
    "  raw = kp * e + integ;\r\n"
    "  if (raw > umax) u = umax;\r\n"
    "  else if (raw < -umax) u = -umax;\r\n"
    "  else u = raw;\r\n"
    "  switch (mode) {\r\n"
    "    case 0:\r\n"
    "      if (raw > umax || raw < -umax) mode = 1;\r\n"
    "      break;\r\n"
    "    case 1:\r\n"
    "      nsat++;\r\n"
    "      if (abs(raw) < 0.9 * umax) mode = 0;\r\n"
    "      break;\r\n"
    "  }\r\n"
    "  y1 = u;\r\n"
    "}\r\n";

constexpr double kDt = 1e-4;     // controller and plant step, s
constexpr double kTau = 2e-3;    // plant time constant, s
constexpr double kGain = 1.5;    // plant DC gain

// Set point at time t: a 25 Hz sine beyond what the plant can reach
// (gain 1.5 times the clamp 10), so that at every peak the output clamps
// and the integrator runs into its limit; every branch is taken.
inline double SetPoint(double t) { return 20.0 * std::sin(2.0 * 3.14159265358979 * 25.0 * t); }

// One plant step: x' = (gain * u - x) / tau, forward Euler.
inline double Plant(double x, double u) { return x + kDt / kTau * (kGain * u - x); }

// The controller in C++, step for step as in kProgram.
struct SReference {
  double integ = 0.0, u = 0.0;
  int mode = 0, nsat = 0;

  double Step(double x1, double x2) {
    const double e = x1 - x2;
    integ = std::fmin(std::fmax(integ + 400.0 * e * 1e-4, -6.0), 6.0);
    const double raw = 2.0 * e + integ;
    u = raw > 10.0 ? 10.0 : raw < -10.0 ? -10.0 : raw;
    if (mode == 0) {
      if (raw > 10.0 || raw < -10.0) mode = 1;
    } else if (mode == 1) {
      ++nsat;
      if (std::fabs(raw) < 0.9 * 10.0) mode = 0;
    }
    return u;
  }
};

// An engine that never times out and keeps the last error.
class CQuietEngine : public CEngineLink {
 public:
  void SetError(const AnsiString& text) override { error = text; }
  bool IsTimeout() override { return false; }
  bool IsStopRequested() const override { return false; }
  CDoc* GetDoc() const override { return nullptr; }
  AnsiString error;
};

// The program set up as the Code component sets up its program: "t" first,
// the whole program once in mode 0, the pin variables, then init.
class CController {
 public:
  // False with the reason in error() when any step fails.
  bool SetUp() {
    if (!root_.CreateCCode(AnsiString(kProgram))) {
      error_ = m_global_errstr;
      return false;
    }
    vars_.AddVar("t", NUM_DOUBLE, 0);
    if (root_.ExecuteCCode(0, &vars_, vars_.Count(), CX_CHILDREN) < 0) return Fail();
    x1_ = vars_.Count();
    vars_.AddVar("x1", NUM_DOUBLE, 0);
    vars_.AddVar("x2", NUM_DOUBLE, 0);
    vars_.AddVar("y1", NUM_DOUBLE, 0);
    base_ = vars_.Count();
    if (root_.ExecuteCCode(0, &vars_, base_, CX_INIT) < 0) return Fail();
    return true;
  }

  // One evaluation of the main section at time t; the output y1.
  bool Run(double t, double x1, double x2, double* y1) {
    vars_.At(t_)->values[0].v.d = t;
    vars_.At(x1_)->values[0].v.d = x1;
    vars_.At(x1_ + 1)->values[0].v.d = x2;
    if (root_.ExecuteCCode(0, &vars_, base_, CX_MAIN) < 0) return Fail();
    *y1 = vars_.At(x1_ + 2)->values[0].v.d;
    return true;
  }

  int Count() const { return vars_.Count(); }
  int Base() const { return base_; }
  const AnsiString& error() const { return error_; }
  CVarList& vars() { return vars_; }
  CCNode& root() { return root_; }

 private:
  bool Fail() {
    error_ = engine_.error;
    return false;
  }

  CQuietEngine engine_;
  CCNode root_{0, 0, nullptr, &engine_};
  CVarList vars_;
  int t_ = 0;  // "t" is entry 0
  int x1_ = 0, base_ = 0;  // x1, then x2 and y1
  AnsiString error_;
};

}  // namespace control_loop
