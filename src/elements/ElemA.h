#pragma once
// Meters: the voltmeter V_VM (senses pins 0-1, loads nothing), the
// amperemeter A_A (an ideal zero-volt branch 0-1 whose current is the
// extra unknown) and the wattmeter W_WM (senses 0-1, carries its current
// from pin 2 to pin 1). No parameters, no attributes of their own.
//
// Signs: a meter reads v = X[pin 1] - X[pin 0]. The branch current k is
// positive entering the meter at pin 1 and leaving at pin 0 (amperemeter)
// or pin 2 (wattmeter); the wattmeter's power is v * k.

#include "circuit/Cmp.h"

class CElemA : public CCmp {
 public:
  using CCmp::CCmp;

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // A voltmeter's pins only sense (2); the others are analog (1).
  int GetCmpPinType(int pin) const override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // Amperemeter: ground and pin 1, current k (its trace voltage is pin 1's
  // potential). Wattmeter: pins 0 and 1, current k. Voltmeter: pins 0 and
  // 1 only. The factor is left as given.
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;

  static const SElemType m_elemtype[];
};
