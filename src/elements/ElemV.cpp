#include "elements/ElemV.h"

#include <cmath>

#include "base/globals.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "expr/globals.h"

namespace {

CParam m_param_v[] = {CParam(PK_FORMULA, "V", "V"), CParam()};
CParam m_param_i[] = {CParam(PK_FORMULA, "I", "A"), CParam()};
CParam m_param_one_shot_v[] = {CParam(PK_FORMULA, "V1", "V"), CParam(PK_FORMULA, "V0", "V"),
                               CParam(PK_FORMULA, "Width", "s"), CParam()};
CParam m_param_one_shot_i[] = {CParam(PK_FORMULA, "I1", "A"), CParam(PK_FORMULA, "I0", "A"),
                               CParam(PK_FORMULA, "Width", "s"), CParam()};

// Every model but "SubCir" drives its pins through the extra unknown and
// may be the AC source.
constexpr int kSrc = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P | MF_AC_SOURCE;

#define SIGNAL_MODELS(L)                                    \
  {"Step", MC_STEP, m_param_step_##L, 0, 1, kSrc},          \
      {"Single", MC_SINGLE, m_param_single_##L, 0, 1, kSrc}, \
      {"Pulse", MC_PULSE, m_param_pulse_##L, 0, 1, kSrc},    \
      {"Clock", MC_CLOCK, m_param_clock_##L, 0, 1, kSrc},    \
      {"Sin", MC_SIN, m_param_sin_##L, 0, 1, kSrc},          \
      {"Sweep", MC_SWEEP, m_param_sweep_##L, 0, 1, kSrc},    \
      {"Function", MC_FUNCTION, m_param_function, 0, 1, kSrc}, \
      {"List", MC_LIST, m_param_list, 0, 1, kSrc},           \
      {"File", MC_FILE, m_param_file, 0, 1, kSrc},           \
      {"Trace", MC_TRACE, m_param_trace, 0, 1, kSrc},        \
      {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V}

const SElemModel m_models_v[] = {{"V", MC_V, m_param_v, 0, 1, kSrc}, SIGNAL_MODELS(V), {}};
const SElemModel m_models_cv[] = {{"V", MC_V, m_param_v, 0, 1, kSrc},
                                  {"One-shot", MC_ONE_SHOT, m_param_one_shot_v, 0, 1, kSrc},
                                  SIGNAL_MODELS(V),
                                  {}};
const SElemModel m_models_i[] = {{"I", MC_V, m_param_i, 0, 1, kSrc}, SIGNAL_MODELS(I), {}};
const SElemModel m_models_ci[] = {{"I", MC_V, m_param_i, 0, 1, kSrc},
                                  {"One-shot", MC_ONE_SHOT, m_param_one_shot_i, 0, 1, kSrc},
                                  SIGNAL_MODELS(I),
                                  {}};
#undef SIGNAL_MODELS

}  // namespace

const SElemType CElemV::m_elemtype[] = {
    {"V_V", 69, CreateCmpOf<CElemV>, 2, nullptr, m_models_v, 0, "Voltage source", 0},
    {"V_CV", 70, CreateCmpOf<CElemV>, 3, nullptr, m_models_cv, 0,
     "Logic controlled\nvoltage source", 0},
    {"I_I", 31, CreateCmpOf<CElemV>, 2, nullptr, m_models_i, 0, "Current source", 0},
    {"I_CI", 32, CreateCmpOf<CElemV>, 3, nullptr, m_models_ci, 0,
     "Logic controlled\ncurrent source", 0},
    {}};

CElemV::CElemV(const SElemType* type) : CCmp(type), signal_(std::make_unique<CSignal>(this)) {
  v_.SetVal(IsCurrent() ? 1.0 : 10.0);
}

CParam* CElemV::GetParams() {
  const char letter = IsCurrent() ? 'I' : 'V';
  switch (Model()) {
    case MC_V: {
      CParam* p = IsCurrent() ? m_param_i : m_param_v;
      p[0].BindFormula(&v_);
      return p;
    }
    case MC_ONE_SHOT: {
      CParam* p = IsCurrent() ? m_param_one_shot_i : m_param_one_shot_v;
      signal_->BindParams(p);
      return p;
    }
    default:
      return signal_->GetSignalParams(Model(), letter);
  }
}

bool CElemV::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("v", v_);
  if (Model() != MC_V) signal_->SerializeSignal(node);
  return true;
}

// --- Simulation -------------------------------------------------------------------

bool CElemV::CheckParams(CCalc* calc) {
  bool ok = true;
  auto fail = [&](const AnsiString& message) {
    if (message.IsEmpty()) return;
    if (calc != nullptr) calc->SetCmpError(this, message);
    ok = false;
  };
  switch (Model()) {
    case MC_V:
      // Current sources name their value "V" here too: one message for
      // the value of either kind of source.
      fail(CSignal::CheckValue(v_, "V"));
      break;
    case MC_ONE_SHOT: {
      const AnsiString L(IsCurrent() ? "I" : "V");
      const CSignal& s = *signal_;
      fail(CSignal::CheckValue(s.u0, L + "0"));
      fail(CSignal::CheckValue(s.u1, L + "1"));
      if (s.width.Error()) {
        fail("Width : formula error");
      } else {
        if (s.width.Value() < 0.0) fail("Width < 0");
        if (std::isinf(s.width.Value())) fail("Width = infinite");
      }
      break;
    }
    default:
      if (CSignal::IsSignalModel(Model()) && !signal_->CheckSignalParams(calc)) ok = false;
      break;
  }
  return ok;
}

// In the AC analysis the source chosen as the AC source has its model
// replaced by "Sin" for the run and stamps its signal form; the analysis
// puts the unit excitation into its extra unknown's row, so a voltage
// source's V trace reads 1 V at 0 degrees and a current source drives
// 1 A. Every other source writes its value only into the constant vector
// and the source vector, which the AC analysis leaves out: a voltage
// source acts as a short and a current source as an open, whatever its
// model. Mode 12 answers true: nothing else to change.
bool CElemV::CalcFunc(CCalc* calc, int mode, double t) {
  switch (mode) {
    case CM_INIT:
      return Prepare(calc, t);
    case CM_CLEAR:
      signal_->ClearSignal();
      return true;
    case CM_CURSTATE:
      signal_->AcceptState(t);
      return true;
    case CM_FILL:
      return Stamp(calc);
    case CM_FILL_Y:
      return FillY(calc, t);
    case CM_INPUTS:
      if (Model() == MC_ONE_SHOT) control_state_ = calc->GetLogical(Node(2)) ? 1 : 0;
      return true;
    case CM_FLOATING:
      WritePinGroups();
      return true;
    default:
      return true;
  }
}

bool CElemV::Prepare(CCalc* calc, double t) {
  const bool same_model = Model() == PrevModel();
  if (IsLogic() && !same_model) triggered_ = false;
  if (Model() == MC_ONE_SHOT && !same_model) {
    one_shot_active_ = false;
    SetState(0);
    end_time_ = 0.0;
  }
  if (!CSignal::IsSignalModel(Model())) return true;
  // The equations are rebuilt during a run (a new step, a new input): the
  // waveform goes on from where it is rather than starting again.
  if (same_model && signal_->running) return true;
  if (!signal_->CreateSignal(calc)) return false;
  signal_->InitSignal(calc, t, IsPlain());
  return true;
}

bool CElemV::Stamp(CCalc* calc) {
  if (calc->SecondPass()) return true;  // needs no other element's stamps
  const int p0 = Node(0), p1 = Node(1), k = GetExtraNode(0);
  const bool current = IsCurrent();
  // A voltage source from ground drives its other node: a second driver
  // of that node is a short circuit, reported by CheckOut.
  if (!current && (p0 == 0) != (p1 == 0) && !calc->CheckOut(p0 == 0 ? p1 : p0, this, -1))
    return false;
  bool ok = true;
  if (IsDLLInput()) {
    // The caller's value arrives through Y like a waveform's.
    if (IsPlain()) ok = CSignal::StampSignalSource(calc, p0, p1, k, current);
  } else if (Model() == MC_V) {
    ok = CSignal::StampConstantSource(calc, p0, p1, k, current, v_.Value());
  } else if (Model() == MC_ONE_SHOT) {
    const double v = one_shot_active_ ? signal_->u1.Value() : signal_->u0.Value();
    ok = CSignal::StampConstantSource(calc, p0, p1, k, current, v);
  } else if (CSignal::IsSignalModel(Model())) {
    ok = CSignal::StampSignalSource(calc, p0, p1, k, current);
  }
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemV::FillY(CCalc* calc, double t) {
  const int k = GetExtraNode(0);
  if (IsDLLInput()) {
    if (IsPlain()) calc->SetY(k, InputValue());
    return true;
  }
  if (!CSignal::IsSignalModel(Model())) return true;
  return signal_->FillSignalY(calc, t, k);
}

void CElemV::WritePinGroups() {
  int* group = Nodes() + PinCount();
  group[0] = 1;
  group[1] = 1;
  if (PinCount() > 2) group[2] = 2;  // the control pin draws no current
}

bool CElemV::CheckZone(CCalc* calc, bool final, bool& changed) {
  const double t = calc->Time();
  if (IsLogic() && (Model() == MC_ONE_SHOT || CSignal::IsSignalModel(Model()))) {
    // The document's threshold; a bare engine has the default levels.
    const double thr = calc->GetDoc() != nullptr ? calc->GetDoc()->Threshold() : 2.5;
    const double d = calc->X()[Node(2) < 0 ? 0 : Node(2)] - thr;
    if (Model() == MC_ONE_SHOT) {
      if (control_state_ == 0 && d > 0.0) {
        changed = true;
        if (final) {
          control_state_ = 1;
          one_shot_active_ = true;
          SetState(1);
          end_time_ = t + signal_->width.Value();
        }
      } else if (control_state_ == 1 && d < 0.0) {
        changed = true;
        if (final) control_state_ = 0;
      }
    } else if (!triggered_ && d > 0.0) {
      changed = true;
      if (final) {
        triggered_ = true;
        trigger_time_ = t;
        signal_->InitSignal(calc, t, true);
      }
    } else if (triggered_ && d < 0.0) {
      changed = true;
      if (final) triggered_ = false;
    }
  }
  if (Model() == MC_CLOCK && signal_->EndClockPulse(final)) changed = true;
  return true;
}

void CElemV::CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                         double& firstStep) {
  if (Model() == MC_ONE_SHOT) {
    if (!one_shot_active_) return;
    if (CompareValues(t, end_time_) >= 0) {
      one_shot_active_ = false;
      SetState(0);
      return;
    }
    if (std::isnan(next) || end_time_ < next) next = end_time_;
    const double h = 0.25 * signal_->width.Value();
    if (h > 0.0 && h < maxStep) maxStep = h;
    return;
  }
  if (CSignal::IsSignalModel(Model())) signal_->CalcSignalNewStep(calc, t, next, maxStep, firstStep);
}

AnsiString CElemV::GetState() {
  AnsiString state;
  if (IsPlain() && CSignal::IsSignalModel(Model()))
    add_csv_hex(state, "t", signal_->StateTime());
  return state;
}

AnsiString CElemV::SaveIC(bool all) {
  if (!IsPlain() || !CSignal::IsSignalModel(Model()) || !CSignal::KindHasDelay(Model()))
    return AnsiString();
  if (!all) return "Delay";
  const double x = get_csv_hex(GetState(), "t", 0.0);
  return signal_->SaveSignalStateToIC(x);
}
