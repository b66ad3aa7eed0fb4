#pragma once
// Controlled switches: ideal switches whose state follows a control
// quantity d: a voltage between pins 3 and 2 (S_VCS, S_VCS3), the current
// of a sense short between pins 2 and 3 (S_CCS, S_CCS3) or a logic level at
// pin 2 (S_LCS, S_LCS3), each less its threshold. The contact lies between
// pins 0 and 1; the SPDT types have a second contact from pin 4 (pin 3 for
// S_LCS3) to the common pin 1, closed whenever the first is open.
// Models: a plain switch with hysteresis, fixed Off and On, a one-shot, a
// switch whose resistance steps between Roff and Ron over a ramp time, and
// for the logic types the waveform models of the time-controlled switch,
// started by the control input.

#include "circuit/Cmp.h"
#include "elements/Signal.h"
#include "expr/Formula.h"

class CElemCS : public CCmp {
 public:
  explicit CElemCS(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  // Slope choices of the Steps model: how the resistance moves from Roff
  // to Ron: "Linear", "Cos", "Log".
  static const char* const m_slope_text[];
  static const SElemType m_elemtype[];

 private:
  // The logic types carry the waveform models.
  bool IsLogic() const { return TypeId() == 62 || TypeId() == 63; }

  int active_ = 1;      // 1: closed while the control is on; 0 inverts
  CFormula threshold_;  // V or A (voltage or current control); 0
  CFormula hysteresis_; // V or A, whole width around the threshold; 0
  CFormula width_;      // One-shot on time, s; 0.1
  CFormula roff_;       // Steps: resistance when fully open, Ohm; 1000
  CFormula ron_;        // Steps: resistance when fully closed, Ohm; 1
  CFormula steps_;      // Steps: number of steps; 10
  int slope_ = 0;       // Steps: index into m_slope_text
  CFormula ramp_;       // Steps: time from Roff to Ron, s; 0.1
  int ic_ = 0;          // initial state: 1 closed
  CSignal signal_;      // waveform models (logic types)
};
