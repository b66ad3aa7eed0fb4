#pragma once
// The label: a one-pin component that names a node (labels of one name
// are one node). Model "Label" only names it; "V" and the signal models
// also drive the node against ground, through the extra unknown (the
// driving current); "IC" ties the node through R to V before the first
// time point. Labels are made by CCmps::AddLabel and the document loader,
// never through the registry.

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

  CFormula& Value() { return v_; }
  CFormula& R() { return r_; }
  bool IsInput() const { return input_; }
  void SetInput(bool on) { input_ = on; }
  double InputValue() const { return input_value_; }
  void SetInputValue(double v) { input_value_ = v; }
  bool ICActive() const { return ic_active_; }

  // The type record (key "label", id 5): outside the registry.
  static const SElemType m_elemtype;

 private:
  CFormula v_;  // V, value of models "V" and "IC"; 0
  CFormula r_;  // Ohm, series resistance of model "IC"; 0
  std::unique_ptr<CSignal> signal_;
  bool input_ = false;
  double input_value_ = 0.0;  // V
  bool ic_active_ = false;    // "IC": the tie is still in force
};
