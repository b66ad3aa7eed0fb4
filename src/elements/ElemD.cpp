#include "elements/ElemD.h"

#include "doc/xml.h"
#include "elements/PWL.h"

const char* const CElemD::m_zic_text[] = {"Minus", "Off", "Plus", nullptr};

namespace {

CParam m_param_d[] = {CParam(PK_FORMULA, "Vd", "V"), CParam(PK_ON_OFF, "IC", ""), CParam()};
CParam m_param_d_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam()};
CParam m_param_d_storage[] = {CParam(PK_FORMULA, "Vd", "V"), CParam(PK_FORMULA, "t", "s"),
                              CParam(PK_ON_OFF, "IC", ""), CParam(PK_FORMULA, "ICQ", "A*s"),
                              CParam()};
CParam m_param_d_soft[] = {CParam(PK_FORMULA, "Vd", "V"),   CParam(PK_FORMULA, "t", "s"),
                           CParam(PK_FORMULA, "ts", "s"),   CParam(PK_ON_OFF, "IC", ""),
                           CParam(PK_FORMULA, "ICQ", "A*s"), CParam()};
CParam m_param_z[] = {CParam(PK_FORMULA, "V", "V"), CParam(PK_FORMULA, "Vd", "V"),
                      CParam(PK_CHOICE, "IC", ""), CParam()};
CParam m_param_zs[] = {CParam(PK_FORMULA, "V", "V"), CParam(PK_CHOICE, "IC", ""), CParam()};
CParam m_param_br[] = {CParam(PK_FORMULA, "Vd", "V"), CParam()};
CParam m_param_lct[] = {CParam(PK_FORMULA, "Vd", "V"), CParam(PK_FORMULA, "Ihold", "A"),
                        CParam(PK_ON_OFF, "IC", ""), CParam()};
CParam m_param_vct[] = {CParam(PK_FORMULA, "Vd", "V"), CParam(PK_FORMULA, "Ihold", "A"),
                        CParam(PK_FORMULA, "Threshold", "V"), CParam(PK_ON_OFF, "IC", ""),
                        CParam()};
CParam m_param_cct[] = {CParam(PK_FORMULA, "Vd", "V"), CParam(PK_FORMULA, "Ihold", "A"),
                        CParam(PK_FORMULA, "Threshold", "A"), CParam(PK_ON_OFF, "IC", ""),
                        CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;
constexpr SElemModel kSubCir = {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V};

// Extra unknowns: the branch current; Storage and Soft add the stored
// charge, D_CCT its gate current, the bridge and ring one per diode. The
// bridge and the ring have no single branch: only their power is traced.
const SElemModel m_models_d[] = {{"Diode", MC_DIODE, m_param_d, 0, 1, kVIP},
                                 {"PWL", MC_PWL, m_param_d_pwl, 0, 1, kVIP},
                                 {"Storage", MC_STORAGE, m_param_d_storage, 0, 2, kVIP},
                                 {"Soft", MC_SOFT, m_param_d_soft, 0, 2, kVIP},
                                 kSubCir,
                                 {}};
const SElemModel m_models_z[] = {{"Zener", MC_DIODE, m_param_z, 0, 1, kVIP},
                                 {"PWL", MC_PWL, m_param_d_pwl, 0, 1, kVIP},
                                 kSubCir,
                                 {}};
const SElemModel m_models_zs[] = {{"Zener", MC_DIODE, m_param_zs, 0, 1, kVIP},
                                  {"PWL", MC_PWL, m_param_d_pwl, 0, 1, kVIP},
                                  kSubCir,
                                  {}};
const SElemModel m_models_br[] = {{"Diode", MC_DIODE, m_param_br, 0, 4, MF_TRACE_P}, {}};
const SElemModel m_models_lct[] = {{"Thyristor", MC_DIODE, m_param_lct, 0, 1, kVIP}, kSubCir, {}};
const SElemModel m_models_vct[] = {{"Thyristor", MC_DIODE, m_param_vct, 0, 1, kVIP}, kSubCir, {}};
const SElemModel m_models_cct[] = {{"Thyristor", MC_DIODE, m_param_cct, 0, 2, kVIP}, kSubCir, {}};

enum Kind { kDiode, kZener, kZenerS, kBridge, kThyristor };

Kind KindOf(int type_id) {
  switch (type_id) {
    case 12:
    case 20:
      return kZener;
    case 13:
    case 21:
      return kZenerS;
    case 17:
    case 18:
      return kBridge;
    case 14:
    case 15:
    case 16:
      return kThyristor;
    default:
      return kDiode;
  }
}

}  // namespace

const SElemType CElemD::m_elemtype[] = {
    {"D_D", 11, CreateCmpOf<CElemD>, 2, nullptr, m_models_d, 1, "Diode", 0},
    {"D_Z", 12, CreateCmpOf<CElemD>, 2, nullptr, m_models_z, 1, "Zener", 0},
    {"D_ZS", 13, CreateCmpOf<CElemD>, 2, nullptr, m_models_zs, 1, "Bidirectional\nzener", 0},
    {"D_BR", 17, CreateCmpOf<CElemD>, 4, nullptr, m_models_br, 0, "Bridge\nrectifier", 0},
    {"D_RING", 18, CreateCmpOf<CElemD>, 4, nullptr, m_models_br, 0, "Diode ring", 0},
    {"D_LCT", 16, CreateCmpOf<CElemD>, 3, nullptr, m_models_lct, 0,
     "Logic controlled\nthyristor", 0},
    {"D_VCT", 14, CreateCmpOf<CElemD>, 4, nullptr, m_models_vct, 0,
     "Voltage controlled\nthyristor", 0},
    {"D_CCT", 15, CreateCmpOf<CElemD>, 4, nullptr, m_models_cct, 0,
     "Current controlled\nthyristor", 0},
    {"_D_D45", 19, CreateCmpOf<CElemD>, 2, nullptr, m_models_d, 2, "Diode", 0},
    {"_D_Z45", 20, CreateCmpOf<CElemD>, 2, nullptr, m_models_z, 2, "Zener", 0},
    {"_D_ZS45", 21, CreateCmpOf<CElemD>, 2, nullptr, m_models_zs, 2, "Bidirectional\nzener",
     0},
    {}};

CElemD::CElemD(const SElemType* type) : CCmp(type) {
  vd_.SetVal(0.0);
  v_.SetVal(8.0);
  t_.SetVal(0.0);
  ts_.SetVal(0.0);
  icq_.SetVal(0.0);
  thr_.SetVal(5.0);
  ihold_.SetVal(1.0);
  PwlText() = "1.0, 0.0, 1.0";
  if (CPWL* pwl = CPWL::Of(this); pwl != nullptr) pwl->SetCaptions("V", "R, Ohm", "R(V)", "I(V)");
}

CParam* CElemD::GetParams() {
  CParam* p = nullptr;
  switch (Model()) {
    case MC_PWL:
      m_param_d_pwl[0].BindText(&PwlText());
      return m_param_d_pwl;
    case MC_STORAGE:
      p = m_param_d_storage;
      break;
    case MC_SOFT:
      p = m_param_d_soft;
      break;
    case MC_DIODE:
      switch (TypeId()) {
        case 12:
        case 20: p = m_param_z; break;
        case 13:
        case 21: p = m_param_zs; break;
        case 17:
        case 18: p = m_param_br; break;
        case 16: p = m_param_lct; break;
        case 14: p = m_param_vct; break;
        case 15: p = m_param_cct; break;
        default: p = m_param_d; break;
      }
      break;
    default:
      return nullptr;
  }
  const bool zener = KindOf(TypeId()) == kZener || KindOf(TypeId()) == kZenerS;
  for (CParam* d = p; d->Name() != nullptr; ++d) {
    const AnsiString n(d->Name());
    if (n == "Vd") d->BindFormula(&vd_);
    else if (n == "V") d->BindFormula(&v_);
    else if (n == "t") d->BindFormula(&t_);
    else if (n == "ts") d->BindFormula(&ts_);
    else if (n == "ICQ") d->BindFormula(&icq_);
    else if (n == "Ihold") d->BindFormula(&ihold_);
    else if (n == "Threshold") d->BindFormula(&thr_);
    else if (n == "IC" && zener) d->BindChoice(&zic_, m_zic_text);
    else if (n == "IC") d->BindInt(&ic_);
  }
  return p;
}

int CElemD::GetCmpPinType(int pin) const { return TypeId() == 16 && pin == 2 ? 2 : 1; }

bool CElemD::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  switch (KindOf(TypeId())) {
    case kDiode:
      node->SerializeFormula("vd", vd_);
      node->SerializeFormula("t", t_);
      node->SerializeFormula("ts", ts_);
      if (ic) {
        ic_ = node->AttributeInt("ic", ic_);
        node->SerializeFormula("icq", icq_);
        // A negative stored charge cannot be; it loads as none.
        if (!node->IsStore() && icq_.Value() < 0.0) icq_.SetValue(0.0);
      }
      break;
    case kZener:
      node->SerializeFormula("v", v_);
      node->SerializeFormula("vd", vd_);
      if (ic) zic_ = node->AttributeInt("ic", zic_);
      break;
    case kZenerS:
      node->SerializeFormula("v", v_);
      if (ic) zic_ = node->AttributeInt("ic", zic_);
      break;
    case kThyristor:
      node->SerializeFormula("vd", vd_);
      node->SerializeFormula("thr", thr_);
      node->SerializeFormula("hold", ihold_);
      if (ic) ic_ = node->AttributeInt("ic", ic_);
      break;
    case kBridge:
      node->SerializeFormula("vd", vd_);
      break;
  }
  return true;
}
