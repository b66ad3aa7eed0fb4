#include "elements/ElemDelay.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_delay[] = {CParam(PK_FORMULA, "t0", "s"), CParam(PK_FORMULA, "IC", "V"),
                          CParam()};

// One extra unknown, the output's driving current. In model "SubCir" the
// block has no current of its own: only its pin voltages can be traced.
const SElemModel m_models_delay[] = {{"Delay", MC_DELAY, m_param_delay, 0, 1, MF_TRACE_V},
                                     {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                     {}};

}  // namespace

const SElemType CElemDelay::m_elemtype[] = {
    {"X_Delay", 81, CreateCmpOf<CElemDelay>, 2, nullptr, m_models_delay, 0, "Delay", 0}, {}};

CElemDelay::CElemDelay(const SElemType* type) : CCmp(type) { ic_.SetEmpty(); }

CParam* CElemDelay::GetParams() {
  if (Model() != MC_DELAY) return nullptr;
  m_param_delay[0].BindFormula(&t0_);
  m_param_delay[1].BindFormula(&ic_);
  return m_param_delay;
}

bool CElemDelay::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("t", t0_);
  node->SerializeFormula("ic", ic_);
  return true;
}
