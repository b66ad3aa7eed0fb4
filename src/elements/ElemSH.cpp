#include "elements/ElemSH.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_sh[] = {CParam(PK_FORMULA, "IC", "V"), CParam()};

// One extra unknown, the output's driving current. In model "SubCir" the
// block has no current of its own: only its pin voltages can be traced.
const SElemModel m_models_sh[] = {{"SH", MC_SH, m_param_sh, 0, 1, MF_TRACE_V},
                                  {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},
                                  {}};

// The view selects the clock: bit 0 inverts it, views 2 and 3 track
// rather than sample. The symbol's pins are the same in all four.
const CPin m_pins_sh[3] = {};
const CPin* const m_views_sh[] = {m_pins_sh, m_pins_sh, m_pins_sh, m_pins_sh, nullptr};

}  // namespace

const SElemType CElemSH::m_elemtype[] = {
    {"X_SH", 79, CreateCmpOf<CElemSH>, 3, m_views_sh, m_models_sh, 0, "Sample/hold", 0}, {}};

CElemSH::CElemSH(const SElemType* type) : CCmp(type) {}

CParam* CElemSH::GetParams() {
  if (Model() != MC_SH) return nullptr;
  m_param_sh[0].BindFormula(&ic_);
  return m_param_sh;
}

bool CElemSH::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("ic", ic_);
  return true;
}
