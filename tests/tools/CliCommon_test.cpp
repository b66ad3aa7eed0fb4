// What `qvs run` and `qvs ac` share: --set assignments applied to a real
// document, the choice of traces, CSV fields and output files.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Circuit.h"
#include "CliCommon.h"
#include "CliRun.h"
#include "Commands.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace qvs {
namespace {

// The value of a parameter ("R1.R"), read back through the library; NaN
// when it cannot be read.
double ParameterValue(const Circuit& circuit, const std::string& name) {
  std::string n = name;
  double v = 0.0;
  return QVS_GetValue(circuit.Handle(), n.data(), &v) == 0 ? v : std::nan("");
}

std::vector<std::string> Names(const std::vector<TraceInfo>& traces) {
  std::vector<std::string> out;
  for (const TraceInfo& t : traces) out.push_back(t.name);
  return out;
}

// elements/lc_meters.qvs: R1 = 10 Ohm, R2 = 1 kOhm, with meters.
TEST(CliCommonSets, NamesAreTrimmedValuesGoToTheLibraryInOrder) {
  Circuit circuit(TestData("elements/lc_meters.qvs"));
  ApplySets(circuit, {"  R1.R\t=4k7", "R2.R=1k", "R2.R==2*1100"});
  EXPECT_DOUBLE_EQ(4700.0, ParameterValue(circuit, "R1.R"));
  // The first "=" ends the name; the rest, a formula here, is the value,
  // and the later assignment of R2 wins.
  EXPECT_DOUBLE_EQ(2200.0, ParameterValue(circuit, "R2.R"));
}

TEST(CliCommonSets, MalformedTextsAreUsageErrorsRefusalsLibraryErrors) {
  Circuit circuit(TestData("elements/lc_meters.qvs"));
  for (const char* bad : {"R1.R", "=5", " \t=5", ""})
    EXPECT_THROW(ApplySets(circuit, {bad}), UsageError) << "'" << bad << "'";
  EXPECT_DOUBLE_EQ(10.0, ParameterValue(circuit, "R1.R"));

  // What comes before a refused assignment is done, what follows is not.
  try {
    ApplySets(circuit, {"R1.R=20", "R1.X=5", "R2.R=5"});
    ADD_FAILURE() << "R1.X was accepted";
  } catch (const LibError& e) {
    EXPECT_STREQ("QVS_SetText: parameter R1.X not found", e.what());
  }
  EXPECT_DOUBLE_EQ(20.0, ParameterValue(circuit, "R1.R"));
  EXPECT_DOUBLE_EQ(1000.0, ParameterValue(circuit, "R2.R"));
}

// doc/all_classes.qvs holds one component of every class, some in their
// drawing variants ("_C_C45" is a capacitor, "_L_L45" an inductor), and
// transient traces of its own.
TEST(CliCommonTraces, AskedThenTheDocumentsThenTheDefaults) {
  const Circuit circuit(TestData("doc/all_classes.qvs"));
  const std::vector<ComponentInfo> cmps = circuit.Components();
  const std::vector<TraceInfo> doc = circuit.Traces(0);  // transient
  ASSERT_FALSE(doc.empty());

  const std::vector<std::string> asked = {"Vout", "2*V(R1)"};
  EXPECT_EQ(asked, ChosenTraces(asked, doc, cmps, true));
  EXPECT_EQ(Names(doc), ChosenTraces({}, doc, cmps, true));

  // Without traces: the voltages of the capacitors, inductors and the
  // voltmeter and the current of the amperemeter, in component order;
  // labels, variables and every other class record nothing.
  const std::vector<std::string> ac = {"I(A1)", "V(C1)", "V(C2)", "V(C3)", "V(C4)", "V(L1)",
                                       "V(L2)", "V(L3)", "V(L4)", "V(L5)", "V(L6)", "V(V5)"};
  EXPECT_EQ(ac, ChosenTraces({}, {}, cmps, false));
  // With the sources: every voltage and current source's voltage as well.
  const std::vector<std::string> tran = {
      "I(A1)", "V(C1)", "V(C2)", "V(C3)", "V(C4)", "V(I1)", "V(I2)", "V(I3)", "V(I4)",
      "V(L1)", "V(L2)", "V(L3)", "V(L4)", "V(L5)", "V(L6)", "V(V1)", "V(V2)", "V(V3)",
      "V(V4)", "V(V5)"};
  EXPECT_EQ(tran, ChosenTraces({}, {}, cmps, true));
}

TEST(CliCommonFiles, CsvFieldsQuoteOnlyWhatNeedsIt) {
  EXPECT_EQ("V(R1)", CsvField("V(R1)"));
  EXPECT_EQ("", CsvField(""));
  EXPECT_EQ("\"max(V(R1),1)\"", CsvField("max(V(R1),1)"));
  EXPECT_EQ("\"say \"\"hi\"\"\"", CsvField("say \"hi\""));
  EXPECT_EQ("\"a\nb\"", CsvField("a\nb"));
}

TEST(CliCommonFiles, OutputFileIsWrittenOrNamedInTheError) {
  const std::string path = ScratchDir() + "/common_out.txt";
  WriteOutputFile(path, "CSV file", [](std::ostream& f) { f << "a,b\r\n1,2\n"; });
  EXPECT_EQ("a,b\r\n1,2\n", clitest::ReadFile(path));  // bytes as given

  const std::string bad = ScratchDir() + "/no_such_dir/x.svg";
  try {
    WriteOutputFile(bad, "plot", [](std::ostream& f) { f << "x"; });
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const LibError& e) {
    EXPECT_EQ("cannot write plot " + bad, std::string(e.what()));
  }
}

}  // namespace
}  // namespace qvs
