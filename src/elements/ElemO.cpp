// Registry records, parameter descriptors and document form of the
// amplifiers and comparators.

#include "elements/ElemO.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// One descriptor set per combination of input and output kind: the names
// of the limits follow the output (Vhi or Ihi), the hysteresis the input.
#define QVS_O_PARAMS(S, HI, LO, OU, IU, GAIN)                                               \
  CParam m_param_o_##S##_linear[] = {CParam(PK_FORMULA, "K", GAIN),                         \
                                     CParam(PK_FORMULA, "f1", "Hz"),                        \
                                     CParam(PK_FORMULA, "IC", OU), CParam()};               \
  CParam m_param_o_##S##_opamp[] = {CParam(PK_FORMULA, "K", GAIN),                          \
                                    CParam(PK_FORMULA, "f1", "Hz"),                         \
                                    CParam(PK_FORMULA, HI, OU), CParam(PK_FORMULA, LO, OU), \
                                    CParam(PK_FORMULA, "IC", OU), CParam()};                \
  CParam m_param_o_##S##_comparator[] = {                                                   \
      CParam(PK_FORMULA, "Hysteresis", IU), CParam(PK_FORMULA, HI, OU),                     \
      CParam(PK_FORMULA, LO, OU), CParam(PK_FORMULA, "Delay", "s"),                         \
      CParam(PK_HIGH_LOW, "IC", ""), CParam()};                                             \
  CParam m_param_o_##S##_function[] = {CParam(PK_FUNCTION, "f", OU),                        \
                                       CParam(PK_FORMULA, "IC", OU), CParam()};

QVS_O_PARAMS(vv, "Vhi", "Vlo", "V", "V", "V/V")
QVS_O_PARAMS(vi, "Ihi", "Ilo", "A", "V", "A/V")
QVS_O_PARAMS(iv, "Vhi", "Vlo", "V", "A", "V/A")
QVS_O_PARAMS(ii, "Ihi", "Ilo", "A", "A", "A/A")
#undef QVS_O_PARAMS

CParam m_param_o_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam()};

// Extra unknowns: the amplifier value k and, for current inputs (and the
// control current of O_CCG), the sensed current k + 1.
#define QVS_O_MODELS(NAME, S, EXTRA)                                          \
  const SElemModel NAME[] = {                                                 \
      {"Linear", MC_LINEAR, m_param_o_##S##_linear, 0, EXTRA, kVIP},          \
      {"OpAmp", MC_OPAMP, m_param_o_##S##_opamp, 0, EXTRA, kVIP},             \
      {"Comparator", MC_COMPARATOR, m_param_o_##S##_comparator, 0, EXTRA, kVIP}, \
      {"Function", MC_FUNCTION, m_param_o_##S##_function, 0, EXTRA, kVIP},    \
      {"PWL", MC_PWL, m_param_o_pwl, 0, EXTRA, kVIP},                         \
      {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},                       \
      {}};

QVS_O_MODELS(m_models_o, vv, 1)
QVS_O_MODELS(m_models_o_vi, vi, 1)
QVS_O_MODELS(m_models_o_iv, iv, 2)
QVS_O_MODELS(m_models_o_ii, ii, 2)
#undef QVS_O_MODELS

// The summing amplifier has no comparator model.
const SElemModel m_models_o_os[] = {
    {"Linear", MC_LINEAR, m_param_o_vv_linear, 0, 1, kVIP},
    {"OpAmp", MC_OPAMP, m_param_o_vv_opamp, 0, 1, kVIP},
    {"Function", MC_FUNCTION, m_param_o_vv_function, 0, 1, kVIP},
    {"PWL", MC_PWL, m_param_o_pwl, 0, 1, kVIP},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
    {}};
const SElemModel m_models_o_vcg[] = {{"PWL", MC_PWL, m_param_o_pwl, 0, 1, kVIP}, {}};
const SElemModel m_models_o_ccg[] = {{"PWL", MC_PWL, m_param_o_pwl, 0, 2, kVIP}, {}};

const CPin m_pins_o[5] = {};
// Normal and mirrored symbol (inputs swapped top to bottom).
const CPin* const m_views_o[] = {m_pins_o, m_pins_o, nullptr};

}  // namespace

const SElemType CElemO::m_elemtype[] = {
    {"O_O", 41, CreateCmpOf<CElemO>, 2, m_views_o, m_models_o, 0, "Amplifier", 0},
    {"O_O_COMP", 118, CreateCmpOf<CElemO>, 2, m_views_o, m_models_o, 0, "Comparator", 0},
    {"O_OD", 42, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o, 0, "Differential\namplifier", 0},
    {"O_OD_COMP", 119, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o, 0,
     "Differential\ncomparator", 0},
    {"O_REF", 50, CreateCmpOf<CElemO>, 4, m_views_o, m_models_o, 0,
     "Differential amplifier\nwith reference", 0},
    {"O_FD", 49, CreateCmpOf<CElemO>, 5, m_views_o, m_models_o, 0,
     "Fully differential\namplifier", 0},
    {"O_VC", 46, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o_vi, 0,
     "Differential amplifier\nwith current output", 0},
    {"O_CV", 47, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o_iv, 0, "Current amplifier", 0},
    {"O_CC", 48, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o_ii, 0,
     "Current amplifier\nwith current output", 0},
    {"O_OS", 43, CreateCmpOf<CElemO>, 3, m_views_o, m_models_o_os, 0, "Summing\namplifier", 0},
    {"O_VCG", 44, CreateCmpOf<CElemO>, 4, m_views_o, m_models_o_vcg, 0,
     "Voltage controlled\namplifier", 0},
    {"O_CCG", 45, CreateCmpOf<CElemO>, 4, m_views_o, m_models_o_ccg, 0,
     "Current controlled\namplifier", 0},
    {}};

CElemO::CElemO(const SElemType* type) : CCmp(type) {
  const double inf = std::numeric_limits<double>::infinity();
  k_.SetVal(TypeId() == 41 ? 1.0 : inf);
  f1_.SetVal(inf);
  hi_.SetVal(IsCurrentOutput() ? 1.0 : 15.0);
  lo_.SetVal(IsCurrentOutput() ? -1.0 : -15.0);
  hyst_.SetVal(0.1);
  delay_.SetVal(0.0);
  ic_.SetEmpty();
  opamp_ic_.SetVal(0.0);
  func_ic_.SetVal(0.0);
  f_ = "x";
}

bool CElemO::IsCurrentOutput() const { return TypeId() == 46 || TypeId() == 48; }

bool CElemO::IsCurrentInput() const { return TypeId() == 47 || TypeId() == 48; }

CParam* CElemO::GetParams() {
  if (Model() == MC_PWL) {
    m_param_o_pwl[0].BindText(&PwlText());
    return m_param_o_pwl;
  }
  // The descriptor set of this type's input and output kinds.
  struct SSet {
    CParam* linear;
    CParam* opamp;
    CParam* comparator;
    CParam* function;
  };
  static const SSet sets[4] = {
      {m_param_o_vv_linear, m_param_o_vv_opamp, m_param_o_vv_comparator, m_param_o_vv_function},
      {m_param_o_vi_linear, m_param_o_vi_opamp, m_param_o_vi_comparator, m_param_o_vi_function},
      {m_param_o_iv_linear, m_param_o_iv_opamp, m_param_o_iv_comparator, m_param_o_iv_function},
      {m_param_o_ii_linear, m_param_o_ii_opamp, m_param_o_ii_comparator, m_param_o_ii_function}};
  const SSet& s = sets[(IsCurrentInput() ? 2 : 0) + (IsCurrentOutput() ? 1 : 0)];
  switch (Model()) {
    case MC_LINEAR:
      s.linear[0].BindFormula(&k_);
      s.linear[1].BindFormula(&f1_);
      s.linear[2].BindFormula(&ic_);
      return s.linear;
    case MC_OPAMP:
      s.opamp[0].BindFormula(&k_);
      s.opamp[1].BindFormula(&f1_);
      s.opamp[2].BindFormula(&hi_);
      s.opamp[3].BindFormula(&lo_);
      s.opamp[4].BindFormula(&opamp_ic_);
      return s.opamp;
    case MC_COMPARATOR:
      s.comparator[0].BindFormula(&hyst_);
      s.comparator[1].BindFormula(&hi_);
      s.comparator[2].BindFormula(&lo_);
      s.comparator[3].BindFormula(&delay_);
      s.comparator[4].BindInt(&comp_ic_);
      return s.comparator;
    case MC_FUNCTION:
      s.function[0].BindText(&f_);
      s.function[1].BindFormula(&func_ic_);
      return s.function;
    default:
      return nullptr;
  }
}

bool CElemO::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("k", k_);
  node->SerializeFormula("f1", f1_);
  node->SerializeFormula("hi", hi_);
  node->SerializeFormula("lo", lo_);
  node->SerializeFormula("hyst", hyst_);
  node->SerializeFormula("delay", delay_);
  f_ = node->AttributeSafe("f", f_);
  if (ic) {
    comp_ic_ = node->AttributeInt("comp_ic", comp_ic_) != 0 ? 1 : 0;
    node->SerializeFormula("func_ic", func_ic_);
    node->SerializeFormula("opamp_ic", opamp_ic_);
    node->SerializeFormula("ic", ic_);
  }
  return true;
}
