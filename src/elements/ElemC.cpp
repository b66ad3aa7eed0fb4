#include "elements/ElemC.h"

#include "doc/xml.h"
#include "elements/PWL.h"

namespace {

CParam m_param_c[] = {CParam(PK_FORMULA, "C", "F"), CParam(PK_FORMULA, "IC", "V"), CParam()};
CParam m_param_c_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam(PK_FORMULA, "IC", "V"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// Every model carries the element current as its extra unknown; C_CCC's
// "PWL" also the control current.
const SElemModel m_models_c[] = {{"C", MC_C, m_param_c, 0, 1, kVIP},
                                 {"PWL", MC_PWL, m_param_c_pwl, 0, 1, kVIP},
                                 {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                 {}};
const SElemModel m_models_vcc[] = {{"PWL", MC_PWL, m_param_c_pwl, 0, 1, kVIP}, {}};
const SElemModel m_models_ccc[] = {{"PWL", MC_PWL, m_param_c_pwl, 0, 2, kVIP}, {}};

bool IsPlain(int type_id) { return type_id == 7 || type_id == 10; }

}  // namespace

const SElemType CElemC::m_elemtype[] = {
    {"C_C", 7, CreateCmpOf<CElemC>, 2, nullptr, m_models_c, 1, "Capacitor", 0},
    {"C_VCC", 8, CreateCmpOf<CElemC>, 4, nullptr, m_models_vcc, 0,
     "Voltage controlled\ncapacitor", 0},
    {"C_CCC", 9, CreateCmpOf<CElemC>, 4, nullptr, m_models_ccc, 0,
     "Current controlled\ncapacitor", 0},
    {"_C_C45", 10, CreateCmpOf<CElemC>, 2, nullptr, m_models_c, 2, "Capacitor", 0},
    {}};

CElemC::CElemC(const SElemType* type) : CCmp(type) {
  c_.SetVal(1.0);
  ic_.SetEmpty();
  if (CPWL* pwl = CPWL::Of(this); pwl != nullptr) {
    if (TypeId() == 8)
      pwl->SetCaptions("V", "C, F", "C(V)", "");
    else if (TypeId() == 9)
      pwl->SetCaptions("A", "C, F", "C(I)", "");
    else
      pwl->SetCaptions("V", "C, F", "C(V)", "Q(V)");
  }
}

CParam* CElemC::GetParams() {
  switch (Model()) {
    case MC_C:
      m_param_c[0].BindFormula(&c_);
      m_param_c[1].BindFormula(&ic_);
      return m_param_c;
    case MC_PWL:
      m_param_c_pwl[0].BindText(&PwlText());
      m_param_c_pwl[1].BindFormula(&ic_);
      return m_param_c_pwl;
    default:
      return nullptr;
  }
}

int CElemC::GetCmpPinType(int pin) const {
  if (pin < 2) return 5;
  return TypeId() == 8 ? 2 : 1;
}

// The controlled types store their IC too, although only C_C's is named
// among the document attributes: every parameter a user can set must
// survive a save.
bool CElemC::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  if (IsPlain(TypeId())) node->SerializeFormula("c", c_);
  if (ic) node->SerializeFormula("ic", ic_);
  return true;
}
