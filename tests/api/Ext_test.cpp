// The introspection extensions (qvs_ext.h), through the C interface only.
// doc/full.qvs holds, in its file order, C1 (100u, IC 1.5), R1 (10k), R2
// (formula =2*R1.R), R3 (model PWL) and R4 (a potentiometer stored with the
// unknown model name "R"); one transient trace "R1" of type V; transient
// settings start 1m, screen 20m, step 1u; AC from 10 Hz to 100 kHz, 200
// points, scale 1, source id 4 (C1).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_ext.h"

namespace {

std::string Text(int (*read)(int, int, int, char*, int), int ncir, int index, int field) {
  char buf[256];
  const int n = read(ncir, index, field, buf, sizeof buf);
  EXPECT_GE(n, 1) << QVS_GetError();
  return n >= 1 ? std::string(buf) : std::string();
}

// One text of a trace of the transient (QVSX_TRANSIENT) or AC collection.
std::string TraceText(int ncir, int analysis, int index, int field) {
  char buf[64];
  const int n = QVSX_GetTraceText(ncir, analysis, index, field, buf, sizeof buf);
  EXPECT_GE(n, 1) << QVS_GetError();
  return n >= 1 ? std::string(buf) : std::string();
}

class ExtFull : public ::testing::Test {
 protected:
  void SetUp() override {
    ncir_ = QVS_Open(TestData("doc/full.qvs").data());
    ASSERT_GE(ncir_, 0) << QVS_GetError();
  }
  void TearDown() override { QVS_Close(ncir_); }

  std::string Cmp(int i, int field) { return Text(QVSX_GetComponentText, ncir_, i, field); }
  std::string Param(const char* cmp, int i, int field) {
    std::string c = cmp;
    char buf[256];
    const int n = QVSX_GetParameterText(ncir_, c.data(), i, field, buf, sizeof buf);
    EXPECT_GE(n, 1) << QVS_GetError();
    return n >= 1 ? std::string(buf) : std::string();
  }
  // The index of the named parameter of cmp, or -1.
  int ParamIndex(const char* cmp, const char* name) {
    std::string c = cmp;
    const int n = QVSX_GetParameterCount(ncir_, c.data());
    for (int i = 0; i < n; ++i)
      if (Param(cmp, i, QVSX_PARAM_NAME) == name) return i;
    return -1;
  }
  int ncir_ = -1;
};

TEST_F(ExtFull, ListsComponentsInDisplayOrderWithTypeAndModel) {
  ASSERT_EQ(5, QVSX_GetComponentCount(ncir_)) << QVS_GetError();
  EXPECT_STREQ("OK", QVS_GetError());
  const std::vector<std::string> names = {"C1", "R1", "R2", "R3", "R4"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(names[i], Cmp(i, QVSX_CMP_NAME)) << i;
  EXPECT_EQ("C_C", Cmp(0, QVSX_CMP_TYPE));
  EXPECT_EQ("Capacitor", Cmp(0, QVSX_CMP_DESCRIPTION));
  EXPECT_EQ("C", Cmp(0, QVSX_CMP_MODEL));
  EXPECT_EQ("PWL", Cmp(3, QVSX_CMP_MODEL));
  EXPECT_EQ("R_Pot", Cmp(4, QVSX_CMP_TYPE));
  EXPECT_EQ("Potentiometer", Cmp(4, QVSX_CMP_DESCRIPTION));
  // "R" is no model of a potentiometer: its first model was taken.
  EXPECT_EQ("Potentiometer", Cmp(4, QVSX_CMP_MODEL));
}

TEST_F(ExtFull, ListsParametersWithValueUnitAndFormula) {
  char c1[] = "C1";
  ASSERT_EQ(2, QVSX_GetParameterCount(ncir_, c1)) << QVS_GetError();
  EXPECT_EQ("C", Param("C1", 0, QVSX_PARAM_NAME));
  EXPECT_EQ("F", Param("C1", 0, QVSX_PARAM_UNIT));
  EXPECT_DOUBLE_EQ(100e-6, std::strtod(Param("C1", 0, QVSX_PARAM_VALUE).c_str(), nullptr));
  EXPECT_EQ("IC", Param("C1", 1, QVSX_PARAM_NAME));
  EXPECT_EQ("V", Param("C1", 1, QVSX_PARAM_UNIT));
  EXPECT_DOUBLE_EQ(1.5, std::strtod(Param("C1", 1, QVSX_PARAM_VALUE).c_str(), nullptr));
  EXPECT_EQ("", Param("C1", 0, QVSX_PARAM_FORMULA));  // a plain number keeps no text

  const int r = ParamIndex("R2", "R");
  ASSERT_GE(r, 0);
  EXPECT_EQ("Ohm", Param("R2", r, QVSX_PARAM_UNIT));
  EXPECT_EQ("=2*R1.R", Param("R2", r, QVSX_PARAM_FORMULA));
  EXPECT_DOUBLE_EQ(20000.0, std::strtod(Param("R2", r, QVSX_PARAM_VALUE).c_str(), nullptr));

  EXPECT_GE(ParamIndex("R4", "Position"), 0);
}

TEST_F(ExtFull, SeesParameterChangesAtOnce) {
  char name[] = "R1.R", value[] = "4k7";
  ASSERT_EQ(0, QVS_SetText(ncir_, name, value)) << QVS_GetError();
  const int r = ParamIndex("R1", "R");
  ASSERT_GE(r, 0);
  EXPECT_DOUBLE_EQ(4700.0, std::strtod(Param("R1", r, QVSX_PARAM_VALUE).c_str(), nullptr));
  // R2 follows its formula.
  EXPECT_DOUBLE_EQ(9400.0, std::strtod(Param("R2", r, QVSX_PARAM_VALUE).c_str(), nullptr));
}

TEST_F(ExtFull, ReadsSettingsAndAcSource) {
  double start = 0, screen = 0, step = 0;
  ASSERT_EQ(0, QVSX_GetTranSettings(ncir_, &start, &screen, &step)) << QVS_GetError();
  EXPECT_DOUBLE_EQ(0.001, start);
  EXPECT_DOUBLE_EQ(0.02, screen);
  EXPECT_DOUBLE_EQ(1e-6, step);
  ASSERT_EQ(0, QVS_SetStep(ncir_, 2e-6));
  ASSERT_EQ(0, QVSX_GetTranSettings(ncir_, &start, &screen, &step));
  EXPECT_DOUBLE_EQ(2e-6, step);  // the present step, not the stored one

  double from = 0, to = 0;
  int points = 0, scale = -1;
  ASSERT_EQ(0, QVSX_GetACSettings(ncir_, &from, &to, &points, &scale)) << QVS_GetError();
  EXPECT_DOUBLE_EQ(10.0, from);
  EXPECT_DOUBLE_EQ(100000.0, to);
  EXPECT_EQ(200, points);
  EXPECT_EQ(1, scale);
  char buf[16];
  EXPECT_EQ(3, QVSX_GetACSource(ncir_, buf, sizeof buf));
  EXPECT_STREQ("C1", buf);
}

TEST_F(ExtFull, ListsTracesOfBothAnalysesIncludingAddedOnes) {
  ASSERT_EQ(1, QVSX_GetTraceCount(ncir_, QVSX_TRANSIENT)) << QVS_GetError();
  EXPECT_EQ(0, QVSX_GetTraceCount(ncir_, QVSX_AC));
  EXPECT_EQ("R1", TraceText(ncir_, QVSX_TRANSIENT, 0, QVSX_TRACE_NAME));
  EXPECT_EQ("V", TraceText(ncir_, QVSX_TRANSIENT, 0, QVSX_TRACE_TYPE));

  char r2[] = "R2";
  ASSERT_GE(QVS_AddITrace(ncir_, r2), 0) << QVS_GetError();
  ASSERT_EQ(2, QVSX_GetTraceCount(ncir_, QVSX_TRANSIENT));
  EXPECT_EQ("I(R2)", TraceText(ncir_, QVSX_TRANSIENT, 1, QVSX_TRACE_NAME));
  EXPECT_EQ("I", TraceText(ncir_, QVSX_TRANSIENT, 1, QVSX_TRACE_TYPE));
  char f[] = "2*V(R1)";
  ASSERT_GE(QVS_AddFuncTrace(ncir_, f), 0) << QVS_GetError();
  EXPECT_EQ("2*V(R1)", TraceText(ncir_, QVSX_TRANSIENT, 2, QVSX_TRACE_EXPR));
}

TEST_F(ExtFull, CutsTextsAsGetTextDoesAndReportsTheSizeNeeded) {
  char buf[4] = "xxx";
  // "R_Pot" needs 6 bytes; 3 characters and the zero fit.
  EXPECT_EQ(6, QVSX_GetComponentText(ncir_, 4, QVSX_CMP_TYPE, buf, 4));
  EXPECT_STREQ("R_P", buf);
  // A negative length writes nothing but still tells the size.
  char untouched[4] = "abc";
  EXPECT_EQ(6, QVSX_GetComponentText(ncir_, 4, QVSX_CMP_TYPE, untouched, -1));
  EXPECT_STREQ("abc", untouched);
}

TEST_F(ExtFull, FailsWithTheFrameTexts) {
  char buf[32];
  char r9[] = "R9", empty[] = "";
  EXPECT_FAILS(QVSX_GetComponentCount(ncir_ + 1000),
               "QVSX_GetComponentCount: wrong circuit handle");
  EXPECT_FAILS(QVSX_GetComponentText(ncir_, 5, QVSX_CMP_NAME, buf, 32),
               "QVSX_GetComponentText: wrong component index");
  EXPECT_FAILS(QVSX_GetComponentText(ncir_, -1, QVSX_CMP_NAME, buf, 32),
               "QVSX_GetComponentText: wrong component index");
  EXPECT_FAILS(QVSX_GetComponentText(ncir_, 0, 9, buf, 32), "QVSX_GetComponentText: wrong field");
  EXPECT_FAILS(QVSX_GetComponentText(ncir_, 0, QVSX_CMP_NAME, nullptr, 32),
               "QVSX_GetComponentText: NULL pointer");
  EXPECT_FAILS(QVSX_GetComponentText(ncir_, 0, QVSX_CMP_NAME, buf, 0),
               "QVSX_GetComponentText: length = 0");
  EXPECT_FAILS(QVSX_GetParameterCount(ncir_, r9), "QVSX_GetParameterCount: component R9 not found");
  EXPECT_FAILS(QVSX_GetParameterCount(ncir_, empty), "QVSX_GetParameterCount: no component name");
  EXPECT_FAILS(QVSX_GetParameterCount(ncir_, nullptr), "QVSX_GetParameterCount: NULL pointer");
  EXPECT_FAILS(QVSX_GetParameterText(ncir_, r9, 0, QVSX_PARAM_NAME, buf, 32),
               "QVSX_GetParameterText: component R9 not found");
  char c1[] = "C1";
  EXPECT_FAILS(QVSX_GetParameterText(ncir_, c1, 2, QVSX_PARAM_NAME, buf, 32),
               "QVSX_GetParameterText: wrong parameter index");
  EXPECT_FAILS(QVSX_GetTraceCount(ncir_, 2), "QVSX_GetTraceCount: wrong analysis");
  EXPECT_FAILS(QVSX_GetTraceText(ncir_, QVSX_TRANSIENT, 1, QVSX_TRACE_NAME, buf, 32),
               "QVSX_GetTraceText: wrong trace index");
  EXPECT_FAILS(QVSX_GetTranSettings(ncir_, nullptr, nullptr, nullptr),
               "QVSX_GetTranSettings: NULL pointer");
  long long a = 0;
  EXPECT_FAILS(QVSX_GetCounters(ncir_, &a, &a, nullptr, &a), "QVSX_GetCounters: NULL pointer");
}

// elements/sig_pulse.qvs: a 0..10 V pulse source into 1 kOhm, step 300 us.
TEST(ExtCounters, CountFromEachRunStart) {
  const int ncir = QVS_Open(TestData("elements/sig_pulse.qvs").data());
  ASSERT_GE(ncir, 0) << QVS_GetError();
  long long acc = -1, rej = -1, sw = -1, it = -1;
  ASSERT_EQ(0, QVSX_GetCounters(ncir, &acc, &rej, &sw, &it)) << QVS_GetError();
  EXPECT_EQ((std::vector<long long>{0, 0, 0, 0}), (std::vector<long long>{acc, rej, sw, it}));

  ASSERT_EQ(0, QVS_Simulate(ncir, 0.03)) << QVS_GetError();
  ASSERT_EQ(0, QVSX_GetCounters(ncir, &acc, &rej, &sw, &it));
  // No step is longer than the 300 us calculation step: 30 ms take 100.
  EXPECT_GE(acc, 100);
  EXPECT_GE(rej, 0);
  const long long first = acc;

  ASSERT_EQ(0, QVS_Start(ncir)) << QVS_GetError();
  ASSERT_EQ(0, QVSX_GetCounters(ncir, &acc, &rej, &sw, &it));
  EXPECT_LT(acc, first);  // a new run counts afresh
  ASSERT_EQ(0, QVS_Simulate(ncir, 0.03));
  ASSERT_EQ(0, QVSX_GetCounters(ncir, &acc, &rej, &sw, &it));
  EXPECT_GE(acc, 100);
  QVS_Close(ncir);
}

// api/rc_ac.qvs: V1 (AC source, id 1) -> amperemeter A1 -> R1 = 1 kOhm ->
// C1 = 1 uF to ground, voltmeter VM1 across C1; one AC trace V(C1); a
// logarithmic sweep 10 Hz ... 100 kHz in 9 points.
// With w = 2 pi f: the loop current is I = jwC / (1 + jwRC), so
// |I| = wC / sqrt(1 + (wRC)^2) and |V(R1)| = R |I|. The engine's pi is
// 3.14159265358; the tolerances (1e-9 relative) allow for it.
class ExtAcTrace : public ::testing::Test {
 protected:
  void SetUp() override {
    ncir_ = QVS_Open(TestData("api/rc_ac.qvs").data());
    ASSERT_GE(ncir_, 0) << QVS_GetError();
  }
  void TearDown() override { QVS_Close(ncir_); }
  int Add(const char* name, int kind) {
    std::string n = name;
    return QVSX_AddACTrace(ncir_, n.data(), kind);
  }
  int ncir_ = -1;
};

TEST_F(ExtAcTrace, AddedVoltageAndCurrentTracesRecordTheLoopCurrent) {
  const int vr = Add("R1", QVSX_TRACE_V);
  ASSERT_GE(vr, 0) << QVS_GetError();
  EXPECT_STREQ("OK", QVS_GetError());
  const int ir = Add("R1", QVSX_TRACE_I);
  const int ia = Add("A1", QVSX_TRACE_I);
  ASSERT_GE(ir, 0) << QVS_GetError();
  ASSERT_GE(ia, 0) << QVS_GetError();
  EXPECT_NE(vr, ir);
  // Listed with the document's trace, named as the transient ones are.
  ASSERT_EQ(4, QVSX_GetTraceCount(ncir_, QVSX_AC));
  EXPECT_EQ("V(R1)", TraceText(ncir_, QVSX_AC, 1, QVSX_TRACE_NAME));
  EXPECT_EQ("I", TraceText(ncir_, QVSX_AC, 2, QVSX_TRACE_TYPE));
  EXPECT_EQ(0, QVSX_GetTraceCount(ncir_, QVSX_TRANSIENT));  // that collection is untouched
  // Nothing recorded before a run.
  EXPECT_EQ(0, QVS_GetACDataSize(ncir_, vr)) << QVS_GetError();

  ASSERT_EQ(0, QVS_CalcAC(ncir_)) << QVS_GetError();
  ASSERT_EQ(9, QVS_GetACDataSize(ncir_, vr)) << QVS_GetError();
  ASSERT_EQ(9, QVS_GetACDataSize(ncir_, ir));
  const double R = 1000.0, C = 1e-6;
  for (int i = 0; i < 9; ++i) {
    double f = 0, mv = 0, pv = 0, fi = 0, mi = 0, pi = 0, fa = 0, ma = 0, pa = 0;
    ASSERT_EQ(0, QVS_GetACDataAt(ncir_, vr, i, &f, &mv, &pv)) << QVS_GetError();
    ASSERT_EQ(0, QVS_GetACDataAt(ncir_, ir, i, &fi, &mi, &pi));
    ASSERT_EQ(0, QVS_GetACDataAt(ncir_, ia, i, &fa, &ma, &pa));
    EXPECT_EQ(f, fi);
    const double w = 2 * 3.14159265358 * f;
    const double current = w * C / std::sqrt(1 + (w * R * C) * (w * R * C));
    EXPECT_NEAR(current, mi, current * 1e-9) << "f=" << f;
    EXPECT_NEAR(current, ma, current * 1e-9) << "f=" << f;
    EXPECT_NEAR(R * current, mv, R * current * 1e-9) << "f=" << f;
    // I(R1) is V(R1) / R: the same phase, whichever way R1 is drawn.
    EXPECT_NEAR(0.0, std::remainder(pv - pi, 360.0), 1e-7) << "f=" << f;
  }
}

TEST_F(ExtAcTrace, GetACTraceFindsAnAddedTraceUnderItsHandle) {
  const int h = Add("c1", QVSX_TRACE_I);  // component names ignore case
  ASSERT_GE(h, 0) << QVS_GetError();
  char name[] = "I(c1)", phase[] = "I(c1).phase";
  EXPECT_EQ(h, QVS_GetACTrace(ncir_, name)) << QVS_GetError();
  EXPECT_EQ(h, QVS_GetACTrace(ncir_, phase)) << QVS_GetError();
  // Not a transient trace.
  EXPECT_EQ(-1, QVS_GetTrace(ncir_, name));
}

TEST_F(ExtAcTrace, AddedTraceIsSavedWithTheDocument) {
  ASSERT_GE(Add("R1", QVSX_TRACE_V), 0) << QVS_GetError();
  std::string path = ScratchDir() + "/ext_ac_saved.qvs";
  ASSERT_EQ(0, QVS_SaveAs(ncir_, path.data())) << QVS_GetError();
  const int again = QVS_Open(path.data());
  ASSERT_GE(again, 0) << QVS_GetError();
  ASSERT_EQ(2, QVSX_GetTraceCount(again, QVSX_AC)) << QVS_GetError();
  EXPECT_EQ(0, QVSX_GetTraceCount(again, QVSX_TRANSIENT));
  char name[] = "V(R1)";
  const int h = QVS_GetACTrace(again, name);
  ASSERT_GE(h, 0) << QVS_GetError();
  ASSERT_EQ(0, QVS_CalcAC(again)) << QVS_GetError();
  EXPECT_EQ(9, QVS_GetACDataSize(again, h));
  QVS_Close(again);
}

TEST(ExtAcTraceSaved, ADocumentWithoutAcTracesGetsTheElementsItLacks) {
  // api/divider.qvs has no "Freq" element at all.
  const int ncir = QVS_Open(TestData("api/divider.qvs").data());
  ASSERT_GE(ncir, 0) << QVS_GetError();
  char r1[] = "R1";
  ASSERT_GE(QVSX_AddACTrace(ncir, r1, QVSX_TRACE_I), 0) << QVS_GetError();
  std::string path = ScratchDir() + "/ext_ac_divider.qvs";
  ASSERT_EQ(0, QVS_SaveAs(ncir, path.data())) << QVS_GetError();
  QVS_Close(ncir);
  const int again = QVS_Open(path.data());
  ASSERT_GE(again, 0) << QVS_GetError();
  ASSERT_EQ(1, QVSX_GetTraceCount(again, QVSX_AC)) << QVS_GetError();
  EXPECT_EQ("I(R1)", TraceText(again, QVSX_AC, 0, QVSX_TRACE_NAME));
  QVS_Close(again);
}

TEST_F(ExtAcTrace, FailsWithTheTextsOfTheTransientAddFunctions) {
  char r9[] = "R9", empty[] = "", vm[] = "VM1", r1[] = "R1";
  // The name is checked before the circuit handle, as QVS_AddVTrace does.
  EXPECT_FAILS(QVSX_AddACTrace(ncir_ + 1000, nullptr, QVSX_TRACE_V),
               "QVSX_AddACTrace: NULL pointer");
  EXPECT_FAILS(QVSX_AddACTrace(ncir_ + 1000, empty, QVSX_TRACE_V),
               "QVSX_AddACTrace: no trace name");
  EXPECT_FAILS(QVSX_AddACTrace(ncir_ + 1000, r1, QVSX_TRACE_V),
               "QVSX_AddACTrace: wrong circuit handle");
  EXPECT_FAILS(QVSX_AddACTrace(ncir_, r1, 2), "QVSX_AddACTrace: wrong trace type");
  EXPECT_FAILS(QVSX_AddACTrace(ncir_, r1, -1), "QVSX_AddACTrace: wrong trace type");
  EXPECT_FAILS(QVSX_AddACTrace(ncir_, r9, QVSX_TRACE_V), "QVSX_AddACTrace: component R9 not found");
  // A voltmeter has a voltage but no current of its own.
  EXPECT_FAILS(QVSX_AddACTrace(ncir_, vm, QVSX_TRACE_I),
               "QVSX_AddACTrace: I trace not allowed for component VM1");
  // The same texts as the transient function for the same mistake.
  EXPECT_FAILS(QVS_AddITrace(ncir_, vm), "QVS_AddITrace: I trace not allowed for component VM1");
  // Failures add nothing.
  EXPECT_EQ(1, QVSX_GetTraceCount(ncir_, QVSX_AC));
}

}  // namespace
