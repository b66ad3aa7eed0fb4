#include "elements/ElemS.h"

#include "base/globals.h"
#include "circuit/CirTools.h"
#include "doc/xml.h"
#include "engine/Calc.h"

namespace {

CParam m_param_s_step[] = {CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                           CParam()};
CParam m_param_s_single[] = {CParam(PK_FORMULA, "Width", "s"), CParam(PK_FORMULA, "Delay", "s"),
                             CParam(PK_ON_OFF, "Active", ""), CParam()};
CParam m_param_s_pulse[] = {CParam(PK_FORMULA, "Period", "s"), CParam(PK_FORMULA, "Width", "s"),
                            CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                            CParam()};
CParam m_param_s_clock[] = {CParam(PK_FORMULA, "Period", "s"), CParam(PK_FORMULA, "Step", "s"),
                            CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                            CParam()};
CParam m_param_s_list[] = {CParam(PK_LIST_SWITCH, "List", ""), CParam(PK_YES_NO, "Cycle", ""),
                           CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_s_file[] = {CParam(PK_FILE, "File", ""), CParam(PK_YES_NO, "Cycle", ""),
                           CParam(PK_FORMULA, "Delay", "s"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// Each contact's current is an extra unknown: one for S_S, two for the
// SPDT switch, whose traces read the first contact.
#define SWITCH_MODELS(name, extra)                                        \
  const SElemModel name[] = {{"Off", MC_OFF, nullptr, 0, extra, kVIP},     \
                             {"On", MC_ON, nullptr, 0, extra, kVIP},       \
                             {"Step", MC_STEP, m_param_s_step, 0, extra, kVIP},       \
                             {"Single", MC_SINGLE, m_param_s_single, 0, extra, kVIP}, \
                             {"Pulse", MC_PULSE, m_param_s_pulse, 0, extra, kVIP},    \
                             {"Clock", MC_CLOCK, m_param_s_clock, 0, extra, kVIP},    \
                             {"List", MC_LIST, m_param_s_list, 0, extra, kVIP},       \
                             {"File", MC_FILE, m_param_s_file, 0, extra, kVIP},       \
                             {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},        \
                             {}};
SWITCH_MODELS(m_models_s, 1)
SWITCH_MODELS(m_models_s3, 2)
#undef SWITCH_MODELS

enum : int { kTypeS = 56, kTypeS3 = 57, kTypeS45 = 64 };

}  // namespace

const SElemType CElemS::m_elemtype[] = {
    {"S_S", 56, CreateCmpOf<CElemS>, 2, nullptr, m_models_s, 1, "Switch", 0},
    {"S_S3", 57, CreateCmpOf<CElemS>, 3, nullptr, m_models_s3, 0, "SPDT switch", 0},
    {"_S_S45", 64, CreateCmpOf<CElemS>, 2, nullptr, m_models_s, 2, "Switch", 0},
    {}};

CElemS::CElemS(const SElemType* type) : CCmp(type), signal_(std::make_unique<CSignal>(this)) {}

CParam* CElemS::GetParams() {
  CParam* p = nullptr;
  switch (Model()) {
    case MC_STEP: p = m_param_s_step; break;
    case MC_SINGLE: p = m_param_s_single; break;
    case MC_PULSE: p = m_param_s_pulse; break;
    case MC_CLOCK: p = m_param_s_clock; break;
    case MC_LIST: p = m_param_s_list; break;
    case MC_FILE: p = m_param_s_file; break;
    default: return nullptr;
  }
  signal_->BindParams(p);
  for (CParam* d = p; d->Name() != nullptr; ++d)
    if (AnsiString(d->Name()) == "Active") d->BindInt(&active_);
  return p;
}

bool CElemS::HasSignal() const {
  switch (Model()) {
    case MC_STEP:
    case MC_SINGLE:
    case MC_PULSE:
    case MC_CLOCK:
    case MC_LIST:
    case MC_FILE:
      return true;
    default:
      return false;
  }
}

bool CElemS::CheckParams(CCalc* calc) {
  return HasSignal() ? signal_->CheckSignalParams(calc) : true;
}

// --- Engine hook ------------------------------------------------------------------

// In the AC analysis a switch stamps the state mode 5 finds: On closed,
// Off open; a signal model keeps the level its signal has right after its
// start (nothing advances a signal during AC, there are no source
// evaluations), inverted when Active is 0. The SPDT switch keeps exactly
// one contact closed. Mode 12 answers true: nothing else to change.
bool CElemS::CalcFunc(CCalc* calc, int mode, double t) {
  switch (mode) {
    case CM_INIT:
      return Prepare(calc, t);
    case CM_CLEAR:
      signal_->ClearSignal();
      return true;
    case CM_FILL:
      return Stamp(calc);
    case CM_FILL_Y:
      last_time_ = t;
      return true;
    case CM_FLOATING:
      // A contact joins its pins whether open or closed, as far as the
      // floating-node test is concerned: every pin in one group.
      for (int p = 0; p < PinCount(); ++p) Nodes()[PinCount() + p] = 1;
      return true;
    case CM_TO45:
      SetVariant(kTypeS, kTypeS45);
      return true;
    case CM_FROM45:
      SetVariant(kTypeS45, kTypeS);
      return true;
    default:
      return true;
  }
}

bool CElemS::Prepare(CCalc* calc, double t) {
  switch (Model()) {
    case MC_ON:
      SetState(1);
      return true;
    case MC_OFF:
      SetState(0);
      return true;
    default:
      if (!HasSignal()) return true;
      // The equations are rebuilt during a run when the step changes: the
      // waveform then goes on rather than starting again.
      if (Model() == PrevModel() && signal_->running) return true;
      if (!signal_->CreateSignal(calc)) return false;
      signal_->InitSignal(calc, t, true);
      last_time_ = t;
      return true;
  }
}

bool CElemS::Stamp(CCalc* calc) {
  if (calc->SecondPass()) return true;  // needs no other element's stamps
  if (HasSignal()) {
    if (Model() == MC_LIST || Model() == MC_FILE) {
      // The level of a table is its value's sign, which can change between
      // the table's points: it is taken in the middle of the step about to
      // be solved (at the present time for a static solution), so that a
      // value that reaches 0 exactly at the step's end still counts as
      // above 0 for the step.
      const double h = calc->SolutionKind() != 0 ? calc->StepLength() : 0.0;
      double v = 0.0;
      if (!signal_->GetSignalValue(calc, calc->Time() + 0.5 * h, &v)) return false;
    }
    const int level = signal_->GetSignalState();
    SetState(active_ != 0 ? level : 1 - level);
  }
  const int state = State() != 0 ? 1 : 0;
  bool ok = calc->SetSwitch(Node(0), Node(1), GetExtraNode(0), state != 0);
  if (ok && TypeId() == kTypeS3) ok = calc->SetSwitch(Node(2), Node(1), GetExtraNode(1), state == 0);
  return ok ? true : calc->SetCmpError(this, nullptr);
}

void CElemS::SetVariant(int from, int to) {
  if (TypeId() != from) return;
  // Records 0 and 2 of the class's array are the plain and the 45-degree
  // switch; both have the same pins and models.
  SetType(&m_elemtype[to == kTypeS45 ? 2 : 0]);
  SetTypeId(to);
}

void CElemS::CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                         double& firstStep) {
  if (HasSignal()) signal_->CalcSignalNewStep(calc, t, next, maxStep, firstStep);
}

bool CElemS::CheckZone(CCalc* /*calc*/, bool final, bool& changed) {
  if (Model() != MC_CLOCK || signal_->edge_state != CSignal::kHigh) return true;
  changed = true;
  if (final) signal_->edge_state = CSignal::kFalling;
  return true;
}

// --- Editing and initial conditions -------------------------------------------------

void CElemS::CirTools(SCirTools* tools) {
  if (tools == nullptr) return;
  CSignal& s = *signal_;
  if (tools->command == 3 && tools->flag && Model() == MC_PULSE) {
    const double p = s.period.Value();
    const double p2 = tools->value;
    s.period.SetVal(p2);
    if (p != 0.0 && p2 != 0.0) {
      const double r = p2 / p;
      s.width.SetVal(s.width.Value() * r);
      s.delay.SetVal(s.delay.Value() * r);
    }
  } else if (tools->command == 1 && tools->sub == 0) {
    s.delay.SetVal(0.0);
  }
}

AnsiString CElemS::GetState() {
  AnsiString s;
  if (HasSignal()) add_csv_hex(s, "t", last_time_);
  return s;
}

AnsiString CElemS::SaveIC(bool all) {
  const AnsiString state = GetState();
  AnsiString ic;
  if (state.IsEmpty()) return ic;
  if (all) {
    // The state holds engine time; the signal continues from its own
    // (local) time, counted from when it was started.
    signal_->SaveSignalStateToIC(get_csv_hex(state, "t", 0.0) - signal_->origin);
    add_csv_double(ic, "Delay", signal_->delay.Value());
  } else {
    add_csv(ic, "Delay");
  }
  return ic;
}

// The switch keeps its waveform on its own element (no "Signal" child),
// for every model, so that a model change keeps it.
bool CElemS::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  CSignal& s = *signal_;
  active_ = node->AttributeInt("a", active_);
  node->SerializeFormula("p", s.period);
  node->SerializeFormula("w", s.width);
  node->SerializeFormula("cw", s.clock_step);
  node->SerializeFormula("d", s.delay);
  s.list = node->AttributeSafe("list", s.list);
  s.file = node->AttributeSafe("file", s.file);
  s.cycle = node->AttributeInt("c", s.cycle);
  return true;
}
