#pragma once
// Custom blocks: X_B2 ... X_B8 with a fixed pin count, X_CUSTOM and X_QVS
// whose pins come from the component's own type (the "Custom" child): as
// many as it has, each joined to the inner label its subcircuit names. Their
// one model is "SubCir": the block is its inner circuit, so it has no
// parameters and no document attributes beyond the shared ones.

#include "circuit/Cmp.h"

class CElemX : public CCmp {
 public:
  explicit CElemX(const SElemType* type) : CCmp(type) {}

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // X_CUSTOM, X_QVS: the own type with two pins, so that a new block can
  // be wired at once; an editor gives it more. A component with its own
  // type keeps it.
  void CreateCustom() override;
  // The custom blocks' pin names; "" for the others.
  AnsiString GetPinName(int pin) const override;

  static const SElemType m_elemtype[];
};
