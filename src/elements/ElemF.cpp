// Registry records, parameter descriptors and document form of the
// function components.

#include "elements/ElemF.h"

#include <string>

#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_f_function[] = {CParam(PK_FUNCTION, "f", "V"), CParam(PK_FORMULA, "IC", "V"),
                               CParam()};
CParam m_param_f_pwr[] = {CParam(PK_FORMULA, "power", ""), CParam(PK_FORMULA, "K", "V/V"),
                          CParam(PK_FORMULA, "IC", "V"), CParam()};
// Abs, and the two-input operations Mul ... Phase and Pwr.
CParam m_param_f_k[] = {CParam(PK_FORMULA, "K", "V/V"), CParam(PK_FORMULA, "IC", "V"),
                        CParam()};
CParam m_param_f_int[] = {CParam(PK_FORMULA, "resolution", "V"),
                          CParam(PK_FORMULA, "K", "V/V"), CParam(PK_FORMULA, "IC", "V"),
                          CParam()};
CParam m_param_f_lim[] = {CParam(PK_FORMULA, "Max", "V"), CParam(PK_FORMULA, "Min", "V"),
                          CParam(PK_FORMULA, "IC", "V"), CParam()};
CParam m_param_f_table1[] = {CParam(PK_TABLE, "Table", ""), CParam(PK_FORMULA, "IC", "V"),
                             CParam()};
// GT and LT: the output is a logic level.
CParam m_param_f_ic[] = {CParam(PK_FORMULA, "IC", "V"), CParam()};
CParam m_param_f_table2[] = {CParam(PK_IC_TEXT, "X", ""), CParam(PK_IC_TEXT, "Y", ""),
                             CParam(PK_TABLE2, "Table", ""), CParam(PK_FORMULA, "IC", "V"),
                             CParam()};
CParam m_param_f_bus[] = {CParam(PK_CHOICE, "Format", ""), CParam(PK_FORMULA, "IC", "V"),
                          CParam()};

// The output is a driven node written through the function rows, so no
// model needs extra unknowns; its voltage can be traced.
constexpr int kV = MF_TRACE_V;

const SElemModel m_models_f1[] = {
    {"Function", MC_FUNCTION, m_param_f_function, 0, 0, kV},
    {"Pwr", MC_PWR, m_param_f_pwr, 0, 0, kV},
    {"Abs", MC_ABS, m_param_f_k, 0, 0, kV},
    {"Int", MC_INT, m_param_f_int, 0, 0, kV},
    {"Lim", MC_LIM, m_param_f_lim, 0, 0, kV},
    {"Table", MC_TABLE, m_param_f_table1, 0, 0, kV},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, kV},
    {}};
const SElemModel m_models_f2[] = {
    {"Function", MC_FUNCTION, m_param_f_function, 0, 0, kV},
    {"Mul", MC_MUL, m_param_f_k, 0, 0, kV},
    {"Div", MC_DIV, m_param_f_k, 0, 0, kV},
    {"Sum", MC_SUM, m_param_f_k, 0, 0, kV},
    {"Sub", MC_SUB, m_param_f_k, 0, 0, kV},
    {"Max", MC_MAX, m_param_f_k, 0, 0, kV},
    {"Min", MC_MIN, m_param_f_k, 0, 0, kV},
    {"Pwr", MC_PWR, m_param_f_k, 0, 0, kV},
    {"Mag", MC_MAG, m_param_f_k, 0, 0, kV},
    {"Phase", MC_PHASE, m_param_f_k, 0, 0, kV},
    {"GT", MC_GT, m_param_f_ic, 0, 0, kV},
    {"LT", MC_LT, m_param_f_ic, 0, 0, kV},
    {"Table", MC_TABLE, m_param_f_table2, 0, 0, kV},
    {"SubCir", MC_SUBCIR, nullptr, 0, 0, kV},
    {}};
const SElemModel m_models_f_custom[] = {{"Function", MC_FUNCTION, m_param_f_function, 0, 0, kV},
                                        {}};
const SElemModel m_models_f_bus[] = {{"Bus", MC_BUS, m_param_f_bus, 0, 0, kV}, {}};

const CPin m_pins_f[4] = {};
const CPin* const m_views_f[] = {m_pins_f, nullptr};
// Clocked types: view 1 is the falling-edge form.
const CPin* const m_views_fc[] = {m_pins_f, m_pins_f, nullptr};

}  // namespace

const char* const CElemF::m_bus_format_text[] = {"Unsigned", "Signed", nullptr};

const SElemType CElemF::m_elemtype[] = {
    {"F_1", 22, CreateCmpOf<CElemF>, 2, m_views_f, m_models_f1, 0, "Function", 0},
    {"F_1C", 23, CreateCmpOf<CElemF>, 3, m_views_fc, m_models_f1, 0, "Function\nwith clock", 0},
    {"F_2", 24, CreateCmpOf<CElemF>, 3, m_views_f, m_models_f2, 0, "Function-2", 0},
    {"F_2C", 25, CreateCmpOf<CElemF>, 4, m_views_fc, m_models_f2, 0, "Function-2\nwith clock",
     0},
    {"F_CUSTOM", 26, CreateCmpOf<CElemF>, 0, m_views_fc, m_models_f_custom, 0,
     "Custom function", 0},
    {"Y_BUS", 105, CreateCmpOf<CElemF>, 0, nullptr, m_models_f_bus, 0, "Bus", 0},
    {}};

CElemF::CElemF(const SElemType* type) : CCmp(type) {
  // A new component passes its input through (one input), adds (two
  // inputs) or gives 0 (custom inputs, whose names the user picks); its
  // tables are the identity on [0, 1] and the product x*y on the unit
  // square.
  if (IsTwoInput()) {
    f_ = "x+y";
    table_ = "0,0,0,1";
  } else {
    f_ = TypeId() == 26 ? "0" : "x";
    table_ = "0,0,1,1";
  }
  x_ = "0,1";
  y_ = "0,1";
  k_.SetVal(1.0);
  res_.SetVal(1.0);
  pwr_.SetVal(2.0);
  max_.SetVal(1.0);
  min_.SetVal(-1.0);
  ic_.SetVal(0.0);
}

bool CElemF::IsTwoInput() const { return TypeId() == 24 || TypeId() == 25; }

bool CElemF::IsClocked() const {
  if (TypeId() == 26) return CustomType() != nullptr && CustomType()->Clocked();
  return TypeId() == 23 || TypeId() == 25;
}

int CElemF::InputCount() const {
  if (!IsCustom()) return IsTwoInput() ? 2 : 1;
  const CCustomElemType* t = CustomType();
  if (t == nullptr) return 0;
  if (TypeId() == 26) return CCustomElemType::NameCount(t->Inputs());
  return t->PinCount() > 0 ? t->PinCount() - 1 : 0;
}

void CElemF::CreateCustom() {
  if (!IsCustom() || CustomType() != nullptr) return;
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(this);
  if (t == nullptr) return;
  if (TypeId() == 26) {
    t->SetInputs("x1,x2,x3");
    t->SetClocked(false);
  } else {
    // A four-bit bus: one hexadecimal digit.
    t->UpdateCustomCmp(5);
  }
}

void CElemF::UpdateCustom() {
  CCustomElemType* t = CustomType();
  if (!IsCustom() || t == nullptr) return;
  const int ins = InputCount();
  if (TypeId() == 26) {
    const int n = ins + 1 + (t->Clocked() ? 1 : 0);
    t->UpdateCustomCmp(n);
    t->NamePins(0, t->Inputs(), ins, "unnamed_in_");
    t->SetPinName(ins, AnsiString());
    if (t->Clocked()) t->SetPinName(n - 1, "clk");
  } else {
    t->UpdateCustomCmp(t->PinCount());
    for (int i = 0; i < ins; ++i) t->SetPinName(i, AnsiString("b") + std::to_string(i + 1));
    if (t->PinCount() > 0) t->SetPinName(t->PinCount() - 1, AnsiString());
  }
}

AnsiString CElemF::GetPinName(int pin) const {
  return IsCustom() ? CCustomElemType::PinNameOf(this, pin) : AnsiString();
}

CParam* CElemF::GetParams() {
  CParam* p = nullptr;
  switch (Model()) {
    case MC_FUNCTION:
      p = m_param_f_function;
      p[0].BindText(&f_);
      break;
    case MC_PWR:
      if (IsTwoInput()) {
        p = m_param_f_k;
        p[0].BindFormula(&k_);
      } else {
        p = m_param_f_pwr;
        p[0].BindFormula(&pwr_);
        p[1].BindFormula(&k_);
      }
      break;
    case MC_ABS:
    case MC_MUL:
    case MC_DIV:
    case MC_SUM:
    case MC_SUB:
    case MC_MAX:
    case MC_MIN:
    case MC_MAG:
    case MC_PHASE:
      p = m_param_f_k;
      p[0].BindFormula(&k_);
      break;
    case MC_INT:
      p = m_param_f_int;
      p[0].BindFormula(&res_);
      p[1].BindFormula(&k_);
      break;
    case MC_LIM:
      p = m_param_f_lim;
      p[0].BindFormula(&max_);
      p[1].BindFormula(&min_);
      break;
    case MC_GT:
    case MC_LT:
      p = m_param_f_ic;
      break;
    case MC_TABLE:
      if (IsTwoInput()) {
        p = m_param_f_table2;
        p[0].BindText(&x_);
        p[1].BindText(&y_);
        p[2].BindText(&table_);
      } else {
        p = m_param_f_table1;
        p[0].BindText(&table_);
      }
      break;
    case MC_BUS:
      p = m_param_f_bus;
      p[0].BindChoice(&format_, m_bus_format_text);
      break;
    default:
      return nullptr;
  }
  // Every array ends with the initial output.
  CParam* last = p;
  while (last[1].Name() != nullptr) ++last;
  last->BindFormula(&ic_);
  return p;
}

bool CElemF::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  f_ = node->AttributeSafe("f", f_);
  x_ = node->AttributeSafe("x", x_);
  y_ = node->AttributeSafe("y", y_);
  table_ = node->AttributeSafe("table", table_);
  node->SerializeFormula("k", k_);
  node->SerializeFormula("res", res_);
  node->SerializeFormula("pwr", pwr_);
  node->SerializeFormula("max", max_);
  node->SerializeFormula("min", min_);
  format_ = node->AttributeInt("format", format_) == 1 ? 1 : 0;
  if (ic) node->SerializeFormula("ic", ic_);
  return true;
}
