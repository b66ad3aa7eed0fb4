#pragma once
// Capacitors: C_C and its 45-degree variant _C_C45 (terminals a = pin 0,
// b = pin 1), and the voltage and current controlled capacitors C_VCC and
// C_CCC (control pins c = 2, d = 3). The element current is the first
// extra unknown; C_CCC's control current the second.

#include <cmath>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemC : public CCmp {
 public:
  explicit CElemC(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // Terminals 5 (analog, capacitive load); control pins 2 for C_VCC (a
  // voltage is only sensed), 1 for C_CCC (its sense short carries current).
  int GetCmpPinType(int pin) const override;

  CFormula& C() { return c_; }
  CFormula& IC() { return ic_; }
  // V, the state; NaN while there is no initial value.
  double VC() const { return vc_; }

  static const SElemType m_elemtype[];

 private:
  CFormula c_;   // F; 1 ("C" model; the "PWL" table gives C(V) instead)
  CFormula ic_;  // V, initial voltage b - a; empty: no initial condition
  double vc_ = std::nan("");  // V, present state; NaN: no initial value
};
