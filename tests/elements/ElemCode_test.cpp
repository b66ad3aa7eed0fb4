// Code component X_C: registry row, parameters and document attributes.

#include "elements/ElemCode.h"

#include "elements/ElemDocCases.h"

TEST(ElemCode, RegistryRowAndParameters) {
  EXPECT_EQ("X_C 90 0 C-code|C(49,0,0) File(56,0,0)", RegistryRow("X_C"));
  auto c = NewOf("X_C");
  EXPECT_EQ("Code IC", ParamNames(*c, MC_CODE));
  EXPECT_EQ(PK_CODE, c->GetParameter("Code")->Kind());
  EXPECT_EQ("<no code>", ParamText(*c, MC_CODE, "Code"));
  // Both models share one initial condition.
  SetParam(*c, MC_CODE, "IC", "n=3");
  EXPECT_EQ("File IC", ParamNames(*c, MC_CODE_FILE));
  EXPECT_EQ(PK_CODE_FILE, c->GetParameter("File")->Kind());
  EXPECT_EQ("n=3", ParamText(*c, MC_CODE_FILE, "IC"));
}

TEST(ElemCode, DocumentAttributes) {
  CheckDocumentCases(
      "X_C", {{MC_CODE, "Code", "y1 = x1 + x2;\nn++;", "c_code",
               "y1+%3d+x1+%2b+x2%3b%0an%2b%2b%3b", false},
              {MC_CODE, "IC", "n=3,a[0]=1", "ic", "n%3d3%2ca%5b0%5d%3d1", true},
              {MC_CODE_FILE, "File", "my prog.c", "file", "my+prog.c", false}});
}
