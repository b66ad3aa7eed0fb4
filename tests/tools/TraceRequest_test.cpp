// How the qvs tool takes a --trace text.

#include <gtest/gtest.h>

#include "Circuit.h"
#include "Commands.h"

namespace qvs {
namespace {

const std::vector<ComponentInfo> kCmps = {
    {"R1", "R_R", "Resistor", "R"}, {"L1", "L_L", "Inductor", "L"}, {"gain", "var", "", "Var"}};
const std::vector<TraceInfo> kDocTraces = {{"Vout", "V", "V(R1)"}, {"Ptot", "Function", "P(R1)*2"}};

TEST(TraceRequest, BracketFormsNameAComponentQuantity) {
  const TraceRequest v = ClassifyTrace("V(R1)", kCmps, kDocTraces);
  EXPECT_EQ('V', v.kind);
  EXPECT_EQ("R1", v.text);
  EXPECT_EQ("V", v.unit);
  const TraceRequest i = ClassifyTrace(" i( L1 ) ", kCmps, kDocTraces);
  EXPECT_EQ('I', i.kind);
  EXPECT_EQ("L1", i.text);
  EXPECT_EQ("I(L1)", i.label);
  EXPECT_EQ("A", i.unit);
  EXPECT_EQ('P', ClassifyTrace("P(R1)", kCmps, kDocTraces).kind);
  EXPECT_EQ("W", ClassifyTrace("P(R1)", kCmps, kDocTraces).unit);
}

TEST(TraceRequest, NamesAreComponentsVariablesOrDocumentTraces) {
  const TraceRequest c = ClassifyTrace("r1", kCmps, kDocTraces);
  EXPECT_EQ('V', c.kind);
  EXPECT_EQ("R1", c.text);  // the component's own spelling
  EXPECT_EQ("V(R1)", c.label);
  EXPECT_EQ('X', ClassifyTrace("gain", kCmps, kDocTraces).kind);
  const TraceRequest d = ClassifyTrace("vout", kCmps, kDocTraces);
  EXPECT_EQ('T', d.kind);
  EXPECT_EQ("Vout", d.text);
  EXPECT_EQ("V", d.unit);
  EXPECT_EQ("", ClassifyTrace("Ptot", kCmps, kDocTraces).unit);
  // An unknown name is asked for as a voltage: the library names the fault.
  const TraceRequest u = ClassifyTrace("R9", kCmps, kDocTraces);
  EXPECT_EQ('V', u.kind);
  EXPECT_EQ("R9", u.text);
}

TEST(TraceRequest, EverythingElseIsAFormula) {
  for (const char* f : {"2*V(R1)", "V(R1)+V(L1)", "V(R1)*I(R1)", "sin(t)"}) {
    const TraceRequest r = ClassifyTrace(f, kCmps, kDocTraces);
    EXPECT_EQ('F', r.kind) << f;
    EXPECT_EQ(f, r.text);
    EXPECT_EQ("", r.unit);
  }
}

}  // namespace
}  // namespace qvs
