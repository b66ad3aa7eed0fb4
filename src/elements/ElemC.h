#pragma once
// Capacitors: C_C and its 45-degree variant _C_C45 (terminals a = pin 0,
// b = pin 1), and the voltage and current controlled capacitors C_VCC and
// C_CCC (control pins c = 2, d = 3). The element current is the first
// extra unknown k; C_CCC's control current (from c through its sense short
// to d) the second, k + 1.
//
// Signs: v = X[b] - X[a]; the current k is positive from pin b through the
// capacitor to pin a, so that i = C dv/dt (passive convention, as the
// resistor's). The state vC is that v; NaN means "no initial value".
//
// Forms:
//   static, vC set     a voltage source of vC between a and b;
//   static, vC NaN     an open branch (no current);
//   dynamic            row k: i - C' dv/dt = 0 (C' the present
//                      capacitance: C, or the present PWL zone's item);
//                      an infinite C' holds vC as a voltage source.
// The "PWL" table of C_C gives C as a function of the capacitor's own
// voltage: the capacitance changes, the charge curve Q(V) stays continuous.
// The controlled types' table gives C as a function of the control (the
// voltage c-d, or the control current): there a zone change keeps the
// charge, so the voltage jumps by the ratio of the capacitances.

#include <cmath>

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemC : public CCmp {
 public:
  explicit CElemC(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // Model "C": "C : formula error". The PWL models have no check of their
  // own (their table reports its errors when it is built).
  bool CheckParams(CCalc* calc) override;
  // Terminals 5 (analog, capacitive load); control pins 2 for C_VCC (a
  // voltage is only sensed), 1 for C_CCC (its sense short carries current).
  int GetCmpPinType(int pin) const override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // "v" = vC in the exact hexadecimal form.
  AnsiString GetState() override;
  // all: IC := the present vC, returned as "IC=<value>"; else the bare "IC".
  AnsiString SaveIC(bool all) override;
  // Model "PWL": the zone of the capacitor voltage (C_C, _C_C45) or of the
  // control (C_VCC, C_CCC) left the stamped one. Controlled types keep the
  // charge when they move and ask the engine for a new initial solution.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  // Nodes a and b and the element current k: v = X[b] - X[a], i = X[k].
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;
  // Command 1: clear every IC (sub-command 0) or set it to 0 (1). Model
  // "C" only: command 4 divides C by value (sub-command 1) or by its
  // square (3); command 5 divides C by value2.
  void CirTools(SCirTools* tools) override;

  CFormula& C() { return c_; }
  CFormula& IC() { return ic_; }
  // V, the state; NaN while there is no initial value.
  double VC() const { return vc_; }

  static const SElemType m_elemtype[];

 private:
  bool Stamp(CCalc* calc);           // mode 5
  bool Repair(CCalc* calc);          // mode 4
  void WritePinGroups();             // mode 14
  void SetVariant(int from, int to); // modes 15, 16
  bool Stamps() const;               // a model that writes equations
  // F, the present capacitance: C, or the present zone's PWL item.
  double Capacitance() const;

  CFormula c_;   // F; 1 ("C" model; the "PWL" table gives C(V) instead)
  CFormula ic_;  // V, initial voltage b - a; empty: no initial condition
  double vc_ = std::nan("");  // V, present state; NaN: no initial value
};
