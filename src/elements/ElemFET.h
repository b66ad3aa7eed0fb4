#pragma once
// Field-effect transistor (T_NFET, T_PFET). Pins: 0 gate (G), 1 source
// (E), 2 drain (C). "Linear": a transconductance with one pole; "Switch":
// a drain-source switch driven by the gate voltage against Vth; "FET" and
// "FET-D": zones off, channel resistance, forward and reverse saturation
// and, for "FET-D", the conducting body diode. The P type mirrors signs.

#include <cmath>
#include <limits>

#include "circuit/Cmp.h"
#include "expr/Formula.h"

class CElemFET : public CCmp {
 public:
  explicit CElemFET(const SElemType* type);

  CParam* GetParams() override;
  // After the common part: "k" (S), "f1", "vth", "rdson", "vd" and "ic"
  // (the initial current, stored with the parameters whatever the flag);
  // with ic also "s_ic", "fet_ic" and "fetd_ic".
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;

  static const SElemType m_elemtype[];
  // Zone names of the FET IC choice, and of the FET-D one (with "Diode").
  static const char* const m_fet_ic_text[];
  static const char* const m_fetd_ic_text[];

  CFormula s_;      // transconductance, A/V
  CFormula f1_;     // Hz, frequency of the pole; +infinity: none
  CFormula vth_;    // V, gate threshold
  CFormula rdson_;  // Ohm, channel resistance in zone "R"
  CFormula vd_;     // V, body diode forward voltage ("FET-D")
  CFormula ic_;     // A, initial drain current; empty: none held
  int sw_ic_ = 0;    // Switch: initial state, 1 on
  int fet_ic_ = 0;   // FET: initial zone, index into m_fet_ic_text
  int fetd_ic_ = 0;  // FET-D: initial zone, index into m_fetd_ic_text
  // Run-time state: drain current held for a static solution (A; NaN: none).
  double state_current_ = std::numeric_limits<double>::quiet_NaN();
};
