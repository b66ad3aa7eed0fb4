#include "elements/ElemLine.h"

#include <cmath>

#include "circuit/Param.h"
#include "doc/xml.h"

namespace {

CParam m_param_line[] = {CParam(PK_FORMULA, "t0", "s"), CParam(PK_FORMULA, "z0", "Ohm"),
                         CParam(PK_FORMULA, "VIC", "V"), CParam(PK_FORMULA, "IIC", "A"),
                         CParam()};
CParam m_param_lossy[] = {CParam(PK_FORMULA, "t0", "s"),        CParam(PK_FORMULA, "z0", "Ohm"),
                          CParam(PK_FORMULA, "r", "Ohm/ns"),    CParam(PK_FORMULA, "fr", "MHz"),
                          CParam(PK_FORMULA, "G", "1/Ohm/ns"), CParam(PK_FORMULA, "fG", "MHz"),
                          CParam(PK_FORMULA, "VIC", "V"),       CParam(PK_FORMULA, "IIC", "A"),
                          CParam()};

// Two wave unknowns; the line offers no component traces.
const SElemModel m_models_line[] = {{"Line", MC_LINE, m_param_line, 0, 2, 0},
                                    {"Lossy", MC_LOSSY, m_param_lossy, 0, 2, 0},
                                    {}};

}  // namespace

const SElemType CElemLine::m_elemtype[] = {
    {"X_Line", 82, CreateCmpOf<CElemLine>, 4, nullptr, m_models_line, 0, "Transmission line",
     0},
    {}};

CElemLine::CElemLine(const SElemType* type) : CCmp(type) {
  t0_.SetVal(1e-6);
  z0_.SetVal(50.0);
  fr_.SetVal(1.0);
  fg_.SetVal(HUGE_VAL);
  vic_.SetEmpty();
  iic_.SetEmpty();
}

CParam* CElemLine::GetParams() {
  if (Model() == MC_LOSSY) {
    CFormula* f[] = {&t0_, &z0_, &r_, &fr_, &g_, &fg_, &vic_, &iic_};
    for (int i = 0; i < 8; ++i) m_param_lossy[i].BindFormula(f[i]);
    return m_param_lossy;
  }
  CFormula* f[] = {&t0_, &z0_, &vic_, &iic_};
  for (int i = 0; i < 4; ++i) m_param_line[i].BindFormula(f[i]);
  return m_param_line;
}

bool CElemLine::SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  // Every value whatever the model, so that a change of model keeps them.
  node->SerializeFormula("t", t0_);
  node->SerializeFormula("z", z0_);
  node->SerializeFormula("r", r_);
  node->SerializeFormula("g", g_);
  node->SerializeFormula("rf", fr_);
  node->SerializeFormula("gf", fg_);
  if (ic) {
    node->SerializeFormula("vic", vic_);
    node->SerializeFormula("iic", iic_);
  }
  return true;
}
