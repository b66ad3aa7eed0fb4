#include "elements/ElemLabel.h"

#include <cmath>

#include "doc/xml.h"
#include "engine/Calc.h"

namespace {

CParam m_param_label_v[] = {CParam(PK_FORMULA, "V", "V"), CParam()};
CParam m_param_label_ic[] = {CParam(PK_FORMULA, "V", "V"), CParam(PK_FORMULA, "R", "Ohm"),
                             CParam()};

constexpr int kSrc = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P | MF_AC_SOURCE;

// The plain label has no current of its own: its voltage only.
const SElemModel m_models_label[] = {
    {"Label", MC_LABEL, nullptr, 0, 0, MF_TRACE_V | MF_AC_SOURCE},
    {"V", MC_V, m_param_label_v, 0, 1, kSrc},
    {"Step", MC_STEP, m_param_step_V, 0, 1, kSrc},
    {"Single", MC_SINGLE, m_param_single_V, 0, 1, kSrc},
    {"Pulse", MC_PULSE, m_param_pulse_V, 0, 1, kSrc},
    {"Clock", MC_CLOCK, m_param_clock_V, 0, 1, kSrc},
    {"Sin", MC_SIN, m_param_sin_V, 0, 1, kSrc},
    {"Sweep", MC_SWEEP, m_param_sweep_V, 0, 1, kSrc},
    {"Function", MC_FUNCTION, m_param_function, 0, 1, kSrc},
    {"List", MC_LIST, m_param_list, 0, 1, kSrc},
    {"File", MC_FILE, m_param_file, 0, 1, kSrc},
    {"Trace", MC_TRACE, m_param_trace, 0, 1, kSrc},
    {"IC", MC_IC, m_param_label_ic, 0, 1, kSrc},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
    {}};

}  // namespace

const SElemType CElemLabel::m_elemtype = {
    "label", 5, CreateCmpOf<CElemLabel>, 1, nullptr, m_models_label, 0, "Label", 0};

CElemLabel::CElemLabel(const SElemType* type)
    : CCmp(type), signal_(std::make_unique<CSignal>(this)) {
  v_.SetVal(0.0);
  r_.SetVal(0.0);
}

CParam* CElemLabel::GetParams() {
  switch (Model()) {
    case MC_LABEL:
    case MC_SUBCIR:
      return nullptr;
    case MC_V:
      m_param_label_v[0].BindFormula(&v_);
      return m_param_label_v;
    case MC_IC:
      m_param_label_ic[0].BindFormula(&v_);
      m_param_label_ic[1].BindFormula(&r_);
      return m_param_label_ic;
    default:
      return signal_->GetSignalParams(Model(), 'V');
  }
}

int CElemLabel::GetCmpPinType(int /*pin*/) const {
  if (IsDLLInput()) return 1;
  return Model() == MC_LABEL ? 2 : 1;
}

int CElemLabel::CreateExtraNodes(CCalc* calc, int first) {
  if (!IsDLLInput()) return CCmp::CreateExtraNodes(calc, first);
  SetExtra(1, first);
  return 1;
}

// "v" and "r" for every model, so that a model change keeps them; the
// waveform as a "Signal" child for the signal models.
bool CElemLabel::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("v", v_);
  node->SerializeFormula("r", r_);
  if (CSignal::IsSignalModel(Model())) signal_->SerializeSignal(node);
  return true;
}

// --- Simulation -------------------------------------------------------------------

bool CElemLabel::CheckParams(CCalc* calc) {
  bool ok = true;
  auto fail = [&](const AnsiString& message) {
    if (message.IsEmpty()) return;
    if (calc != nullptr) calc->SetCmpError(this, message);
    ok = false;
  };
  switch (Model()) {
    case MC_V:
    case MC_IC:
      fail(CSignal::CheckValue(v_, "V"));
      if (Model() == MC_IC && r_.Error()) fail("R : formula error");
      break;
    default:
      if (CSignal::IsSignalModel(Model()) && !signal_->CheckSignalParams(calc)) ok = false;
      break;
  }
  return ok;
}

// In the AC analysis a label names its node (the plain Label model stamps
// nothing). A driving model acts with value 0, a short to ground, unless
// the label is the AC source, which drives 1 V. The IC model ties its
// node only in a static solution at t <= 0, so in AC its extra current is
// held at 0 and it loads nothing. Mode 12 answers true.
bool CElemLabel::CalcFunc(CCalc* calc, int mode, double t) {
  switch (mode) {
    case CM_INIT:
      return Prepare(calc, t);
    case CM_CLEAR:
      signal_->ClearSignal();
      return true;
    case CM_ADJUST:
      return DropIC(calc);
    case CM_FILL:
      return Stamp(calc, t);
    case CM_FILL_Y:
      if (IsDLLInput()) {
        calc->SetY(GetExtraNode(0), InputValue());
        return true;
      }
      if (!CSignal::IsSignalModel(Model())) return true;
      return signal_->FillSignalY(calc, t, GetExtraNode(0));
    case CM_FLOATING:
      // A driving label ties its node to ground (code 0); "Label" and
      // "IC" join nothing.
      Nodes()[PinCount()] = Model() == MC_LABEL || Model() == MC_IC ? 1 : 0;
      return true;
    default:
      return true;
  }
}

bool CElemLabel::Prepare(CCalc* calc, double t) {
  ic_active_ = true;
  if (!CSignal::IsSignalModel(Model())) return true;
  // The equations are rebuilt during a run: the waveform goes on.
  if (Model() == PrevModel() && signal_->running) return true;
  if (!signal_->CreateSignal(calc)) return false;
  signal_->InitSignal(calc, t, true);
  return true;
}

bool CElemLabel::Stamp(CCalc* calc, double t) {
  if (calc->SecondPass()) return true;
  const int n = Node(0), k = GetExtraNode(0);
  bool ok = true;
  if (Driven()) {
    if (!calc->CheckOut(n, this, -1)) return false;
    ok = CSignal::StampSignalSource(calc, 0, n, k, false);
  } else if (Model() == MC_V) {
    if (!calc->CheckOut(n, this, -1)) return false;
    ok = CSignal::StampConstantSource(calc, 0, n, k, false, v_.Value());
  } else if (Model() == MC_IC) {
    ok = StampIC(calc, t);
  }
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemLabel::StampIC(CCalc* calc, double t) {
  const int n = Node(0), k = GetExtraNode(0);
  const double R = r_.Value();
  if (calc->SolutionKind() == 0 && t <= 0.0 && std::isfinite(R) && n > 0 &&
      !calc->IsFunctionNode(n) && ic_active_) {
    // Row n takes the branch current; row k: v(n) + R i = V.
    calc->AddB(n, k, 1.0);
    calc->AddB(k, n, 1.0);
    calc->AddB(k, k, R);
    calc->AddU(k, v_.Value());
    return true;
  }
  calc->SetB(k, k, 1.0);
  calc->SetXzero(k);
  return true;
}

// The solution is undetermined and another element drives the node: an
// ideal source there contradicts the tie (a tie of the node to another
// one is the engine's record of such a source), or the branch itself is
// left without a solution. The initial condition gives way, once.
bool CElemLabel::DropIC(CCalc* calc) {
  if (Model() != MC_IC || !ic_active_) return true;
  const unsigned char* undet = calc->Undetermined();
  const int n = Node(0), k = GetExtraNode(0);
  if (undet == nullptr || k <= 0 || n <= 0) return true;
  const bool driven = calc->TieKind(n) != YZ_NONE || undet[k] != 0 || undet[n] != 0;
  if (!driven) return true;
  ic_active_ = false;
  calc->SetError(GetFullName() + " : IC removed");
  return false;
}

bool CElemLabel::CheckZone(CCalc* /*calc*/, bool final, bool& changed) {
  if (Model() == MC_CLOCK && signal_->EndClockPulse(final)) changed = true;
  return true;
}

void CElemLabel::CalcNewStep(CCalc* calc, double t, double& next, double& maxStep,
                             double& firstStep) {
  if (CSignal::IsSignalModel(Model())) signal_->CalcSignalNewStep(calc, t, next, maxStep, firstStep);
}

bool CElemLabel::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                               double& k) {
  n1 = 0;
  n2 = Node(0);
  extra = FirstExtra();
  k = 0.0;
  return true;
}
