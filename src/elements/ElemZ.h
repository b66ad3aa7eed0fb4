#pragma once
// Impedance block (Z_Z): a two-terminal element whose impedance Z(s) is a
// formula in s, a ratio of polynomials up to the fifth order, or a gain
// and root lists. V = X[pin 1] - X[pin 0]; the extra unknown k is the
// current I, and the element enforces V = Z * I.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "elements/PolyCoeffs.h"

class CElemZ : public CCmp {
 public:
  explicit CElemZ(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  AnsiString function_;  // model Function: Z as a formula in s, ohms
  SPolyCoeffs coeffs_;   // Poly and Roots models; Z = B(s) / A(s) in ohms
};
