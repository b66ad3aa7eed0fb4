// Registry records, parameter descriptors and document form of the bipolar
// transistor.

#include "elements/ElemT.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

CParam m_param_t_linear[] = {CParam(PK_FORMULA, "B", "A/A"), CParam(PK_FORMULA, "f1", "Hz"),
                             CParam(PK_FORMULA, "IC", "A"), CParam()};
CParam m_param_t_switch[] = {CParam(PK_FORMULA, "Vbe", "V"), CParam(PK_ON_OFF, "IC", ""),
                             CParam()};
CParam m_param_t_transistor[] = {
    CParam(PK_FORMULA, "B", "A/A"),   CParam(PK_FORMULA, "f1", "Hz"),
    CParam(PK_FORMULA, "Vbe", "V"),   CParam(PK_FORMULA, "Vsat", "V"),
    CParam(PK_FORMULA, "IC", "A"),    CParam(PK_ON_OFF, "ICbe", ""),
    CParam(PK_ON_OFF, "ICbc", ""),    CParam()};

// Extra unknowns: Linear and Switch the collector current (k) and the base
// current (k + 1); Transistor the base-emitter current (k), the collector
// source (k + 1) and the base-collector current (k + 2).
const SElemModel m_models_t[] = {
    {"Linear", MC_LINEAR, m_param_t_linear, 0, 2, kVIP},
    {"Switch", MC_SWITCH, m_param_t_switch, 0, 2, kVIP},
    {"Transistor", MC_TRANSISTOR, m_param_t_transistor, 0, 3, kVIP},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
    {}};

const CPin m_pins_t[3] = {};
// Normal and mirrored symbol.
const CPin* const m_views_t[] = {m_pins_t, m_pins_t, nullptr};

}  // namespace

const SElemType CElemT::m_elemtype[] = {
    {"T_TNPN", 65, CreateCmpOf<CElemT>, 3, m_views_t, m_models_t, 0, "NPN transistor", 0},
    {"T_TPNP", 66, CreateCmpOf<CElemT>, 3, m_views_t, m_models_t, 0, "PNP transistor", 0},
    {}};

CElemT::CElemT(const SElemType* type) : CCmp(type) {
  b_.SetVal(1.0);
  f1_.SetVal(std::numeric_limits<double>::infinity());
  vbe_.SetVal(0.7);
  vsat_.SetVal(0.0);
  ic_.SetEmpty();
}

CParam* CElemT::GetParams() {
  switch (Model()) {
    case MC_LINEAR: {
      CParam* p = m_param_t_linear;
      p[0].BindFormula(&b_);
      p[1].BindFormula(&f1_);
      p[2].BindFormula(&ic_);
      return p;
    }
    case MC_SWITCH: {
      CParam* p = m_param_t_switch;
      p[0].BindFormula(&vbe_);
      p[1].BindInt(&sw_ic_);
      return p;
    }
    case MC_TRANSISTOR: {
      CParam* p = m_param_t_transistor;
      p[0].BindFormula(&b_);
      p[1].BindFormula(&f1_);
      p[2].BindFormula(&vbe_);
      p[3].BindFormula(&vsat_);
      p[4].BindFormula(&ic_);
      p[5].BindInt(&be_ic_);
      p[6].BindInt(&bc_ic_);
      return p;
    }
    default:
      return nullptr;
  }
}

bool CElemT::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("k", b_);
  node->SerializeFormula("f1", f1_);
  node->SerializeFormula("vbe", vbe_);
  node->SerializeFormula("vsat", vsat_);
  // The initial current is a parameter of the Linear and Transistor
  // models, so it travels with the other parameters.
  node->SerializeFormula("ic", ic_);
  if (ic) {
    sw_ic_ = node->AttributeInt("s_ic", sw_ic_);
    be_ic_ = node->AttributeInt("be_ic", be_ic_);
    bc_ic_ = node->AttributeInt("bc_ic", bc_ic_);
  }
  return true;
}
