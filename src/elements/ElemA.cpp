#include "elements/ElemA.h"

namespace {

const SElemModel m_models_vm[] = {{"Voltmeter", MC_V, nullptr, 0, 0, MF_TRACE_V}, {}};
const SElemModel m_models_a[] = {
    {"Amperemeter", MC_AMPEREMETER, nullptr, 0, 1, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};
const SElemModel m_models_wm[] = {
    {"Wattmeter", MC_WATTMETER, nullptr, 0, 1, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};

}  // namespace

const SElemType CElemA::m_elemtype[] = {
    {"V_VM", 73, CreateCmpOf<CElemA>, 2, nullptr, m_models_vm, 0, "Voltmeter", 0},
    {"A_A", 6, CreateCmpOf<CElemA>, 2, nullptr, m_models_a, 0, "Amperemeter", 0},
    {"W_WM", 78, CreateCmpOf<CElemA>, 3, nullptr, m_models_wm, 0, "Wattmeter", 0},
    {}};

bool CElemA::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  return SerializeCmpCore(node, modelOnly);
}

int CElemA::GetCmpPinType(int /*pin*/) const { return Model() == MC_V ? 2 : 1; }
