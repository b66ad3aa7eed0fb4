#pragma once
// Time-controlled switches: S_S (contact between pins 0 and 1), its
// 45-degree variant _S_S45, and the SPDT switch S_S3 (first contact 0-1,
// second 2-1, pin 1 common; exactly one of them closed). The switch
// follows its own signal (Step, Single, Pulse, Clock, List, File) or
// stays On or Off. The zone number is the state: 1 closed, 0 open (for
// S_S3: 1 the first contact closed, 0 the second).
//
// A closed contact is an ideal short (its two nodes tied exactly), an open
// one carries no current. The current of the first contact, positive from
// pin 1 through the switch to pin 0, is the first extra unknown; S_S3's
// second contact (pin 1 to pin 2) carries its current in the second.

#include <memory>

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/Signal.h"

class CElemS : public CCmp {
 public:
  explicit CElemS(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // The signal models: the signal's own parameter check.
  bool CheckParams(CCalc* calc) override;
  bool CalcFunc(CCalc* calc, int mode, double t) override;
  // The signal models land steps on the signal's edges.
  void CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                   double& firstStep) override;
  // Clock: a pulse lasts one clock step; its end is a zone change.
  bool CheckZone(CCalc* calc, bool final, bool& changed) override;
  // Command 3 (Pulse, with its flag): value is the new Period; Width and
  // Delay scale with it. Command 1, sub-command 0: Delay := 0.
  void CirTools(SCirTools* tools) override;
  // "" for On and Off; else "t" = the time of the last evaluation (hex).
  AnsiString GetState() override;
  // With all: Delay shifted so that a new run continues the waveform
  // from the saved time, written as "Delay=<value>"; without: "Delay".
  AnsiString SaveIC(bool all) override;
  CSignal* GetSignal() const override { return signal_.get(); }

  int Active() const { return active_; }
  double LastTime() const { return last_time_; }

  static const SElemType m_elemtype[];

 private:
  bool Prepare(CCalc* calc, double t);  // mode 0
  bool Stamp(CCalc* calc);              // mode 5
  void SetVariant(int from, int to);    // modes 15, 16
  bool HasSignal() const;               // a signal model, not On or Off

  int active_ = 1;  // 1: closed while the signal is high; 0: inverted
  std::unique_ptr<CSignal> signal_;  // Period, Width, Step, Delay, List, File, Cycle
  double last_time_ = 0.0;  // s, time of the last source evaluation
};
