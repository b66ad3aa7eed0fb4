#pragma once
// s- and z-domain transfer functions (F_S, F_Z). Pin 0 is the input, pin 1
// the output; the output voltage against ground is H times the input
// voltage, H given as a formula in s (F_S) or z (F_Z), as polynomials in w
// (w = s for F_S, w = 1/z for F_Z) or, for F_S, as a gain and root lists.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "elements/PolyCoeffs.h"

class CElemAC : public CCmp {
 public:
  explicit CElemAC(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  AnsiString function_;  // model Function: H as a formula in s or z
  SPolyCoeffs coeffs_;   // Poly and Roots models
};
