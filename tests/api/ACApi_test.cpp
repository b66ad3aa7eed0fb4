// The AC functions through qvs_dll.h: every argument and handle message,
// the frequencies of sweeps and lists, the settings and source failures of
// a run, and the AC source's model after a run.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ACTestDoc.h"
#include "ApiTest.h"

using namespace actest;

namespace {

// V1 -> R1 = 1 kOhm -> C1 = 1 uF to ground; V1 is a Pulse source so that a
// restored model is told apart from the type's default.
const char* const kRc =
    "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"Pulse\">"
    "<Signal u0=\"0\" u1=\"1\" p=\"0.01\" w=\"0.005\" r=\"0\" f=\"0\" d=\"0\" /></Cmp>\n"
    "<Cmp type=\"R_R\" id=\"2\" name=\"R1\" node0=\"1\" node1=\"2\" model=\"R\" r=\"1000\" />\n"
    "<Cmp type=\"C_C\" id=\"3\" name=\"C1\" node0=\"0\" node1=\"2\" model=\"C\" c=\"1e-6\" />\n"
    "<Cmp type=\"label\" id=\"4\" name=\"L1\" node0=\"2\" model=\"Label\" />";
const char* const kRcTraces =
    "<Traces><Trace id=\"3\" type=\"V\" expr=\"V(C1)\" name=\"\" /></Traces>";

int OpenRc(const std::string& name, const std::string& settings) {
  return OpenCircuit(name, kRc, std::string(kRcTraces) + "<Settings " + settings + " />",
                     "<Traces><Trace id=\"3\" type=\"V\" expr=\"V(C1)\" name=\"\" /></Traces>"
                     "<Settings step=\"1e-5\" screen=\"0.01\" />");
}

std::string ModelOf(int h, const char* name) {
  char text[64] = "?";
  EXPECT_GE(QVS_GetText(h, S(std::string(name) + ".model"), text, sizeof text), 0) << Err();
  return text;
}

class ACApi : public ::testing::Test {
 protected:
  void SetUp() override {
    h = OpenRc(::testing::UnitTest::GetInstance()->current_test_info()->name(),
               "from=\"1\" to=\"100\" points=\"3\" scale=\"0\" id=\"1\"");
    ASSERT_GE(h, 0) << Err();
  }
  void TearDown() override { QVS_Close(h); }
  int h = -1;
};

}  // namespace

TEST_F(ACApi, SetACChecksFromAndToBeforeTheScale) {
  struct {
    int scale;
    double from, to;
    const char* error;
  } const cases[] = {
      {0, 100, 10, "QVS_SetAC: to < from"},
      {1, 100, 10, "QVS_SetAC: to < from"},  // before the scale is looked at
      {1, -5, -10, "QVS_SetAC: to < from"},
      {0, 0, 10, "QVS_SetAC: from < 0"},
      {0, -1, 10, "QVS_SetAC: from < 0"},
      // Only an unordered from (NaN) gets past both to "to <= 0".
      {0, std::nan(""), -1, "QVS_SetAC: to <= 0"},
      {1, 0, 10, "OK"},  // a linear sweep may start at 0
      {1, -10, 10, "OK"},
      {0, 10, 10, "OK"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QVS_SetAC(h, 5, c.scale, c.from, c.to), std::string(c.error) == "OK" ? 0 : -1);
    EXPECT_EQ(Err(), c.error) << c.scale << " " << c.from << " " << c.to;
  }
  EXPECT_FAILS(QVS_SetAC(h + 1000, 5, 0, 1, 10), "QVS_SetAC: wrong circuit handle");
}

TEST(ACApiSettings, SetACTurnsAListIntoASweepWithMethodZeroAndKeepsTheSource) {
  // A list document with a method the analysis refuses: after QVS_SetAC
  // the run is the sweep, so both settings were replaced, and it still
  // finds its source.
  const int h = OpenRc("list_method", "type=\"1\" list=\"7,8\" alg=\"1\" id=\"1\"");
  ASSERT_GE(h, 0) << Err();
  EXPECT_FAILS(QVS_CalcAC(h), "QVS_CalcAC: AC error:\nWrong AC Method");
  ASSERT_EQ(QVS_SetAC(h, 3, 0, 1, 100), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(Frequencies(h, "V(C1)").size(), 3u);
  QVS_Close(h);
}

TEST_F(ACApi, SourceMessages) {
  struct {
    const char* name;
    const char* error;
  } const cases[] = {
      {nullptr, "QVS_SetACSource: NULL pointer"},
      {"", "QVS_SetACSource: no component name"},
      {"V9", "QVS_SetACSource: component V9 not found"},
      {"R1", "QVS_SetACSource: component R1 cannot be set as AC source"},
      {"C1", "QVS_SetACSource: component C1 cannot be set as AC source"},
      {"v1", "OK"},  // names are compared without regard to case
      {"L1", "OK"},  // a label may drive the circuit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QVS_SetACSource(h, S(c.name)), std::string(c.error) == "OK" ? 0 : -1);
    EXPECT_EQ(Err(), c.error);
  }
  EXPECT_FAILS(QVS_SetACSource(h + 1000, S("V1")), "QVS_SetACSource: wrong circuit handle");
}

TEST(ACApiSource, EverySourceAndLabelModelButSubCirMayBeTheSource) {
  const int h = OpenCircuit(
      "source_models",
      "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"V\" />\n"
      "<Cmp type=\"V_CV\" id=\"2\" name=\"V2\" node0=\"0\" node1=\"2\" node2=\"0\" model=\"V\" />\n"
      "<Cmp type=\"I_I\" id=\"3\" name=\"I1\" node0=\"0\" node1=\"3\" model=\"I\" />\n"
      "<Cmp type=\"I_CI\" id=\"4\" name=\"I2\" node0=\"0\" node1=\"4\" node2=\"0\" model=\"I\" />\n"
      "<Cmp type=\"label\" id=\"5\" name=\"N1\" node0=\"5\" model=\"Label\" />",
      "<Settings />");
  ASSERT_GE(h, 0) << Err();
  const std::vector<std::string> signals = {"Step", "Single", "Pulse", "Clock", "Sin", "Sweep",
                                            "Function", "List", "File", "Trace"};
  struct {
    const char* name;
    std::vector<std::string> own;  // the models besides the signal models
  } const types[] = {{"V1", {"V"}},          {"V2", {"V", "One-shot"}}, {"I1", {"I"}},
                     {"I2", {"I", "One-shot"}}, {"N1", {"Label", "V", "IC"}}};
  for (const auto& type : types) {
    std::vector<std::string> models = type.own;
    models.insert(models.end(), signals.begin(), signals.end());
    for (const std::string& model : models) {
      ASSERT_EQ(QVS_SetText(h, S(std::string(type.name) + ".model"), S(model)), 0) << Err();
      EXPECT_EQ(QVS_SetACSource(h, S(type.name)), 0) << type.name << " " << model << ": " << Err();
    }
    ASSERT_EQ(QVS_SetText(h, S(std::string(type.name) + ".model"), S("SubCir")), 0) << Err();
    EXPECT_EQ(QVS_SetACSource(h, S(type.name)), -1);
    EXPECT_EQ(Err(), std::string("QVS_SetACSource: component ") + type.name +
                         " cannot be set as AC source");
  }
  QVS_Close(h);
}

TEST_F(ACApi, TraceHandlesComeFromTheSharedCounter) {
  EXPECT_FAILS(QVS_GetACTrace(h, nullptr), "QVS_GetACTrace: NULL pointer");
  EXPECT_FAILS(QVS_GetACTrace(h, S("")), "QVS_GetACTrace: no trace name");
  EXPECT_FAILS(QVS_GetACTrace(h, S("V(R1)")), "QVS_GetACTrace: trace V(R1) not found");
  EXPECT_FAILS(QVS_GetACTrace(h + 1000, S("V(C1)")), "QVS_GetACTrace: wrong circuit handle");

  const int tran = QVS_GetTrace(h, S("V(C1)"));
  ASSERT_GT(tran, h) << Err();
  const int tr = QVS_GetACTrace(h, S("v(c1)"));
  ASSERT_GT(tr, tran) << Err();
  EXPECT_EQ(Err(), "OK");
  EXPECT_EQ(QVS_GetACTrace(h, S("V(C1)")), tr);
  EXPECT_EQ(QVS_GetACTrace(h, S("V(C1).phase")), tr);
  // ".phase" belongs to the AC collection only.
  EXPECT_EQ(QVS_GetTrace(h, S("V(C1).phase")), -1);
  // A transient handle is no AC handle, and the other way round.
  EXPECT_FAILS(QVS_GetACDataSize(h, tran), "QVS_GetACDataSize: wrong trace handle");
  EXPECT_EQ(QVS_GetDataSize(h, tr), -1);
}

// The named AC functions check the name before the circuit handle (the
// trace data file of the transient analysis checks the handle first).
TEST_F(ACApi, NamesAreCheckedBeforeTheCircuitHandle) {
  using Fn = int (*)(int, char*);
  struct {
    Fn fn;
    const char* prefix;
    const char* empty;
  } const cases[] = {
      {QVS_SetACSource, "QVS_SetACSource: ", "no component name"},
      {QVS_GetACTrace, "QVS_GetACTrace: ", "no trace name"},
      {QVS_SaveACData, "QVS_SaveACData: ", "no file name"},
  };
  for (const auto& c : cases) {
    EXPECT_FAILS(c.fn(h + 1000, nullptr), std::string(c.prefix) + "NULL pointer");
    EXPECT_FAILS(c.fn(h + 1000, S("")), std::string(c.prefix) + c.empty);
    EXPECT_FAILS(c.fn(h + 1000, S("x")), std::string(c.prefix) + "wrong circuit handle");
  }
}

TEST_F(ACApi, SampleMessagesBeforeAndAfterARun) {
  const int tr = QVS_GetACTrace(h, S("V(C1)"));
  ASSERT_GE(tr, 0) << Err();
  double f = 7, m = 7, p = 7;
  // The output pointers are checked before the circuit handle.
  for (int bad = 0; bad < 3; ++bad) {
    EXPECT_EQ(QVS_GetACDataAt(h + 1000, tr, 0, bad == 0 ? nullptr : &f, bad == 1 ? nullptr : &m,
                              bad == 2 ? nullptr : &p),
              -1);
    EXPECT_EQ(Err(), "QVS_GetACDataAt: NULL pointer");
  }
  EXPECT_FAILS(QVS_GetACDataAt(h + 1000, tr, 0, &f, &m, &p),
               "QVS_GetACDataAt: wrong circuit handle");
  EXPECT_FAILS(QVS_GetACDataAt(h, 12345, 0, &f, &m, &p), "QVS_GetACDataAt: wrong trace handle");
  EXPECT_FAILS(QVS_GetACDataSize(h, 12345), "QVS_GetACDataSize: wrong trace handle");
  EXPECT_FAILS(QVS_GetACDataSize(h + 1000, tr), "QVS_GetACDataSize: wrong circuit handle");

  // No run yet: no storage.
  EXPECT_EQ(QVS_GetACDataSize(h, tr), 0);
  EXPECT_EQ(Err(), "OK");
  EXPECT_FAILS(QVS_GetACDataAt(h, tr, 0, &f, &m, &p), "QVS_GetACDataAt: no trace data");

  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(Err(), "OK");
  ASSERT_EQ(QVS_GetACDataSize(h, tr), 3);
  for (int n : {3, -1, 1000}) {
    f = m = p = 7;
    EXPECT_FAILS(QVS_GetACDataAt(h, tr, n, &f, &m, &p),
                 "QVS_GetACDataAt: no data at requested index");
    EXPECT_EQ(f, 0.0);
    EXPECT_EQ(m, 0.0);
    EXPECT_EQ(p, 0.0);
  }
  EXPECT_EQ(QVS_GetACDataAt(h, tr, 2, &f, &m, &p), 0);
  EXPECT_EQ(Err(), "OK");
  EXPECT_DOUBLE_EQ(f, 100.0);
}

TEST_F(ACApi, SaveACDataNames) {
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const auto exists = [](const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr) std::fclose(file);
    return file != nullptr;
  };
  const std::string base = ScratchDir() + "/names_sweep";
  ASSERT_EQ(QVS_SaveACData(h, S(base)), 0) << Err();
  EXPECT_EQ(Err(), "OK");
  EXPECT_TRUE(exists(base + ".qvf"));
  EXPECT_FALSE(exists(base));
  ASSERT_EQ(QVS_SaveACData(h, S(base + ".dat")), 0) << Err();
  EXPECT_TRUE(exists(base + ".dat"));
  EXPECT_FALSE(exists(base + ".dat.qvf"));

  const std::string missing = ScratchDir() + "/no/such/folder/out";
  EXPECT_FAILS(QVS_SaveACData(h, S(missing)),
               "QVS_SaveACData: cannot save file " + missing + ".qvf");
  EXPECT_FAILS(QVS_SaveACData(h, S("")), "QVS_SaveACData: no file name");
  EXPECT_FAILS(QVS_SaveACData(h, nullptr), "QVS_SaveACData: NULL pointer");
  EXPECT_FAILS(QVS_SaveACData(h + 1000, S(base)), "QVS_SaveACData: wrong circuit handle");
}

TEST(ACApiRun, SweepAndListFrequencies) {
  struct {
    const char* settings;
    std::vector<double> expected;
  } const cases[] = {
      {"from=\"1\" to=\"100\" points=\"3\" scale=\"0\"", {1, 10, 100}},
      {"from=\"1\" to=\"100\" points=\"3\" scale=\"1\"", {1, 50.5, 100}},
      {"from=\"1\" to=\"1000\" points=\"4\" scale=\"0\"", {1, 10, 100, 1000}},
      {"from=\"0\" to=\"30\" points=\"4\" scale=\"1\"", {0, 10, 20, 30}},
      {"from=\"5\" to=\"100\" points=\"1\" scale=\"0\"", {5}},  // one point: "from"
      {"from=\"5\" to=\"100\" points=\"0\" scale=\"0\"", {}},   // no point, no error
      {"from=\"5\" to=\"100\" points=\"-3\" scale=\"1\"", {}},
      {"type=\"1\" list=\"1,10,100\"", {1, 10, 100}},
      {"type=\"1\" list=\"100, 1,10\"", {100, 1, 10}},  // the list's order is kept
      {"type=\"1\" list=\"2.5k\"", {2500}},
  };
  int i = 0;
  for (const auto& c : cases) {
    const int h = OpenRc("freqs" + std::to_string(i++), std::string(c.settings) + " id=\"1\"");
    ASSERT_GE(h, 0) << Err();
    for (int run = 0; run < 2; ++run) {  // a second run gives the same samples
      ASSERT_EQ(QVS_CalcAC(h), 0) << c.settings << ": " << Err();
      const std::vector<double> f = Frequencies(h, "V(C1)");
      ASSERT_EQ(f.size(), c.expected.size()) << c.settings;
      for (size_t k = 0; k < f.size(); ++k)
        EXPECT_NEAR(f[k], c.expected[k], 1e-12 * std::fabs(c.expected[k])) << c.settings;
    }
    QVS_Close(h);
  }
}

TEST(ACApiRun, FailuresNameTheirReasonAndRestoreTheSourceModel) {
  const std::string sweep = "from=\"1\" to=\"100\" points=\"3\" scale=\"0\" ";
  struct {
    const char* name;
    std::string settings;
    std::string error;  // after "QVS_CalcAC: "; a prefix when it ends in "\n"
    size_t points;      // recorded before the failure
  } const cases[] = {
      {"wrong_method", sweep + "alg=\"3\" id=\"1\"", "AC error:\nWrong AC Method", 0},
      // Settings QVS_SetAC would refuse, read from the document.
      {"to_lt_from", "from=\"10\" to=\"1\" points=\"3\" scale=\"0\" id=\"1\"",
       "AC error:\nTo < From", 0},
      {"lin_to_lt_from", "from=\"10\" to=\"1\" points=\"3\" scale=\"1\" id=\"1\"",
       "AC error:\nTo < From", 0},
      {"from_zero", "from=\"0\" to=\"10\" points=\"3\" scale=\"0\" id=\"1\"",
       "AC error:\nFrom <= 0", 0},
      {"to_not_positive", "from=\"nan\" to=\"-1\" points=\"3\" scale=\"0\" id=\"1\"",
       "AC error:\nTo < = 0", 0},
      {"empty_list", "type=\"1\" list=\"\" id=\"1\"", "AC error:\nFrequency list is empty", 0},
      {"no_source", sweep + "id=\"0\"", "AC error:\nNo AC source", 0},
      {"source_gone", sweep + "id=\"77\"", "AC error:\nNo AC source", 0},
      // A bad item ends the run after the frequencies before it.
      {"bad_item", "type=\"1\" list=\"1,2.5k,x5,100\" id=\"1\"",
       "AC error:\nf = 2.5e+3\nSyntax error: ", 2},
      {"bad_first_item", "type=\"1\" list=\"#,100\" id=\"1\"", "AC error:\nSyntax error: ", 0},
  };
  for (const auto& c : cases) {
    const int h = OpenRc(c.name, c.settings);
    ASSERT_GE(h, 0) << Err();
    EXPECT_EQ(QVS_CalcAC(h), -1) << c.name;
    const std::string error = Err();
    if (c.error.back() == ' ' || c.error.back() == '\n')
      EXPECT_EQ(error.substr(0, 12 + c.error.size()), "QVS_CalcAC: " + c.error) << error;
    else
      EXPECT_EQ(error, "QVS_CalcAC: " + c.error) << c.name;
    EXPECT_EQ(Points(h, "V(C1)").size(), c.points) << c.name;
    EXPECT_EQ(ModelOf(h, "V1"), "Pulse") << c.name;
    QVS_Close(h);
  }
}

TEST(ACApiRun, CircuitFailuresNameTheirReasonAndKeepTheSourceModel) {
  const std::string r1 =
      "<Cmp type=\"R_R\" id=\"2\" name=\"R1\" node0=\"1\" node1=\"0\" model=\"R\" r=\"1000\" />";
  const std::string v1 = "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" model=\"V\" v=\"1\" ";
  const std::string at5 = "<Settings from=\"5\" to=\"100\" points=\"3\" id=\"1\" ";
  struct {
    const char* name;
    std::string cmps, freq;
    std::string error;     // the whole text, or its start when `part` is set
    const char* part;      // a text the error holds after its start
    const char* model;     // V1's model after the run
  } const cases[] = {
      // The source's + pin is disabled (negative node).
      {"disabled_source", v1 + "node0=\"-1\" node1=\"1\" />\n" + r1,
       "<Traces><Trace id=\"2\" type=\"V\" expr=\"V(R1)\" name=\"\" /></Traces>"
       "<Settings from=\"1\" to=\"100\" points=\"3\" id=\"1\" />",
       "QVS_CalcAC: AC error:\nAC source is disabled", nullptr, "V"},
      // The loop gain reads the source's two pins; with its second pin on
      // ground there is nothing to divide by: the run stops at its first
      // frequency.
      {"loop_at_ground", v1 + "node0=\"1\" node1=\"0\" />\n" + r1,
       "<Traces><Trace id=\"0\" type=\"Loop\" expr=\"Loop\" name=\"T\" /></Traces>" + at5 + "/>",
       "QVS_CalcAC: AC error:\nf = 5\n", "Wrong AC source location for open loop trace", "V"},
      // A component that cannot start fails the run.
      {"bad_param",
       "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"Pulse\" />\n"
       "<Cmp type=\"R_R\" id=\"2\" name=\"R1\" node0=\"1\" node1=\"2\" model=\"R\" r=\"1000\" />\n"
       "<Cmp type=\"C_C\" id=\"3\" name=\"C1\" node0=\"0\" node1=\"2\" model=\"C\" "
       "c_str=\"%3dnosuch*2\" c=\"1e-6\" />",
       std::string(kRcTraces) + at5 + "/>", "QVS_CalcAC: AC error:\nC1 : C : formula error\n",
       nullptr, "Pulse"},
  };
  for (const auto& c : cases) {
    const int h = OpenCircuit(c.name, c.cmps, c.freq);
    ASSERT_GE(h, 0) << Err();
    EXPECT_EQ(QVS_CalcAC(h), -1) << c.name;
    const std::string error = Err();
    if (c.part == nullptr) {
      EXPECT_EQ(error, c.error);
    } else {
      EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
      EXPECT_NE(error.find(c.part), std::string::npos) << error;
    }
    EXPECT_EQ(ModelOf(h, "V1"), c.model) << c.name;
    QVS_Close(h);
  }
}

TEST(ACApiRun, OperatingPointWithoutASolutionFailsTheRun) {
  // Two voltage sources of different values in parallel have no operating
  // point: the run fails before its first frequency, with a reason.
  const int h = OpenCircuit(
      "op_none",
      "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"V\" v=\"1\" />\n"
      "<Cmp type=\"V_V\" id=\"2\" name=\"V2\" node0=\"0\" node1=\"2\" model=\"V\" v=\"5\" />\n"
      "<Cmp type=\"R_R\" id=\"3\" name=\"R0\" node0=\"1\" node1=\"2\" model=\"R\" r=\"0\" />\n"
      "<Cmp type=\"R_R\" id=\"4\" name=\"R1\" node0=\"1\" node1=\"0\" model=\"R\" r=\"1000\" />",
      "<Traces><Trace id=\"4\" type=\"V\" expr=\"V(R1)\" name=\"\" /></Traces>"
      "<Settings from=\"5\" to=\"100\" points=\"3\" id=\"1\" dcop=\"true\" />");
  ASSERT_GE(h, 0) << Err();
  EXPECT_EQ(QVS_CalcAC(h), -1);
  const std::string error = Err();
  EXPECT_EQ(error.rfind("QVS_CalcAC: AC error:\n", 0), 0u) << error;
  EXPECT_GT(error.size(), std::string("QVS_CalcAC: AC error:\n").size()) << error;
  EXPECT_EQ(error.find("f = "), std::string::npos) << error;
  EXPECT_EQ(Points(h, "V(R1)").size(), 0u);
  QVS_Close(h);
}

TEST(ACApiRun, SourceModelIsTheOriginalAfterSuccess) {
  const int h = OpenRc("model_after", "from=\"1\" to=\"100\" points=\"5\" id=\"1\"");
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(ModelOf(h, "V1"), "Pulse");
  // A label as the source: its plain model comes back too.
  ASSERT_EQ(QVS_SetACSource(h, S("L1")), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(ModelOf(h, "L1"), "Label");
  EXPECT_EQ(ModelOf(h, "V1"), "Pulse");
  QVS_Close(h);
}
