#pragma once
// Inductors: L_L and its 45-degree variant _L_L45 (terminals a = pin 0,
// b = pin 1), the voltage and current controlled inductors L_VCL and
// L_CCL (control pins c = 2, d = 3), the coupled pair L_CL (windings a-b
// and c-d) and the custom coupled inductors L_CUSTOM (winding i between
// pins 2i and 2i + 1). Each winding current is an extra unknown.

#include <cmath>
#include <string>
#include <vector>

#include "circuit/Cmp.h"
#include "circuit/Param.h"
#include "expr/Formula.h"

class CElemL : public CCmp {
 public:
  explicit CElemL(const SElemType* type);

  bool SerializeCmp(CXMLNode* node, bool modelOnly, bool ic) override;
  CParam* GetParams() override;
  // L_CUSTOM: one unknown per winding; the others the model's count.
  int CreateExtraNodes(CCalc* calc, int first) override;
  // L_CUSTOM: two windings (four pins) for a new component.
  void CreateCustom() override;
  // L_CUSTOM: the parameter list follows the pin count (two per winding).
  void UpdateCustom() override;

  // L_CUSTOM: the number of windings whose parameters exist.
  int WindingCount() const { return windings_; }
  // A, the winding currents (L_L and the controlled types: IL; L_CL: I1,
  // I2); NaN while there is no initial value.
  double IL() const { return il_; }
  double I1() const { return i1_; }
  double I2() const { return i2_; }

  static const SElemType m_elemtype[];

 private:
  bool IsCustom() const { return TypeId() == 37; }
  // Recreates the L_CUSTOM parameters for n windings: "L1" ... "Ln" (H,
  // 1e-6), the couplings of every pair i < j ("K12", or "K1_2" beyond nine
  // windings; 1) and "IC1" ... "ICn" (A, empty). Nothing when n windings
  // exist already.
  void SetWindingCount(int n);

  CFormula l_;    // H; 1 (L_L, _L_L45 "L")
  CFormula ic_;   // A, initial current a -> b; empty: none
  CFormula l1_;   // H; L_CL first winding; 1
  CFormula l2_;   // H; L_CL second winding; 1
  CFormula k12_;  // L_CL coupling, -1 to 1; 1
  CFormula ic1_;  // A; L_CL initial currents, empty: none
  CFormula ic2_;
  double il_ = std::nan("");  // A, present current; NaN: no initial value
  double i1_ = std::nan("");
  double i2_ = std::nan("");

  // L_CUSTOM: the generated formulas in list order (inductances, couplings,
  // initial currents), their names and the descriptors bound to them
  // (ending with the empty descriptor). Rebuilt together.
  int windings_ = 0;
  std::vector<CFormula> custom_;
  std::vector<std::string> custom_names_;
  std::vector<CParam> custom_params_;
  std::vector<double> currents_;  // A, per winding; NaN: no initial value
};
