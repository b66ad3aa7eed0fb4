#pragma once
// Independent sources: the voltage source V_V and current source I_I
// (pins P0 = 0, P1 = 1) and their logic controlled forms V_CV and I_CI
// (control pin 2), whose waveform starts when the control input rises
// above the document's logic threshold. The value is constant (model
// "V"/"I"), a One-shot pulse, or the owned signal.
//
// Signs: a voltage source holds v(P1) - v(P0) = value, so its V trace
// (pin 1 minus pin 0) reads the value; the first extra unknown k carries
// its branch current. A current source's unknown k is its current, equal
// to the value, flowing from P0 through the source to P1 (it leaves node
// P0 and enters node P1).
//
// Logic control: the control pin's voltage is compared with the
// document's threshold "thr". A waveform starts (time origin = that
// instant) when the control rises above it; a One-shot pulse of Width
// starts at every rising crossing, even while a pulse is still on.

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
  // "V : formula error", "V = infinite" (model "V"/"I"); the One-shot's
  // levels and Width; the signal's checks for the signal models.
  bool CheckParams(CCalc* calc) override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // Control crossings of V_CV and I_CI; the end of a clock pulse.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  // The signal's breakpoints; the end of an active One-shot pulse.
  void CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                   double& firstStep) override;
  // V_V and I_I with a signal model: "t" = the local time of the last
  // accepted solution, in the exact hexadecimal form; otherwise "".
  AnsiString GetState() override;
  // V_V and I_I with a signal model: Delay is shifted so that a new run
  // from time 0 continues the waveform where it is now ("Delay=" and the
  // new value); without all nothing changes and the text names "Delay"
  // without a value. Other models and types: "".
  AnsiString SaveIC(bool all) override;

  // True for the current sources I_I and I_CI.
  bool IsCurrent() const { return TypeId() == 31 || TypeId() == 32; }
  CFormula& Value() { return v_; }

  // Logic control and One-shot state.
  bool Triggered() const { return triggered_; }
  double TriggerTime() const { return trigger_time_; }
  bool OneShotActive() const { return one_shot_active_; }
  double EndTime() const { return end_time_; }
  int ControlState() const { return control_state_; }

  static const SElemType m_elemtype[];

 private:
  bool IsLogic() const { return TypeId() == 70 || TypeId() == 32; }
  bool IsPlain() const { return TypeId() == 69 || TypeId() == 31; }
  bool Prepare(CCalc* calc, double t);  // mode 0
  bool Stamp(CCalc* calc);              // mode 5
  bool FillY(CCalc* calc, double t);    // mode 7
  void WritePinGroups();                // mode 14

  CFormula v_;  // V or A, value of model "V"/"I"; 10 V, 1 A
  std::unique_ptr<CSignal> signal_;
  // Logic control.
  bool triggered_ = false;
  double trigger_time_ = 0.0;  // s
  // One-shot: active while the pulse lasts, until end_time_ (s).
  bool one_shot_active_ = false;
  double end_time_ = 0.0;
  int control_state_ = 0;  // control input sampled in mode 11: 1 high
};
