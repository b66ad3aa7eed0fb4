// Registry records, parameter descriptors and document form of the logic
// generators.

#include "elements/ElemLG.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

// Waveform models: the timing parameters of the signal. The names are
// those the signal binds; "List" is the list of a logic generator.
CParam m_param_lg_step[] = {CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_lg_single[] = {CParam(PK_FORMULA, "Delay", "s"), CParam(PK_FORMULA, "Width", "s"),
                              CParam()};
CParam m_param_lg_pulse[] = {CParam(PK_FORMULA, "Delay", "s"), CParam(PK_FORMULA, "Width", "s"),
                             CParam(PK_FORMULA, "Period", "s"), CParam()};
CParam m_param_lg_clock[] = {CParam(PK_FORMULA, "Delay", "s"), CParam(PK_FORMULA, "Period", "s"),
                             CParam(PK_FORMULA, "Step", "s"), CParam()};
CParam m_param_lg_list[] = {CParam(PK_LIST_LOGIC, "List", ""), CParam(PK_YES_NO, "Cycle", ""),
                            CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_lg_file[] = {CParam(PK_FILE, "File", ""), CParam(PK_YES_NO, "Cycle", ""),
                            CParam(PK_FORMULA, "Delay", "s"), CParam()};
// Controlled generators: the one-shot pulse and the threshold of the
// measured control.
CParam m_param_lg_oneshot[] = {CParam(PK_FORMULA, "Width", "s"), CParam()};
CParam m_param_lg_gate_v[] = {CParam(PK_FORMULA, "Threshold", "V"),
                              CParam(PK_FORMULA, "Hysteresis", "V"), CParam()};
CParam m_param_lg_oneshot_v[] = {CParam(PK_FORMULA, "Width", "s"),
                                 CParam(PK_FORMULA, "Threshold", "V"),
                                 CParam(PK_FORMULA, "Hysteresis", "V"), CParam()};
CParam m_param_lg_gate_i[] = {CParam(PK_FORMULA, "Threshold", "A"),
                              CParam(PK_FORMULA, "Hysteresis", "A"), CParam()};
CParam m_param_lg_oneshot_i[] = {CParam(PK_FORMULA, "Width", "s"),
                                 CParam(PK_FORMULA, "Threshold", "A"),
                                 CParam(PK_FORMULA, "Hysteresis", "A"), CParam()};

// Levels are written into the output node: no extra unknowns, except the
// sensed control current of Y_CCLG. Only the output voltage is traced.
constexpr int kV = MF_TRACE_V;

#define QVS_LG_WAVES(EXTRA)                                        \
  {"Step", MC_STEP, m_param_lg_step, 0, EXTRA, kV},                \
      {"Single", MC_SINGLE, m_param_lg_single, 0, EXTRA, kV},      \
      {"Pulse", MC_PULSE, m_param_lg_pulse, 0, EXTRA, kV},         \
      {"Clock", MC_CLOCK, m_param_lg_clock, 0, EXTRA, kV},         \
      {"List", MC_LIST, m_param_lg_list, 0, EXTRA, kV},            \
      {"File", MC_FILE, m_param_lg_file, 0, EXTRA, kV}

const SElemModel m_models_lg[] = {{"Low", MC_OFF, nullptr, 0, 0, kV},
                                  {"High", MC_ON, nullptr, 0, 0, kV},
                                  QVS_LG_WAVES(0),
                                  {}};
const SElemModel m_models_clg[] = {{"Gate", MC_V, nullptr, 0, 0, kV},
                                   {"Low", MC_OFF, nullptr, 0, 0, kV},
                                   {"High", MC_ON, nullptr, 0, 0, kV},
                                   {"One-shot", MC_ONE_SHOT, m_param_lg_oneshot, 0, 0, kV},
                                   QVS_LG_WAVES(0),
                                   {}};
#undef QVS_LG_WAVES
const SElemModel m_models_vclg[] = {{"Gate", MC_V, m_param_lg_gate_v, 0, 0, kV},
                                    {"High", MC_ON, nullptr, 0, 0, kV},
                                    {"Low", MC_OFF, nullptr, 0, 0, kV},
                                    {"One-shot", MC_ONE_SHOT, m_param_lg_oneshot_v, 0, 0, kV},
                                    {}};
const SElemModel m_models_cclg[] = {{"Gate", MC_V, m_param_lg_gate_i, 0, 1, kV},
                                    {"High", MC_ON, nullptr, 0, 1, kV},
                                    {"Low", MC_OFF, nullptr, 0, 1, kV},
                                    {"One-shot", MC_ONE_SHOT, m_param_lg_oneshot_i, 0, 1, kV},
                                    {}};

const CPin m_pins_lg[3] = {};
const CPin* const m_views_lg[] = {m_pins_lg, m_pins_lg, nullptr};

}  // namespace

const SElemType CElemLG::m_elemtype[] = {
    {"Y_LG", 106, CreateCmpOf<CElemLG>, 1, m_views_lg, m_models_lg, 0, "Logic generator", 0},
    {"Y_CLG", 107, CreateCmpOf<CElemLG>, 2, m_views_lg, m_models_clg, 0,
     "Logic controlled\nlogic generator", 0},
    {"Y_VCLG", 108, CreateCmpOf<CElemLG>, 3, m_views_lg, m_models_vclg, 0,
     "Voltage controlled\nlogic generator", 0},
    {"Y_CCLG", 109, CreateCmpOf<CElemLG>, 3, m_views_lg, m_models_cclg, 0,
     "Current controlled\nlogic generator", 0},
    {}};

CElemLG::CElemLG(const SElemType* type) : CCmp(type), signal_(this) {
  // A 1 ms one-shot; a control crossing 0 with a 0.1 margin each way.
  width_.SetVal(1e-3);
  thr_.SetVal(0.0);
  hyst_.SetVal(0.1);
}

CParam* CElemLG::GetParams() {
  const SElemModel* model = GetModel();
  if (model == nullptr || model->params == nullptr) return nullptr;
  CParam* list = model->params;
  if (CSignal::IsSignalModel(Model())) {
    signal_.BindParams(list);
    return list;
  }
  for (CParam* p = list; p->Name() != nullptr; ++p) {
    const AnsiString name(p->Name());
    if (name == "Width")
      p->BindFormula(&width_);
    else if (name == "Threshold")
      p->BindFormula(&thr_);
    else if (name == "Hysteresis")
      p->BindFormula(&hyst_);
  }
  return list;
}

bool CElemLG::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("width", width_);
  node->SerializeFormula("thr", thr_);
  node->SerializeFormula("hyst", hyst_);
  // Loading takes the waveform whenever the element has one.
  if (!node->IsStore() || CSignal::IsSignalModel(Model())) signal_.SerializeSignal(node);
  return true;
}
