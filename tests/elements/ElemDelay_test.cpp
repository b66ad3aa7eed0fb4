// Delay X_Delay: registry row, parameters and document attributes.

#include "elements/ElemDelay.h"

#include "elements/ElemDocCases.h"

TEST(ElemDelay, RegistryRow) {
  EXPECT_EQ("X_Delay 81 2 Delay|Delay(26,1,1) SubCir(10,0,1)", RegistryRow("X_Delay"));
}

TEST(ElemDelay, DelayAndEmptyInitialOutput) {
  auto c = NewOf("X_Delay");
  EXPECT_EQ("t0 IC", ParamNames(*c, MC_DELAY));
  EXPECT_EQ("0", ParamText(*c, MC_DELAY, "t0"));
  // No initial output: the output follows the input until t0 has passed,
  // and an empty value is stored and loaded as empty.
  EXPECT_EQ("", ParamText(*RoundTrip(*c, false), MC_DELAY, "IC"));
  c->SetModel(MC_SUBCIR);  // the subcircuit's parameters, none of the block's
  EXPECT_EQ(nullptr, c->GetParameter("t0"));
}

TEST(ElemDelay, DocumentAttributes) {
  CheckDocumentCases("X_Delay", {{MC_DELAY, "t0", "1m", "t", "1e-3", false},
                                 {MC_DELAY, "IC", "-2", "ic", "-2", false}});
}
