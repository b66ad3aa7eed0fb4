#include "elements/ElemD.h"

#include <cmath>

#include "base/Lists.h"
#include "base/globals.h"
#include "circuit/CirTools.h"
#include "doc/xml.h"
#include "engine/Calc.h"
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

// Type ids.
enum : int {
  kTypeD = 11, kTypeZ = 12, kTypeZS = 13, kTypeVCT = 14, kTypeCCT = 15, kTypeLCT = 16,
  kTypeBR = 17, kTypeRing = 18, kTypeD45 = 19, kTypeZ45 = 20, kTypeZS45 = 21,
};

// The 45-degree variants are drawn differently and simulate exactly as
// their plain types: a zener drawn at 45 degrees is still a zener.
enum Kind { kDiode, kZener, kZenerS, kBridge, kThyristor };

Kind KindOf(int type_id) {
  switch (type_id) {
    case kTypeZ:
    case kTypeZ45:
      return kZener;
    case kTypeZS:
    case kTypeZS45:
      return kZenerS;
    case kTypeBR:
    case kTypeRing:
      return kBridge;
    case kTypeVCT:
    case kTypeCCT:
    case kTypeLCT:
      return kThyristor;
    default:
      return kDiode;
  }
}

// The four diodes of the bridge and the ring as (cathode pin, anode pin):
// diode i conducts from its anode to its cathode, current in unknown k + i.
constexpr int m_bridge_pins[4][2] = {{2, 0}, {3, 0}, {1, 2}, {1, 3}};
constexpr int m_ring_pins[4][2] = {{2, 0}, {0, 3}, {1, 2}, {3, 1}};

// Unconnected pins carry negative node numbers; they read as ground.
inline double NodeV(const CCalc* calc, int node) { return calc->X()[node < 0 ? 0 : node]; }

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
        case kTypeZ:
        case kTypeZ45: p = m_param_z; break;
        case kTypeZS:
        case kTypeZS45: p = m_param_zs; break;
        case kTypeBR:
        case kTypeRing: p = m_param_br; break;
        case kTypeLCT: p = m_param_lct; break;
        case kTypeVCT: p = m_param_vct; break;
        case kTypeCCT: p = m_param_cct; break;
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

int CElemD::GetCmpPinType(int pin) const { return TypeId() == kTypeLCT && pin == 2 ? 2 : 1; }

// --- Parameters -------------------------------------------------------------------

bool CElemD::CheckParams(CCalc* calc) {
  bool ok = true;
  auto fail = [&](const char* message) {
    if (calc != nullptr) calc->SetCmpError(this, message);
    ok = false;
  };
  // name : formula error, else name = infinite (when refused), else name < 0.
  auto check = [&](const CFormula& f, const char* name, bool finite, bool positive) {
    const std::string n(name);
    if (f.Error()) {
      fail((n + " : formula error").c_str());
    } else if (finite && std::isinf(f.Value())) {
      fail((n + " = infinite").c_str());
    } else if (positive && f.Value() < 0.0) {
      fail((n + " < 0").c_str());
    }
  };
  const Kind kind = KindOf(TypeId());
  const int model = Model();
  // An infinite forward voltage is allowed: such a diode never conducts.
  if ((model == MC_DIODE && kind != kZenerS) || model == MC_STORAGE)
    check(vd_, "Vd", false, true);
  if (model == MC_DIODE && (kind == kZener || kind == kZenerS)) check(v_, "V", false, true);
  if (model == MC_DIODE && kind == kThyristor) {
    check(ihold_, "Ihold", false, true);
    if (TypeId() != kTypeLCT) check(thr_, "Threshold", true, false);
  }
  if (model == MC_STORAGE || model == MC_SOFT) {
    check(t_, "t", true, true);
    check(icq_, "ICQ", true, true);
  }
  if (model == MC_SOFT) check(ts_, "tsr", true, true);
  return ok;
}

// --- Engine hook ------------------------------------------------------------------

// In the AC analysis a diode stamps its present zone through SetD: a
// conducting branch is an ideal short (its forward voltage is a constant
// and drops out), an off branch is open; zeners, the bridge, the ring and
// the thyristors likewise, a PWL diode at its segment's slope. The zones
// are those of mode 0 (the IC), or of the operating point when one is
// computed. The Storage charge row is stamped in transient analysis only:
// in AC it stays empty and the elimination makes the charge 0; Soft takes
// its non-transient form. Mode 12 answers true: nothing else to change.
bool CElemD::CalcFunc(CCalc* calc, int mode, double /*t*/) {
  switch (mode) {
    case CM_INIT:
      return Prepare(calc);
    case CM_CURSTATE:
      if (Model() == MC_STORAGE || Model() == MC_SOFT) q_ = calc->X()[GetExtraNode(1)];
      return true;
    case CM_FILL:
      return Stamp(calc);
    case CM_EMPTY_ROWS:
      return FillEmptyRows(calc);
    case CM_FLOATING:
      WritePinGroups();
      return true;
    case CM_TO45:
      SetVariant(true);
      return true;
    case CM_FROM45:
      SetVariant(false);
      return true;
    default:
      return true;
  }
}

bool CElemD::Prepare(CCalc* calc) {
  if (Model() == MC_PWL) {
    // The I(V) stamp cannot take an infinite conductance: the offsets of
    // the zones beyond it would be undefined. The engine has built the
    // table already; a changed flag rebuilds it here.
    CPWL* pwl = CPWL::Of(this);
    if (pwl != nullptr) pwl->infinite_allowed = false;
    if (!InitCmpPWL(calc, this)) return false;
  }
  // A component keeps its zone while its model stays the one it was last
  // initialised with.
  if (Model() == PrevModel()) return true;
  SetState(0);
  const bool vd_inf = std::isinf(vd_.Value());
  switch (Model()) {
    case MC_DIODE:
      switch (KindOf(TypeId())) {
        case kDiode:
          SetState(vd_inf ? 0 : ic_);
          break;
        case kZener: {
          const int zone = zic_ - 1;
          const bool blocked = (zone == 1 && vd_inf) || (zone == -1 && std::isinf(v_.Value()));
          SetState(blocked ? 0 : zone);
          break;
        }
        case kZenerS:
          SetState(std::isinf(v_.Value()) ? 0 : zic_ - 1);
          break;
        case kThyristor:
          SetState(vd_inf ? 0 : ic_);
          gate_ = !vd_inf && ic_ > 0 ? 2 : 0;
          break;
        case kBridge:
          break;  // all four diodes off
      }
      break;
    case MC_STORAGE:
    case MC_SOFT:
      gate_ = 0;
      SetState(ic_);
      recovery_ = 0.0;
      // A diode that starts off, or has no charge storage, starts empty.
      q_ = t_.Value() > 0.0 && ic_ != 0 ? icq_.Value() : 0.0;
      break;
    default:
      break;
  }
  return true;
}

bool CElemD::Mark(CCalc* calc) const { return calc->SpecialCmp() == this; }

bool CElemD::Stamp(CCalc* calc) {
  // Every stamp is written once, in the first pass: it needs no other
  // element's stamps, and a second copy would double the branch.
  if (calc->SecondPass()) return true;
  bool ok = true;
  const int k = GetExtraNode(0);
  switch (Model()) {
    case MC_PWL: {
      double K = 0.0, U = 0.0;
      if (Pwl() != nullptr) Pwl()->GetKU(K, U);
      // Row k: i - K v = U, the present zone's line of I(V).
      ok = calc->SetVCCS(Node(1), Node(0), Node(0), Node(1), k, K);
      if (ok) calc->SetU(k, U);
      break;
    }
    case MC_STORAGE:
    case MC_SOFT:
      ok = StampCharge(calc);
      break;
    case MC_DIODE:
      if (KindOf(TypeId()) == kBridge) {
        const auto& pins = TypeId() == kTypeBR ? m_bridge_pins : m_ring_pins;
        const double vd = vd_.Value();
        const bool mark = Mark(calc);
        for (int i = 0; i < 4 && ok; ++i) {
          const bool on = (State() >> i & 1) != 0;
          ok = calc->SetD(Node(pins[i][0]), Node(pins[i][1]), k + i, on, vd, mark);
        }
      } else {
        ok = StampSingle(calc);
      }
      break;
    default:
      break;
  }
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemD::StampSingle(CCalc* calc) {
  const int a = Node(0), b = Node(1), k = GetExtraNode(0);
  const int zone = State();
  double V = vd_.Value();
  bool on = zone != 0;
  switch (KindOf(TypeId())) {
    case kZener:
      if (zone < 0) V = -v_.Value();
      break;
    case kZenerS:
      V = zone < 0 ? -v_.Value() : v_.Value();
      break;
    case kThyristor:
      if (TypeId() == kTypeCCT) {
        // The gate current runs through a sense short between N2 and N3.
        if (!calc->SetShort(Node(2), Node(3), k + 1, 0.0)) return false;
        calc->SetYzShort(Node(2), Node(3));
      }
      on = on && gate_ != 0;
      break;
    default:
      break;
  }
  return calc->SetD(a, b, k, on, V, Mark(calc));
}

// The charge row k2 = k + 1 (transient only): held at q in the static
// solution, dq/dt = i - q/t while stepping (t > 0), q = 0 without storage.
bool CElemD::StampCharge(CCalc* calc) {
  const int a = Node(0), b = Node(1), k = GetExtraNode(0), k2 = GetExtraNode(1);
  const int zone = State();
  const double t = t_.Value();
  const bool stepping = calc->SolutionKind() != 0;
  auto charge_row = [&]() {
    if (!stepping) {
      calc->SetB(k2, k2, 1.0);
      calc->SetU(k2, q_);
    } else if (t <= 0.0) {
      calc->SetB(k2, k2, -1.0);
    } else {
      calc->SetB(k2, k, 1.0);
      if (std::isfinite(t)) calc->SetB(k2, k2, -1.0 / t);
      calc->SetC(k2, k2, -1.0);
    }
  };
  // Outside a transient run no charge is stored: q = 0.
  auto no_charge = [&]() {
    calc->SetB(k2, k2, -1.0);
    calc->SetU(k2, 0.0);
  };

  if (Model() == MC_STORAGE) {
    // Reverse conduction (zone -1) is the stored charge flowing out: no
    // forward voltage then.
    if (!calc->SetD(a, b, k, zone != 0, zone == -1 ? 0.0 : vd_.Value(), false)) return false;
    if (calc->IsTransient())
      charge_row();
    else
      no_charge();
    return true;
  }

  // Soft.
  if (!calc->IsTransient() || t <= 0.0 || zone == 0) {
    if (!calc->SetD(a, b, k, zone != 0, vd_.Value(), false)) return false;
    no_charge();
    return true;
  }
  if (gate_ == 0) {
    // Conducting and charging.
    if (!calc->SetShort(a, b, k, vd_.Value())) return false;
    charge_row();
    return true;
  }
  // Recovery: the branch current is -q/ts, and the charge decays towards
  // ts times the small recovery current, which takes it through zero.
  const double ts = ts_.Value();
  if (!calc->SetVCCS(b, a, k2, 0, k, 1.0 / ts)) return false;
  calc->SetU(k2, -recovery_);
  if (stepping) {
    calc->SetB(k2, k2, -1.0 / ts);
    calc->SetC(k2, k2, -1.0);
  } else {
    calc->SetB(k2, k2, 1.0);
    calc->SetU(k2, q_);
  }
  return true;
}

bool CElemD::BranchOff() const {
  switch (Model()) {
    case MC_DIODE:
      return State() == 0 || (KindOf(TypeId()) == kThyristor && gate_ == 0);
    case MC_STORAGE:
    case MC_SOFT:
      return State() == 0;
    default:
      return false;  // a PWL branch always has its row
  }
}

bool CElemD::FillEmptyRows(CCalc* calc) {
  if (Model() == MC_PWL) return true;
  const unsigned char* xzero = calc->Xzero();
  unsigned char** marks = calc->BMarks();
  const int N = calc->Size();
  auto empty = [&](int node) {
    return node > 0 && node < N && xzero[node] == 0 && marks[node][0] == 0;
  };
  // An open branch whose node has nothing else gets a very large
  // resistance (0.1 / zero, 1e11 Ohm by default), so that the node has a
  // value instead of an empty row.
  const double r = 0.1 / calc->Zero();
  bool added = false;
  auto bridge_off = [&](int a, int b) {
    if (!empty(a) && !empty(b)) return;
    calc->SetR(a, b, r);
    added = true;
  };
  if (KindOf(TypeId()) == kBridge && Model() == MC_DIODE) {
    const auto& pins = TypeId() == kTypeBR ? m_bridge_pins : m_ring_pins;
    for (int i = 0; i < 4; ++i)
      if ((State() >> i & 1) == 0) bridge_off(Node(pins[i][0]), Node(pins[i][1]));
  } else if (BranchOff()) {
    bridge_off(Node(0), Node(1));
  }
  return !added;
}

void CElemD::WritePinGroups() {
  const int n = PinCount();
  if (n <= 0) return;
  int* group = Nodes() + n;
  for (int p = 0; p < n; ++p) group[p] = 1;
  switch (TypeId()) {
    case kTypeLCT:
      group[2] = 2;
      break;
    case kTypeVCT:
      group[2] = 2;
      group[3] = 3;
      break;
    case kTypeCCT:
      group[2] = 2;
      group[3] = 2;
      break;
    default:
      break;
  }
}

void CElemD::SetVariant(bool to45) {
  // Records 0..2 of the class's array are D_D, D_Z, D_ZS and records 8..10
  // their 45-degree variants, in the same order.
  static constexpr int plain[3] = {kTypeD, kTypeZ, kTypeZS};
  static constexpr int drawn[3] = {kTypeD45, kTypeZ45, kTypeZS45};
  for (int i = 0; i < 3; ++i) {
    if (TypeId() != (to45 ? plain[i] : drawn[i])) continue;
    SetType(&m_elemtype[to45 ? 8 + i : i]);
    SetTypeId(to45 ? drawn[i] : plain[i]);
    return;
  }
}

// --- Zones ------------------------------------------------------------------------

bool CElemD::CheckState(CCalc* calc, bool update) {
  const int a = Node(0), b = Node(1), k = GetExtraNode(0);
  int zone = State();
  bool changed = false;
  switch (Model()) {
    case MC_PWL:
      if (Pwl() == nullptr) return false;
      return Pwl()->CheckPWL(NodeV(calc, b) - NodeV(calc, a), update);
    case MC_STORAGE:
      // Reverse conduction is allowed while charge is stored.
      changed = calc->CheckDState(update, &zone, a, b, k, vd_.Value(), 0.0, gate_ != 0);
      break;
    case MC_SOFT:
      // A conducting Soft diode with charge storage leaves its zone through
      // the charge watch (CheckZone), not through its current.
      if (State() != 0 && t_.Value() > 0.0) return false;
      gate_ = 0;
      changed = calc->CheckDState(update, &zone, a, b, k, vd_.Value(), 0.0, false);
      break;
    case MC_DIODE:
      switch (KindOf(TypeId())) {
        case kDiode:
          changed = calc->CheckDState(update, &zone, a, b, k, vd_.Value(), 0.0, false);
          break;
        case kZener:
          changed = calc->CheckDState(update, &zone, a, b, k, vd_.Value(), -v_.Value(), true);
          break;
        case kZenerS:
          changed = calc->CheckDState(update, &zone, a, b, k, v_.Value(), -v_.Value(), true);
          break;
        case kBridge:
          return CheckFourDiodes(calc, update);
        case kThyristor: {
          if (gate_ == 0) return false;  // no gate: stays off
          changed = calc->CheckDState(update, &zone, a, b, k, vd_.Value(), 0.0, false);
          if (gate_ == 2) {
            // Latched: holds while the current exceeds Ihold and the
            // thyristor is not reverse biased.
            const double* x = calc->X();
            const bool released =
                !(x[k] > ihold_.Value() && NodeV(calc, b) - NodeV(calc, a) >= 0.0);
            changed = changed || released;
            if (released && update) {
              // Released: off until the gate fires again. The zone goes
              // with it, so that the engine sees the change in the zones.
              gate_ = 0;
              zone = 0;
            }
          }
          break;
        }
      }
      break;
    default:
      return false;
  }
  if (update) SetState(zone);
  return changed;
}

bool CElemD::CheckFourDiodes(CCalc* calc, bool commit) {
  const auto& pins = TypeId() == kTypeBR ? m_bridge_pins : m_ring_pins;
  const int k = GetExtraNode(0);
  const double vd = vd_.Value();
  bool any = false;
  for (int i = 0; i < 4; ++i) {
    int bit = State() >> i & 1;
    const bool changed =
        calc->CheckDState(commit, &bit, Node(pins[i][0]), Node(pins[i][1]), k + i, vd, 0.0, false);
    if (commit) SetState((State() & ~(1 << i)) | (bit != 0 ? 1 << i : 0));
    if (!changed) continue;
    any = true;
    if (!commit || calc->OneAtATime()) return true;
  }
  return any;
}

bool CElemD::CheckZone(CCalc* calc, bool final, bool& changed) {
  if (Model() == MC_DIODE && KindOf(TypeId()) == kThyristor)
    return CheckThyristorGate(calc, final, changed);
  if ((Model() == MC_STORAGE || Model() == MC_SOFT) && t_.Value() > 0.0)
    return CheckCharge(calc, final, changed);
  return true;
}

bool CElemD::CheckThyristorGate(CCalc* calc, bool final, bool& changed) {
  const double* x = calc->X();
  const int k = GetExtraNode(0);
  bool fired = false;  // the gate drive is above its threshold
  switch (TypeId()) {
    case kTypeVCT:
      fired = NodeV(calc, Node(3)) - NodeV(calc, Node(2)) - thr_.Value() > 0.0;
      break;
    case kTypeCCT:
      fired = x[GetExtraNode(1)] - thr_.Value() > 0.0;
      break;
    default:  // D_LCT: a logic input against the document's threshold
      fired = calc->GetLogical(Node(2));
      break;
  }
  if (gate_ == 1 && !fired) {
    changed = true;
    if (final) {
      // The gate is removed: a thyristor carrying more than its holding
      // current latches; otherwise it turns off.
      gate_ = x[k] > ihold_.Value() ? 2 : 0;
      if (gate_ == 0) SetState(0);
    }
  } else if (gate_ != 1 && fired) {
    changed = true;
    if (final) gate_ = 1;
  }
  return true;
}

bool CElemD::CheckCharge(CCalc* calc, bool final, bool& changed) {
  const double* x = calc->X();
  const int k = GetExtraNode(0);
  const double q = x[GetExtraNode(1)];  // A*s
  if (Model() == MC_STORAGE) {
    if (gate_ == 0 && q > 0.0) {
      changed = true;
      if (final) gate_ = 1;
    } else if (gate_ == 1 && q < 0.0) {
      changed = true;
      if (final) {
        gate_ = 0;
        if (State() == -1) SetState(0);  // reverse recovery has ended
      }
    }
    return true;
  }
  // Soft, while conducting or recovering.
  if (State() == 0) return true;
  if (q > 0.0) {
    if (gate_ == 0 && -x[k] * ts_.Value() >= q) {
      // The reverse current could empty the charge within ts: recovery.
      changed = true;
      if (final) {
        gate_ = 1;
        recovery_ = 0.01 * x[k];
      }
    } else if (gate_ == 1 && NodeV(calc, Node(1)) - NodeV(calc, Node(0)) >= vd_.Value()) {
      changed = true;
      if (final) gate_ = 0;  // forward again before the charge was gone
    }
  } else {
    changed = true;
    if (final) SetState(0);  // the charge is gone: off
  }
  return true;
}

bool CElemD::GetMinMaxState(int& min, int& max) {
  switch (Model()) {
    case MC_PWL:
      if (Pwl() == nullptr || !Pwl()->IsBuilt()) return false;
      min = Pwl()->MinZone();
      max = Pwl()->MaxZone();
      break;
    case MC_DIODE:
      switch (KindOf(TypeId())) {
        case kZener:
        case kZenerS:
          min = -1;
          max = 1;
          break;
        case kBridge:
          min = 0;
          max = 15;
          break;
        case kThyristor:
          min = 0;
          max = gate_ != 0 ? 1 : 0;
          break;
        case kDiode:
          min = 0;
          max = 1;
          break;
      }
      break;
    case MC_STORAGE:
      min = t_.Value() > 0.0 && gate_ > 0 ? -1 : 0;
      max = 1;
      break;
    case MC_SOFT:
      if (State() != 0) return false;
      min = 0;
      max = 1;
      break;
    default:
      return false;
  }
  return max > min;
}

// --- Traces -----------------------------------------------------------------------

bool CElemD::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                           double& k) {
  if (KindOf(TypeId()) == kBridge) return false;
  n1 = Node(0);
  n2 = Node(1);
  extra = FirstExtra();
  k = 0.0;
  return true;
}

void CElemD::GetTraceData(CCalc* calc, int /*kind*/, double* v, double* v2) {
  if (v2 != nullptr) *v2 = 0.0;
  *v = 0.0;
  if (KindOf(TypeId()) != kBridge || calc == nullptr || ExtraCount() < 4) return;
  // Power has no AC form here: like every power trace, it records 0 there.
  if (!calc->IsTransient()) return;
  const auto& pins = TypeId() == kTypeBR ? m_bridge_pins : m_ring_pins;
  const double* x = calc->X();
  const int k = GetExtraNode(0);
  for (int i = 0; i < 4; ++i) {
    const double u = NodeV(calc, Node(pins[i][1])) - NodeV(calc, Node(pins[i][0]));
    *v += u * x[k + i];
  }
}

// --- Editing and initial conditions -------------------------------------------------

void CElemD::CirTools(SCirTools* tools) {
  if (tools == nullptr) return;
  const bool bridge = KindOf(TypeId()) == kBridge;
  if (tools->command == 1 && tools->sub == 0) {
    ic_ = 0;
    zic_ = 1;
  } else if (tools->command == 1 && tools->sub == 1 && !bridge) {
    ic_ = 1;
  } else if (tools->command == 2 && tools->flag &&
             (bridge || TypeId() == kTypeD || TypeId() == kTypeD45)) {
    vd_.SetVal(tools->value);
  }
}

AnsiString CElemD::GetState() {
  AnsiString s;
  add_csv_int(s, "s", State());
  if (Model() == MC_STORAGE || Model() == MC_SOFT) add_csv_hex(s, "q", q_);
  return s;
}

AnsiString CElemD::SaveIC(bool all) {
  const AnsiString state = GetState();
  AnsiString ic;
  // The PWL model and the bridge and ring have no initial state to set.
  if (state.IsEmpty() || Model() == MC_PWL || Model() == MC_SUBCIR) return ic;
  const Kind kind = KindOf(TypeId());
  if (kind == kBridge) return ic;
  const int s = get_csv_int(state, "s", 0);
  if (kind == kZener || kind == kZenerS) {
    if (all) {
      zic_ = s + 1;
      TStringList texts;
      for (const char* const* t = m_zic_text; *t != nullptr; ++t) texts.Add(*t);
      add_csv_text(ic, "IC", texts, zic_);
    } else {
      add_csv(ic, "IC");
    }
    return ic;
  }
  if (all) {
    ic_ = s;
    add_csv_offon(ic, "IC", ic_);
  } else {
    add_csv(ic, "IC");
  }
  if (Model() == MC_STORAGE || Model() == MC_SOFT) {
    if (all) {
      icq_.SetVal(get_csv_hex(state, "q", 0.0));
      add_csv_double(ic, "ICQ", icq_.Value());
    } else {
      add_csv(ic, "ICQ");
    }
  }
  return ic;
}

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
