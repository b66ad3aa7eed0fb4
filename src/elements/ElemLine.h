#pragma once
// Transmission line (X_Line): end 1 between pins 0 and 1, end 2 between
// pins 2 and 3; an ideal lossless line (model "Line") or one with series
// and shunt losses (model "Lossy"). The two extra unknowns are the wave
// unknowns a1 (end 1) and a2 (end 2).

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemLine : public CCmp {
 public:
  explicit CElemLine(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  CFormula t0_;   // delay, s; 1e-6
  CFormula z0_;   // characteristic impedance, Ohm; 50
  CFormula r_;    // series resistance per ns of delay, Ohm/ns; 0
  CFormula fr_;   // skin-effect corner frequency, MHz; 1
  CFormula g_;    // shunt conductance per ns of delay, 1/Ohm/ns; 0
  CFormula fg_;   // dielectric-loss corner frequency, MHz; infinite
  CFormula vic_;  // initial voltage, V; may be empty
  CFormula iic_;  // initial current, A; may be empty
};
