// Directional coupler X_DC: registry row, parameters and document
// attributes.

#include "elements/ElemDC.h"

#include "elements/ElemDocCases.h"

TEST(ElemDC, RegistryRowAndParameters) {
  EXPECT_EQ("X_DC 80 4 Directional coupler|Coupler(47,3,7)", RegistryRow("X_DC"));
  auto c = NewOf("X_DC");
  EXPECT_EQ("z0 CF", ParamNames(*c, MC_COUPLER));
  EXPECT_EQ("50 0", ParamText(*c, MC_COUPLER, "z0") + " " + ParamText(*c, MC_COUPLER, "CF"));
  EXPECT_STREQ("dB", c->GetParameter("CF")->Unit());
}

TEST(ElemDC, DocumentAttributes) {
  CheckDocumentCases("X_DC", {{MC_COUPLER, "z0", "75", "z", "75", false},
                              {MC_COUPLER, "CF", "20", "cf", "20", false}});
}
