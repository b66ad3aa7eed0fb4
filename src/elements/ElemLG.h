#pragma once
// Logic generators: a logic level from a waveform (Y_LG), from a waveform
// started by a logic control input (Y_CLG), or from a voltage (Y_VCLG) or
// a current (Y_CCLG) compared with a threshold. Pins: 0 the output, then
// the control pins (Y_CLG: pin 1; Y_VCLG: pins 1 and 2, V(1) - V(2);
// Y_CCLG: the current through a zero-volt branch from pin 1 to 2). View 1
// inverts the output.

#include "circuit/Cmp.h"
#include "elements/Signal.h"
#include "expr/Formula.h"

class CElemLG : public CCmp {
 public:
  explicit CElemLG(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: formulas "width", "thr" and "hyst"; for the
  // waveform models also the "Signal" child (its waveform parameters).
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CSignal* GetSignal() const override { return &signal_; }

  static const SElemType m_elemtype[];

  // The waveform of the models Step, Single, Pulse, Clock, List and File;
  // only its timing (delay, width, period, clock step) and its table
  // matter, the output being a logic level. Mutable: GetSignal hands it
  // to the engine from a const component.
  mutable CSignal signal_;
  CFormula width_;  // s, pulse of the model One-shot
  CFormula thr_;    // threshold of the control, V (Y_VCLG) or A (Y_CCLG)
  CFormula hyst_;   // hysteresis around the threshold, same unit

  // Run-time state.
  int control_ = 0;          // control level last taken (after hysteresis)
  bool triggered_ = false;   // waveform started by the control
  double end_time_ = 0.0;    // s, end of the present one-shot pulse
};
