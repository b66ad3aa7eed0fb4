// Simulation control of a document: starting a run, advancing it by
// intervals or single steps, the calculation step, and turning the present
// state into initial conditions. Failures append the engine's message to
// the library's error text and end the run.

#include <cmath>
#include <limits>

#include "api/CallFrame.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "base/globals.h"
#include "expr/globals.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// Appends the engine's message (when there is one), ends the run and
// releases the engine's matrices; the samples recorded so far stay.
void CDoc::FailDLLSim() {
  CCalc* calc = calc_.get();
  if (calc != nullptr) {
    if (calc->GetError() != nullptr) dll_add_error(calc->GetError());
    calc->SetStopTime(kNaN);
    calc->sim_stop();
    calc->ClearError();
  }
  running_ = false;
  last_time_ = 0.0;
}

bool CDoc::StartDLLSim() {
  CCalc* calc = CreateCalc();
  if (calc == nullptr) {
    dll_add_error("No enough memory");
    return false;
  }
  if (running_) ClearDLLSim();
  calc->sim_start();
  if (!calc->sim_init()) {
    calc->SetUnknownError("1028");
    FailDLLSim();
    return false;
  }
  while (calc->sim_execute()) {
    if (calc->Phase() != PH_IC) {
      running_ = true;
      last_time_ = 0.0;
      return true;
    }
  }
  FailDLLSim();
  return false;
}

bool CDoc::ExecuteDLLSim(double interval, int mode) {
  if (mode < 0 || mode > 2) return true;
  if (!running_ && !StartDLLSim()) return false;
  CCalc* calc = calc_.get();
  switch (mode) {
    case 1:
      if (!calc->sim_execute()) break;
      last_time_ = calc->Time();
      return true;
    case 0: {
      const double target = last_time_ + interval;
      bool ok = true;
      while (ok && CompareValues(calc->Time(), target) < 0) ok = calc->sim_execute();
      if (!ok) break;
      // The target itself, not the engine time just beyond it: successive
      // intervals then add up without drift.
      last_time_ = target;
      return true;
    }
    default: {
      const double target = calc->Time() + interval;
      calc->SetStopTime(target);
      if (calc->LinStepPending()) {
        calc->ApplyStopTime();
        calc->SetLinStepPending(false);
      }
      bool ok = true;
      while (ok && CompareValues(calc->Time(), target) < 0) ok = calc->sim_execute();
      if (!ok) break;
      calc->SetStopTime(kNaN);
      last_time_ = calc->Time();
      return true;
    }
  }
  FailDLLSim();
  return false;
}

void CDoc::ClearDLLSim() {
  if (calc_ != nullptr) calc_->sim_stop();
  running_ = false;
}

bool CDoc::SetDLLStep(double step) {
  if (step == tran_settings_.step) return true;
  if (!(step > 0.0)) {
    dll_add_error("step <= 0");
    return false;
  }
  if (calc_ != nullptr && calc_->HasMatrices()) calc_->GetCurState();
  tran_settings_.step = step;
  // The engine rebuilds its equations with the new step before its next
  // step and goes on from the state the components just recorded.
  if (calc_ != nullptr && running_) calc_->SetInitFlags(calc_->InitFlags() | 4);
  return true;
}

double CDoc::GetDLLSimulationTime() const {
  return running_ && calc_ != nullptr ? calc_->Time() : 0.0;
}

void CDoc::SaveDLLIC() {
  if (calc_ != nullptr && calc_->HasMatrices()) calc_->GetCurState();
  cmps_->SaveCmpsIC(this);
}

void CDoc::UpdateGroup(CCmp* source) {
  for (int i = 0; i < cmps_->Count(); ++i) {
    CCmp* other = cmps_->GetAt(i);
    if (other == source || other->GroupName().IsEmpty()) continue;
    if (CompareNames(other->GroupName(), source->GroupName()) != 0) continue;
    other->CopyGroupParams(source, source->GroupIC());
  }
}
