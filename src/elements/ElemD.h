#pragma once
// Diodes: the diode D_D, the zener D_Z and the bidirectional zener D_ZS
// (with their 45-degree variants), the bridge rectifier D_BR, the diode
// ring D_RING and the logic, voltage and current controlled thyristors
// D_LCT, D_VCT, D_CCT. A single diode conducts from pin 1 (anode side of
// the forward difference X[N1] - X[N0]) to pin 0; its current is the
// first extra unknown. The zone number is the conduction state: 1
// forward, 0 off, -1 reverse (zener breakdown, reverse recovery); for the
// bridge and the ring a 4-bit mask of conducting diodes.

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemD : public CCmp {
 public:
  explicit CElemD(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // D_LCT's gate (pin 2) is a logic input (2); every other pin analog (1).
  int GetCmpPinType(int pin) const override;

  double StoredCharge() const { return q_; }  // A*s
  double RecoveryCurrent() const { return recovery_; }  // A
  int GateState() const { return gate_; }

  // Choices of the zener initial state; the initial zone is index - 1.
  static const char* const m_zic_text[];  // "Minus", "Off", "Plus"
  static const SElemType m_elemtype[];

 private:
  CFormula vd_;     // V, forward voltage of a conducting diode; 0
  CFormula v_;      // V, zener voltage; 8
  CFormula t_;      // s, stored-charge lifetime (Storage, Soft); 0
  CFormula ts_;     // s, soft-recovery time constant (Soft); 0
  CFormula icq_;    // A*s, initial stored charge; 0
  CFormula thr_;    // V (D_VCT) or A (D_CCT), gate threshold; 5
  CFormula ihold_;  // A, holding current of the thyristors; 1
  int ic_ = 0;      // initial state of a diode or thyristor: 0 off, 1 on
  int zic_ = 1;     // zener initial state, index into m_zic_text
  double q_ = 0.0;  // A*s, stored charge taken from the solution
  double recovery_ = 0.0;  // A, 1/100 of the current when soft recovery began
  // Thyristors: 0 inactive, 1 gate active, 2 latched. Storage and Soft:
  // 1 while charging or recovering.
  int gate_ = 0;
};
