#pragma once
// Directional coupler (X_DC): a main line shorted through from pin 0 to
// pin 1, with two outputs against ground: pin 2 the forward wave
// c (V0 + z0 I) / 2 and pin 3 the reflected wave c (V0 - z0 I) / 2, where
// V0 is the potential of pin 0, I the main-line current and
// c = 10^(-CF/20). Extra unknowns: k the main-line current, k + 1 and
// k + 2 the currents of the two outputs.

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemDC : public CCmp {
 public:
  explicit CElemDC(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  CFormula z0_;  // reference impedance, Ohm; 50
  CFormula cf_;  // coupling factor, dB; 0
};
