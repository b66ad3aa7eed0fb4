// Sample-and-hold X_SH: registry row, parameter and document attribute.

#include "elements/ElemSH.h"

#include "elements/ElemDocCases.h"

TEST(ElemSH, RegistryRowAndParameter) {
  EXPECT_EQ("X_SH 79 3 Sample/hold|SH(43,1,1) SubCir(10,0,1)", RegistryRow("X_SH"));
  auto c = NewOf("X_SH");
  EXPECT_EQ("IC", ParamNames(*c, MC_SH));
  EXPECT_EQ("0", ParamText(*c, MC_SH, "IC"));
}

TEST(ElemSH, DocumentAttributes) {
  CheckDocumentCases("X_SH", {{MC_SH, "IC", "4", "ic", "4", false}});
}
