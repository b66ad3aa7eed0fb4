// The Trace element of a document: every attribute and child read and
// written back unchanged, the per-function settings of Math traces, the
// messages of unknown values, and the names a trace shows.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "doc/xml.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// The element in compact text, as the writer gives it.
std::string Compact(const CXMLNode& node) {
  AnsiString text;
  node.WriteToString(text);
  return text.str();
}

// A tree read from text, as the document loader sees it (store flag clear).
std::unique_ptr<CXMLNode> Read(const std::string& text, const char* root) {
  auto node = std::make_unique<CXMLNode>(root);
  EXPECT_TRUE(node->ReadFromText(text, "test")) << text;
  return node;
}

// Every attribute of the element in the order the trace writes them, none
// at its default, with both kept children.
const std::string kFullTrace =
    "<Trace id=\"7\" expr=\"V(R1)\" name=\"out\" type=\"P\" color=\"1,2,3\" sel=\"true\""
    " plot=\"false\" window=\"2\" table=\"false\" storage=\"false\" tools=\"4\" mode=\"bus\""
    " dig_threshold=\"1.25\" scale=\"500e-3\" mid=\"-2\" dig_style=\"3\" bus_format=\"txt\""
    " bus_bits=\"12\" bus_content=\"5\" bus_fp=\"4\" bus_text=\"a;b\" shift=\"1e-3\""
    " xy=\"true\" phase_width=\"3\" ac_out=\"x\" width=\"2\" scale_history=\"1;2;5\""
    " simple_line=\"true\" simple_dp=\"true\" line=\"0\" marker=\"6\" marker_style=\"2\""
    " marker_size=\"9\" fft_div=\"true\">"
    "<Annotations><Note t=\"1\" text=\"peak\" /></Annotations>"
    "<DataList><Data id=\"0\" size=\"12\" type=\"0\" /></DataList>"
    "</Trace>";

// Loads the first Trace of a Traces element into a fresh collection of the
// analysis and stores it again; returns the stored Trace element's text.
std::string RoundTrip(const std::string& trace, bool tran, bool withData,
                      std::string* error = nullptr) {
  auto in = Read("<Traces>" + trace + "</Traces>", "Traces");
  CTran analysis(nullptr, tran);
  EXPECT_TRUE(analysis.Traces().SerializeTraces(in.get(), withData));
  EXPECT_EQ(analysis.Traces().Count(), 1);
  if (error != nullptr) *error = in->GetNodeError().str();
  CXMLNode out("Traces");
  EXPECT_TRUE(analysis.Traces().SerializeTraces(&out, withData));
  return out.NodeCount() == 1 ? Compact(*out.GetNode(0)) : std::string();
}

TEST(TraceElement, EveryAttributeAndChildRoundTrips) {
  auto expected = Read(kFullTrace, "Trace");
  EXPECT_EQ(RoundTrip(kFullTrace, true, true), Compact(*expected));
}

TEST(TraceElement, RunDescriptionsOnlyWithData) {
  const std::string out = RoundTrip(kFullTrace, true, false);
  EXPECT_EQ(out.find("DataList"), std::string::npos);
  EXPECT_NE(out.find("<Annotations>"), std::string::npos);
}

TEST(TraceElement, NewTraceWritesTheDefaults) {
  CTraces traces;
  CTrace trace(&traces);
  CXMLNode node("Trace");
  ASSERT_TRUE(trace.SerializeTrace(&node, true));
  const struct {
    const char* name;
    const char* value;
  } rows[] = {{"id", "0"},         {"type", "V"},       {"color", "0,255,0"},
              {"plot", "true"},    {"table", "true"},   {"storage", "true"},
              {"tools", "-1"},     {"mode", "analog"},  {"dig_threshold", "2.5"},
              {"scale", "10"},     {"mid", "0"},        {"bus_format", "hex"},
              {"bus_content", "-1"}, {"width", "1"},    {"phase_width", "1"},
              {"ac_out", "mag_phase"}, {"line", "1"},   {"sel", "false"}};
  for (const auto& r : rows) EXPECT_EQ(node.GetAttribute(r.name, "?").str(), r.value) << r.name;
  EXPECT_EQ(node.NodeCount(), 0);  // no Function child outside Math traces
  // One that was read stays with the trace, whatever its type.
  const std::string kept = "<Trace type=\"V\"><Function func=\"max\" /></Trace>";
  EXPECT_NE(RoundTrip(kept, true, false).find("<Function func=\"max\""), std::string::npos);
}

TEST(TraceElement, AcTracesKeepNoThresholdAndOldLevelsGiveTheMiddle) {
  const std::string levels = "<Trace type=\"V\" dig_high=\"10\" dig_low=\"2\" />";
  // The levels are read only when no threshold is given; they are not written back.
  auto out = Read(RoundTrip(levels, true, false), "Trace");
  EXPECT_EQ(out->GetAttribute("dig_threshold", "?").str(), "6");
  EXPECT_FALSE(out->AttributeExists("dig_high"));
  auto both = Read(RoundTrip("<Trace dig_threshold=\"1\" dig_high=\"10\" />", true, false),
                   "Trace");
  EXPECT_EQ(both->GetAttribute("dig_threshold", "?").str(), "1");
  auto ac = Read(RoundTrip("<Trace dig_threshold=\"1\" />", false, false), "Trace");
  EXPECT_FALSE(ac->AttributeExists("dig_threshold"));
}

TEST(TraceElement, MathFunctionKeepsTheSettingsOfItsFunction) {
  const struct {
    const char* in;   // attributes after func, range, left, right
    const char* out;  // expected Function element; nullptr: as in
  } rows[] = {
      {"func=\"function\"", nullptr},   {"func=\"min\" min_range=\"true\"", nullptr},
      {"func=\"max\" max_range=\"true\"", nullptr}, {"func=\"integral\"", nullptr},
      {"func=\"mean\" mean_range=\"true\"", nullptr}, {"func=\"rms\"", nullptr},
      {"func=\"sd\"", nullptr},         {"func=\"acrms\"", "func=\"sd\""},
      {"func=\"lpf\" tc=\"2\"", nullptr}, {"func=\"hpf\" tc=\"3\"", nullptr},
      {"func=\"movaver\" window=\"200e-3\"", nullptr}, {"func=\"movrms\" window=\"2\"", nullptr},
      {"func=\"movsd\" window=\"3\"", nullptr},
      {"func=\"movacrms\" window=\"3\"", "func=\"movsd\" window=\"3\""},
      {"func=\"regr\" order=\"3\" reg_range=\"true\"", nullptr},
      {"func=\"counter\" threshold=\"1\" edge=\"1\"", nullptr},
      {"func=\"fvconverter\" threshold=\"2\" edge=\"2\"", nullptr},
      {"func=\"tvconverter\" threshold=\"3\" edge=\"1\"", nullptr},
      // Settings of other functions are not the function's and are dropped.
      {"func=\"min\" tc=\"5\" order=\"4\"", "func=\"min\" min_range=\"false\""},
  };
  for (const auto& r : rows) {
    const std::string trace = std::string("<Trace type=\"Math\"><Function ") + r.in +
                              " range=\"1\" left=\"2\" right=\"3\" /></Trace>";
    auto out = Read(RoundTrip(trace, true, false), "Trace");
    CXMLNode* f = out->GetNode("Function", 0);
    ASSERT_NE(f, nullptr) << r.in;
    // Written in the order func, range, left, right, then the function's own.
    std::string expected = r.out != nullptr ? r.out : r.in;
    const std::size_t cut = expected.find('"', expected.find('"') + 1) + 1;
    expected.insert(cut, " range=\"1\" left=\"2\" right=\"3\"");
    EXPECT_EQ(Compact(*f), "<Function " + expected + " />") << r.in;
  }
}

TEST(TraceElement, UnknownValuesAreReportedAndFallBack) {
  const struct {
    const char* attrs;
    const char* message;
    const char* attr;   // attribute (or Function attribute) written back
    const char* value;  // its fallback
  } rows[] = {
      {"type=\"Q\"", "out : unknown trace type = Q", "type", "V"},
      {"type=\"\"", "out : unknown trace type = ", "type", "V"},
      {"mode=\"blink\"", "out : unknown trace mode = blink", "mode", "analog"},
      {"bus_format=\"b64\"", "out : unknown trace bus format = b64", "bus_format", "dec"},
      {"type=\"Math\"><Function func=\"fft\" /></Trace", "out : unknown trace function = fft",
       "func", "function"},
  };
  for (const auto& r : rows) {
    const std::string trace = std::string("<Trace name=\"out\" ") + r.attrs + ">";
    const std::string text = trace.find("</Trace") != std::string::npos
                                 ? trace
                                 : trace.substr(0, trace.size() - 1) + " />";
    auto in = Read("<Traces>" + text + "</Traces>", "Traces");
    CTraces traces;
    ASSERT_TRUE(traces.SerializeTraces(in.get(), false));
    // The message sits on the Trace element itself.
    EXPECT_EQ(in->GetNode(0)->GetError().str(), r.message) << r.attrs;
    CXMLNode out("Trace");
    traces.GetAt(0)->SerializeTrace(&out, false);
    CXMLNode* holder = std::string(r.attr) == "func" ? out.GetNode("Function", 0) : &out;
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->GetAttribute(r.attr, "?").str(), r.value) << r.attrs;
  }
  // Two problems on one element give two lines.
  std::string error;
  RoundTrip("<Trace name=\"t\" type=\"X\" mode=\"Y\" />", true, false, &error);
  EXPECT_EQ(error, "t : unknown trace type = X\nt : unknown trace mode = Y");
  // An unknown output selector has no message and reads as magnitude and phase.
  RoundTrip("<Trace ac_out=\"db\" />", false, false, &error);
  EXPECT_EQ(error, "");
}

TEST(TraceNames, ExpressionNameAndLookUp) {
  CTran ac(nullptr, false);
  auto in = Read(
      "<Traces><Trace id=\"0\" expr=\"V(R1)\" type=\"Math\"><Function func=\"rms\" /></Trace>"
      "<Trace expr=\"V(R2)\" type=\"V\" ac_out=\"r\" />"
      "<Trace expr=\"V(R3)\" type=\"Math\"><Function func=\"integral\" /></Trace>"
      "<Trace id=\"-1\" expr=\"V(R4)\" type=\"Math\"><Function func=\"rms\" /></Trace>"
      "<Trace name=\"mine\" expr=\"x\" type=\"Function\" /></Traces>",
      "Traces");
  ASSERT_TRUE(ac.SerializeTran(nullptr, false) == false);
  ASSERT_TRUE(ac.Traces().SerializeTraces(in.get(), false));
  const CTraces& t = ac.Traces();
  ASSERT_EQ(t.Count(), 5);
  // AC traces know only Function, Min and Max.
  EXPECT_EQ(t.GetAt(0)->GetTraceName().str(), "Unknown function of V(R1)");
  EXPECT_EQ(t.GetAt(1)->GetTraceName().str(), "Re of V(R2)");
  EXPECT_EQ(t.GetAt(2)->GetTraceName().str(), "Unknown function of V(R3)");
  EXPECT_EQ(t.GetAt(3)->GetTraceName().str(), "V(R4)");  // a kept copy: plain expression
  EXPECT_EQ(t.GetAt(4)->GetTraceName().str(), "mine");
  EXPECT_EQ(t.FindTrace("\"MINE\"", 0, false), t.GetAt(4));
  EXPECT_EQ(t.FindTrace("\"MINE\"", 0, true), nullptr);
  EXPECT_EQ(t.FindTrace("mine.phase", 1, false), t.GetAt(4));
  EXPECT_EQ(t.FindTrace("", 0, false), nullptr);

  CTran tran(nullptr, true);
  ASSERT_TRUE(tran.Traces().SerializeTraces(in.get(), false));
  EXPECT_EQ(tran.Traces().GetAt(0)->GetTraceName().str(), "RMS of V(R1)");
  EXPECT_EQ(tran.Traces().GetAt(2)->GetTraceName().str(), "Integral of V(R3)");
  EXPECT_EQ(tran.Traces().FindTrace("mine.phase", 1, false), nullptr);
  EXPECT_NE(tran.Traces().GetAt(0)->Id(), tran.Traces().GetAt(1)->Id());
}

TEST(TraceNames, SetExprByKind) {
  const struct {
    int type;
    const char* expr;
  } rows[] = {{TT_V, "V(R1)"}, {TT_I, "I(R1)"}, {TT_P, "P(R1)"}, {TT_S, "S(R1)"},
              {TT_VAR, "R1"},  {TT_FUNCTION, "old"}, {TT_DATA, "old"}};
  for (const auto& r : rows) {
    CTrace trace(nullptr);
    trace.SetType(r.type);
    trace.SetExprText("old");
    trace.SetExpr("R1");
    EXPECT_EQ(trace.Expr().str(), r.expr) << r.type;
  }
}

TEST(TraceTran, TracesElementOfTheAnalysis) {
  // Loading without a "Traces" child keeps the collection.
  CTran tran(nullptr, true);
  tran.Traces().Add(new CTrace(&tran.Traces()));
  auto empty = Read("<Tran><Settings /></Tran>", "Tran");
  EXPECT_TRUE(tran.SerializeTran(empty.get(), false));
  EXPECT_EQ(tran.Traces().Count(), 1);
  // Loading one replaces it; storing creates the child.
  auto two = Read("<Tran><Traces><Trace expr=\"a\" /><Trace expr=\"b\" /></Traces></Tran>", "Tran");
  EXPECT_TRUE(tran.SerializeTran(two.get(), false));
  ASSERT_EQ(tran.Traces().Count(), 2);
  CXMLNode out("Tran");
  EXPECT_TRUE(tran.SerializeTran(&out, false));
  ASSERT_NE(out.GetNode("Traces", 0), nullptr);
  EXPECT_EQ(out.GetNode("Traces", 0)->NodeCount(), 2);
  EXPECT_EQ(out.GetNode("Traces", 0)->GetNode(1)->GetAttribute("expr", "").str(), "b");
}

}  // namespace
