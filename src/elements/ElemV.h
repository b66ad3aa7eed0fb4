#pragma once
// Independent sources: the voltage source V_V and current source I_I
// (pins + = 0, - = 1) and their logic controlled forms V_CV and I_CI
// (control pin 2), whose waveform starts when the control input rises
// above the document's logic threshold. The source current (voltage
// types) or value (current types) is the first extra unknown. The value
// is constant (model "V"/"I"), a One-shot pulse, or the owned signal.

#include <memory>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/Signal.h"
#include "expr/Formula.h"

class CElemV : public CCmp {
 public:
  explicit CElemV(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  CSignal* GetSignal() const override { return signal_.get(); }

  // True for the current sources I_I and I_CI.
  bool IsCurrent() const { return TypeId() == 31 || TypeId() == 32; }
  CFormula& Value() { return v_; }

  // --- Library input (a caller's value replaces the model's).
  bool IsInput() const { return input_; }
  void SetInput(bool on) { input_ = on; }
  double InputValue() const { return input_value_; }
  void SetInputValue(double v) { input_value_ = v; }

  // Logic control and One-shot state.
  bool Triggered() const { return triggered_; }
  double TriggerTime() const { return trigger_time_; }
  bool OneShotActive() const { return one_shot_active_; }
  double EndTime() const { return end_time_; }
  int ControlState() const { return control_state_; }

  static const SElemType m_elemtype[];

 private:
  CFormula v_;  // V or A, value of model "V"/"I"; 10 V, 1 A
  std::unique_ptr<CSignal> signal_;
  bool input_ = false;
  double input_value_ = 0.0;  // V or A
  // Logic control.
  bool triggered_ = false;
  double trigger_time_ = 0.0;  // s
  // One-shot: active while the pulse lasts, until end_time_ (s).
  bool one_shot_active_ = false;
  double end_time_ = 0.0;
  int control_state_ = 0;  // control input sampled in mode 11: 1 high
};
