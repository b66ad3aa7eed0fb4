#pragma once
// Inductors: L_L and its 45-degree variant _L_L45 (terminals a = pin 0,
// b = pin 1), the voltage and current controlled inductors L_VCL and
// L_CCL (control pins c = 2, d = 3), the coupled pair L_CL (windings a-b
// and c-d) and the custom coupled inductors L_CUSTOM (winding i between
// pins 2i and 2i + 1). Each winding current is an extra unknown, from k
// on; L_CCL's control current (from c through its sense short to d)
// follows at k + 1.
//
// Signs, per winding with first pin p and second pin q: v = X[q] - X[p],
// the current is positive from q through the winding to p, and
// v = L di/dt (+ M dj/dt for the coupled windings: two windings with the
// same orientation see the same sign of the mutual voltage). A custom
// winding whose polarity bit is set has p and q exchanged. The state (iL;
// i1, i2; one current per custom winding) is that current; NaN means
// "no initial value".
//
// Forms:
//   static, current NaN  a short whose current is unknown;
//   static, current set  a current source holding it;
//   dynamic              row k: v - L' di/dt (- M dj/dt) = 0 (L' the
//                        present inductance: L, or the present PWL
//                        zone's item); an infinite L' holds the current.
// The "PWL" table of L_L gives L as a function of its own current (the
// flux curve stays continuous); the controlled types' table gives L as a
// function of the control, and a zone change there keeps the flux, so the
// current jumps by the ratio of the inductances.

#include <cmath>
#include <string>
#include <vector>

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemL : public CCmp {
 public:
  explicit CElemL(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // L_L, _L_L45 model "L": "L : formula error". L_CL: "L1 : formula
  // error" or "L1 : infinite", the same for L2, then "K : formula error",
  // "K < -1" or "K > 1". L_CUSTOM: each winding's name + " : formula
  // error" or " : infinite", each coupling's name + " : formula error",
  // " < -1" or " > 1". Every problem is reported.
  bool CheckParams(CCalc* calc) override;
  // L_CUSTOM: one unknown per winding; the others the model's count.
  int CreateExtraNodes(CCalc* calc, int first) override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // "i" (L_CL: "i1", "i2"; L_CUSTOM: "i1" ... "in") in the exact
  // hexadecimal form.
  AnsiString GetState() override;
  // all: every IC := its present current, returned as "IC=<value>" (L_CL
  // "IC1", "IC2"; L_CUSTOM "IC1" ... "ICn"); else the bare names.
  AnsiString SaveIC(bool all) override;
  // Model "PWL": the zone of the current (L_L, _L_L45) or of the control
  // (L_VCL, L_CCL) left the stamped one. Controlled types keep the flux
  // when they move and ask the engine for a new initial solution.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  // The first winding's pins (in equation order) and its current.
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;
  // Command 1: clear every IC (sub-command 0) or set it to 0 (1). Every
  // inductance of L_L, _L_L45, L_CL and L_CUSTOM: command 4 divides it by
  // value (sub-command 1) or by its square (2); command 5 multiplies it by
  // value2.
  void CirTools(SCirTools* tools) override;
  // L_CUSTOM: two windings (four pins) for a new component.
  void CreateCustom() override;
  // L_CUSTOM: the parameter list follows the pin count (two per winding).
  void UpdateCustom() override;

  // L_CUSTOM: the number of windings whose parameters exist.
  int WindingCount() const { return windings_; }
  // A, the winding currents (L_L and the controlled types: IL; L_CL: I1,
  // I2; L_CUSTOM: Current(0) ...); NaN while there is no initial value.
  double IL() const { return il_; }
  double I1() const { return i1_; }
  double I2() const { return i2_; }
  double Current(int winding) const {
    return winding >= 0 && winding < static_cast<int>(currents_.size())
               ? currents_[static_cast<std::size_t>(winding)]
               : std::nan("");
  }

  static const SElemType m_elemtype[];

 private:
  bool IsCustom() const { return TypeId() == 37; }
  bool IsPair() const { return TypeId() == 36; }
  // L_CUSTOM: the winding's polarity bit is set (its pins exchanged).
  bool Reversed(int winding) const;
  // Recreates the L_CUSTOM parameters for n windings: "L1" ... "Ln" (H,
  // 1e-6), the couplings of every pair i < j ("K12", or "K1_2" beyond nine
  // windings; 1) and "IC1" ... "ICn" (A, empty). Nothing when n windings
  // exist already.
  void SetWindingCount(int n);

  // One winding as the equations see it.
  struct SWinding {
    int p, q;     // first and second pin's node (after polarity)
    int k;        // its current unknown
    double L;     // H
    double* i;    // A, its state
  };
  // The windings of the present type, in unknown order (at most
  // ExtraCount() of them: one for the single inductors, two for the pair,
  // n for L_CUSTOM).
  std::vector<SWinding> Windings();
  // M between windings i < j (L_CL: K12 sqrt(L1 L2); L_CUSTOM: Kij
  // sqrt(Li Lj)); 0 for the single inductors.
  double Mutual(int i, int j) const;
  // Index into custom_ of the coupling of windings i < j (0-based).
  int CouplingIndex(int i, int j) const;
  CFormula* CustomIC(int winding);

  bool Stamp(CCalc* calc);           // mode 5
  bool StampSingle(CCalc* calc);
  bool StampCoupled(CCalc* calc);    // L_CL and L_CUSTOM
  bool Repair(CCalc* calc);          // mode 4
  void TakeState(CCalc* calc);       // mode 2
  void Prepare();                    // mode 0
  void WritePinGroups();             // mode 14
  void SetVariant(int from, int to); // modes 15, 16
  bool Stamps() const;               // a model that writes equations
  // H, the present inductance of the single inductors: L, or the present
  // zone's PWL item.
  double Inductance() const;

  CFormula l_;    // H; 1 (L_L, _L_L45 "L")
  CFormula ic_;   // A, initial current; empty: none
  CFormula l1_;   // H; L_CL first winding; 1
  CFormula l2_;   // H; L_CL second winding; 1
  CFormula k12_;  // L_CL coupling, -1 to 1; 1
  CFormula ic1_;  // A; L_CL initial currents, empty: none
  CFormula ic2_;
  double il_ = std::nan("");  // A, present current; NaN: no initial value
  double i1_ = std::nan("");
  double i2_ = std::nan("");

  // L_CUSTOM: the generated formulas in list order (inductances, couplings,
  // initial currents), their names and the descriptors bound to them
  // (ending with the empty descriptor). Rebuilt together.
  int windings_ = 0;
  std::vector<CFormula> custom_;
  std::vector<std::string> custom_names_;
  std::vector<CParam> custom_params_;
  std::vector<double> currents_;  // A, per winding; NaN: no initial value
};
