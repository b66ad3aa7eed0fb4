#pragma once
// Diodes: the diode D_D, the zener D_Z and the bidirectional zener D_ZS
// (with their 45-degree variants), the bridge rectifier D_BR, the diode
// ring D_RING and the logic, voltage and current controlled thyristors
// D_LCT, D_VCT, D_CCT. A single diode conducts from pin 1 (anode side of
// the forward difference X[N1] - X[N0]) to pin 0; its current is the
// first extra unknown, positive in the forward direction. The zone number
// is the conduction state: 1 forward, 0 off, -1 reverse (zener breakdown,
// reverse recovery); for the bridge and the ring a 4-bit mask, bit i set
// while diode i conducts.
//
// Every conducting branch is ideal: a short (forward voltage 0, the two
// nodes tied exactly) or a fixed voltage; an off branch carries no current
// (its unknown is forced to 0). Zones change only through the state test
// below; the thyristors' gate, the stored charge of the Storage and Soft
// models and the end of soft recovery are watched at accepted instants
// (CheckZone).
//
// The bridge: diodes N0->N2, N0->N3, N2->N1, N3->N1 (anode->cathode), so
// the AC input is N2-N3 and the rectified output N1 (+) against N0 (-).
// The ring: N0->N2, N3->N0, N2->N1, N1->N3. Diode i's current is unknown
// k + i.
//
// Storage and Soft carry the stored charge q (A*s) in unknown k + 1:
// dq/dt = i - q/t while charged. A Storage diode with charge conducts in
// reverse (zone -1, no forward voltage) until the charge has gone; a Soft
// diode then recovers with a current that follows the charge (time
// constant ts).

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CCalc;
class CPWL;

class CElemD : public CCmp {
 public:
  explicit CElemD(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // Every problem is reported: "Vd : formula error", "Vd < 0", "V :
  // formula error", "V < 0", "Ihold : formula error", "Ihold < 0",
  // "Threshold : formula error", "Threshold = infinite", "t : formula
  // error", "t = infinite", "t < 0", "ICQ : ...", "tsr : ..." (the same
  // three forms), each for the types and models that use the value.
  bool CheckParams(CCalc* calc) override;
  // D_LCT's gate (pin 2) is a logic input (2); every other pin analog (1).
  int GetCmpPinType(int pin) const override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  bool CheckState(CCalc* calc, bool update) override;
  // Thyristor gates, stored charge and soft recovery, at accepted instants.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  bool GetMinMaxState(int& min, int& max) override;
  // Pins 0 and 1 and the branch current; false for the bridge and the
  // ring, which have no single branch (their power comes from
  // GetTraceData).
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;
  // Bridge and ring: the power of the four diodes, W.
  void GetTraceData(CCalc* calc, int kind, double* v, double* v2) override;
  // Command 1: sub-command 0 clears the initial states (IC off, zener
  // IC "Off"), 1 sets IC on (not bridge or ring). Command 2 with its flag:
  // value becomes Vd (diode, its variant, bridge and ring).
  void CirTools(SCirTools* tools) override;
  // "s" = the zone; Storage and Soft also "q" = the charge (hexadecimal).
  AnsiString GetState() override;
  AnsiString SaveIC(bool all) override;

  CFormula& Vd() { return vd_; }
  CFormula& V() { return v_; }
  CFormula& T() { return t_; }
  CFormula& Ts() { return ts_; }
  CFormula& ICQ() { return icq_; }
  CFormula& Threshold() { return thr_; }
  CFormula& Ihold() { return ihold_; }
  int IC() const { return ic_; }
  int ZenerIC() const { return zic_; }

  double StoredCharge() const { return q_; }  // A*s
  double RecoveryCurrent() const { return recovery_; }  // A
  int GateState() const { return gate_; }

  // Choices of the zener initial state; the initial zone is index - 1.
  static const char* const m_zic_text[];  // "Minus", "Off", "Plus"
  static const SElemType m_elemtype[];

 private:
  bool Prepare(CCalc* calc);          // mode 0
  bool Stamp(CCalc* calc);            // mode 5
  bool StampSingle(CCalc* calc);
  bool StampCharge(CCalc* calc);      // Storage and Soft
  bool FillEmptyRows(CCalc* calc);    // mode 13; false when it added stamps
  void WritePinGroups();              // mode 14
  void SetVariant(bool to45);         // modes 15, 16
  bool CheckFourDiodes(CCalc* calc, bool commit);
  bool CheckThyristorGate(CCalc* calc, bool final, bool& changed);
  bool CheckCharge(CCalc* calc, bool final, bool& changed);
  // True while the single branch is stamped as an open branch.
  bool BranchOff() const;
  // The special IC strategy of the engine is being tried on this diode.
  bool Mark(CCalc* calc) const;

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
