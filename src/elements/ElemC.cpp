#include "elements/ElemC.h"

#include <limits>

#include "base/globals.h"
#include "circuit/CirTools.h"
#include "doc/xml.h"
#include "elements/PWL.h"
#include "engine/Calc.h"

namespace {

CParam m_param_c[] = {CParam(PK_FORMULA, "C", "F"), CParam(PK_FORMULA, "IC", "V"), CParam()};
CParam m_param_c_pwl[] = {CParam(PK_PWL, "pwl", ""), CParam(PK_FORMULA, "IC", "V"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

bool CElemC::CheckParams(CCalc* calc) {
  if (Model() == MC_C && c_.Error()) {
    if (calc != nullptr) calc->SetCmpError(this, "C : formula error");
    return false;
  }
  return true;
}

int CElemC::GetCmpPinType(int pin) const {
  if (pin < 2) return 5;
  return TypeId() == 8 ? 2 : 1;
}

bool CElemC::Stamps() const { return Model() == MC_C || Model() == MC_PWL; }

double CElemC::Capacitance() const {
  if (Model() == MC_C) return c_.Value();
  double k = 0.0, u = 0.0;
  if (Pwl() != nullptr) Pwl()->GetKU(k, u);
  return k;
}

// In the AC analysis the capacitor stamps its dynamic form for the present
// capacitance (a PWL or controlled capacitance at its present segment);
// its reactive entries go through CCalc::AddReactive, which multiplies
// them by omega outside transient analysis, so B + jC holds j omega C. An
// infinite capacitance takes its short form; its held voltage is a
// constant and drops out. Mode 12 answers true: nothing else to change.
bool CElemC::CalcFunc(CCalc* calc, int mode, double /*t*/) {
  switch (mode) {
    case CM_INIT:
      // Only the first start after the engine was set up for a new run
      // takes the IC; later starts (a new initial solution within the run)
      // go on from the state.
      if (PrevModel() == 0) {
        SetState(0);
        vc_ = ic_.IsEmpty() ? kNaN : ic_.Value();
      }
      return true;
    case CM_CURSTATE:
      if (Stamps()) vc_ = calc->NodeValue(Node(1)) - calc->NodeValue(Node(0));
      return true;
    case CM_ADJUST:
      return Repair(calc);
    case CM_FILL:
      return Stamp(calc);
    case CM_FLOATING:
      WritePinGroups();
      return true;
    case CM_TO45:
      SetVariant(7, 10);
      return true;
    case CM_FROM45:
      SetVariant(10, 7);
      return true;
    default:
      return true;
  }
}

bool CElemC::Stamp(CCalc* calc) {
  if (calc->SecondPass() || !Stamps() || ExtraCount() < 1) return true;
  const int a = Node(0), b = Node(1);
  const int k = GetExtraNode(0);
  bool ok = true;
  if (TypeId() == 9 && ExtraCount() >= 2) {
    // The control current runs through a sense short from c to d.
    ok = calc->SetShort(Node(2), Node(3), k + 1, 0.0);
    calc->SetYzShort(Node(2), Node(3));
  }
  const double c = Capacitance();
  if (ok) {
    if (calc->SolutionKind() == 0) {
      if (!std::isnan(vc_)) {
        ok = calc->SetShort(a, b, k, vc_);
        // The static solution does not read C; the entry states the law
        // dv/dt = i / C in this form's unknowns.
        if (c != 0.0) calc->AddReactive(k, k, -1.0 / c);
      } else {
        ok = calc->SetOpen(a, b, k, 0.0);
      }
    } else if (std::isinf(c)) {
      ok = calc->SetShort(a, b, k, std::isnan(vc_) ? 0.0 : vc_);
    } else {
      ok = calc->SetOpen(a, b, k, 0.0);
      calc->AddReactive(k, a, c);
      calc->AddReactive(k, b, -c);
    }
  }
  return ok ? true : calc->SetCmpError(this, nullptr);
}

bool CElemC::Repair(CCalc* calc) {
  if (!Stamps() || ExtraCount() < 1) return true;
  const int k = GetExtraNode(0);
  if (!std::isnan(vc_) && calc->IsUndetermined(k)) {
    // The capacitor closes a loop of voltage sources that disagree.
    vc_ = kNaN;
    calc->SetError(GetFullName() + " : IC removed");
    return false;
  }
  if (std::isnan(vc_) && (calc->IsUndetermined(Node(0)) || calc->IsUndetermined(Node(1)))) {
    // Open, the capacitor leaves its nodes without a solution (a current
    // forced into them has nowhere to go): hold them at 0 V apart.
    vc_ = 0.0;
    calc->SetError(GetFullName() + " : IC added");
    return false;
  }
  return true;
}

void CElemC::WritePinGroups() {
  const int n = PinCount();
  if (n < 2) return;
  int* group = Nodes() + n;
  group[0] = 1;
  group[1] = 1;
  if (n >= 4 && TypeId() == 8) {
    group[2] = 2;
    group[3] = 3;
  } else if (n >= 4 && TypeId() == 9) {
    group[2] = 2;
    group[3] = 2;
  }
}

void CElemC::SetVariant(int from, int to) {
  if (TypeId() != from) return;
  // Records 0 and 3 of the class's array are the plain and the 45-degree
  // capacitor; both have the same pins and models.
  SetType(&m_elemtype[to == 10 ? 3 : 0]);
  SetTypeId(to);
}

bool CElemC::CheckZone(CCalc* calc, bool final, bool& changed) {
  if (Model() != MC_PWL || Pwl() == nullptr) return true;
  CPWL* table = Pwl();
  const double v = calc->NodeValue(Node(1)) - calc->NodeValue(Node(0));
  if (IsPlain(TypeId())) {
    changed = table->CheckPWL(v, final);
    return true;
  }
  const double control = TypeId() == 8 ? calc->NodeValue(Node(3)) - calc->NodeValue(Node(2))
                                       : calc->NodeValue(GetExtraNode(1));
  // Q = C v is the same just before and after the change.
  double kept = v;
  bool rescaled = false;
  changed = table->CheckControlled(control, final, &kept, &rescaled);
  if (rescaled) {
    vc_ = kept;
    calc->RequestIC(this);
  }
  return true;
}

bool CElemC::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                           double& k) {
  n1 = Node(0);
  n2 = Node(1);
  extra = FirstExtra();
  k = 0.0;
  return true;
}

AnsiString CElemC::GetState() {
  AnsiString s;
  add_csv_hex(s, "v", vc_);
  return s;
}

AnsiString CElemC::SaveIC(bool all) {
  AnsiString s;
  if (!all) {
    add_csv(s, "IC");
    return s;
  }
  const double v = get_csv_hex(GetState(), "v", 0.0);
  ic_.SetVal(v);
  add_csv_double(s, "IC", v);
  return s;
}

void CElemC::CirTools(SCirTools* tools) {
  if (tools == nullptr) return;
  if (tools->command == 1) {
    if (tools->sub == 0)
      ic_.SetEmpty();
    else if (tools->sub == 1)
      ic_.SetVal(0.0);
    return;
  }
  if (Model() != MC_C) return;
  // A zero or non-finite divisor would leave no usable capacitance: the
  // command then leaves C as it is.
  auto usable = [](double f) { return f != 0.0 && std::isfinite(f); };
  if (tools->command == 4 && tools->sub == 1) {
    if (usable(tools->value)) c_.SetVal(c_.Value() / tools->value);
  } else if (tools->command == 4 && tools->sub == 3) {
    if (usable(tools->value * tools->value)) c_.SetVal(c_.Value() / (tools->value * tools->value));
  } else if (tools->command == 5) {
    if (usable(tools->value2)) c_.SetVal(c_.Value() / tools->value2);
  }
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
