#include "expr/Variable.h"

#include "circuit/Param.h"
#include "doc/xml.h"

CParam CVariable::m_param_var[] = {CParam(PK_FORMULA, "val", ""), CParam()};

const SElemModel CVariable::m_models_var[] = {
    {"Var", MC_VAR, CVariable::m_param_var, 0, 0, MF_TRACE_4}, {}};

const SElemType CVariable::m_elemtype = {
    "var", 4, CreateCmpOf<CVariable>, 0, nullptr, CVariable::m_models_var, 0, "Variable", 0};

CVariable::CVariable(const SElemType* type) : CCmp(type) {}

CParam* CVariable::GetParams() {
  m_param_var[0].BindFormula(&value_);
  return m_param_var;
}

bool CVariable::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("val", value_);
  return true;
}

AnsiString CVariable::CheckFormula() const {
  return value_.Error() ? AnsiString("formula error") : AnsiString();
}

bool CVariable::CheckParams(CCalc* /*calc*/) { return CheckFormula().IsEmpty(); }

bool CVariable::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& /*n1*/, int& /*n2*/,
                              int& /*extra*/, double& value) {
  value = value_.Value();
  return true;
}
