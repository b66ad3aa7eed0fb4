#include "elements/ElemR.h"

#include "doc/xml.h"

namespace {

CParam m_param_r[] = {CParam(PK_FORMULA, "R", "Ohm"), CParam()};
CParam m_param_pot[] = {CParam(PK_FORMULA, "R", "Ohm"), CParam(PK_FORMULA, "Position", ""),
                        CParam()};
// "PWL" and "PWL-I" share the descriptor; GetParams binds it to the
// table of the present model.
CParam m_param_r_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// The "PWL" models carry their current in the extra unknown; R_CCR also
// the control current through its sense short. The potentiometer's
// current between a and b is not one branch current once the wiper is
// loaded, so only its voltage can be traced. In "SubCir" only the pin
// voltages exist.
const SElemModel m_models_r[] = {{"R", MC_R, m_param_r, 0, 0, kVIP},
                                 {"PWL", MC_PWL, m_param_r_pwl, 0, 1, kVIP},
                                 {"PWL-I", MC_PWL_I, m_param_r_pwl, 0, 1, kVIP},
                                 {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                 {}};
const SElemModel m_models_pot[] = {
    {"Potentiometer", MC_POTENTIOMETER, m_param_pot, 0, 0, MF_TRACE_V}, {}};
const SElemModel m_models_vcr[] = {{"PWL", MC_PWL, m_param_r_pwl, 0, 1, kVIP}, {}};
const SElemModel m_models_ccr[] = {{"PWL", MC_PWL, m_param_r_pwl, 0, 2, kVIP}, {}};

}  // namespace

const SElemType CElemR::m_elemtype[] = {
    {"R_R", 51, CreateCmpOf<CElemR>, 2, nullptr, m_models_r, 1, "Resistor", 10480},
    {"R_Pot", 52, CreateCmpOf<CElemR>, 3, nullptr, m_models_pot, 0, "Potentiometer", 10480},
    {"R_VCR", 53, CreateCmpOf<CElemR>, 4, nullptr, m_models_vcr, 0,
     "Voltage controlled\nresistor", 10480},
    {"R_CCR", 54, CreateCmpOf<CElemR>, 4, nullptr, m_models_ccr, 0,
     "Current controlled\nresistor", 10480},
    {"_R_R45", 55, CreateCmpOf<CElemR>, 2, nullptr, m_models_r, 2, "Resistor", 10480},
    {}};

CElemR::CElemR(const SElemType* type) : CCmp(type), pwli_(this) {
  r_.SetVal(1.0);
  position_.SetVal(0.0);
  CPWL* pwl = CPWL::Of(this);
  switch (TypeId()) {
    case 53:
      if (pwl != nullptr) pwl->SetCaptions("V", "R, Ohm", "R(V)", "");
      break;
    case 54:
      if (pwl != nullptr) pwl->SetCaptions("A", "R, Ohm", "R(I)", "");
      break;
    default:
      if (pwl != nullptr) pwl->SetCaptions("V", "R, Ohm", "R(V)", "I(V)");
      pwli_.SetCaptions("I", "R, Ohm", "R(I)", "V(I)");
      break;
  }
}

CParam* CElemR::GetParams() {
  switch (Model()) {
    case MC_R:
      m_param_r[0].BindFormula(&r_);
      return m_param_r;
    case MC_POTENTIOMETER:
      m_param_pot[0].BindFormula(&r_);
      m_param_pot[1].BindFormula(&position_);
      return m_param_pot;
    case MC_PWL:
      m_param_r_pwl[0].BindText(&PwlText());
      return m_param_r_pwl;
    case MC_PWL_I:
      m_param_r_pwl[0].BindText(&pwli_.text);
      return m_param_r_pwl;
    default:
      return nullptr;
  }
}

int CElemR::CreateExtraNodes(CCalc* calc, int first) {
  int count = 0;
  switch (Model()) {
    case MC_R:
      count = r_.Value() == 0.0 ? 1 : 0;
      break;
    case MC_POTENTIOMETER: {
      const double p = position_.Value();
      count = r_.Value() == 0.0 ? 2 : (p <= 0.0 || p >= 1.0 ? 1 : 0);
      break;
    }
    default:
      return CCmp::CreateExtraNodes(calc, first);
  }
  SetExtra(count, first);
  return count;
}

bool CElemR::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  switch (TypeId()) {
    case 52:
      node->SerializeFormula("r", r_);
      node->SerializeFormula("p", position_);
      break;
    case 51:
    case 55:
      node->SerializeFormula("r", r_);
      if (Model() == MC_PWL_I) pwli_.SerializePWL(node, "pwli");
      break;
    default:  // R_VCR, R_CCR: the table is part of the common attributes
      break;
  }
  return true;
}
