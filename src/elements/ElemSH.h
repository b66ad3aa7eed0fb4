#pragma once
// Sample-and-hold (X_SH): pin 0 the input, pin 1 the output driven against
// ground, pin 2 the logic clock. With a view below 2 the input is sampled
// at each activation of the clock and held; with a view of 2 or more the
// output tracks the input while the clock is active (track-and-hold).
// View bit 0 inverts the clock.

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemSH : public CCmp {
 public:
  explicit CElemSH(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;

  static const SElemType m_elemtype[];

 private:
  CFormula ic_;  // held value at the start, V; 0
};
