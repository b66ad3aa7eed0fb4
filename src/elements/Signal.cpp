#include "elements/Signal.h"

#include <cstring>

#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/xml.h"

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
  running = false;
  edge_state = kBeforeDelay;
  origin = edge_start = cycles = phase_time = 0.0;
  table_t.clear();
  table_v.clear();
  table_index = -1;
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
