// The variable component: its type record, adding it to a circuit, its
// document form, its parameter and the value it gives traces.

#include <gtest/gtest.h>

#include <cmath>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "expr/Variable.h"

namespace {

TEST(Variable, TypeRecord) {
  const SElemType& t = CVariable::m_elemtype;
  EXPECT_STREQ(t.name, "var");
  EXPECT_EQ(t.id, 4);
  EXPECT_EQ(t.pins, 0);
  EXPECT_STREQ(t.description, "Variable");
  ASSERT_STREQ(t.models[0].name, "Var");
  EXPECT_EQ(t.models[0].id, 1);
  EXPECT_EQ(t.models[1].name, nullptr);  // the only model
  // Variable traces only: no V, I, P or S trace, and no AC source.
  EXPECT_EQ(t.models[0].flags, 16);
  EXPECT_EQ(t.models[0].extra, 0);
}

TEST(Variable, AddVariableNamesOrdersAndCounts) {
  CCmps cmps;
  const int a = cmps.AddVariable("zeta");
  const int b = cmps.AddVariable("Alpha");
  ASSERT_GT(a, 0);
  EXPECT_EQ(b, a + 1);
  CCmp* r = cmps.AddCmp("R_R");  // whatever types exist: a variable still comes last
  ASSERT_EQ(cmps.Count(), r != nullptr ? 3 : 2);
  EXPECT_EQ(cmps.GetAt(cmps.Count() - 2)->Name().str(), "Alpha");
  EXPECT_EQ(cmps.GetAt(cmps.Count() - 1)->Name().str(), "zeta");
  CCmp* v = cmps.GetCmp("ZETA");
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->IsVariable());
  EXPECT_EQ(v->Id(), a);
  EXPECT_EQ(v->Owner(), &cmps);
  EXPECT_EQ(v->PinCount(), 0);
  EXPECT_FALSE(v->IsDisabled());
  EXPECT_EQ(v->Model(), 1);
}

TEST(Variable, DocumentFormRoundTrips) {
  CCmps cmps;
  auto* v = static_cast<CVariable*>(cmps.GetCmp(cmps.AddVariable("gain")));
  v->Value().SetText("=1/4");
  v->Value().SetValue(0.25);
  v->Value().SetFormat(CFormula::kHex);
  v->Value().SetBits(16);
  CXMLNode node("Cmp");
  ASSERT_TRUE(v->SerializeCmp(&node, false, true));
  const struct {
    const char* name;
    const char* value;
  } rows[] = {{"type", "var"},      {"name", "gain"},      {"model", "Var"},
              {"val_str", "%3d1%2f4"}, {"val", "250e-3"}, {"val_format", "hex"},
              {"val_bit", "16"}};
  for (const auto& r : rows) EXPECT_EQ(node.GetAttribute(r.name, "?").str(), r.value) << r.name;

  AnsiString text;
  node.WriteToString(text);
  CXMLNode loaded("Cmp");
  ASSERT_TRUE(loaded.ReadFromText(text, "test"));
  CVariable fresh;
  ASSERT_TRUE(fresh.SerializeCmp(&loaded, false, false));
  EXPECT_EQ(fresh.Name().str(), "gain");
  EXPECT_EQ(fresh.Id(), v->Id());
  EXPECT_EQ(fresh.Value().Text().str(), "=1/4");
  EXPECT_EQ(fresh.Value().Value(), 0.25);
  EXPECT_EQ(fresh.Value().GetFormat(), CFormula::kHex);
  EXPECT_EQ(fresh.Value().Bits(), 16);
}

TEST(Variable, ParameterFormulaCheckAndTraceValue) {
  CCmps cmps;
  auto* v = static_cast<CVariable*>(cmps.GetCmp(cmps.AddVariable("k")));
  CParam* p = v->GetParameter("VAL");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Kind(), PK_FORMULA);
  EXPECT_EQ(v->GetParameter(""), p);  // the one parameter is the whole list

  v->Value().SetText("=3*2");
  EXPECT_TRUE(cmps.CalculateFormulas());
  EXPECT_EQ(v->Value().Value(), 6.0);
  EXPECT_EQ(p->GetText().str(), "6");
  char buf[16];
  EXPECT_EQ(p->GetDLLParamText(buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "=3*2");
  double x = 0;
  // A bare variable name reads its one parameter.
  ASSERT_TRUE(cmps.GetCmpParamValue("k", &x));
  EXPECT_EQ(x, 6.0);

  int n1 = 11, n2 = 12, extra = 13;
  double value = 0;
  EXPECT_TRUE(v->GetTraceNodes(nullptr, 4, n1, n2, extra, value));
  EXPECT_EQ(value, 6.0);
  EXPECT_EQ(n1 + n2 + extra, 36);  // the node outputs are not the variable's

  EXPECT_EQ(v->CheckFormula().str(), "");
  EXPECT_TRUE(v->CheckParams(nullptr));
  v->Value().SetText("=1+");
  EXPECT_FALSE(cmps.CalculateFormulas());
  EXPECT_TRUE(v->Value().Error());
  EXPECT_EQ(v->CheckFormula().str(), "formula error");
  EXPECT_FALSE(v->CheckParams(nullptr));
}

}  // namespace
