#include "elements/ElemCode.h"

#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_code[] = {CParam(PK_CODE, "Code", ""), CParam(PK_IC_TEXT, "IC", ""), CParam()};
CParam m_param_code_file[] = {CParam(PK_CODE_FILE, "File", ""), CParam(PK_IC_TEXT, "IC", ""),
                              CParam()};

// The outputs' unknowns are counted per component. A block with
// user-chosen pins has no one voltage or current to trace: its traces are
// those of the nodes it drives.
const SElemModel m_models_code[] = {{"C", MC_CODE, m_param_code, 0, 0, 0},
                                    {"File", MC_CODE_FILE, m_param_code_file, 0, 0, 0},
                                    {}};

// View 1 runs the program on the falling edge of the clock pin rather
// than the rising one; the pins themselves are the custom type's.
const CPin m_pins_code[1] = {};
const CPin* const m_views_code[] = {m_pins_code, m_pins_code, nullptr};

}  // namespace

const SElemType CElemCode::m_elemtype[] = {
    {"X_C", 90, CreateCmpOf<CElemCode>, 0, m_views_code, m_models_code, 0, "C-code", 0}, {}};

CElemCode::CElemCode(const SElemType* type) : CCmp(type) {}

void CElemCode::CreateCustom() {
  if (CustomType() != nullptr) return;
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(this);
  if (t == nullptr) return;
  t->SetInputs("x1,x2,x3");
  t->SetOutputs("y1,y2,y3");
  t->SetClocked(false);
}

void CElemCode::UpdateCustom() {
  CCustomElemType* t = CustomType();
  if (t == nullptr) return;
  t->LayOutListPins();
  inputs_ = CCustomElemType::NameCount(t->Inputs());
  outputs_ = CCustomElemType::NameCount(t->Outputs());
  clocked_ = t->Clocked();
}

AnsiString CElemCode::GetPinName(int pin) const { return CCustomElemType::PinNameOf(this, pin); }

CParam* CElemCode::GetParams() {
  CParam* list = Model() == MC_CODE_FILE ? m_param_code_file : m_param_code;
  list[0].BindText(Model() == MC_CODE_FILE ? &file_ : &code_);
  list[1].BindText(&ic_);
  return list;
}

bool CElemCode::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  code_ = node->AttributeSafe("c_code", code_);
  file_ = node->AttributeSafe("file", file_);
  if (ic) ic_ = node->AttributeSafe("ic", ic_);
  return true;
}
