// Registry records, parameter descriptors and document form of the
// controlled sources.

#include "elements/ElemVCVS.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// Descriptor arrays, one set per combination of output (V or I) and
// control (voltage or current); the gain unit is output per control unit.
#define QVS_VCVS_PARAMS(S, OUT, OU, CTL, CU, GAIN)                                                \
  CParam m_param_##S##_linear[] = {CParam(PK_FORMULA, "K", GAIN), CParam()};                \
  CParam m_param_##S##_value[] = {CParam(PK_FORMULA, OUT, OU), CParam()};                   \
  CParam m_param_##S##_function[] = {CParam(PK_FUNCTION, "f", OU),                          \
                                     CParam(PK_FORMULA, "IC", OU), CParam()};               \
  CParam m_param_##S##_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam()};                       \
  CParam m_param_##S##_vco[] = {CParam(PK_FORMULA, OUT "1", OU),                            \
                                CParam(PK_FORMULA, OUT "0", OU),                            \
                                CParam(PK_FORMULA, "dFd" CTL, "Hz/" CU),                    \
                                CParam(PK_CHOICE, "Type", ""),                              \
                                CParam(PK_FORMULA, "Phase", "deg"), CParam()};              \
  CParam m_param_##S##_oneshot[] = {CParam(PK_FORMULA, OUT "1", OU),                        \
                                    CParam(PK_FORMULA, OUT "0", OU),                        \
                                    CParam(PK_FORMULA, "Width", "s"),                       \
                                    CParam(PK_FORMULA, "Threshold", CU), CParam()};        \
  CParam m_param_##S##_pwm[] = {CParam(PK_FORMULA, OUT "1", OU),                            \
                                CParam(PK_FORMULA, OUT "0", OU),                            \
                                CParam(PK_FORMULA, "F", "Hz"),                              \
                                CParam(PK_FORMULA, OUT "max", CU),                         \
                                CParam(PK_FORMULA, "Phase", "deg"), CParam()};

QVS_VCVS_PARAMS(vcvs, "V", "V", "V", "V", "V/V")
QVS_VCVS_PARAMS(ccvs, "V", "V", "I", "A", "V/A")
QVS_VCVS_PARAMS(vccs, "I", "A", "V", "V", "A/V")
QVS_VCVS_PARAMS(cccs, "I", "A", "I", "A", "A/A")
#undef QVS_VCVS_PARAMS

// Extra unknowns: the output branch (k) and, for the current-controlled
// types, the control current through the short c-d (k + 1).
#define QVS_VCVS_MODELS(S, OUT, OSC, EXTRA)                                 \
  const SElemModel m_models_##S[] = {                                       \
      {"Linear", MC_LINEAR, m_param_##S##_linear, 0, EXTRA, kVIP},          \
      {OUT, MC_V, m_param_##S##_value, 0, EXTRA, kVIP},                     \
      {"Function", MC_FUNCTION, m_param_##S##_function, 0, EXTRA, kVIP},   \
      {"PWL", MC_PWL, m_param_##S##_pwl, 0, EXTRA, kVIP},                   \
      {OSC, MC_VCO, m_param_##S##_vco, 0, EXTRA, kVIP},                     \
      {"One-shot", MC_ONE_SHOT, m_param_##S##_oneshot, 0, EXTRA, kVIP},     \
      {"PWM", MC_PWM, m_param_##S##_pwm, 0, EXTRA, kVIP},                   \
      {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},                     \
      {}};

QVS_VCVS_MODELS(vcvs, "V", "VCO", 1)
QVS_VCVS_MODELS(ccvs, "V", "CCO", 2)
QVS_VCVS_MODELS(vccs, "I", "VCO", 1)
QVS_VCVS_MODELS(cccs, "I", "CCO", 2)
#undef QVS_VCVS_MODELS

const CPin m_pins_vcvs[4] = {};
const CPin* const m_views_vcvs[] = {m_pins_vcvs, nullptr};

// The descriptor arrays of one type, by model.
struct SVcvsParams {
  CParam* linear;
  CParam* value;
  CParam* function;
  CParam* pwl;
  CParam* vco;
  CParam* oneshot;
  CParam* pwm;
};

}  // namespace

const char* const CElemVCVS::m_vco_type_text[] = {"Sine", "Square", "Triangle", "Sawtooth",
                                                  nullptr};

const SElemType CElemVCVS::m_elemtype[] = {
    {"V_VCVS", 71, CreateCmpOf<CElemVCVS>, 4, m_views_vcvs, m_models_vcvs, 0,
     "Voltage controlled\nvoltage source", 0},
    {"V_CCVS", 72, CreateCmpOf<CElemVCVS>, 4, m_views_vcvs, m_models_ccvs, 0,
     "Current controlled\nvoltage source", 0},
    {"I_VCCS", 33, CreateCmpOf<CElemVCVS>, 4, m_views_vcvs, m_models_vccs, 0,
     "Voltage controlled\ncurrent source", 0},
    {"I_CCCS", 34, CreateCmpOf<CElemVCVS>, 4, m_views_vcvs, m_models_cccs, 0,
     "Current controlled\ncurrent source", 0},
    {}};

CElemVCVS::CElemVCVS(const SElemType* type) : CCmp(type) {
  // A unity gain, a 1 kHz oscillator or modulator swinging 0 to 1 and a
  // 1 ms pulse: values a new component can run with as it is.
  k_.SetVal(1.0);
  v_.SetVal(1.0);
  v0_.SetVal(0.0);
  v1_.SetVal(1.0);
  dfdv_.SetVal(1000.0);
  thr_.SetVal(0.5);
  width_.SetVal(1e-3);
  max_.SetVal(1.0);
  fpwm_.SetVal(1000.0);
  phase_.SetVal(0.0);
  ic_.SetVal(0.0);
  f_ = "x";
}

bool CElemVCVS::IsCurrentOutput() const { return TypeId() == 33 || TypeId() == 34; }

bool CElemVCVS::IsCurrentControlled() const { return TypeId() == 72 || TypeId() == 34; }

CParam* CElemVCVS::GetParams() {
  static const SVcvsParams sets[4] = {
      {m_param_vcvs_linear, m_param_vcvs_value, m_param_vcvs_function, m_param_vcvs_pwl,
       m_param_vcvs_vco, m_param_vcvs_oneshot, m_param_vcvs_pwm},
      {m_param_ccvs_linear, m_param_ccvs_value, m_param_ccvs_function, m_param_ccvs_pwl,
       m_param_ccvs_vco, m_param_ccvs_oneshot, m_param_ccvs_pwm},
      {m_param_vccs_linear, m_param_vccs_value, m_param_vccs_function, m_param_vccs_pwl,
       m_param_vccs_vco, m_param_vccs_oneshot, m_param_vccs_pwm},
      {m_param_cccs_linear, m_param_cccs_value, m_param_cccs_function, m_param_cccs_pwl,
       m_param_cccs_vco, m_param_cccs_oneshot, m_param_cccs_pwm}};
  const SVcvsParams& s = sets[(IsCurrentOutput() ? 2 : 0) + (IsCurrentControlled() ? 1 : 0)];
  switch (Model()) {
    case MC_LINEAR:
      s.linear[0].BindFormula(&k_);
      return s.linear;
    case MC_V:
      s.value[0].BindFormula(&v_);
      return s.value;
    case MC_FUNCTION:
      s.function[0].BindText(&f_);
      s.function[1].BindFormula(&ic_);
      return s.function;
    case MC_PWL:
      s.pwl[0].BindText(&PwlText());
      return s.pwl;
    case MC_VCO:
      s.vco[0].BindFormula(&v1_);
      s.vco[1].BindFormula(&v0_);
      s.vco[2].BindFormula(&dfdv_);
      s.vco[3].BindChoice(&vcotype_, m_vco_type_text);
      s.vco[4].BindFormula(&phase_);
      return s.vco;
    case MC_ONE_SHOT:
      s.oneshot[0].BindFormula(&v1_);
      s.oneshot[1].BindFormula(&v0_);
      s.oneshot[2].BindFormula(&width_);
      s.oneshot[3].BindFormula(&thr_);
      return s.oneshot;
    case MC_PWM:
      s.pwm[0].BindFormula(&v1_);
      s.pwm[1].BindFormula(&v0_);
      s.pwm[2].BindFormula(&fpwm_);
      s.pwm[3].BindFormula(&max_);
      s.pwm[4].BindFormula(&phase_);
      return s.pwm;
    default:
      return nullptr;
  }
}

bool CElemVCVS::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("k", k_);
  node->SerializeFormula("v", v_);
  node->SerializeFormula("v0", v0_);
  node->SerializeFormula("v1", v1_);
  node->SerializeFormula("dfdv", dfdv_);
  node->SerializeFormula("thr", thr_);
  node->SerializeFormula("width", width_);
  node->SerializeFormula("max", max_);
  node->SerializeFormula("fpwm", fpwm_);
  node->SerializeFormula("phase", phase_);
  f_ = node->AttributeSafe("f", f_);
  vcotype_ = node->AttributeInt("vcotype", vcotype_);
  // A shape the list does not have runs as a sine.
  if (vcotype_ < 0 || vcotype_ > 3) vcotype_ = 0;
  if (ic) node->SerializeFormula("ic", ic_);
  return true;
}
