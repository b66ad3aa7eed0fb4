// Impedance block Z_Z: registry row, parameters and document attributes.

#include "elements/ElemZ.h"

#include "elements/ElemDocCases.h"

TEST(ElemZ, RegistryRow) {
  EXPECT_EQ(
      "Z_Z 110 2 Impedance|Function(7,1,7) Poly1(63,1,7) Poly2(64,1,7) Poly3(65,1,7) "
      "Poly4(66,1,7) Poly5(67,1,7) Roots(72,1,7)",
      RegistryRow("Z_Z"));
}

TEST(ElemZ, ParametersPerModel) {
  auto z = NewOf("Z_Z");
  EXPECT_EQ("z", ParamNames(*z, MC_FUNCTION));
  EXPECT_EQ(PK_FUNCTION, z->GetParameter("z")->Kind());
  EXPECT_STREQ("Ohm", z->GetParameter("z")->Unit());
  EXPECT_EQ("b0 b1 b2 b3 b4 a0 a1 a2 a3 a4 IC", ParamNames(*z, MC_POLY4));
  EXPECT_EQ(PK_FUNC_NAME, z->GetParameter("IC")->Kind());
  EXPECT_EQ("K Roots IC", ParamNames(*z, MC_ROOTS));
  EXPECT_EQ(PK_ROOTS, z->GetParameter("Roots")->Kind());
}

TEST(ElemZ, DocumentAttributes) {
  CheckDocumentCases("Z_Z", {{MC_FUNCTION, "z", "50+s*1m", "f", "50%2bs*1m", false},
                             {MC_POLY5, "b1", "21", "b1", "21", false},
                             {MC_POLY5, "b4", "24", "b4", "24", false},
                             {MC_POLY5, "a2", "1.5k", "a2", "1.5e+3", false},
                             {MC_POLY5, "a5", "31", "a5", "31", false},
                             {MC_POLY5, "IC", "1,2,3", "ic", "1%2c2%2c3", true},
                             {MC_ROOTS, "K", "=2+2", "k_str", "%3d2%2b2", false},
                             // plain, not escaped
                             {MC_ROOTS, "Roots", "1,-1,0,1,-2,3", "roots", "1,-1,0,1,-2,3",
                              false}});
}
