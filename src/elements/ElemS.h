#pragma once
// Time-controlled switches: S_S (contact between pins 0 and 1), its
// 45-degree variant _S_S45, and the SPDT switch S_S3 (first contact 0-1,
// second 2-1, pin 1 common; exactly one of them closed). The switch
// follows its own signal (Step, Single, Pulse, Clock, List, File) or
// stays On or Off. The zone number is the state: 1 closed, 0 open.

#include <memory>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/Signal.h"

class CElemS : public CCmp {
 public:
  explicit CElemS(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  CSignal* GetSignal() const override { return signal_.get(); }

  int Active() const { return active_; }
  double LastTime() const { return last_time_; }

  static const SElemType m_elemtype[];

 private:
  int active_ = 1;  // 1: closed while the signal is high; 0: inverted
  std::unique_ptr<CSignal> signal_;  // Period, Width, Step, Delay, List, File, Cycle
  double last_time_ = 0.0;  // s, time of the last source evaluation
};
