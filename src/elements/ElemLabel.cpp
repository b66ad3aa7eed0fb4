#include "elements/ElemLabel.h"

#include "doc/xml.h"

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
  if (input_) return 1;
  return Model() == MC_LABEL ? 2 : 1;
}

int CElemLabel::CreateExtraNodes(CCalc* calc, int first) {
  if (!input_) return CCmp::CreateExtraNodes(calc, first);
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
