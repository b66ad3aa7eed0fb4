#pragma once
// Amplifiers and comparators: every block that makes one output from one
// input value with a gain. The type fixes the input (a voltage, a
// difference or sum of two, or a sensed current), the output (a voltage to
// ground, a current, a differential pair or an output over a reference)
// and, for O_VCG and O_CCG, a gain taken from a PWL table of a control.
// Pins: 0 input, 1 output, 2 second input (or sense/control pin), 3 and 4
// as the type needs. Levels are volts for voltage outputs and amperes for
// current outputs.

#include <cmath>
#include <limits>

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

class CElemO : public CCmp {
 public:
  explicit CElemO(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: formulas "k", "f1", "hi", "lo", "hyst", "delay",
  // the function text "f" (Safe); with ic also "comp_ic" (Int) and the
  // formulas "func_ic", "opamp_ic" and "ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;

  static const SElemType m_elemtype[];

  // O_VC and O_CC drive a current into pin 1.
  bool IsCurrentOutput() const;
  // O_CV and O_CC amplify the current of a sense branch from pin 0 to 2.
  bool IsCurrentInput() const;

  CFormula k_;         // gain; +infinity: ideal (output set by the circuit)
  CFormula f1_;        // Hz, gain-bandwidth; +infinity: no pole
  CFormula hi_;        // upper output limit, V or A
  CFormula lo_;        // lower output limit, V or A
  CFormula hyst_;      // comparator hysteresis, input units
  CFormula delay_;     // s, comparator delay
  CFormula ic_;        // Linear: initial output; empty: none held
  CFormula opamp_ic_;  // OpAmp: initial output
  CFormula func_ic_;   // Function: initial output
  int comp_ic_ = 0;    // Comparator: initial state, 1 high
  AnsiString f_;       // Function: formula of the input value x and time t

  // Run-time state.
  double state_output_ = std::numeric_limits<double>::quiet_NaN();  // held output; NaN: none
  int pending_ = 0;        // comparator state waiting for its delay
  double deadline_ = 0.0;  // s, when the pending state takes effect
  double lin_gain_ = 0.0;  // Function: slope at the operating point (AC)
  CVarList vars_;          // Function: "t" and "x"
};
