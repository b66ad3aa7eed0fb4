#include "elements/ElemL.h"

#include <cctype>
#include <cstdio>

#include "doc/xml.h"
#include "elements/PWL.h"

namespace {

CParam m_param_l[] = {CParam(PK_FORMULA, "L", "H"), CParam(PK_FORMULA, "IC", "A"), CParam()};
CParam m_param_l_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam(PK_FORMULA, "IC", "A"), CParam()};
CParam m_param_cl[] = {CParam(PK_FORMULA, "L1", "H"),  CParam(PK_FORMULA, "L2", "H"),
                       CParam(PK_FORMULA, "K12", ""),  CParam(PK_FORMULA, "IC1", "A"),
                       CParam(PK_FORMULA, "IC2", "A"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// The winding currents are the extra unknowns; L_CCL's control current
// follows them. L_CUSTOM counts its windings itself.
const SElemModel m_models_l[] = {{"L", MC_L, m_param_l, 0, 1, kVIP},
                                 {"PWL", MC_PWL, m_param_l_pwl, 0, 1, kVIP},
                                 {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                 {}};
const SElemModel m_models_vcl[] = {{"PWL", MC_PWL, m_param_l_pwl, 0, 1, kVIP}, {}};
const SElemModel m_models_ccl[] = {{"PWL", MC_PWL, m_param_l_pwl, 0, 2, kVIP}, {}};
const SElemModel m_models_cl[] = {{"L", MC_L, m_param_cl, 0, 2, kVIP}, {}};
const SElemModel m_models_lcustom[] = {{"L", MC_L, nullptr, 0, 0, kVIP},
                                       {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                       {}};

bool IsPlain(int type_id) { return type_id == 35 || type_id == 40; }

std::string Lower(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

const SElemType CElemL::m_elemtype[] = {
    {"L_L", 35, CreateCmpOf<CElemL>, 2, nullptr, m_models_l, 1, "Inductor", 0},
    {"L_VCL", 38, CreateCmpOf<CElemL>, 4, nullptr, m_models_vcl, 0,
     "Voltage controlled\ninductor", 0},
    {"L_CCL", 39, CreateCmpOf<CElemL>, 4, nullptr, m_models_ccl, 0,
     "Current controlled\ninductor", 0},
    {"L_CL", 36, CreateCmpOf<CElemL>, 4, nullptr, m_models_cl, 0, "Coupled\ninductors", 0},
    {"L_CUSTOM", 37, CreateCmpOf<CElemL>, 0, nullptr, m_models_lcustom, 0,
     "Custom coupled\ninductors", 0},
    {"_L_L45", 40, CreateCmpOf<CElemL>, 2, nullptr, m_models_l, 2, "Inductor", 0},
    {}};

CElemL::CElemL(const SElemType* type) : CCmp(type) {
  l_.SetVal(1.0);
  ic_.SetEmpty();
  l1_.SetVal(1.0);
  l2_.SetVal(1.0);
  k12_.SetVal(1.0);
  ic1_.SetEmpty();
  ic2_.SetEmpty();
  custom_params_.emplace_back();
  if (CPWL* pwl = CPWL::Of(this); pwl != nullptr) {
    if (TypeId() == 38)
      pwl->SetCaptions("V", "L, H", "L(V)", "");
    else if (TypeId() == 39)
      pwl->SetCaptions("A", "L, H", "L(I)", "");
    else
      pwl->SetCaptions("A", "L, H", "L(I)", "H(I)");
  }
}

void CElemL::SetWindingCount(int n) {
  // The couplings grow with the square of the windings: a document that
  // claims thousands of pins must not take gigabytes. No real coupled
  // inductor has more windings than this; the rest get no parameters.
  constexpr int kMaxWindings = 64;
  if (n < 0) n = 0;
  if (n > kMaxWindings) n = kMaxWindings;
  if (n == windings_ && custom_params_.size() > 1) return;
  windings_ = n;
  // Names and formulas first: the descriptors keep pointers into both.
  custom_params_.clear();
  custom_names_.clear();
  char name[32];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(name, sizeof name, "L%d", i);
    custom_names_.push_back(name);
  }
  for (int i = 1; i <= n; ++i)
    for (int j = i + 1; j <= n; ++j) {
      std::snprintf(name, sizeof name, n > 9 ? "K%d_%d" : "K%d%d", i, j);
      custom_names_.push_back(name);
    }
  for (int i = 1; i <= n; ++i) {
    std::snprintf(name, sizeof name, "IC%d", i);
    custom_names_.push_back(name);
  }
  const int couplings = n * (n - 1) / 2;
  custom_ = std::vector<CFormula>(custom_names_.size());
  for (int i = 0; i < n; ++i) custom_[i].SetVal(1e-6);
  for (int i = n; i < n + couplings; ++i) custom_[i].SetVal(1.0);
  for (std::size_t i = static_cast<std::size_t>(n + couplings); i < custom_.size(); ++i)
    custom_[i].SetEmpty();
  for (std::size_t i = 0; i < custom_.size(); ++i) {
    const bool inductance = static_cast<int>(i) < n;
    const bool current = static_cast<int>(i) >= n + couplings;
    custom_params_.emplace_back(PK_FORMULA, custom_names_[i].c_str(),
                                inductance ? "H" : (current ? "A" : ""));
    custom_params_.back().BindFormula(&custom_[i]);
  }
  custom_params_.emplace_back();
  currents_.assign(static_cast<std::size_t>(n), std::nan(""));
}

void CElemL::CreateCustom() {
  if (IsCustom() && PinCount() <= 0) CreateCmpNodes(4);
}

void CElemL::UpdateCustom() {
  if (IsCustom()) SetWindingCount(PinCount() / 2);
}

CParam* CElemL::GetParams() {
  if (IsCustom()) return Model() == MC_L ? custom_params_.data() : nullptr;
  switch (Model()) {
    case MC_L:
      if (TypeId() == 36) {
        CFormula* f[] = {&l1_, &l2_, &k12_, &ic1_, &ic2_};
        for (int i = 0; i < 5; ++i) m_param_cl[i].BindFormula(f[i]);
        return m_param_cl;
      }
      m_param_l[0].BindFormula(&l_);
      m_param_l[1].BindFormula(&ic_);
      return m_param_l;
    case MC_PWL:
      m_param_l_pwl[0].BindText(&PwlText());
      m_param_l_pwl[1].BindFormula(&ic_);
      return m_param_l_pwl;
    default:
      return nullptr;
  }
}

int CElemL::CreateExtraNodes(CCalc* calc, int first) {
  if (!IsCustom()) return CCmp::CreateExtraNodes(calc, first);
  SetExtra(windings_, first);
  return windings_;
}

// The controlled types store their IC too (as "ic" with the flag), so that
// every parameter a user can set survives a save. L_CUSTOM names each
// attribute after its parameter in lower case ("l1", "k12", "ic1"), like
// L_CL; the initial currents only with the flag.
bool CElemL::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  switch (TypeId()) {
    case 36:
      node->SerializeFormula("l1", l1_);
      node->SerializeFormula("l2", l2_);
      node->SerializeFormula("k12", k12_);
      if (ic) {
        node->SerializeFormula("ic1", ic1_);
        node->SerializeFormula("ic2", ic2_);
      }
      break;
    case 37: {
      // Loading: the common part has just set the pin count.
      UpdateCustom();
      const int couplings = windings_ * (windings_ - 1) / 2;
      for (std::size_t i = 0; i < custom_.size(); ++i) {
        if (!ic && static_cast<int>(i) >= windings_ + couplings) break;
        node->SerializeFormula(Lower(custom_names_[i]).c_str(), custom_[i]);
      }
      break;
    }
    default:
      if (IsPlain(TypeId())) node->SerializeFormula("l", l_);
      if (ic) node->SerializeFormula("ic", ic_);
      break;
  }
  return true;
}
