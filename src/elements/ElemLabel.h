#pragma once
// The label: a one-pin component that names a node (labels of one name
// are one node). Model "Label" only names it; "V" and the signal models
// also drive the node against ground, through the extra unknown (the
// driving current); "IC" ties the node through R to V before the first
// time point. Labels are made by CCmps::AddLabel and the document loader,
// never through the registry.
//
// Signs: a driving label holds v(N) = value against ground; its extra
// unknown k is the driving branch's current. Model "IC": the branch
// v(N) + R * i(k) = V holds in the static solution at t <= 0 only (the
// initial condition), afterwards i(k) is held at 0 and the node is free.

#include <memory>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/Signal.h"
#include "expr/Formula.h"

class CElemLabel : public CCmp {
 public:
  explicit CElemLabel(const SElemType* type);

  bool IsLabel() const override { return true; }
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  CSignal* GetSignal() const override { return signal_.get(); }
  // 1 for an input; 2 (signal only) for the plain "Label"; 1 otherwise.
  int GetCmpPinType(int pin) const override;
  // An input drives its node: one unknown; otherwise the model's count.
  int CreateExtraNodes(CCalc* calc, int first) override;
  // "V : formula error", "V = infinite" (models "V" and "IC"), "R :
  // formula error" ("IC"); the signal's checks for the signal models.
  bool CheckParams(CCalc* calc) override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // The end of a clock pulse.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  void CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                   double& firstStep) override;
  // Ground and the label's node, the driving current k: a V trace reads
  // the node's voltage, an I trace the current the label drives.
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra, double& k) override;

  CFormula& Value() { return v_; }
  CFormula& R() { return r_; }
  bool ICActive() const { return ic_active_; }

  // The type record (key "label", id 5): outside the registry.
  static const SElemType m_elemtype;

 private:
  bool Prepare(CCalc* calc, double t);  // mode 0
  bool Stamp(CCalc* calc, double t);    // mode 5
  bool StampIC(CCalc* calc, double t);
  bool DropIC(CCalc* calc);             // mode 4
  bool Driven() const { return IsDLLInput() || CSignal::IsSignalModel(Model()); }

  CFormula v_;  // V, value of models "V" and "IC"; 0
  CFormula r_;  // Ohm, series resistance of model "IC"; 0
  std::unique_ptr<CSignal> signal_;
  bool ic_active_ = false;    // "IC": the tie is still in force
};
