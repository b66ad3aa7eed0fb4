#pragma once
// Bipolar transistor (T_TNPN, T_TPNP). Pins: 0 base (G), 1 emitter (E),
// 2 collector (C). Three ways to model it: "Linear", a current amplifier
// with one pole; "Switch", a collector-emitter switch that follows the
// base-emitter junction; "Transistor", two junction diodes and a
// collector source. The PNP type mirrors every polarity of the NPN.

#include <cmath>
#include <limits>

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemT : public CCmp {
 public:
  explicit CElemT(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: "k" (B), "f1", "vbe", "vsat" and "ic" (the
  // initial current, stored with the parameters whatever the flag); with
  // ic also "s_ic", "be_ic" and "bc_ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;

  static const SElemType m_elemtype[];

  CFormula b_;     // current gain, A/A
  CFormula f1_;    // Hz, frequency of the pole; +infinity: none
  CFormula vbe_;   // V, junction forward voltage
  CFormula vsat_;  // V, collector-emitter saturation voltage, 0 .. Vbe
  CFormula ic_;    // A, initial collector current; empty: none held
  int sw_ic_ = 0;  // Switch: initial junction state, 1 on
  int be_ic_ = 0;  // Transistor: base-emitter junction conducting at start
  int bc_ic_ = 0;  // Transistor: base-collector junction conducting at start
  // Run-time state: collector current held for a static solution (A; NaN:
  // none) and the collector switch (1 closed).
  double state_current_ = std::numeric_limits<double>::quiet_NaN();
  int sw_state_ = 0;
};
