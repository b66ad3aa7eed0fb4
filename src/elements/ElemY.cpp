// Registry records, parameter descriptors and document form of the logic
// gates and flip-flops.

#include "elements/ElemY.h"

#include <string>

#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

// The descriptors of one group of types for the three models: the group's
// own parameters (given as the macro's trailing arguments), the delays of
// the model, and the initial output.
#define QVS_Y_PARAMS(S, ...)                                                              \
  CParam m_param_y_##S##_logic[] = {__VA_ARGS__ CParam(PK_HIGH_LOW, "IC", ""), CParam()}; \
  CParam m_param_y_##S##_delay[] = {__VA_ARGS__ CParam(PK_FORMULA, "Delay", "s"),         \
                                    CParam(PK_HIGH_LOW, "IC", ""), CParam()};             \
  CParam m_param_y_##S##_delay2[] = {__VA_ARGS__ CParam(PK_FORMULA, "Up", "s"),           \
                                     CParam(PK_FORMULA, "Down", "s"),                     \
                                     CParam(PK_HIGH_LOW, "IC", ""), CParam()};             \
  const SElemModel m_models_y_##S[] = {                                                   \
      {"Logic", MC_LOGIC, m_param_y_##S##_logic, 0, 0, MF_TRACE_V},                       \
      {"Delay", MC_DELAY, m_param_y_##S##_delay, 0, 0, MF_TRACE_V},                       \
      {"Delay2", MC_DELAY2, m_param_y_##S##_delay2, 0, 0, MF_TRACE_V},                    \
      {}};

// Logic elements write levels into nodes: no extra unknowns, and only the
// output voltage is a meaningful trace.
QVS_Y_PARAMS(gate)
QVS_Y_PARAMS(custom, CParam(PK_CHOICE, "Type", ""), )
QVS_Y_PARAMS(func, CParam(PK_FUNCTION, "f", ""), )
QVS_Y_PARAMS(trigger, CParam(PK_CHOICE, "Dominance", ""), )
QVS_Y_PARAMS(schmitt, CParam(PK_FORMULA, "Hysteresis", "V"), )
#undef QVS_Y_PARAMS

const CPin m_pins_y[7] = {};
// Gates and the Schmitt trigger: view 1 inverts the output. D flip-flop:
// view 1 takes the falling clock edge. SR and JK: the clock edge and the
// inversion of the set and reset inputs, two views each.
const CPin* const m_views_y2[] = {m_pins_y, m_pins_y, nullptr};
const CPin* const m_views_y4[] = {m_pins_y, m_pins_y, m_pins_y, m_pins_y, nullptr};

#define QVS_Y_GATE(KEY, ID, PINS, DESCR) \
  {KEY, ID, CreateCmpOf<CElemY>, PINS, m_views_y2, m_models_y_gate, 0, DESCR, 0}

}  // namespace

const char* const CElemY::m_dom_text[] = {"None", "Set", "Reset", nullptr};
const char* const CElemY::m_custom_type_text[] = {"and", "or", "xor", nullptr};

const SElemType CElemY::m_elemtype[] = {
    QVS_Y_GATE("Y_1", 92, 2, "Gate"),
    QVS_Y_GATE("Y_1_NOT", 111, 2, "NOT-gate"),
    QVS_Y_GATE("Y_2_AND", 93, 3, "AND gate"),
    QVS_Y_GATE("Y_2_NAND", 112, 3, "NAND gate"),
    QVS_Y_GATE("Y_2_OR", 94, 3, "OR gate"),
    QVS_Y_GATE("Y_2_NOR", 113, 3, "NOR gate"),
    QVS_Y_GATE("Y_2_XOR", 95, 3, "XOR gate"),
    QVS_Y_GATE("Y_2_XNOR", 114, 3, "XNOR gate"),
    QVS_Y_GATE("Y_3_AND", 96, 4, "AND gate"),
    QVS_Y_GATE("Y_3_NAND", 115, 4, "NAND gate"),
    QVS_Y_GATE("Y_3_OR", 97, 4, "OR gate"),
    QVS_Y_GATE("Y_3_NOR", 116, 4, "NOR gate"),
    QVS_Y_GATE("Y_3_XOR", 98, 4, "XOR gate"),
    QVS_Y_GATE("Y_3_XNOR", 117, 4, "XNOR gate"),
    // View 1 complements the output, as for the plain gates; for a
    // clocked logical function it also makes the falling edge the active one.
    {"Y_CUSTOM", 99, CreateCmpOf<CElemY>, 0, m_views_y2, m_models_y_custom, 0, "Custom gate",
     0},
    {"Y_FUNCTION", 104, CreateCmpOf<CElemY>, 0, m_views_y2, m_models_y_func, 0,
     "Logical function", 0},
    QVS_Y_GATE("Y_FF", 100, 4, "D flip-flop"),
    {"Y_RS", 101, CreateCmpOf<CElemY>, 6, m_views_y4, m_models_y_trigger, 0, "SR trigger", 0},
    {"Y_JK", 102, CreateCmpOf<CElemY>, 7, m_views_y4, m_models_y_trigger, 0, "JK trigger", 0},
    {"Y_ST", 103, CreateCmpOf<CElemY>, 2, m_views_y2, m_models_y_schmitt, 0, "Schmitt trigger",
     0},
    {}};
#undef QVS_Y_GATE

CElemY::CElemY(const SElemType* type) : CCmp(type) {
  // 10 ns delays, a 1 V hysteresis, and a function of the first two
  // inputs: a new component does something visible as it is.
  delay_.SetVal(1e-8);
  down_.SetVal(1e-8);
  hyst_.SetVal(1.0);
  func_ = "b1&&b2";
}

void CElemY::CreateCustom() {
  if (!IsCustom() || CustomType() != nullptr) return;
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(this);
  if (t == nullptr) return;
  // Two inputs, as the two-input gates have and as the new logical
  // function's formula "b1&&b2" reads.
  t->UpdateCustomCmp(3);
  t->SetClocked(false);
}

void CElemY::UpdateCustom() {
  CCustomElemType* t = CustomType();
  if (!IsCustom() || t == nullptr) return;
  t->UpdateCustomCmp(t->PinCount());
  // Pins move with a new count, so every pin is named anew.
  for (int i = 0; i < InputCount(); ++i)
    t->SetPinName(i, AnsiString("b") + std::to_string(i + 1));
  if (t->PinCount() > 0) t->SetPinName(t->PinCount() - 1, AnsiString());
}

AnsiString CElemY::GetPinName(int pin) const {
  if (IsCustom()) return CCustomElemType::PinNameOf(this, pin);
  // D flip-flop, SR and JK triggers: D (or J), C, Q, -Q, then S, R (and K).
  if (TypeId() >= 100 && TypeId() <= 102) {
    if (pin == 2) return AnsiString("Q");
    if (pin == 3) return AnsiString("-Q");
  }
  return AnsiString();
}

int CElemY::InputCount() const {
  if (!IsCustom() || CustomType() == nullptr) return 0;
  return CustomType()->PinCount() > 0 ? CustomType()->PinCount() - 1 : 0;
}

bool CElemY::IsClocked() const {
  return TypeId() == 104 && CustomType() != nullptr && CustomType()->Clocked();
}

CParam* CElemY::GetParams() {
  const SElemModel* model = GetModel();
  if (model == nullptr || model->params == nullptr) return nullptr;
  CParam* list = model->params;
  for (CParam* p = list; p->Name() != nullptr; ++p) {
    const AnsiString name(p->Name());
    if (name == "IC")
      p->BindInt(&ic_);
    else if (name == "Delay" || name == "Up")
      p->BindFormula(&delay_);
    else if (name == "Down")
      p->BindFormula(&down_);
    else if (name == "Hysteresis")
      p->BindFormula(&hyst_);
    else if (name == "Dominance")
      p->BindChoice(&dominance_, m_dom_text);
    else if (name == "Type")
      p->BindChoice(&custom_type_, m_custom_type_text);
    else if (name == "f")
      p->BindText(&func_);
  }
  return list;
}

bool CElemY::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("delay", delay_);
  node->SerializeFormula("down", down_);
  node->SerializeFormula("hyst", hyst_);
  dominance_ = node->AttributeInt("dominance", dominance_);
  if (dominance_ < 0 || dominance_ > 2) dominance_ = 0;  // unknown: no dominance
  if (ic) ic_ = node->AttributeInt("ic", ic_) != 0 ? 1 : 0;
  func_ = node->AttributeSafe("func", func_);
  AnsiString type(m_custom_type_text[custom_type_]);
  type = node->Attribute("custom_type", type);
  // An operation the list does not have loads as "and".
  custom_type_ = 0;
  for (int i = 0; m_custom_type_text[i] != nullptr; ++i)
    if (type == m_custom_type_text[i]) custom_type_ = i;
  return true;
}
