#pragma once
// Integrator (F_INT) and integrator with reset (F_INTR). Pin 0 is the
// input, pin 1 the output driven against ground, pin 2 (F_INTR) the logic
// reset input; dOUT/dt = K * IN, starting from IC. The view selects the
// reset: bit 0 inverts it, a view of 2 or more resets on the edge only.

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemIntegral : public CCmp {
 public:
  explicit CElemIntegral(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  CFormula k_;   // gain, V/V per second; 1
  CFormula ic_;  // output at the start, V; 0
};
