#pragma once
// Controlled sources: V_VCVS, V_CCVS (voltage output), I_VCCS, I_CCCS
// (current output). Pins: a = 0, b = 1 (output branch), c = 2, d = 3
// (control: the voltage X[d] - X[c], or the current through a short from c
// to d). Besides the linear gain: a constant, a formula of the control
// value, a PWL characteristic, a controlled oscillator, a one-shot and a
// pulse-width modulator. Levels are volts for the voltage-output types and
// amperes for the current-output types.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemVCVS : public CCmp {
 public:
  explicit CElemVCVS(const SElemType* type);

  CParam* GetParams() override;
  // After the common part, for every model: formulas "k", "v", "v0", "v1",
  // "dfdv", "thr", "width", "max", "fpwm", "phase", the text "f" (Safe),
  // "vcotype"; with ic also the formula "ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;

  static const SElemType m_elemtype[];
  // Oscillator wave shapes, the "Type" choice: sine, square, triangle,
  // sawtooth.
  static const char* const m_vco_type_text[];

  // True for the current-output types, whose level parameters are named
  // I1, I0 and Imax.
  bool IsCurrentOutput() const;
  // True for the current-controlled types, whose oscillator slope is dFdI.
  bool IsCurrentControlled() const;

  CFormula k_;       // gain: V/V, V/A, A/V or A/A by type
  CFormula v_;       // constant output of model "V"/"I"
  CFormula v0_;      // low level (oscillator offset, pulse low)
  CFormula v1_;      // high level (oscillator amplitude, pulse high)
  CFormula dfdv_;    // oscillator frequency per control unit, Hz/V or Hz/A
  CFormula thr_;     // one-shot trigger threshold, control units
  CFormula width_;   // s, one-shot pulse width
  CFormula max_;     // control value giving a full PWM period on, control units
  CFormula fpwm_;    // Hz, PWM frequency
  CFormula phase_;   // degrees, oscillator and PWM start phase
  CFormula ic_;      // initial output of model "Function"
  AnsiString f_;     // model "Function": formula of the control value x and time t
  int vcotype_ = 0;  // index into m_vco_type_text
};
