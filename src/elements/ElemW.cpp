#include "elements/ElemW.h"

#include "doc/xml.h"

namespace {

CParam m_param_w[] = {CParam(PK_FORMULA, "n", "turns"), CParam()};
CParam m_param_t[] = {CParam(PK_FORMULA, "n1", "turns"), CParam(PK_FORMULA, "n2", "turns"),
                      CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;
// Extra unknowns: W_W the winding current; W_T2 the core variable and two
// winding currents; W_T3 the core and three. W_CUSTOM counts its own
// (W + 1). In model "SubCir" only the pin voltages can be traced.
const SElemModel m_models_w[] = {{"Winding", MC_WINDING, m_param_w, 0, 1, kVIP}, {}};
const SElemModel m_models_t2[] = {{"Transformer", MC_WINDING, m_param_t, 0, 3, kVIP},
                                  {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                  {}};
const SElemModel m_models_t3[] = {{"Transformer", MC_WINDING, m_param_t, 0, 4, kVIP},
                                  {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                  {}};
const SElemModel m_models_wcustom[] = {{"Transformer", MC_WINDING, nullptr, 0, 0, kVIP},
                                       {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                       {}};

}  // namespace

const SElemType CElemW::m_elemtype[] = {
    {"W_W", 74, CreateCmpOf<CElemW>, 3, nullptr, m_models_w, 0, "Winding", 0},
    {"W_T2", 75, CreateCmpOf<CElemW>, 4, nullptr, m_models_t2, 0, "Transformer", 0},
    {"W_T3", 76, CreateCmpOf<CElemW>, 5, nullptr, m_models_t3, 0, "Differential\ntransformer",
     0},
    {"W_CUSTOM", 77, CreateCmpOf<CElemW>, 0, nullptr, m_models_wcustom, 0,
     "Custom\ntransformer", 0},
    {}};

CElemW::CElemW(const SElemType* type) : CCmp(type) {
  n_.SetVal(1.0);
  n1_.SetVal(1.0);
  n2_.SetVal(1.0);
  winding_params_.emplace_back();
}

void CElemW::SetWindingCount(int count) {
  if (count < 0) count = 0;
  if (count == WindingCount()) return;
  // Names and formulas first: the descriptors keep pointers into both.
  winding_params_.clear();
  windings_ = std::vector<CFormula>(static_cast<std::size_t>(count));
  winding_names_.clear();
  for (int i = 0; i < count; ++i) {
    windings_[i].SetVal(1.0);
    // Appended rather than "n" + to_string(): g++ 12 at -O3 reports a
    // spurious -Wrestrict for the operator+ form.
    std::string name = "n";
    name += std::to_string(i + 1);
    winding_names_.push_back(std::move(name));
  }
  for (int i = 0; i < count; ++i) {
    winding_params_.emplace_back(PK_FORMULA, winding_names_[i].c_str(), "turns");
    winding_params_.back().BindFormula(&windings_[i]);
  }
  winding_params_.emplace_back();
}

void CElemW::UpdateCustom() {
  if (IsCustom()) SetWindingCount(PinCount() / 2);
}

CParam* CElemW::GetParams() {
  switch (TypeId()) {
    case 74:
      m_param_w[0].BindFormula(&n_);
      return m_param_w;
    case 75:
    case 76:
      m_param_t[0].BindFormula(&n1_);
      m_param_t[1].BindFormula(&n2_);
      return m_param_t;
    default:
      return winding_params_.data();
  }
}

int CElemW::CreateExtraNodes(CCalc* calc, int first) {
  if (!IsCustom()) return CCmp::CreateExtraNodes(calc, first);
  const int count = WindingCount() + 1;
  SetExtra(count, first);
  return count;
}

bool CElemW::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  switch (TypeId()) {
    case 74:
      node->SerializeFormula("w", n_);
      break;
    case 75:
    case 76:
      node->SerializeFormula("w", n1_);
      node->SerializeFormula("w1", n2_);
      break;
    default:
      // The custom type, read by the common part, gave the pin count.
      if (!node->IsStore()) SetWindingCount(PinCount() / 2);
      for (int i = 0; i < WindingCount(); ++i)
        node->SerializeFormula(winding_names_[i].c_str(), windings_[i]);
      break;
  }
  return true;
}
