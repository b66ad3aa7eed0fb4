#pragma once
// Resistors: R_R and its 45-degree variant _R_R45 (pins a = 0, b = 1), the
// potentiometer R_Pot (wiper w = pin 2) and the voltage and current
// controlled resistors R_VCR and R_CCR (control pins c = 2, d = 3).
// The "PWL" models keep their table in the component's common table (text
// and mode in the common attributes); the "PWL-I" model of R_R has a
// second table of its own, R as a function of the current.
//
// Signs: v = X[b] - X[a]; the current is positive from pin b through the
// element to pin a, so i = v / R. Extra unknown k (the first one) carries
// that current wherever the element has one: the ideal short (R = 0), the
// PWL branches, the controlled resistors' switch branch; R_CCR's control
// current, from c through the sense short to d, is unknown k + 1.
//
// Models and their stamps:
//   "R"             SetR(a, b, R); R exactly 0 is an ideal short (tie + k).
//   "Potentiometer" R * Position between a and w, the rest between w and
//                   b; a part of zero resistance is an ideal short.
//   "PWL" on R_R    the table is I(V): slope = conductance (S) of the
//                   present zone, offset in A; a controlled current k.
//   "PWL" on R_VCR  the table is R(v_control), each item a resistance
//                   (Ohm, 0 a short, inf an open branch); R_CCR likewise
//                   of the control current.
//   "PWL-I"         the PWL-I table is V(I): slope = resistance (Ohm) of
//                   the present zone, offset in V.

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/PWL.h"
#include "expr/Formula.h"

class CElemR : public CCmp {
 public:
  explicit CElemR(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // "R": "R : formula error". "Potentiometer": that, then "Position :
  // formula error", "Position < 0" or "Position > 1".
  bool CheckParams(CCalc* calc) override;
  // "R": 1 for an ideal short (R exactly 0); "Potentiometer": 2 when R is
  // 0, 1 when the wiper sits at an end; other models the record's count.
  int CreateExtraNodes(CCalc* calc, int first) override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // R_VCR and R_CCR in "PWL": the control value left the stamped zone.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  // Nodes a and b, unknown k, and for model "R" the resistance as the
  // factor that turns the voltage into the current.
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;
  // Model "R": command 4 divides R by value (sub-command 2) or multiplies
  // it (sub-command 3); command 5 multiplies R by value2.
  void CirTools(SCirTools* tools) override;
  // R_R and _R_R45 in "PWL" or "PWL-I": the table's zone range.
  bool GetMinMaxState(int& min, int& max) override;
  // R_R and _R_R45 in "PWL" (input v) or "PWL-I" (input: current k).
  bool CheckState(CCalc* calc, bool update) override;

  CFormula& R() { return r_; }
  CFormula& Position() { return position_; }
  CPWL& PwlI() { return pwli_; }

  static const SElemType m_elemtype[];

 private:
  bool Prepare(CCalc* calc);         // mode 0
  bool Stamp(CCalc* calc);           // mode 5
  bool StampPot(CCalc* calc);
  bool StampPwl(CCalc* calc);
  void WritePinGroups();             // mode 14
  void SetVariant(int from, int to); // modes 15, 16
  bool IsPlain() const { return TypeId() == 51 || TypeId() == 55; }
  // The table whose zones are this component's zones: the common table in
  // "PWL", the PWL-I table in "PWL-I"; null in other models or before the
  // common table exists.
  CPWL* ZoneTable();

  CFormula r_;         // Ohm; 1
  CFormula position_;  // wiper position, 0 (at a) to 1 (at b); 0
  CPWL pwli_;          // "PWL-I": V(I), document attributes "pwli", "pwlif", "pwlim"
};
