#include "elements/ElemL.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "base/globals.h"
#include "circuit/CirTools.h"
#include "circuit/CustomType.h"
#include "doc/xml.h"
#include "elements/PWL.h"
#include "engine/Calc.h"

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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A disabled pin (negative node) counts as ground, as in the engine's own
// stamps: row and column 0 are never part of the solved system.
int StampNode(int node) { return node < 0 ? 0 : node; }

double FormulaIC(const CFormula& f) { return f.IsEmpty() ? kNaN : f.Value(); }

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
  if (!IsCustom()) return;
  // The component's own type record carries the pins and their polarity
  // bits; without memory for it the component still gets its pins.
  if (CustomType() == nullptr) {
    if (CCustomElemType* t = CCustomElemType::CreateCustomCmp(this); t != nullptr) {
      t->UpdateCustomCmp(4);
      return;
    }
  }
  if (PinCount() <= 0) CreateCmpNodes(4);
}

bool CElemL::Reversed(int winding) const {
  // The polarity bit of a winding is bit 0 of its first pin's flag.
  const CCustomElemType* t = CustomType();
  const int pin = 2 * winding;
  return IsCustom() && t != nullptr && pin < t->PinCount() && (t->PinFlag(pin) & 1) != 0;
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

// --- Parameter checks --------------------------------------------------------------

bool CElemL::CheckParams(CCalc* calc) {
  bool ok = true;
  auto fail = [&](const AnsiString& message) {
    if (calc != nullptr) calc->SetCmpError(this, message);
    ok = false;
  };
  auto inductance = [&](const AnsiString& name, const CFormula& f) {
    if (f.Error())
      fail(name + " : formula error");
    else if (std::isinf(f.Value()))
      fail(name + " : infinite");
  };
  auto coupling = [&](const AnsiString& name, const CFormula& f) {
    if (f.Error())
      fail(name + " : formula error");
    else if (f.Value() < -1.0)
      fail(name + " < -1");
    else if (f.Value() > 1.0)
      fail(name + " > 1");
  };
  if (IsPair()) {
    inductance("L1", l1_);
    inductance("L2", l2_);
    coupling("K", k12_);
  } else if (IsCustom()) {
    if (Model() != MC_L) return true;
    const int couplings = windings_ * (windings_ - 1) / 2;
    for (int i = 0; i < windings_; ++i)
      inductance(custom_names_[static_cast<std::size_t>(i)].c_str(),
                 custom_[static_cast<std::size_t>(i)]);
    for (int i = windings_; i < windings_ + couplings; ++i)
      coupling(custom_names_[static_cast<std::size_t>(i)].c_str(),
               custom_[static_cast<std::size_t>(i)]);
  } else if (Model() == MC_L && l_.Error()) {
    fail("L : formula error");
  }
  return ok;
}

// --- Windings ------------------------------------------------------------------------

bool CElemL::Stamps() const { return Model() == MC_L || Model() == MC_PWL; }

double CElemL::Inductance() const {
  if (Model() == MC_L) return l_.Value();
  double k = 0.0, u = 0.0;
  if (Pwl() != nullptr) Pwl()->GetKU(k, u);
  return k;
}

int CElemL::CouplingIndex(int i, int j) const {
  // Couplings follow the inductances, pair by pair: (0,1), (0,2) ...
  // (0,n-1), (1,2) ...
  int index = windings_;
  for (int r = 0; r < i; ++r) index += windings_ - 1 - r;
  return index + (j - i - 1);
}

CFormula* CElemL::CustomIC(int winding) {
  const std::size_t index =
      static_cast<std::size_t>(windings_ + windings_ * (windings_ - 1) / 2 + winding);
  return index < custom_.size() ? &custom_[index] : nullptr;
}

double CElemL::Mutual(int i, int j) const {
  if (IsPair()) return k12_.Value() * std::sqrt(l1_.Value() * l2_.Value());
  if (!IsCustom()) return 0.0;
  const double li = custom_[static_cast<std::size_t>(i)].Value();
  const double lj = custom_[static_cast<std::size_t>(j)].Value();
  return custom_[static_cast<std::size_t>(CouplingIndex(i, j))].Value() * std::sqrt(li * lj);
}

std::vector<CElemL::SWinding> CElemL::Windings() {
  std::vector<SWinding> w;
  const int k = FirstExtra();
  if (IsPair()) {
    if (ExtraCount() >= 2 && PinCount() >= 4) {
      w.push_back({Node(0), Node(1), k, l1_.Value(), &i1_});
      w.push_back({Node(2), Node(3), k + 1, l2_.Value(), &i2_});
    }
  } else if (IsCustom()) {
    int n = std::min(windings_, ExtraCount());
    n = std::min(n, PinCount() / 2);
    n = std::min(n, static_cast<int>(currents_.size()));
    for (int i = 0; i < n; ++i) {
      int p = Node(2 * i), q = Node(2 * i + 1);
      if (Reversed(i)) std::swap(p, q);
      w.push_back({p, q, k + i, custom_[static_cast<std::size_t>(i)].Value(),
                   &currents_[static_cast<std::size_t>(i)]});
    }
  } else if (ExtraCount() >= 1 && PinCount() >= 2) {
    w.push_back({Node(0), Node(1), k, Inductance(), &il_});
  }
  return w;
}

// --- Engine hook ---------------------------------------------------------------------

// In the AC analysis every inductor type (plain, PWL, controlled, the
// coupled pair and the custom windings) stamps its dynamic form for the
// present inductance; reactive entries, the mutual ones included, go
// through CCalc::AddReactive and so carry omega there. An infinite
// inductance takes its open form, whose held current is a constant and
// drops out. Mode 12 answers true: nothing else to change.
bool CElemL::CalcFunc(CCalc* calc, int mode, double /*t*/) {
  switch (mode) {
    case CM_INIT:
      Prepare();
      return true;
    case CM_CURSTATE:
      TakeState(calc);
      return true;
    case CM_ADJUST:
      return Repair(calc);
    case CM_FILL:
      return Stamp(calc);
    case CM_FLOATING:
      WritePinGroups();
      return true;
    case CM_TO45:
      SetVariant(35, 40);
      return true;
    case CM_FROM45:
      SetVariant(40, 35);
      return true;
    default:
      return true;
  }
}

void CElemL::Prepare() {
  // Only the first start after the engine was set up for a new run takes
  // the ICs; later starts (a new initial solution within the run) go on
  // from the state.
  if (PrevModel() != 0) return;
  SetState(0);
  il_ = FormulaIC(ic_);
  i1_ = FormulaIC(ic1_);
  i2_ = FormulaIC(ic2_);
  for (int i = 0; i < static_cast<int>(currents_.size()); ++i) {
    const CFormula* f = CustomIC(i);
    currents_[static_cast<std::size_t>(i)] = f != nullptr ? FormulaIC(*f) : kNaN;
  }
}

void CElemL::TakeState(CCalc* calc) {
  if (!Stamps()) return;
  for (SWinding& w : Windings()) {
    // A winding of no inductance has no current of its own to keep.
    *w.i = Model() == MC_L && w.L == 0.0 ? kNaN : calc->NodeValue(w.k);
  }
}

bool CElemL::Stamp(CCalc* calc) {
  if (calc->SecondPass() || !Stamps()) return true;
  const bool ok = IsPair() || IsCustom() ? StampCoupled(calc) : StampSingle(calc);
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemL::StampSingle(CCalc* calc) {
  if (ExtraCount() < 1) return true;
  const int a = Node(0), b = Node(1);
  const int k = GetExtraNode(0);
  if (TypeId() == 39 && ExtraCount() >= 2) {
    // The control current runs through a sense short from c to d.
    if (!calc->SetShort(Node(2), Node(3), k + 1, 0.0)) return false;
    calc->SetYzShort(Node(2), Node(3));
  }
  const double l = Inductance();
  if (calc->SolutionKind() == 0) {
    if (std::isnan(il_)) return calc->SetShort(a, b, k, 0.0);
    if (!calc->SetOpen(a, b, k, il_)) return false;
    // The static solution does not read C; the entries state the law
    // di/dt = v / L in this form's unknowns.
    if (l != 0.0) {
      calc->AddReactive(k, a, 1.0 / l);
      calc->AddReactive(k, b, -1.0 / l);
    }
    return true;
  }
  if (std::isinf(l)) return calc->SetOpen(a, b, k, std::isnan(il_) ? 0.0 : il_);
  if (!calc->SetShort(a, b, k, 0.0)) return false;
  calc->AddReactive(k, k, -l);
  return true;
}

bool CElemL::StampCoupled(CCalc* calc) {
  std::vector<SWinding> w = Windings();
  const int n = static_cast<int>(w.size());
  if (calc->SolutionKind() != 0) {
    for (int i = 0; i < n; ++i) {
      if (!calc->SetShort(w[i].p, w[i].q, w[i].k, 0.0)) return false;
      calc->AddReactive(w[i].k, w[i].k, -w[i].L);
    }
    for (int i = 0; i < n; ++i)
      for (int j = i + 1; j < n; ++j) {
        const double m = Mutual(i, j);
        if (m == 0.0) continue;
        calc->AddReactive(w[i].k, w[j].k, -m);
        calc->AddReactive(w[j].k, w[i].k, -m);
      }
    return true;
  }
  // Static: a winding without a current is a short; one with a current
  // carries exactly that current, written as its flux row
  //     L_j x_j + sum over earlier held windings i of M_ij x_i = flux_j
  // with the flux of the held currents on the right, so that every held
  // winding's unknown equals its current. (Custom windings only; the pair
  // writes L x = L i.) A winding of no inductance holds its current
  // directly.
  for (int j = 0; j < n; ++j) {
    const SWinding& wj = w[j];
    if (std::isnan(*wj.i)) {
      if (!calc->SetShort(wj.p, wj.q, wj.k, 0.0)) return false;
      continue;
    }
    calc->AddB(StampNode(wj.p), wj.k, 1.0);
    calc->AddB(StampNode(wj.q), wj.k, -1.0);
    if (wj.L == 0.0 || !std::isfinite(wj.L)) {
      calc->SetB(wj.k, wj.k, 1.0);
      calc->SetU(wj.k, *wj.i);
      continue;
    }
    double flux = wj.L * *wj.i;
    calc->SetB(wj.k, wj.k, wj.L);
    if (IsCustom()) {
      for (int i = 0; i < j; ++i) {
        if (std::isnan(*w[i].i)) continue;
        const double m = Mutual(i, j);
        if (m == 0.0 || !std::isfinite(m)) continue;
        calc->SetB(wj.k, w[i].k, m);
        flux += m * *w[i].i;
      }
    }
    calc->SetU(wj.k, flux);
  }
  return true;
}

bool CElemL::Repair(CCalc* calc) {
  if (!Stamps()) return true;
  const char* message = nullptr;
  // Every winding that needs it is repaired at once: a component gets one
  // repair per initial solution.
  for (SWinding& w : Windings()) {
    if (!std::isnan(*w.i) && (calc->IsUndetermined(w.p) || calc->IsUndetermined(w.q))) {
      // Held, the current meets a cut set of current sources.
      *w.i = kNaN;
      if (message == nullptr) message = " : IC removed";
    } else if (std::isnan(*w.i) && calc->IsUndetermined(w.k)) {
      // Shorted, the winding closes a loop of voltage sources.
      *w.i = 0.0;
      if (message == nullptr) message = " : IC added";
    }
  }
  if (message == nullptr) return true;
  calc->SetError(GetFullName() + message);
  return false;
}

void CElemL::WritePinGroups() {
  const int n = PinCount();
  if (n < 2) return;
  int* group = Nodes() + n;
  group[0] = 1;
  group[1] = 1;
  if (IsCustom()) {
    for (int p = 2; p + 1 < n; p += 2) group[p] = group[p + 1] = p / 2 + 1;
  } else if (n >= 4 && TypeId() == 38) {
    group[2] = 2;
    group[3] = 3;
  } else if (n >= 4) {  // L_CCL's sense short, L_CL's second winding
    group[2] = 2;
    group[3] = 2;
  }
}

void CElemL::SetVariant(int from, int to) {
  if (TypeId() != from) return;
  // Records 0 and 5 of the class's array are the plain and the 45-degree
  // inductor; both have the same pins and models.
  SetType(&m_elemtype[to == 40 ? 5 : 0]);
  SetTypeId(to);
}

bool CElemL::CheckZone(CCalc* calc, bool final, bool& changed) {
  if (Model() != MC_PWL || Pwl() == nullptr || IsPair() || IsCustom() || ExtraCount() < 1)
    return true;
  CPWL* table = Pwl();
  const int k = GetExtraNode(0);
  const double i = calc->NodeValue(k);
  if (IsPlain(TypeId())) {
    changed = table->CheckPWL(i, final);
    return true;
  }
  const double control = TypeId() == 38 ? calc->NodeValue(Node(3)) - calc->NodeValue(Node(2))
                                        : (ExtraCount() >= 2 ? calc->NodeValue(k + 1) : 0.0);
  // The flux L i is the same just before and after the change.
  double kept = i;
  bool rescaled = false;
  changed = table->CheckControlled(control, final, &kept, &rescaled);
  if (rescaled) {
    il_ = kept;
    calc->RequestIC(this);
  }
  return true;
}

bool CElemL::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                           double& k) {
  n1 = PinCount() > 0 ? Node(0) : 0;
  n2 = PinCount() > 1 ? Node(1) : 0;
  if (Reversed(0)) std::swap(n1, n2);
  extra = FirstExtra();
  k = 0.0;
  return true;
}

// --- State texts ----------------------------------------------------------------------

AnsiString CElemL::GetState() {
  AnsiString s;
  if (IsPair()) {
    add_csv_hex(s, "i1", i1_);
    add_csv_hex(s, "i2", i2_);
  } else if (IsCustom()) {
    for (int i = 0; i < static_cast<int>(currents_.size()); ++i)
      add_csv_hex(s, AnsiString("i") + std::to_string(i + 1),
                  currents_[static_cast<std::size_t>(i)]);
  } else {
    add_csv_hex(s, "i", il_);
  }
  return s;
}

AnsiString CElemL::SaveIC(bool all) {
  // (state name, IC name, IC formula) of every winding.
  struct SEntry {
    AnsiString state, ic;
    CFormula* formula;
  };
  std::vector<SEntry> entries;
  if (IsPair()) {
    entries.push_back({"i1", "IC1", &ic1_});
    entries.push_back({"i2", "IC2", &ic2_});
  } else if (IsCustom()) {
    for (int i = 0; i < static_cast<int>(currents_.size()); ++i) {
      const AnsiString n = std::to_string(i + 1);
      entries.push_back({AnsiString("i") + n, AnsiString("IC") + n, CustomIC(i)});
    }
  } else {
    entries.push_back({"i", "IC", &ic_});
  }
  const AnsiString state = all ? GetState() : AnsiString();
  AnsiString s;
  for (const SEntry& e : entries) {
    if (!all) {
      add_csv(s, e.ic);
      continue;
    }
    const double v = get_csv_hex(state, e.state, 0.0);
    if (e.formula != nullptr) e.formula->SetVal(v);
    add_csv_double(s, e.ic, v);
  }
  return s;
}

void CElemL::CirTools(SCirTools* tools) {
  if (tools == nullptr) return;
  if (tools->command == 1) {
    std::vector<CFormula*> ics = {&ic_, &ic1_, &ic2_};
    for (int i = 0; i < windings_; ++i)
      if (CFormula* f = CustomIC(i); f != nullptr) ics.push_back(f);
    for (CFormula* f : ics) {
      if (tools->sub == 0)
        f->SetEmpty();
      else if (tools->sub == 1)
        f->SetVal(0.0);
    }
    return;
  }
  std::vector<CFormula*> inductances;
  if (IsPair()) {
    inductances = {&l1_, &l2_};
  } else if (IsCustom()) {
    for (int i = 0; i < windings_; ++i)
      inductances.push_back(&custom_[static_cast<std::size_t>(i)]);
  } else if (IsPlain(TypeId())) {
    inductances = {&l_};
  }
  // A zero or non-finite factor or divisor would leave no usable
  // inductance: the command then leaves L as it is.
  auto usable = [](double f) { return f != 0.0 && std::isfinite(f); };
  for (CFormula* f : inductances) {
    if (tools->command == 4 && tools->sub == 1) {
      if (usable(tools->value)) f->SetVal(f->Value() / tools->value);
    } else if (tools->command == 4 && tools->sub == 2) {
      if (usable(tools->value * tools->value))
        f->SetVal(f->Value() / (tools->value * tools->value));
    } else if (tools->command == 5) {
      if (usable(tools->value2)) f->SetVal(f->Value() * tools->value2);
    }
  }
}
