#pragma once
// Resistors: R_R and its 45-degree variant _R_R45 (pins a = 0, b = 1), the
// potentiometer R_Pot (wiper w = pin 2) and the voltage and current
// controlled resistors R_VCR and R_CCR (control pins c = 2, d = 3).
// The "PWL" models keep their table in the component's common table (text
// and mode in the common attributes); the "PWL-I" model of R_R has a
// second table of its own, R as a function of the current.

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "elements/PWL.h"
#include "expr/Formula.h"

class CElemR : public CCmp {
 public:
  explicit CElemR(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // "R": 1 for an ideal short (R exactly 0); "Potentiometer": 2 when R is
  // 0, 1 when the wiper sits at an end; other models the record's count.
  int CreateExtraNodes(CCalc* calc, int first) override;

  CFormula& R() { return r_; }
  CFormula& Position() { return position_; }
  CPWL& PwlI() { return pwli_; }

  static const SElemType m_elemtype[];

 private:
  CFormula r_;         // Ohm; 1
  CFormula position_;  // wiper position, 0 (at a) to 1 (at b); 0
  CPWL pwli_;          // "PWL-I": R(I), document attributes "pwli", "pwlif", "pwlim"
};
