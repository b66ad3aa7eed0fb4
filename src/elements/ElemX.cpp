#include "elements/ElemX.h"

#include "circuit/CustomType.h"

namespace {

// Only the pin voltages of a block can be traced: its currents belong to
// the inner circuit.
const SElemModel m_models_x[] = {{"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V}, {}};

}  // namespace

const SElemType CElemX::m_elemtype[] = {
    {"X_B2", 83, CreateCmpOf<CElemX>, 2, nullptr, m_models_x, 0, "Block-2", 0},
    {"X_B3", 84, CreateCmpOf<CElemX>, 3, nullptr, m_models_x, 0, "Block-3", 0},
    {"X_B4", 85, CreateCmpOf<CElemX>, 4, nullptr, m_models_x, 0, "Block-4", 0},
    {"X_B6", 86, CreateCmpOf<CElemX>, 6, nullptr, m_models_x, 0, "Block-6", 0},
    {"X_B8", 87, CreateCmpOf<CElemX>, 8, nullptr, m_models_x, 0, "Block-8", 0},
    {"X_CUSTOM", 88, CreateCmpOf<CElemX>, 0, nullptr, m_models_x, 0, "Custom block", 0},
    {"X_QVS", 89, CreateCmpOf<CElemX>, 0, nullptr, m_models_x, 0, "QVS circuit", 0},
    {}};

bool CElemX::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  return SerializeCmpCore(node, modelOnly);
}

void CElemX::CreateCustom() {
  if (Type() == nullptr || Type()->pins != 0 || CustomType() != nullptr) return;
  CCustomElemType* t = CCustomElemType::CreateCustomCmp(this);
  if (t != nullptr) t->UpdateCustomCmp(2);
}

AnsiString CElemX::GetPinName(int pin) const { return CCustomElemType::PinNameOf(this, pin); }
