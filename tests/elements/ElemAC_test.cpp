// Transfer-function blocks F_S and F_Z: registry rows, parameters per
// model and the document attributes.

#include "elements/ElemAC.h"

#include "elements/ElemDocCases.h"

TEST(ElemAC, RegistryRows) {
  const std::string poly =
      "Poly1(63,0,1) Poly2(64,0,1) Poly3(65,0,1) Poly4(66,0,1) Poly5(67,0,1)";
  EXPECT_EQ("F_S 29 2 s-function|Function(7,0,1) " + poly + " Roots(72,0,1)", RegistryRow("F_S"));
  EXPECT_EQ("F_Z 30 2 z-function|Function(7,0,1) " + poly, RegistryRow("F_Z"));
}

TEST(ElemAC, PolynomialOrderFollowsModelAndOnlySDomainKeepsIC) {
  auto s = NewOf("F_S");
  auto z = NewOf("F_Z");
  EXPECT_EQ("f", ParamNames(*s, MC_FUNCTION));
  EXPECT_EQ("b0 b1 a0 a1 IC", ParamNames(*s, MC_POLY1));
  EXPECT_EQ("b0 b1 b2 b3 b4 b5 a0 a1 a2 a3 a4 a5 IC", ParamNames(*s, MC_POLY5));
  EXPECT_EQ("K Roots IC", ParamNames(*s, MC_ROOTS));
  EXPECT_EQ("b0 b1 b2 a0 a1 a2", ParamNames(*z, MC_POLY2));
  // A new block passes its input unchanged: b0 = a0 = 1, the rest 0.
  EXPECT_EQ("1 0 1 0", ParamText(*z, MC_POLY1, "b0") + " " + ParamText(*z, MC_POLY1, "b1") +
                           " " + ParamText(*z, MC_POLY1, "a0") + " " +
                           ParamText(*z, MC_POLY1, "a1"));
}

TEST(ElemAC, DocumentAttributes) {
  CheckDocumentCases("F_S", {{MC_FUNCTION, "f", "1/(1+s)", "f", "1%2f(1%2bs)", false},
                             {MC_ROOTS, "K", "7", "k", "7", false},
                             {MC_ROOTS, "Roots", "0,1,-5,0", "roots", "0,1,-5,0", false},
                             {MC_POLY5, "b0", "2", "b0", "2", false},
                             {MC_POLY5, "b2", "=3*4", "b2_str", "%3d3*4", false},
                             {MC_POLY5, "b5", "7", "b5", "7", false},
                             {MC_POLY5, "a0", "3", "a0", "3", false},
                             {MC_POLY5, "a3", "0.5", "a3", "500e-3", false},
                             {MC_POLY5, "a5", "53", "a5", "53", false},
                             {MC_POLY5, "IC", "0.5, 2", "ic", "0.5%2c+2", true}});
  CheckDocumentCases("F_Z", {{MC_FUNCTION, "f", "z", "f", "z", false},
                             {MC_POLY2, "b1", "4", "b1", "4", false},
                             {MC_POLY2, "a2", "-1", "a2", "-1", false}});
}
