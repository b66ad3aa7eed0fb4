// Registry records, parameter descriptors and document form of the
// field-effect transistor.

#include "elements/ElemFET.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

CParam m_param_fet_linear[] = {CParam(PK_FORMULA, "S", "A/V"), CParam(PK_FORMULA, "f1", "Hz"),
                               CParam(PK_FORMULA, "IC", "A"), CParam()};
CParam m_param_fet_switch[] = {CParam(PK_FORMULA, "Vth", "V"), CParam(PK_ON_OFF, "IC", ""),
                               CParam()};
CParam m_param_fet_fet[] = {CParam(PK_FORMULA, "S", "A/V"), CParam(PK_FORMULA, "Vth", "V"),
                            CParam(PK_FORMULA, "Rdson", "Ohm"), CParam(PK_CHOICE, "IC", ""),
                            CParam()};
CParam m_param_fet_fetd[] = {CParam(PK_FORMULA, "S", "A/V"),    CParam(PK_FORMULA, "Vth", "V"),
                             CParam(PK_FORMULA, "Rdson", "Ohm"), CParam(PK_FORMULA, "Vd", "V"),
                             CParam(PK_CHOICE, "IC", ""),        CParam()};

// One extra unknown in every model: the drain current.
const SElemModel m_models_fet[] = {
    {"Linear", MC_LINEAR, m_param_fet_linear, 0, 1, kVIP},
    {"Switch", MC_SWITCH, m_param_fet_switch, 0, 1, kVIP},
    {"FET", MC_FET, m_param_fet_fet, 0, 1, kVIP},
    {"FET-D", MC_FET_D, m_param_fet_fetd, 0, 1, kVIP},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
    {}};

const CPin m_pins_fet[3] = {};
// Normal and mirrored symbol.
const CPin* const m_views_fet[] = {m_pins_fet, m_pins_fet, nullptr};

}  // namespace

const char* const CElemFET::m_fet_ic_text[] = {"Off", "R", "Plus", "Minus", nullptr};
const char* const CElemFET::m_fetd_ic_text[] = {"Off", "R", "Plus", "Minus", "Diode", nullptr};

const SElemType CElemFET::m_elemtype[] = {
    {"T_NFET", 67, CreateCmpOf<CElemFET>, 3, m_views_fet, m_models_fet, 0, "N-FET", 0},
    {"T_PFET", 68, CreateCmpOf<CElemFET>, 3, m_views_fet, m_models_fet, 0, "P-FET", 0},
    {}};

CElemFET::CElemFET(const SElemType* type) : CCmp(type) {
  s_.SetVal(1.0);
  f1_.SetVal(std::numeric_limits<double>::infinity());
  vth_.SetVal(0.0);
  rdson_.SetVal(1.0);
  vd_.SetVal(0.7);
  ic_.SetEmpty();
}

CParam* CElemFET::GetParams() {
  switch (Model()) {
    case MC_LINEAR: {
      CParam* p = m_param_fet_linear;
      p[0].BindFormula(&s_);
      p[1].BindFormula(&f1_);
      p[2].BindFormula(&ic_);
      return p;
    }
    case MC_SWITCH: {
      CParam* p = m_param_fet_switch;
      p[0].BindFormula(&vth_);
      p[1].BindInt(&sw_ic_);
      return p;
    }
    case MC_FET: {
      CParam* p = m_param_fet_fet;
      p[0].BindFormula(&s_);
      p[1].BindFormula(&vth_);
      p[2].BindFormula(&rdson_);
      p[3].BindChoice(&fet_ic_, m_fet_ic_text);
      return p;
    }
    case MC_FET_D: {
      CParam* p = m_param_fet_fetd;
      p[0].BindFormula(&s_);
      p[1].BindFormula(&vth_);
      p[2].BindFormula(&rdson_);
      p[3].BindFormula(&vd_);
      p[4].BindChoice(&fetd_ic_, m_fetd_ic_text);
      return p;
    }
    default:
      return nullptr;
  }
}

bool CElemFET::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("k", s_);
  node->SerializeFormula("f1", f1_);
  node->SerializeFormula("vth", vth_);
  node->SerializeFormula("rdson", rdson_);
  node->SerializeFormula("vd", vd_);
  // The initial current is a parameter of the Linear model, so it travels
  // with the other parameters.
  node->SerializeFormula("ic", ic_);
  if (ic) {
    sw_ic_ = node->AttributeInt("s_ic", sw_ic_);
    fet_ic_ = node->AttributeInt("fet_ic", fet_ic_);
    fetd_ic_ = node->AttributeInt("fetd_ic", fetd_ic_);
    // A zone the lists do not have starts off.
    if (fet_ic_ < 0 || fet_ic_ > 3) fet_ic_ = 0;
    if (fetd_ic_ < 0 || fetd_ic_ > 4) fetd_ic_ = 0;
  }
  return true;
}
