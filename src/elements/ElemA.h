#pragma once
// Meters: the voltmeter V_VM (senses pins 0-1, loads nothing), the
// amperemeter A_A (an ideal zero-volt branch 0-1 whose current is the
// extra unknown) and the wattmeter W_WM (senses 0-1, carries its current
// from pin 2 to pin 1). No parameters, no attributes of their own.

#include "circuit/Cmp.h"

class CElemA : public CCmp {
 public:
  using CCmp::CCmp;

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // A voltmeter's pins only sense (2); the others are analog (1).
  int GetCmpPinType(int pin) const override;

  static const SElemType m_elemtype[];
};
