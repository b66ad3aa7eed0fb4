// Transmission line X_Line: registry row, parameters per model and the
// document attributes.

#include "elements/ElemLine.h"

#include <cmath>

#include "elements/ElemDocCases.h"

TEST(ElemLine, RegistryRow) {
  EXPECT_EQ("X_Line 82 4 Transmission line|Line(24,2,0) Lossy(25,2,0)", RegistryRow("X_Line"));
}

TEST(ElemLine, ParametersUnitsAndDefaults) {
  auto c = NewOf("X_Line");
  EXPECT_EQ("t0 z0 VIC IIC", ParamNames(*c, MC_LINE));
  EXPECT_EQ("t0 z0 r fr G fG VIC IIC", ParamNames(*c, MC_LOSSY));
  std::string units, texts;
  for (CParam* p = c->GetParameter(""); p->Name() != nullptr; ++p) {
    units += std::string(p->Unit()) + " ";
    texts += p->GetText().str() + " ";
  }
  EXPECT_EQ("s Ohm Ohm/ns MHz 1/Ohm/ns MHz V A ", units);
  EXPECT_EQ("1e-6 50 0 1 0 inf   ", texts);  // no dielectric loss, no initial state
  // An infinite corner frequency is stored and comes back infinite.
  c->SetModel(MC_LOSSY);
  auto copy = RoundTrip(*c, false);
  copy->SetModel(MC_LOSSY);
  EXPECT_TRUE(std::isinf(copy->GetParameter("fG")->BoundFormula()->Value()));
}

TEST(ElemLine, DocumentAttributes) {
  // Every value travels whatever the model; the initial state only with
  // the initial conditions.
  CheckDocumentCases("X_Line", {{MC_LOSSY, "t0", "2u", "t", "2e-6", false},
                                {MC_LOSSY, "z0", "75", "z", "75", false},
                                {MC_LOSSY, "r", "0.5", "r", "500e-3", false},
                                {MC_LOSSY, "G", "0.25", "g", "250e-3", false},
                                {MC_LOSSY, "fr", "3", "rf", "3", false},
                                {MC_LOSSY, "fG", "7", "gf", "7", false},
                                {MC_LOSSY, "VIC", "1", "vic", "1", true},
                                {MC_LOSSY, "IIC", "-1", "iic", "-1", true}});
}
