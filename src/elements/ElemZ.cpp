#include "elements/ElemZ.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_z_function[] = {CParam(PK_FUNCTION, "z", "Ohm"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;
// One extra unknown, the current; a transient simulation adds the
// derivative unknowns of the polynomial models itself.
const SElemModel m_models_z[] = {
    {"Function", MC_FUNCTION, m_param_z_function, 0, 1, kVIP},
    {"Poly1", MC_POLY1, m_param_poly1, 0, 1, kVIP},
    {"Poly2", MC_POLY2, m_param_poly2, 0, 1, kVIP},
    {"Poly3", MC_POLY3, m_param_poly3, 0, 1, kVIP},
    {"Poly4", MC_POLY4, m_param_poly4, 0, 1, kVIP},
    {"Poly5", MC_POLY5, m_param_poly5, 0, 1, kVIP},
    {"Roots", MC_ROOTS, m_param_roots, 0, 1, kVIP},
    {}};

}  // namespace

const SElemType CElemZ::m_elemtype[] = {
    {"Z_Z", 110, CreateCmpOf<CElemZ>, 2, nullptr, m_models_z, 0, "Impedance", 0},
    {}};

// A 50 Ohm resistor until the user gives an impedance.
CElemZ::CElemZ(const SElemType* type) : CCmp(type), function_("50") {}

CParam* CElemZ::GetParams() {
  const SElemModel* model = GetModel();
  return coeffs_.Bind(model != nullptr ? model->params : nullptr, &function_);
}

bool CElemZ::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  coeffs_.Serialize(node, function_, ic);
  return true;
}
