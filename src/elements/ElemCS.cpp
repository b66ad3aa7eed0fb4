#include "elements/ElemCS.h"

#include <array>

#include "circuit/Param.h"
#include "doc/xml.h"

const char* const CElemCS::m_slope_text[] = {"Linear", "Cos", "Log", nullptr};

namespace {

CParam Thr(const char* unit) { return CParam(PK_FORMULA, "Threshold", unit); }
CParam Hyst(const char* unit) { return CParam(PK_FORMULA, "Hysteresis", unit); }
CParam Active() { return CParam(PK_ON_OFF, "Active", ""); }
CParam IC() { return CParam(PK_ON_OFF, "IC", ""); }
CParam Width() { return CParam(PK_FORMULA, "Width", "s"); }
CParam Time(const char* name) { return CParam(PK_FORMULA, name, "s"); }

// The Steps parameters after the threshold and hysteresis.
#define CS_STEPS_TAIL                                                     \
  CParam(PK_FORMULA, "Roff", "Ohm"), CParam(PK_FORMULA, "Ron", "Ohm"),    \
      CParam(PK_FORMULA, "Steps", ""), CParam(PK_CHOICE, "Slope", ""),    \
      CParam(PK_FORMULA, "Ramp", "s"), IC(), CParam()

// Per control kind: voltage (V), current (A), logic (the threshold is the
// document's logic threshold, so the logic types have none).
CParam m_param_cs_switch_v[] = {Thr("V"), Hyst("V"), Active(), IC(), CParam()};
CParam m_param_cs_switch_i[] = {Thr("A"), Hyst("A"), Active(), IC(), CParam()};
CParam m_param_cs_switch_l[] = {Hyst("V"), Active(), IC(), CParam()};
CParam m_param_cs_oneshot_v[] = {Thr("V"), Width(), Active(), CParam()};
CParam m_param_cs_oneshot_i[] = {Thr("A"), Width(), Active(), CParam()};
CParam m_param_cs_oneshot_l[] = {Width(), Active(), CParam()};
CParam m_param_cs_steps_v[] = {Thr("V"), Hyst("V"), CS_STEPS_TAIL};
CParam m_param_cs_steps_i[] = {Thr("A"), Hyst("A"), CS_STEPS_TAIL};
CParam m_param_cs_steps_l[] = {Hyst("V"), CS_STEPS_TAIL};
#undef CS_STEPS_TAIL

// Waveform models of the logic types: the signal's times and texts, and
// Active.
CParam m_param_cs_step[] = {Time("Delay"), Active(), CParam()};
CParam m_param_cs_single[] = {Time("Width"), Time("Delay"), Active(), CParam()};
CParam m_param_cs_pulse[] = {Time("Period"), Time("Width"), Time("Delay"), Active(), CParam()};
CParam m_param_cs_clock[] = {Time("Period"), Time("Step"), Time("Delay"), Active(), CParam()};
CParam m_param_cs_list[] = {CParam(PK_LIST_SWITCH, "List", ""), CParam(PK_YES_NO, "Cycle", ""),
                            Time("Delay"), CParam()};
CParam m_param_cs_file[] = {CParam(PK_FILE, "File", ""), CParam(PK_YES_NO, "Cycle", ""),
                            Time("Delay"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// Extra unknowns per type: the contact current k; the sense current of the
// current-controlled types and the second contact's current of the SPDT
// types follow it, so the same models have 1, 2 or 3.
constexpr std::array<SElemModel, 7> AnalogModels(int extra, CParam* sw, CParam* oneshot,
                                                 CParam* steps) {
  return {{{"Switch", MC_SWITCH, sw, 0, extra, kVIP},
           {"Off", MC_OFF, nullptr, 0, extra, kVIP},
           {"On", MC_ON, nullptr, 0, extra, kVIP},
           {"One-shot", MC_ONE_SHOT, oneshot, 0, extra, kVIP},
           {"Steps", MC_STEPS, steps, 0, extra, kVIP},
           {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
           {}}};
}

constexpr std::array<SElemModel, 13> LogicModels(int extra) {
  return {{{"Switch", MC_SWITCH, m_param_cs_switch_l, 0, extra, kVIP},
           {"Off", MC_OFF, nullptr, 0, extra, kVIP},
           {"On", MC_ON, nullptr, 0, extra, kVIP},
           {"One-shot", MC_ONE_SHOT, m_param_cs_oneshot_l, 0, extra, kVIP},
           {"Step", MC_STEP, m_param_cs_step, 0, extra, kVIP},
           {"Single", MC_SINGLE, m_param_cs_single, 0, extra, kVIP},
           {"Pulse", MC_PULSE, m_param_cs_pulse, 0, extra, kVIP},
           {"Clock", MC_CLOCK, m_param_cs_clock, 0, extra, kVIP},
           {"List", MC_LIST, m_param_cs_list, 0, extra, kVIP},
           {"File", MC_FILE, m_param_cs_file, 0, extra, kVIP},
           {"Steps", MC_STEPS, m_param_cs_steps_l, 0, extra, kVIP},
           {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
           {}}};
}

constexpr auto m_models_lcs = LogicModels(1);
constexpr auto m_models_lcs3 = LogicModels(2);
constexpr auto m_models_vcs =
    AnalogModels(1, m_param_cs_switch_v, m_param_cs_oneshot_v, m_param_cs_steps_v);
constexpr auto m_models_vcs3 =
    AnalogModels(2, m_param_cs_switch_v, m_param_cs_oneshot_v, m_param_cs_steps_v);
constexpr auto m_models_ccs =
    AnalogModels(2, m_param_cs_switch_i, m_param_cs_oneshot_i, m_param_cs_steps_i);
constexpr auto m_models_ccs3 =
    AnalogModels(3, m_param_cs_switch_i, m_param_cs_oneshot_i, m_param_cs_steps_i);

}  // namespace

const SElemType CElemCS::m_elemtype[] = {
    {"S_LCS", 62, CreateCmpOf<CElemCS>, 3, nullptr, m_models_lcs.data(), 0,
     "Logic controlled\nswitch", 0},
    {"S_VCS", 58, CreateCmpOf<CElemCS>, 4, nullptr, m_models_vcs.data(), 0,
     "Voltage controlled\nswitch", 0},
    {"S_CCS", 59, CreateCmpOf<CElemCS>, 4, nullptr, m_models_ccs.data(), 0,
     "Current controlled\nswitch", 0},
    {"S_LCS3", 63, CreateCmpOf<CElemCS>, 4, nullptr, m_models_lcs3.data(), 0,
     "SPDT logic\ncontrolled switch", 0},
    {"S_VCS3", 60, CreateCmpOf<CElemCS>, 5, nullptr, m_models_vcs3.data(), 0,
     "SPDT voltage\ncontrolled switch", 0},
    {"S_CCS3", 61, CreateCmpOf<CElemCS>, 5, nullptr, m_models_ccs3.data(), 0,
     "SPDT current\ncontrolled switch", 0},
    {}};

CElemCS::CElemCS(const SElemType* type) : CCmp(type), signal_(this) {
  width_.SetVal(0.1);
  roff_.SetVal(1000.0);
  ron_.SetVal(1.0);
  steps_.SetVal(10.0);
  ramp_.SetVal(0.1);
}

CParam* CElemCS::GetParams() {
  const SElemModel* model = GetModel();
  CParam* list = model != nullptr ? model->params : nullptr;
  if (list == nullptr) return nullptr;
  // The waveform models' times and texts are the signal's.
  if (CSignal::IsSignalModel(Model())) signal_.BindParams(list);
  for (CParam* p = list; p->Name() != nullptr; ++p) {
    const AnsiString name(p->Name());
    if (name == "Active") p->BindInt(&active_);
    else if (name == "IC") p->BindInt(&ic_);
    else if (name == "Threshold") p->BindFormula(&threshold_);
    else if (name == "Hysteresis") p->BindFormula(&hysteresis_);
    else if (name == "Roff") p->BindFormula(&roff_);
    else if (name == "Ron") p->BindFormula(&ron_);
    else if (name == "Steps") p->BindFormula(&steps_);
    else if (name == "Slope") p->BindChoice(&slope_, m_slope_text);
    else if (name == "Ramp") p->BindFormula(&ramp_);
    else if (name == "Width" && Model() == MC_ONE_SHOT) p->BindFormula(&width_);
  }
  return list;
}

bool CElemCS::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  active_ = node->AttributeInt("a", active_);
  node->SerializeFormula("thr", threshold_);
  node->SerializeFormula("hyst", hysteresis_);
  node->SerializeFormula("width", width_);
  node->SerializeFormula("roff", roff_);
  node->SerializeFormula("ron", ron_);
  node->SerializeFormula("steps", steps_);
  slope_ = node->AttributeInt("slope", slope_);
  node->SerializeFormula("steps_width", ramp_);
  if (IsLogic() && CSignal::IsSignalModel(Model())) signal_.SerializeSignal(node);
  // The initial state is an initial condition: it travels only with them.
  if (ic) ic_ = node->AttributeInt("ic", ic_);
  return true;
}
