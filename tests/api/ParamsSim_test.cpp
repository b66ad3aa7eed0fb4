// Parameters, models, records and simulation control, driven only through
// the exported functions of qvs_dll.h.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace {

using namespace apitest;

class ApiCircuit : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TestData("api/divider.qvs");
    h = QVS_Open(path_.data());
    ASSERT_GE(h, 0) << Err();
  }
  void TearDown() override { QVS_Close(h); }
  double Value(const char* name) {
    double v = -1;
    EXPECT_EQ(QVS_GetValue(h, const_cast<char*>(name), &v), 0) << Err();
    return v;
  }
  std::string Text(const char* name) {
    char buf[256];
    EXPECT_GE(QVS_GetText(h, const_cast<char*>(name), buf, sizeof buf), 0) << Err();
    return buf;
  }
  int SetText(const char* name, const char* text) {
    return QVS_SetText(h, const_cast<char*>(name), const_cast<char*>(text));
  }

  std::string path_;
  int h = -1;
};

}  // namespace

TEST_F(ApiCircuit, ValuesByNameIgnoreCase) {
  EXPECT_EQ(Value("R1.R"), 1000.0);
  EXPECT_EQ(Value("r1.r"), 1000.0);
  EXPECT_EQ(Value("Rload.R"), 6000.0);  // the formula 2*R2.R
  double v = 7;
  EXPECT_EQ(QVS_GetValue(h, const_cast<char*>("R9.R"), &v), -1);
  EXPECT_EQ(v, 0.0);  // cleared first
  EXPECT_EQ(Err(), "QVS_GetValue: parameter R9.R not found");
  EXPECT_FAILS(QVS_GetValue(h, const_cast<char*>(""), &v), "QVS_GetValue: no parameter name");
  EXPECT_FAILS(QVS_GetValue(h, const_cast<char*>("R1.R"), nullptr), "QVS_GetValue: NULL pointer");
  EXPECT_FAILS(QVS_GetValue(h + 1000, const_cast<char*>("R1.R"), &v),
               "QVS_GetValue: wrong circuit handle");
}

TEST_F(ApiCircuit, FormulasFollowTheParametersTheyName) {
  ASSERT_EQ(QVS_SetValue(h, const_cast<char*>("R2.R"), 500.0), 0) << Err();
  EXPECT_EQ(Err(), "OK");
  EXPECT_EQ(Value("Rload.R"), 1000.0);
  ASSERT_EQ(SetText("R1.R", "=2*R2.R"), 0) << Err();
  ASSERT_EQ(SetText("R2.R", "4k7"), 0) << Err();
  EXPECT_EQ(Value("R1.R"), 9400.0);
  // A number text clears the formula.
  ASSERT_EQ(SetText("R1.R", "1.5k"), 0);
  EXPECT_EQ(Text("R1.R"), "1.5e+3");
  ASSERT_EQ(SetText("R2.R", "10"), 0);
  EXPECT_EQ(Value("R1.R"), 1500.0);
}

TEST_F(ApiCircuit, TextsAreCutButReportTheirFullSize) {
  char buf[4] = "xyz";
  // "=2*R2.R" is 7 characters: 3 fit, the result is 8.
  EXPECT_EQ(QVS_GetText(h, const_cast<char*>("Rload.R"), buf, 4), 8);
  EXPECT_STREQ(buf, "=2*");
  EXPECT_FAILS(QVS_GetText(h, const_cast<char*>("Rload.R"), buf, 0), "QVS_GetText: length = 0");
  char big[64];
  ASSERT_EQ(SetText("R2.R", "1500"), 0);
  EXPECT_EQ(QVS_GetText(h, const_cast<char*>("R2.R"), big, sizeof big), 7);
  EXPECT_STREQ(big, "1.5e+3");
}

TEST_F(ApiCircuit, BadTextsKeepTheParameterUsable) {
  EXPECT_EQ(SetText("R1.R", "12q"), -1);
  EXPECT_EQ(Err().rfind("QVS_SetText: error in value  12q : ", 0), 0u) << Err();
  EXPECT_EQ(SetText("R1.R", "=R1.R+1"), -1);
  EXPECT_EQ(Err().rfind("QVS_SetText: error in formula =R1.R+1 : ", 0), 0u) << Err();
  EXPECT_FAILS(QVS_SetText(h, const_cast<char*>("R1.R"), nullptr), "QVS_SetText: NULL pointer");
  ASSERT_EQ(SetText("R1.R", "2k"), 0) << Err();
  EXPECT_EQ(Value("R1.R"), 2000.0);
}

TEST_F(ApiCircuit, ModelsAreReadAndSetByName) {
  EXPECT_EQ(Text("S1.model"), "Off");
  EXPECT_EQ(Text("P1.model"), "Potentiometer");
  ASSERT_EQ(SetText("S1.model", "on"), 0) << Err();
  EXPECT_EQ(Text("S1.model"), "On");
  EXPECT_FAILS(SetText("S1.model", "Toggle"), "QVS_SetText: model not found");
  EXPECT_FAILS(SetText("S1.model", ""), "QVS_SetText: no model name");
  EXPECT_FAILS(SetText("S9.model", "On"), "QVS_SetText: component not found");
  char buf[32];
  EXPECT_FAILS(QVS_GetText(h, const_cast<char*>("X1.R1.model"), buf, sizeof buf),
               "QVS_GetText: component not found");
  EXPECT_FAILS(QVS_GetText(h, const_cast<char*>(".model"), buf, sizeof buf),
               "QVS_GetText: no component name");
}

TEST_F(ApiCircuit, ParameterRecordsKeepTheirOwnComponent) {
  // R1 and R2 share one descriptor array; each record keeps its binding.
  const int p1 = QVS_GetParam(h, const_cast<char*>("R1.R"));
  const int p2 = QVS_GetParam(h, const_cast<char*>("R2.R"));
  const int p1b = QVS_GetParam(h, const_cast<char*>("R1.R"));
  ASSERT_GE(p1, 0);
  ASSERT_GE(p2, 0);
  EXPECT_NE(p1, p1b);
  double v = 0;
  ASSERT_EQ(QVS_GetParamValue(h, p1, &v), 0) << Err();
  EXPECT_EQ(v, 1000.0);
  ASSERT_EQ(QVS_GetParamValue(h, p2, &v), 0);
  EXPECT_EQ(v, 3000.0);
  ASSERT_EQ(QVS_SetParamValue(h, p1, 2200.0), 0);
  ASSERT_EQ(QVS_GetParamValue(h, p1b, &v), 0);
  EXPECT_EQ(v, 2200.0);
  EXPECT_EQ(Value("R2.R"), 3000.0);
  ASSERT_EQ(QVS_SetParamText(h, p2, const_cast<char*>("=R1.R")), 0) << Err();
  EXPECT_EQ(Value("Rload.R"), 4400.0);
  char buf[16];
  EXPECT_EQ(QVS_GetParamText(h, p2, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "=R1.R");
  EXPECT_FAILS(QVS_SetParamText(h, p2, nullptr), "QVS_SetParamText: no text");
  EXPECT_FAILS(QVS_GetParamValue(h, p2 + 1000, &v), "QVS_GetParamValue: wrong parameter handle");
}

TEST_F(ApiCircuit, InputsAndOutputsAreCheckedByType) {
  EXPECT_FAILS(QVS_GetInput(h, const_cast<char*>("R1")),
               "QVS_GetInput: component R1 cannot be an input");
  EXPECT_FAILS(QVS_GetInput(h, const_cast<char*>("Q1")), "QVS_GetInput: component Q1 not found");
  EXPECT_FAILS(QVS_GetInput(h, const_cast<char*>("")), "QVS_GetInput: no input name");
  EXPECT_FAILS(QVS_GetOutput(h, const_cast<char*>("S1")),
               "QVS_GetOutput: component S1 cannot be an output");
  EXPECT_FAILS(QVS_SetInputValue(h, 12345, 1.0), "QVS_SetInputValue: wrong input handle");
  double v;
  EXPECT_FAILS(QVS_GetOutputValue(h, 12345, &v), "QVS_GetOutputValue: wrong output handle");
}

TEST_F(ApiCircuit, SimulationControl) {
  double t = -1;
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0);
  EXPECT_EQ(t, 0.0);
  EXPECT_FAILS(QVS_SaveIC(h), "QVS_SaveIC: simulation not running");
  EXPECT_FAILS(QVS_Simulate(h + 999, -1.0), "QVS_Simulate: interval < 0");
  EXPECT_FAILS(QVS_SetStep(h, 0.0), "QVS_SetStep: step <= 0");
  EXPECT_EQ(QVS_SetStep(h, 0.001), 0);  // the present step
  EXPECT_FAILS(QVS_GetSimulationTime(h, nullptr), "QVS_GetSimulationTime: NULL pointer");

  ASSERT_EQ(QVS_Start(h), 0) << Err();
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0);
  EXPECT_EQ(t, 0.0);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(QVS_Simulate(h, 0.001), 0) << Err();
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0);
  EXPECT_GE(t, 1.0 - 1e-12);
  EXPECT_LE(t, 1.0 + 0.001);

  // An exact interval lands on its target whatever the step.
  ASSERT_EQ(QVS_SimulateInterval(h, 0.0015), 0) << Err();
  double t2 = 0;
  QVS_GetSimulationTime(h, &t2);
  EXPECT_NEAR(t2, t + 0.0015, 1e-12);
  // A step may only plan the next interval; a few steps advance time.
  double t3 = t2;
  for (int i = 0; i < 4 && t3 == t2; ++i) {
    ASSERT_EQ(QVS_SimulateStep(h), 0);
    QVS_GetSimulationTime(h, &t3);
  }
  EXPECT_GT(t3, t2);
  EXPECT_EQ(QVS_SaveIC(h), 0) << Err();
  EXPECT_EQ(QVS_SetTimeout(h, 0), 0);
  // A new step continues the run.
  ASSERT_EQ(QVS_SetStep(h, 0.0005), 0);
  ASSERT_EQ(QVS_SimulateInterval(h, 0.002), 0) << Err();
  double t4 = 0;
  QVS_GetSimulationTime(h, &t4);
  EXPECT_NEAR(t4, t3 + 0.002, 1e-12);
  // A start begins again from 0.
  ASSERT_EQ(QVS_Start(h), 0);
  QVS_GetSimulationTime(h, &t);
  EXPECT_EQ(t, 0.0);
}

TEST_F(ApiCircuit, ChangesDuringARunTakeEffect) {
  ASSERT_EQ(QVS_Simulate(h, 0.01), 0) << Err();  // starts implicitly
  ASSERT_EQ(QVS_SetValue(h, const_cast<char*>("R2.R"), 100.0), 0) << Err();
  EXPECT_EQ(Value("Rload.R"), 200.0);
  ASSERT_EQ(SetText("S1.model", "On"), 0);
  ASSERT_EQ(QVS_Simulate(h, 0.01), 0) << Err();
  double t = 0;
  QVS_GetSimulationTime(h, &t);
  EXPECT_GE(t, 0.02 - 1e-12);
}

TEST(ApiSaveIC, GroupMembersShareTheLastSavedState) {
  std::string path = TestData("api/group_ic.qvs");
  const int h = QVS_Open(path.data());
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_SimulateInterval(h, 1e-3), 0) << Err();
  ASSERT_EQ(QVS_SaveIC(h), 0) << Err();
  double c1 = 0, c2 = 0, c3 = 0;
  ASSERT_EQ(QVS_GetValue(h, const_cast<char*>("C1.IC"), &c1), 0) << Err();
  ASSERT_EQ(QVS_GetValue(h, const_cast<char*>("C2.IC"), &c2), 0);
  ASSERT_EQ(QVS_GetValue(h, const_cast<char*>("C3.IC"), &c3), 0);
  // C1 and C3 (tiny, on the same node) hold 10 (1 - e^(-t/tau)); C2
  // (tau 2 ms) holds 10 (1 - e^-0.5). C2 saves after C1 and passes its
  // state on to the group; C3 is in no group.
  EXPECT_NEAR(c2, 10 * (1 - std::exp(-0.5)), 1e-3);
  EXPECT_NEAR(c1, c2, 1e-9 * c2);  // copied through the document form
  EXPECT_NEAR(c3, 10 * (1 - std::exp(-1e-3 / (1000 * (1e-6 + 1e-9)))), 1e-3);
  QVS_Close(h);
}
