// Windings and transformers: registry rows, turn parameters and their
// document attributes, and the generated parameters of W_CUSTOM.

#include "elements/ElemW.h"

#include "elements/ElemDocCases.h"

TEST(ElemW, RegistryRows) {
  EXPECT_EQ("W_W 74 3 Winding|Winding(27,1,7)", RegistryRow("W_W"));
  EXPECT_EQ("W_T2 75 4 Transformer|Transformer(27,3,7) SubCir(10,0,1)", RegistryRow("W_T2"));
  EXPECT_EQ("W_T3 76 5 Differential\\ntransformer|Transformer(27,4,7) SubCir(10,0,1)",
            RegistryRow("W_T3"));
  EXPECT_EQ("W_CUSTOM 77 0 Custom\\ntransformer|Transformer(27,0,7) SubCir(10,0,1)",
            RegistryRow("W_CUSTOM"));
}

TEST(ElemW, TurnsUnderTheirAttributeNames) {
  auto w = NewOf("W_W");
  EXPECT_EQ("n", ParamNames(*w, MC_WINDING));
  EXPECT_STREQ("turns", w->GetParameter("n")->Unit());
  EXPECT_EQ("1", ParamText(*w, MC_WINDING, "n"));
  CheckDocumentCases("W_W", {{MC_WINDING, "n", "10", "w", "10", false}});
  for (const char* key : {"W_T2", "W_T3"}) {
    auto t = NewOf(key);
    EXPECT_EQ("n1 n2", ParamNames(*t, MC_WINDING));
    CheckDocumentCases(key, {{MC_WINDING, "n1", "10", "w", "10", false},
                             {MC_WINDING, "n2", "=1+2", "w1", "3", false}});
  }
}

TEST(ElemW, CustomHasOneTurnsParameterPerWinding) {
  auto c = NewOf("W_CUSTOM");
  c->CreateCmpNodes(6);
  c->UpdateCustom();
  EXPECT_EQ("n1 n2 n3", ParamNames(*c, MC_WINDING));
  SetParam(*c, MC_WINDING, "n2", "5");
  SetParam(*c, MC_WINDING, "n3", "0.5");
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*c, false, &stored);
  EXPECT_EQ(6, copy->PinCount());
  EXPECT_EQ(AllParams(*c), AllParams(*copy));
  EXPECT_EQ("1 5 500e-3", Attr(stored, "n1") + " " + Attr(stored, "n2") + " " + Attr(stored, "n3"));
  // The winding currents and the core.
  EXPECT_EQ(4, c->CreateExtraNodes(nullptr, 7));
  EXPECT_EQ(7, c->FirstExtra());

  // From three windings to two: the parameters are made anew, value 1.
  c->CreateCmpNodes(4);
  c->UpdateCustom();
  EXPECT_EQ("n1 n2", ParamNames(*c, MC_WINDING));
  EXPECT_EQ("1", ParamText(*c, MC_WINDING, "n2"));
}
