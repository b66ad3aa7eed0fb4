#include "elements/ElemV.h"

#include "doc/xml.h"

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
