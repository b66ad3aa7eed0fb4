#pragma once
// Windings and transformers: ideal lossless magnetic couplings given only
// by turn counts. W_W is one winding (pins 0, 1) with a core pin (2);
// W_T2 a primary (0, 1) and a secondary (2, 3); W_T3 a primary and a
// secondary with centre tap (2, 4 and 4, 3); W_CUSTOM any number W of
// windings, winding i between pins 2i and 2i + 1, its pin count and
// polarity bits held by the component's own custom type.

#include <string>
#include <vector>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemW : public CCmp {
 public:
  explicit CElemW(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // W_CUSTOM: one unknown per winding current and one for the core.
  int CreateExtraNodes(CCalc* calc, int first) override;
  // W_CUSTOM: the parameter list follows the pin count (two per winding).
  void UpdateCustom() override;

  // W_CUSTOM: the number of windings W whose parameters exist.
  int WindingCount() const { return static_cast<int>(windings_.size()); }

  static const SElemType m_elemtype[];

 private:
  bool IsCustom() const { return TypeId() == 77; }
  // Recreates the W_CUSTOM parameters "n1" ... "nW", each a new formula of
  // value 1, when W differs from the present count.
  void SetWindingCount(int count);

  CFormula n_;   // W_W turns; 1
  CFormula n1_;  // W_T2, W_T3 primary turns; 1
  CFormula n2_;  // W_T2 secondary, W_T3 each secondary half, turns; 1
  // W_CUSTOM: the turns of each winding, their names and the descriptor
  // list bound to them (ends with the empty descriptor). Rebuilt together.
  std::vector<CFormula> windings_;
  std::vector<std::string> winding_names_;
  std::vector<CParam> winding_params_;
};
