#include "elements/ElemR.h"

#include <cmath>

#include "circuit/CirTools.h"
#include "doc/xml.h"
#include "engine/Calc.h"

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

// An ideal short between a and b carrying its current in unknown k: the
// tie lets the engine give both nodes exactly the same voltage.
bool StampShort(CCalc* calc, int a, int b, int k) {
  calc->SetYzShort(a, b);
  return calc->SetShort(a, b, k, 0.0);
}

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
  // The V(I) stamp puts the slope on the diagonal: an infinite resistance
  // there would make the whole row meaningless.
  pwli_.infinite_allowed = false;
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

bool CElemR::CheckParams(CCalc* calc) {
  bool ok = true;
  auto fail = [&](const char* message) {
    if (calc != nullptr) calc->SetCmpError(this, message);
    ok = false;
  };
  switch (Model()) {
    case MC_R:
      if (r_.Error()) fail("R : formula error");
      break;
    case MC_POTENTIOMETER:
      if (r_.Error()) fail("R : formula error");
      if (position_.Error()) {
        fail("Position : formula error");
      } else if (position_.Value() < 0.0) {
        fail("Position < 0");
      } else if (position_.Value() > 1.0) {
        fail("Position > 1");
      }
      break;
    default:
      break;
  }
  return ok;
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

// In the AC analysis the resistor stamps exactly what it stamps in a
// transient step: its conductance, or for the PWL, PWL-I, voltage- and
// current-controlled models the slope of the segment it is on (taken at
// the operating point when one is computed, else the segment its zone
// starts in). A segment's offset goes into the constant vector, which the
// AC analysis leaves out, so only the slope counts. Mode 12 has nothing
// to change and answers true like every mode it does not use.
bool CElemR::CalcFunc(CCalc* calc, int mode, double /*t*/) {
  switch (mode) {
    case CM_INIT:
      return Prepare(calc);
    case CM_CLEAR:
      pwli_.ClearPWL();
      return true;
    case CM_FILL:
      return Stamp(calc);
    case CM_FLOATING:
      WritePinGroups();
      return true;
    case CM_TO45:
      SetVariant(51, 55);
      return true;
    case CM_FROM45:
      SetVariant(55, 51);
      return true;
    default:
      return true;
  }
}

bool CElemR::Prepare(CCalc* calc) {
  const bool changed = Model() != PrevModel();
  if (changed) SetState(0);
  switch (Model()) {
    case MC_PWL_I:
      if (changed) pwli_.ClearPWL();
      return pwli_.InitPWL(calc);
    case MC_PWL: {
      // The engine has built the common table already (a rebuild of the
      // same text costs nothing); built here too so that the table always
      // exists once a simulation runs. The I(V) stamp cannot take an
      // infinite conductance: the offsets beyond it would be undefined.
      CPWL* pwl = CPWL::Of(this);
      if (pwl != nullptr && IsPlain()) pwl->infinite_allowed = false;
      return InitCmpPWL(calc, this);
    }
    default:
      return true;
  }
}

bool CElemR::Stamp(CCalc* calc) {
  if (calc->SecondPass()) return true;  // needs no other element's stamps
  bool ok = true;
  switch (Model()) {
    case MC_R: {
      const double r = r_.Value();
      // R = 0 without its unknown (R changed to 0 after the unknowns were
      // counted) goes to SetR, which refuses it as "Zero resistance".
      if (r == 0.0 && ExtraCount() >= 1) {
        ok = StampShort(calc, Node(0), Node(1), GetExtraNode(0));
      } else {
        ok = calc->SetR(Node(0), Node(1), r);
      }
      break;
    }
    case MC_POTENTIOMETER:
      ok = StampPot(calc);
      break;
    case MC_PWL:
    case MC_PWL_I:
      ok = StampPwl(calc);
      break;
    default:
      break;
  }
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemR::StampPot(CCalc* calc) {
  const int a = Node(0), b = Node(1), w = Node(2);
  const int k = GetExtraNode(0);
  const double r = r_.Value(), p = position_.Value();
  // As for "R", a missing unknown leaves a zero part to SetR's refusal.
  if (r == 0.0 && ExtraCount() >= 2) {
    return StampShort(calc, a, w, k) && StampShort(calc, w, b, k + 1);
  }
  if (p <= 0.0 && ExtraCount() >= 1) return StampShort(calc, a, w, k) && calc->SetR(w, b, r);
  if (p >= 1.0 && ExtraCount() >= 1) return calc->SetR(a, w, r) && StampShort(calc, w, b, k);
  return calc->SetR(a, w, r * p) && calc->SetR(w, b, (1.0 - p) * r);
}

bool CElemR::StampPwl(CCalc* calc) {
  const int a = Node(0), b = Node(1);
  const int k = GetExtraNode(0);
  CPWL* table = Model() == MC_PWL_I ? &pwli_ : Pwl();
  double K = 0.0, U = 0.0;
  if (table != nullptr) table->GetKU(K, U);
  if (Model() == MC_PWL_I) {
    // Row k: v - K i = U, the present zone's line of V(I).
    if (!calc->SetShort(a, b, k, U)) return false;
    calc->SetB(k, k, -K);
    return true;
  }
  switch (TypeId()) {
    case 53:
      return calc->SetSwitchR(a, b, k, K);
    case 54:
      // The control current runs through a sense short from c to d.
      if (!calc->SetShort(Node(2), Node(3), k + 1, 0.0)) return false;
      calc->SetYzShort(Node(2), Node(3));
      return calc->SetSwitchR(a, b, k, K);
    default:
      // Row k: i - K v = U, the present zone's line of I(V).
      if (!calc->SetVCCS(b, a, a, b, k, K)) return false;
      calc->SetU(k, U);
      return true;
  }
}

void CElemR::WritePinGroups() {
  // Pins joined by a conducting path share a code; an infinite
  // resistance joins nothing, so that a node hanging on it alone is seen
  // as floating.
  const int n = PinCount();
  int* group = Nodes() + n;
  const double r = r_.Value();
  switch (TypeId()) {
    case 52: {
      const double p = position_.Value();
      const bool aw = r == 0.0 || p <= 0.0 || std::isfinite(r * p);
      const bool wb = r == 0.0 || p >= 1.0 || std::isfinite((1.0 - p) * r);
      group[0] = 1;
      group[2] = aw ? 1 : 2;
      group[1] = wb ? group[2] : 3;
      break;
    }
    case 53:
      group[0] = 1;
      group[1] = 1;
      group[2] = 2;
      group[3] = 3;
      break;
    case 54:
      group[0] = 1;
      group[1] = 1;
      group[2] = 2;
      group[3] = 2;
      break;
    default:
      group[0] = 1;
      group[1] = Model() == MC_R && std::isinf(r) ? 2 : 1;
      break;
  }
}

void CElemR::SetVariant(int from, int to) {
  if (TypeId() != from) return;
  // Records 0 and 4 of the class's array are the plain and the 45-degree
  // resistor; both have the same pins and models.
  SetType(&m_elemtype[to == 55 ? 4 : 0]);
  SetTypeId(to);
}

CPWL* CElemR::ZoneTable() {
  if (Model() == MC_PWL) return Pwl();
  if (Model() == MC_PWL_I) return &pwli_;
  return nullptr;
}

bool CElemR::CheckState(CCalc* calc, bool update) {
  if (!IsPlain()) return false;
  CPWL* table = ZoneTable();
  if (table == nullptr) return false;
  const double* x = calc->X();
  const double v = Model() == MC_PWL_I ? x[GetExtraNode(0)] : x[Node(1)] - x[Node(0)];
  return table->CheckPWL(v, update);
}

bool CElemR::CheckZone(CCalc* calc, bool final, bool& changed) {
  if ((TypeId() != 53 && TypeId() != 54) || Model() != MC_PWL || Pwl() == nullptr) return true;
  const double* x = calc->X();
  const double v = TypeId() == 53 ? x[Node(3)] - x[Node(2)] : x[GetExtraNode(1)];
  changed = Pwl()->CheckPWL(v, final);
  return true;
}

bool CElemR::GetMinMaxState(int& min, int& max) {
  if (!IsPlain()) return false;
  CPWL* table = ZoneTable();
  if (table == nullptr || !table->IsBuilt()) return false;
  min = table->MinZone();
  max = table->MaxZone();
  return max > min;
}

bool CElemR::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                           double& k) {
  n1 = Node(0);
  n2 = Node(1);
  extra = FirstExtra();
  k = Model() == MC_R ? r_.Value() : 0.0;
  return true;
}

void CElemR::CirTools(SCirTools* tools) {
  if (tools == nullptr || Model() != MC_R) return;
  // A zero or non-finite factor or divisor would leave no usable
  // resistance: the command then leaves R as it is.
  auto usable = [](double f) { return f != 0.0 && std::isfinite(f); };
  if (tools->command == 4 && tools->sub == 2) {
    if (usable(tools->value)) r_.SetVal(r_.Value() / tools->value);
  } else if (tools->command == 4 && tools->sub == 3) {
    if (usable(tools->value)) r_.SetVal(r_.Value() * tools->value);
  } else if (tools->command == 5) {
    if (usable(tools->value2)) r_.SetVal(r_.Value() * tools->value2);
  }
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
