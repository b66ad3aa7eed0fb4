// The signal generator's data: defaults, the "Signal" element's attribute
// names, a round trip of every field, loading without the element, and
// the binding of descriptors by name.

#include "elements/Signal.h"

#include <gtest/gtest.h>

#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/xml.h"
#include "elements/PWL.h"

namespace {

std::string Attr(const CXMLNode& node, const char* name) {
  return node.AttributeExists(name) ? node.GetAttribute(name, "").str() : "<absent>";
}

}  // namespace

TEST(Signal, DefaultsAsStored) {
  CSignal s;
  CXMLNode parent("Cmp");
  s.SerializeSignal(&parent);
  CXMLNode* n = parent.GetNode("Signal", 0);
  ASSERT_NE(nullptr, n);
  const char* expected[][2] = {{"u0", "0"},     {"u1", "10"},  {"p", "1"},     {"w", "500e-3"},
                               {"cw", "0"},     {"s", "0"},    {"r", "0"},     {"f", "0"},
                               {"d", "0"},      {"ph", "0"},   {"dec", "0"},   {"list", "0,0"},
                               {"function", "10"}, {"file", ""}, {"trace", ""}, {"c", "0"},
                               {"type", "0"},   {"f0", "0"},   {"f1", "0"}};
  ASSERT_EQ(19, n->AttributeCount());
  for (int i = 0; i < 19; ++i) {
    AnsiString name, value;
    n->GetAttribute(i, &name, &value);
    EXPECT_EQ(expected[i][0], name.str());  // names and their order
    EXPECT_EQ(expected[i][1], value.str()) << expected[i][0];
  }
}

TEST(Signal, EveryFieldRoundTrips) {
  CSignal s;
  s.u0.SetVal(-2);
  s.u1.SetText("=3*2");
  s.u1.SetValue(6);
  s.period.SetVal(1e-3);
  s.width.SetVal(2e-4);
  s.clock_step.SetVal(1e-7);
  s.slope = CSignal::kSlopeCos;
  s.rise.SetVal(1e-5);
  s.fall.SetVal(2e-5);
  s.delay.SetVal(-5e-3);
  s.phase.SetVal(90);
  s.decay.SetVal(3);
  s.list = "0,1,1e-3,2";
  s.function = "sin(t)";
  s.file = "wave.txt";
  s.trace = "V(R1)";
  s.cycle = 1;
  s.sweep_type = CSignal::kSweepExp;
  s.f0.SetVal(10);
  s.f1.SetVal(1e4);
  CXMLNode parent("Cmp");
  s.SerializeSignal(&parent);
  AnsiString text;
  parent.WriteToString(text);
  CXMLNode loaded("Cmp");
  ASSERT_TRUE(loaded.ReadFromText(text, "Cmp"));
  CSignal t;
  t.SerializeSignal(&loaded);
  const CFormula* a[] = {&s.u0, &s.u1, &s.period, &s.width, &s.clock_step, &s.rise, &s.fall,
                         &s.delay, &s.phase, &s.decay, &s.f0, &s.f1};
  const CFormula* b[] = {&t.u0, &t.u1, &t.period, &t.width, &t.clock_step, &t.rise, &t.fall,
                         &t.delay, &t.phase, &t.decay, &t.f0, &t.f1};
  for (int i = 0; i < 12; ++i) {
    EXPECT_DOUBLE_EQ(a[i]->Value(), b[i]->Value()) << i;
    EXPECT_EQ(a[i]->Text().str(), b[i]->Text().str()) << i;
  }
  EXPECT_EQ(s.slope, t.slope);
  EXPECT_EQ(s.cycle, t.cycle);
  EXPECT_EQ(s.sweep_type, t.sweep_type);
  EXPECT_EQ(s.list.str(), t.list.str());
  EXPECT_EQ(s.function.str(), t.function.str());
  EXPECT_EQ(s.file.str(), t.file.str());
  EXPECT_EQ(s.trace.str(), t.trace.str());
  EXPECT_EQ("%3d3*2", Attr(*parent.GetNode("Signal", 0), "u1_str"));

  // Without a "Signal" element nothing changes.
  CXMLNode empty("Cmp");
  empty.SetStore(false);
  t.SerializeSignal(&empty);
  EXPECT_EQ(6.0, t.u1.Value());
}

TEST(Signal, BindsDescriptorsByName) {
  CSignal s;
  CParam params[] = {CParam(PK_FORMULA, "I1", "A"),   CParam(PK_FORMULA, "V0", "V"),
                     CParam(PK_FORMULA, "F1", "Hz"),  CParam(PK_FORMULA, "Step", "s"),
                     CParam(PK_CHOICE, "Slope", ""),  CParam(PK_YES_NO, "Cycle", ""),
                     CParam(PK_FUNCTION, "f", ""),    CParam(PK_FORMULA, "Gain", ""),
                     CParam()};
  s.BindParams(params);
  EXPECT_EQ(&s.u1, params[0].BoundFormula());
  EXPECT_EQ(&s.u0, params[1].BoundFormula());
  EXPECT_EQ(&s.f1, params[2].BoundFormula());  // a frequency, not a level
  EXPECT_EQ(&s.clock_step, params[3].BoundFormula());
  EXPECT_EQ(&s.slope, params[4].BoundInt());
  EXPECT_EQ(&s.cycle, params[5].BoundInt());
  EXPECT_EQ(&s.function, params[6].BoundText());
  EXPECT_EQ(nullptr, params[7].BoundFormula());  // not a signal parameter
  s.slope = 2;
  EXPECT_EQ("Exp", params[4].GetText().str());
  EXPECT_EQ(nullptr, s.GetSignalParams(MC_V, 'V'));
  EXPECT_FALSE(CSignal::IsSignalModel(MC_ONE_SHOT));
  EXPECT_TRUE(CSignal::IsSignalModel(MC_SWEEP));
}

TEST(PWL, TableAttributesUnderAnyName) {
  CPWL t(nullptr, "1, 0.5, 2");
  t.file = "a b.txt";
  t.mode = 3;
  CXMLNode node("Cmp");
  t.SerializePWL(&node, "pwli");
  EXPECT_EQ("1, 0.5, 2", Attr(node, "pwli"));
  EXPECT_EQ("a+b.txt", Attr(node, "pwlif"));
  EXPECT_EQ("3", Attr(node, "pwlim"));
  node.SetStore(false);
  CPWL u;
  u.SerializePWL(&node, "pwli");
  EXPECT_EQ("1, 0.5, 2", u.text.str());
  EXPECT_EQ("a b.txt", u.file.str());
  EXPECT_EQ(3, u.mode);
}
