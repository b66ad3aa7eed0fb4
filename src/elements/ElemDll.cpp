#include "elements/ElemDll.h"

#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_dll[] = {CParam(PK_DLL, "DLL", ""),        CParam(PK_FUNC_NAME, "Init", ""),
                        CParam(PK_FUNC_NAME, "Main", ""),  CParam(PK_FUNC_NAME, "Pause", ""),
                        CParam(PK_FUNC_NAME, "Exit", ""),  CParam(PK_IC_TEXT, "IC", ""),
                        CParam()};

// As the Code component: outputs counted per component, no traces of its own.
const SElemModel m_models_dll[] = {{"DLL", MC_DLL, m_param_dll, 0, 0, 0}, {}};

// View 1 runs the program on the falling edge of the clock pin rather
// than the rising one; the pins themselves are the custom type's.
const CPin m_pins_dll[1] = {};
const CPin* const m_views_dll[] = {m_pins_dll, m_pins_dll, nullptr};

}  // namespace

const SElemType CElemDll::m_elemtype[] = {
    {"X_DLL", 91, CreateCmpOf<CElemDll>, 0, m_views_dll, m_models_dll, 0, "DLL", 0}, {}};

// A library written to the documented contract exports the four names as
// they are.
CElemDll::CElemDll(const SElemType* type)
    : CCmp(type), init_name_("Init"), main_name_("Main"), pause_name_("Pause"), exit_name_("Exit") {}

void CElemDll::CreateCustom() {
  if (CustomType() != nullptr) return;
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(this);
  if (t == nullptr) return;
  t->SetInputs("x1,x2,x3");
  t->SetOutputs("y1,y2,y3");
  t->SetVars(AnsiString());
  t->SetClocked(false);
}

void CElemDll::UpdateCustom() {
  CCustomElemType* t = CustomType();
  if (t == nullptr) return;
  t->LayOutListPins();
  inputs_ = CCustomElemType::NameCount(t->Inputs());
  outputs_ = CCustomElemType::NameCount(t->Outputs());
  var_count_ = CCustomElemType::NameCount(t->Vars());
  clocked_ = t->Clocked();
}

AnsiString CElemDll::GetPinName(int pin) const { return CCustomElemType::PinNameOf(this, pin); }

CParam* CElemDll::GetParams() {
  AnsiString* texts[] = {&dll_, &init_name_, &main_name_, &pause_name_, &exit_name_, &ic_};
  for (int i = 0; i < 6; ++i) m_param_dll[i].BindText(texts[i]);
  return m_param_dll;
}

bool CElemDll::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  dll_ = node->AttributeSafe("dll", dll_);
  init_name_ = node->AttributeSafe("dll_init", init_name_);
  main_name_ = node->AttributeSafe("dll_code", main_name_);
  pause_name_ = node->AttributeSafe("dll_pause", pause_name_);
  exit_name_ = node->AttributeSafe("dll_exit", exit_name_);
  if (ic) ic_ = node->AttributeSafe("ic", ic_);
  return true;
}
