#include "elements/ElemDC.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_dc[] = {CParam(PK_FORMULA, "z0", "Ohm"), CParam(PK_FORMULA, "CF", "dB"),
                       CParam()};

const SElemModel m_models_dc[] = {
    {"Coupler", MC_COUPLER, m_param_dc, 0, 3, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};

}  // namespace

const SElemType CElemDC::m_elemtype[] = {
    {"X_DC", 80, CreateCmpOf<CElemDC>, 4, nullptr, m_models_dc, 0, "Directional coupler", 0},
    {}};

CElemDC::CElemDC(const SElemType* type) : CCmp(type) { z0_.SetVal(50.0); }

CParam* CElemDC::GetParams() {
  m_param_dc[0].BindFormula(&z0_);
  m_param_dc[1].BindFormula(&cf_);
  return m_param_dc;
}

bool CElemDC::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("z", z0_);
  node->SerializeFormula("cf", cf_);
  return true;
}
