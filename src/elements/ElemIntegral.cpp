#include "elements/ElemIntegral.h"

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_integral[] = {CParam(PK_FORMULA, "K", "V/V"), CParam(PK_FORMULA, "IC", "V"),
                             CParam()};

// One extra unknown, the output's driving current; the voltage trace
// shows the block's voltage.
const SElemModel m_models_integral[] = {
    {"Integral", MC_INTEGRAL, m_param_integral, 0, 1, MF_TRACE_V}, {}};

// The view selects the reset: bit 0 inverts it, views 2 and 3 reset on
// the edge only. The symbol's pins are the same in all four.
const CPin m_pins_intr[3] = {};
const CPin* const m_views_intr[] = {m_pins_intr, m_pins_intr, m_pins_intr, m_pins_intr, nullptr};

}  // namespace

const SElemType CElemIntegral::m_elemtype[] = {
    {"F_INT", 27, CreateCmpOf<CElemIntegral>, 2, nullptr, m_models_integral, 0, "Integral", 0},
    {"F_INTR", 28, CreateCmpOf<CElemIntegral>, 3, m_views_intr, m_models_integral, 0,
     "Integral\nwith reset", 0},
    {}};

CElemIntegral::CElemIntegral(const SElemType* type) : CCmp(type) { k_.SetVal(1.0); }

CParam* CElemIntegral::GetParams() {
  m_param_integral[0].BindFormula(&k_);
  m_param_integral[1].BindFormula(&ic_);
  return m_param_integral;
}

bool CElemIntegral::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  node->SerializeFormula("k", k_);
  node->SerializeFormula("func_ic", ic_);
  return true;
}
