#include "elements/Signal.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "expr/VarList.h"

const char* const CSignal::m_signal_slope_text[] = {"Linear", "Cos", "Exp", nullptr};
const char* const CSignal::m_signal_sweep_type_text[] = {"Linear", "Exp", nullptr};

// The descriptors of the signal kinds, once with the levels named V1/V0
// (volts) and once with I1/I0 (amperes). Their order is the order a user
// reads the waveform in: levels, timing, shape, start.
#define LEVELS(L, U) CParam(PK_FORMULA, L "1", U), CParam(PK_FORMULA, L "0", U)
#define SIGNAL_ARRAYS(L, U)                                                              \
  CParam m_param_single_##L[] = {LEVELS(#L, U),                                          \
                                 CParam(PK_FORMULA, "Width", "s"),                        \
                                 CParam(PK_CHOICE, "Slope", ""),                          \
                                 CParam(PK_FORMULA, "Rise", "s"),                         \
                                 CParam(PK_FORMULA, "Fall", "s"),                         \
                                 CParam(PK_FORMULA, "Delay", "s"),                        \
                                 CParam()};                                               \
  CParam m_param_pulse_##L[] = {LEVELS(#L, U),                                           \
                                CParam(PK_FORMULA, "Period", "s"),                        \
                                CParam(PK_FORMULA, "Width", "s"),                         \
                                CParam(PK_CHOICE, "Slope", ""),                           \
                                CParam(PK_FORMULA, "Rise", "s"),                          \
                                CParam(PK_FORMULA, "Fall", "s"),                          \
                                CParam(PK_FORMULA, "Delay", "s"),                         \
                                CParam()};                                                \
  CParam m_param_step_##L[] = {LEVELS(#L, U),                                            \
                               CParam(PK_CHOICE, "Slope", ""),                            \
                               CParam(PK_FORMULA, "Rise", "s"),                           \
                               CParam(PK_FORMULA, "Delay", "s"),                          \
                               CParam()};                                                 \
  CParam m_param_sin_##L[] = {LEVELS(#L, U),                                             \
                              CParam(PK_FORMULA, "Period", "s"),                          \
                              CParam(PK_FORMULA, "Phase", "deg"),                         \
                              CParam(PK_FORMULA, "Decay", "1/s"),                         \
                              CParam(PK_FORMULA, "Delay", "s"),                           \
                              CParam()};                                                  \
  CParam m_param_clock_##L[] = {LEVELS(#L, U),                                           \
                                CParam(PK_FORMULA, "Period", "s"),                        \
                                CParam(PK_FORMULA, "Step", "s"),                          \
                                CParam(PK_FORMULA, "Delay", "s"),                         \
                                CParam()};                                                \
  CParam m_param_sweep_##L[] = {LEVELS(#L, U),                                           \
                                CParam(PK_FORMULA, "Width", "s"),                         \
                                CParam(PK_FORMULA, "F0", "Hz"),                           \
                                CParam(PK_FORMULA, "F1", "Hz"),                           \
                                CParam(PK_CHOICE, "Type", ""),                            \
                                CParam(PK_FORMULA, "Delay", "s"),                         \
                                CParam()};

SIGNAL_ARRAYS(V, "V")
SIGNAL_ARRAYS(I, "A")
#undef SIGNAL_ARRAYS
#undef LEVELS

// The kinds without levels are the same for voltages and currents.
CParam m_param_function[] = {CParam(PK_FUNCTION, "f", ""), CParam()};
CParam m_param_file[] = {CParam(PK_FILE, "File", ""), CParam(PK_YES_NO, "Cycle", ""),
                         CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_list[] = {CParam(PK_LIST_SOURCE, "List", ""), CParam(PK_YES_NO, "Cycle", ""),
                         CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_trace[] = {CParam(PK_TRACE, "Trace", ""), CParam(PK_YES_NO, "Cycle", ""),
                          CParam(PK_FORMULA, "Delay", "s"), CParam()};

namespace {

bool Is(const char* name, const char* word) { return std::strcmp(name, word) == 0; }

}  // namespace

CSignal::CSignal(CCmp* owner) : owner_(owner) { SetDefaults(); }

CSignal::~CSignal() = default;

void CSignal::SetDefaults() {
  u0.SetVal(0.0);
  u1.SetVal(10.0);
  period.SetVal(1.0);
  width.SetVal(0.5);
  clock_step.SetVal(0.0);
  slope = kSlopeLinear;
  rise.SetVal(0.0);
  fall.SetVal(0.0);
  delay.SetVal(0.0);
  phase.SetVal(0.0);
  decay.SetVal(0.0);
  list = "0,0";
  function = "10";
  file = AnsiString();
  trace = AnsiString();
  cycle = 0;
  sweep_type = kSweepLinear;
  f0.SetVal(0.0);
  f1.SetVal(0.0);
  ClearSignal();
}

void CSignal::ClearSignal() {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  running = false;
  edge_state = kBeforeDelay;
  origin = cycles = 0.0;
  edge_start = phase_time = kNaN;
  table_t.clear();
  table_v.clear();
  table_index = -1;
  step_index_ = 1;
  vars_.reset();
}

// The texts are plain attributes, as the document format keeps them; the
// numeric ones go through SerializeFormula (value, and text when given).
void CSignal::SerializeSignal(CXMLNode* node) {
  CXMLNode* s = node->Node("Signal");
  if (s == nullptr) return;
  s->SerializeFormula("u0", u0);
  s->SerializeFormula("u1", u1);
  s->SerializeFormula("p", period);
  s->SerializeFormula("w", width);
  s->SerializeFormula("cw", clock_step);
  slope = s->AttributeInt("s", slope);
  s->SerializeFormula("r", rise);
  s->SerializeFormula("f", fall);
  s->SerializeFormula("d", delay);
  s->SerializeFormula("ph", phase);
  s->SerializeFormula("dec", decay);
  list = s->Attribute("list", list);
  function = s->Attribute("function", function);
  file = s->Attribute("file", file);
  trace = s->Attribute("trace", trace);
  cycle = s->AttributeInt("c", cycle);
  sweep_type = s->AttributeInt("type", sweep_type);
  s->SerializeFormula("f0", f0);
  s->SerializeFormula("f1", f1);
}

void CSignal::BindParams(CParam* params) {
  if (params == nullptr) return;
  for (CParam* p = params; p->Name() != nullptr; ++p) {
    const char* n = p->Name();
    // Levels: "V1", "I1", "V0", "I0". "F0"/"F1" are frequencies.
    if ((n[0] == 'V' || n[0] == 'I') && (n[1] == '1' || n[1] == '0') && n[2] == '\0')
      p->BindFormula(n[1] == '1' ? &u1 : &u0);
    else if (Is(n, "Period"))
      p->BindFormula(&period);
    else if (Is(n, "Width"))
      p->BindFormula(&width);
    else if (Is(n, "Step"))
      p->BindFormula(&clock_step);
    else if (Is(n, "Slope"))
      p->BindChoice(&slope, m_signal_slope_text);
    else if (Is(n, "Rise"))
      p->BindFormula(&rise);
    else if (Is(n, "Fall"))
      p->BindFormula(&fall);
    else if (Is(n, "Delay"))
      p->BindFormula(&delay);
    else if (Is(n, "Phase"))
      p->BindFormula(&phase);
    else if (Is(n, "Decay"))
      p->BindFormula(&decay);
    else if (Is(n, "F0"))
      p->BindFormula(&f0);
    else if (Is(n, "F1"))
      p->BindFormula(&f1);
    else if (Is(n, "Type"))
      p->BindChoice(&sweep_type, m_signal_sweep_type_text);
    else if (Is(n, "Cycle"))
      p->BindInt(&cycle);
    else if (Is(n, "List"))
      p->BindText(&list);
    else if (Is(n, "File"))
      p->BindText(&file);
    else if (Is(n, "Trace"))
      p->BindText(&trace);
    else if (Is(n, "f"))
      p->BindText(&function);
  }
}

bool CSignal::IsSignalModel(int model) {
  switch (model) {
    case MC_SINGLE:
    case MC_PULSE:
    case MC_STEP:
    case MC_SIN:
    case MC_FUNCTION:
    case MC_FILE:
    case MC_LIST:
    case MC_TRACE:
    case MC_CLOCK:
    case MC_SWEEP:
      return true;
    default:
      return false;
  }
}

CParam* CSignal::GetSignalParams(int model, char letter) {
  const bool current = letter == 'I';
  CParam* params = nullptr;
  switch (model) {
    case MC_SINGLE: params = current ? m_param_single_I : m_param_single_V; break;
    case MC_PULSE: params = current ? m_param_pulse_I : m_param_pulse_V; break;
    case MC_STEP: params = current ? m_param_step_I : m_param_step_V; break;
    case MC_SIN: params = current ? m_param_sin_I : m_param_sin_V; break;
    case MC_CLOCK: params = current ? m_param_clock_I : m_param_clock_V; break;
    case MC_SWEEP: params = current ? m_param_sweep_I : m_param_sweep_V; break;
    case MC_FUNCTION: params = m_param_function; break;
    case MC_FILE: params = m_param_file; break;
    case MC_LIST: params = m_param_list; break;
    case MC_TRACE: params = m_param_trace; break;
    default: return nullptr;
  }
  BindParams(params);
  return params;
}

bool CSignal::KindHasDelay(int kind) { return IsSignalModel(kind) && kind != MC_FUNCTION; }

bool CSignal::Fail(CCalc* calc, const AnsiString& message) const {
  if (calc != nullptr) calc->SetCmpError(owner_, message);
  return false;
}

CDoc* CSignal::DocOf(CCalc* calc) const {
  if (calc != nullptr && calc->GetDoc() != nullptr) return calc->GetDoc();
  if (owner_ != nullptr && owner_->Owner() != nullptr) return owner_->Owner()->Doc();
  return nullptr;
}

// --- Parameter checks ------------------------------------------------------------

namespace {

// One formula's checks: a formula error ends them (its value means
// nothing); the range tests report each failing rule.
class CCheck {
 public:
  CCheck(CCalc* calc, const CCmp* owner) : calc_(calc), owner_(owner) {}
  bool ok() const { return ok_; }
  // name + " : formula error"; true when the value can be tested further.
  bool Formula(const CFormula& f, const AnsiString& name) {
    if (!f.Error()) return true;
    Report(name + " : formula error");
    return false;
  }
  void Rule(bool failed, const AnsiString& message) {
    if (failed) Report(message);
  }

 private:
  void Report(const AnsiString& message) {
    if (calc_ != nullptr) calc_->SetCmpError(owner_, message);
    ok_ = false;
  }
  CCalc* calc_;
  const CCmp* owner_;
  bool ok_ = true;
};

}  // namespace

bool CSignal::CheckSignalParams(CCalc* calc) {
  const int kind = owner_ != nullptr ? owner_->Model() : kind_;
  CCheck c(calc, owner_);
  // The level messages begin with the owner's letter: "V1 : infinite" for
  // voltage sources, "I1 : infinite" for current sources. Owners whose
  // type key starts with another letter (the label's "label") name their
  // levels V1 and V0, so the messages do too.
  char letter = owner_ != nullptr ? owner_->GetLetter() : 'V';
  if (letter != 'V' && letter != 'I') letter = 'V';
  const AnsiString L(std::string(1, letter));
  const bool levels = kind == MC_SINGLE || kind == MC_PULSE || kind == MC_STEP ||
                      kind == MC_SIN || kind == MC_CLOCK || kind == MC_SWEEP;
  if (levels) {
    if (c.Formula(u1, L + "1")) c.Rule(std::isinf(u1.Value()), L + "1 : infinite");
    if (c.Formula(u0, L + "0")) c.Rule(std::isinf(u0.Value()), L + "0 : infinite");
  }
  // Period: a Pulse with an infinite Period is a Single; a clock or sine
  // needs a finite one.
  if (kind == MC_PULSE || kind == MC_CLOCK || kind == MC_SIN) {
    if (c.Formula(period, "Period")) {
      c.Rule(period.Value() <= 0.0, "Period <= 0");
      c.Rule(kind != MC_PULSE && std::isinf(period.Value()), "Period = infinite");
    }
  }
  if (KindHasDelay(kind)) c.Formula(delay, "Delay");  // any Delay is valid, infinite too
  if (kind == MC_CLOCK && c.Formula(clock_step, "Step"))
    c.Rule(clock_step.Value() < 0.0, "Step < 0");
  if (kind == MC_SWEEP) {
    if (c.Formula(width, "Width")) {
      c.Rule(std::isinf(width.Value()), "Width = infinite");
      c.Rule(width.Value() <= 0.0, "Width <= 0");
    }
    if (c.Formula(f0, "F0")) {
      c.Rule(std::isinf(f0.Value()), "F0 = infinite");
      c.Rule(f0.Value() < 0.0, "F0 < 0");
    }
    if (c.Formula(f1, "F1")) {
      c.Rule(std::isinf(f1.Value()), "F1 = infinite");
      c.Rule(f1.Value() < 0.0, "F1 < 0");
    }
  }
  // An infinite Width makes a Single or Pulse a Step.
  if ((kind == MC_SINGLE || kind == MC_PULSE) && c.Formula(width, "Width"))
    c.Rule(width.Value() < 0.0, "Width < 0");
  if (kind == MC_SIN) {
    if (c.Formula(phase, "Phase")) c.Rule(std::isinf(phase.Value()), "Phase = infinite ");
    if (c.Formula(decay, "Decay")) {
      c.Rule(decay.Value() < 0.0, "Decay < 0");
      c.Rule(std::isinf(decay.Value()), "Decay = infinite ");
    }
  }
  if (kind == MC_SINGLE || kind == MC_PULSE || kind == MC_STEP) {
    if (c.Formula(rise, "Rise")) {
      c.Rule(std::isinf(rise.Value()), "Rise = infinite");
      c.Rule(rise.Value() < 0.0, "Rise < 0");
    }
  }
  if (kind == MC_SINGLE || kind == MC_PULSE) {
    if (c.Formula(fall, "Fall")) {
      c.Rule(std::isinf(fall.Value()), "Fall = infinite");
      c.Rule(fall.Value() < 0.0, "Fall < 0");
    }
  }
  return c.ok();
}

AnsiString CSignal::CheckValue(const CFormula& f, const AnsiString& name) {
  if (f.Error()) return name + " : formula error";
  if (std::isinf(f.Value())) return name + " = infinite";
  return AnsiString();
}

// --- Stamps of a signal-driven branch -----------------------------------------------

bool CSignal::StampSignalSource(CCalc* calc, int a, int b, int k, bool current) {
  calc->SetYsignal(k);
  if (current) {
    if (!calc->SetI(a, b, k, 0.0)) return false;
    // Unknown k is the source's current itself: tie it to its Y row.
    calc->SetYzSignal(0, k, k);
    return true;
  }
  if (!calc->SetV(a, b, k, 0.0)) return false;
  calc->SetYzSignal(a, b, k);
  return true;
}

bool CSignal::StampConstantSource(CCalc* calc, int a, int b, int k, bool current, double v) {
  if (current) {
    if (!calc->SetI(a, b, k, v)) return false;
    calc->SetYzConst(0, k, v);
    return true;
  }
  if (!calc->SetV(a, b, k, v)) return false;
  calc->SetYzConst(a, b, v);
  return true;
}
