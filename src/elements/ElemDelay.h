#pragma once
// Pure time delay (X_Delay): the output (pin 1, against ground) repeats the
// input (pin 0) t0 seconds later; before t0 has passed it holds IC, or
// follows the input when IC is empty.

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemDelay : public CCmp {
 public:
  explicit CElemDelay(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  CFormula t0_;  // delay, s; 0; 0 or less passes the input straight through
  CFormula ic_;  // output before the delay has passed, V; may be empty (NaN)
};
