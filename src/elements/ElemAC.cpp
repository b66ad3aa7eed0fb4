#include "elements/ElemAC.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_ac_function[] = {CParam(PK_FUNCTION, "f", ""), CParam()};

// The blocks add their derivative unknowns themselves in a transient
// simulation; the records ask for none. The voltage trace is the output
// voltage; there is no branch current to show.
const SElemModel m_models_ac_s[] = {
    {"Function", MC_FUNCTION, m_param_ac_function, 0, 0, MF_TRACE_V},
    {"Poly1", MC_POLY1, m_param_poly1, 0, 0, MF_TRACE_V},
    {"Poly2", MC_POLY2, m_param_poly2, 0, 0, MF_TRACE_V},
    {"Poly3", MC_POLY3, m_param_poly3, 0, 0, MF_TRACE_V},
    {"Poly4", MC_POLY4, m_param_poly4, 0, 0, MF_TRACE_V},
    {"Poly5", MC_POLY5, m_param_poly5, 0, 0, MF_TRACE_V},
    {"Roots", MC_ROOTS, m_param_roots, 0, 0, MF_TRACE_V},
    {}};
const SElemModel m_models_ac_z[] = {
    {"Function", MC_FUNCTION, m_param_ac_function, 0, 0, MF_TRACE_V},
    {"Poly1", MC_POLY1, m_param_poly1_noic, 0, 0, MF_TRACE_V},
    {"Poly2", MC_POLY2, m_param_poly2_noic, 0, 0, MF_TRACE_V},
    {"Poly3", MC_POLY3, m_param_poly3_noic, 0, 0, MF_TRACE_V},
    {"Poly4", MC_POLY4, m_param_poly4_noic, 0, 0, MF_TRACE_V},
    {"Poly5", MC_POLY5, m_param_poly5_noic, 0, 0, MF_TRACE_V},
    {}};

}  // namespace

const SElemType CElemAC::m_elemtype[] = {
    {"F_S", 29, CreateCmpOf<CElemAC>, 2, nullptr, m_models_ac_s, 0, "s-function", 0},
    {"F_Z", 30, CreateCmpOf<CElemAC>, 2, nullptr, m_models_ac_z, 0, "z-function", 0},
    {}};

// Unity gain until the user gives a function.
CElemAC::CElemAC(const SElemType* type) : CCmp(type), function_("1") {}

CParam* CElemAC::GetParams() {
  const SElemModel* model = GetModel();
  return coeffs_.Bind(model != nullptr ? model->params : nullptr, &function_);
}

bool CElemAC::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  coeffs_.Serialize(node, function_, ic);
  return true;
}
