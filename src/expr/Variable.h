#pragma once
// CVariable: the variable component. It has no pins; its one parameter is
// a formula whose value other formulas read by the variable's name and
// variable traces record. It is not in the registry: CCmps::AddVariable
// and the document loader (type key "var") make it from m_elemtype.

#include "base/AnsiString.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "expr/Formula.h"

class CParam;

class CVariable : public CCmp {
 public:
  explicit CVariable(const SElemType* type = &m_elemtype);

  // Key "var", id 4, no pins, the one model "Var" (1), which allows
  // variable traces only.
  static const SElemType m_elemtype;
  static const SElemModel m_models_var[];
  // "val": the formula (kind 13).
  static CParam m_param_var[];

  CFormula& Value() { return value_; }
  const CFormula& Value() const { return value_; }

  bool IsVariable() const override { return true; }
  CParam* GetParams() override;
  // The shared attributes, then the formula as "val" ("val_str" for its
  // text, "val_format" and "val_bit" when not the defaults).
  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  // The message the engine reports for this component before a simulation:
  // "formula error" when the formula's last calculation failed, else "".
  AnsiString CheckFormula() const;
  // False when CheckFormula gives a message. The engine's component error
  // receives that message once the engine exists.
  bool CheckParams(CCalc* calc) override;
  // A variable trace reads the value: it goes to value; the node outputs
  // are left alone. Always true.
  bool GetTraceNodes(CCalc* calc, int kind, int& n1, int& n2, int& extra,
                     double& value) override;

 private:
  CFormula value_;
};
