// The AC analysis of a document: settings checks, the AC source standing
// in with its sinusoidal model, the operating point when asked, then the
// complex solution at every frequency of the sweep or list, each handed to
// the AC traces. The engine is left cleared.

#include <cmath>

#include "api/CallFrame.h"
#include "base/Lists.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/globals.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

bool CDoc::CalcDLLAC() {
  CCalc* calc = CreateCalc();
  if (calc == nullptr) {
    dll_add_error("No enough memory");
    return false;
  }
  if (running_) ClearDLLSim();
  CTraces& traces = freq_->Traces();
  traces.CreateRunData(true);
  calc->InitCalc(false);
  calc->ResetTimeout();

  CCmp* source = nullptr;
  int saved_model = 0;
  bool reached = false;  // a frequency was reached
  double last_f = 0.0;
  // Formulas of AC traces read V(...) of the engine during the analysis.
  running_ = true;

  // Every failure leaves a reason in the engine's error text: a step that
  // failed without giving one gets a text of its own here, so that a run
  // cut short is never taken for a finished one.
  const auto fail = [calc](const AnsiString& text) {
    if (calc->GetError() == nullptr) calc->SetError(text);
    return false;
  };
  calc->ClearError();
  const bool ok = [&]() -> bool {
    if (calc->ACMethod() != 0) return fail("Wrong AC Method");
    if (calc->ACListFlag() == 0) {
      if (calc->ACFrom() > calc->ACTo()) return fail("To < From");
      if (calc->ACScale() == 0) {
        if (calc->ACFrom() <= 0) return fail("From <= 0");
        if (calc->ACTo() <= 0) return fail("To < = 0");
      }
    } else if (calc->ACList().Trim().IsEmpty()) {
      return fail("Frequency list is empty");
    }
    for (int i = 0; i < cmps_->Count(); ++i) cmps_->GetAt(i)->SetPrevModel(0);
    if (calc->ACSource() > 0) source = cmps_->GetCmp(calc->ACSource());
    if (source != nullptr) {
      saved_model = source->Model();
      source->SetModel(MC_SIN);
    }
    calc->ClearCalc();
    // The codes of taking the components and of the matrices, as at a
    // transient start.
    if (!calc->InitCmps(cmps_.get())) return fail("Unknown error 1008");
    calc->NodeChange();
    if (!calc->CreateMatr()) return fail("Unknown error 1009");
    freq_->Lock();
    traces.InitTraces(calc);
    const AnsiString order = traces.CreateRecalcOrder();
    freq_->Unlock();
    if (!order.IsEmpty()) return fail(order);
    if (source == nullptr) return fail("No AC source");
    if (source->PinCount() > 0 && source->Node(0) < 0) return fail("AC source is disabled");
    int n1 = 0, n2 = 0, row = 0;
    double k = 0.0;
    source->GetTraceNodes(calc, 1, n1, n2, row, k);
    if (row < 0) row = 0;
    if (calc->ACOperatingPoint()) {
      calc->SetTransient(true);
      calc->SetOperatingPoint(true);
      const int r = calc->calc_ic(false);
      calc->SetTransient(false);
      calc->SetOperatingPoint(false);
      // The same static solution as a transient start, with its text.
      if (r != IC_OK) return fail("No solution in sim_ic: reason unknown");
    }
    if (!calc->Linearize()) return fail("Linearization failed");

    // A list item is read when its turn comes: a bad item ends the
    // analysis after the frequencies before it were computed.
    auto point = [&](double f) {
      calc->ResetTimeout();
      reached = true;
      last_f = f;
      if (!calc->CalcFreq(f, row)) return fail("Solution failed");
      if (!freq_->AddFreqPoint(f)) return fail("Trace error");
      return true;
    };
    if (calc->ACListFlag() != 0) {
      TStringList items;
      SetStringListCommaText(items, calc->ACList());
      for (int i = 0; i < items.Count(); ++i) {
        double f = 0.0;
        if (!indig(items[i].Trim(), &f)) return fail(m_global_errstr);
        if (!point(f)) return false;
      }
      return true;
    }
    const int n = calc->ACPoints();
    const double from = calc->ACFrom(), to = calc->ACTo();
    for (int i = 0; i < n; ++i) {
      double f = from;
      if (n > 1)
        f = calc->ACScale() != 0
                ? from + (to - from) * i / (n - 1)
                : std::exp(std::log(from) + (std::log(to) - std::log(from)) * i / (n - 1));
      if (!point(f)) return false;
    }
    return true;
  }();

  if (source != nullptr) source->SetModel(saved_model);
  for (int i = 0; i < cmps_->Count(); ++i) {
    CCmp* cmp = cmps_->GetAt(i);
    cmp->ClearCmp();
    cmp->CalcFunc(calc, CM_CLEAR, 0.0);
  }
  calc->ClearCalc();
  running_ = false;
  // The engine's error text decides, as for every analysis: after a run
  // cut short it always holds a reason (see fail above).
  if (calc->GetError() == nullptr) return ok;
  const AnsiString text = reached ? AnsiString("AC error:\nf = ") + sprintf3(last_f, 6) + "\n" +
                                        calc->ErrorText()
                                  : AnsiString("AC error:\n") + calc->ErrorText();
  dll_add_error(text.c_str());
  calc->ClearError();
  return false;
}
