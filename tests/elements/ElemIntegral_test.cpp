// Integrator F_INT / F_INTR: registry rows, parameters and document
// attributes.

#include "elements/ElemIntegral.h"

#include "elements/ElemDocCases.h"

TEST(ElemIntegral, RegistryRows) {
  EXPECT_EQ("F_INT 27 2 Integral|Integral(55,1,1)", RegistryRow("F_INT"));
  EXPECT_EQ("F_INTR 28 3 Integral\\nwith reset|Integral(55,1,1)", RegistryRow("F_INTR"));
}

TEST(ElemIntegral, GainAndInitialOutputAndFourResetViews) {
  auto c = NewOf("F_INTR");
  EXPECT_EQ("K IC", ParamNames(*c, MC_INTEGRAL));
  EXPECT_EQ("1 0", ParamText(*c, MC_INTEGRAL, "K") + " " + ParamText(*c, MC_INTEGRAL, "IC"));
  EXPECT_STREQ("V/V", c->GetParameter("K")->Unit());
  // Views 0 to 3 select the reset's polarity and level or edge action.
  for (int v = 1; v <= 3; ++v) EXPECT_FALSE(c->PlusMinusView(1));
  EXPECT_EQ(3, c->View());
  EXPECT_TRUE(c->PlusMinusView(1));
  EXPECT_EQ(0, c->View());
}

TEST(ElemIntegral, DocumentAttributes) {
  CheckDocumentCases("F_INTR", {{MC_INTEGRAL, "K", "2.5", "k", "2.5", false},
                                {MC_INTEGRAL, "IC", "=1+2", "func_ic", "3", false}});
}
