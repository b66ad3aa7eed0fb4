// A host in the loop: the input of an RC circuit is set between intervals
// from its measured outputs, and the run matches the same loop computed in
// closed form. Also: repeated intervals, independent documents, and the
// library staying usable after failures.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace {

using namespace apitest;

constexpr double kR = 1000.0, kC = 1e-6, kTau = kR * kC;  // ohm, farad, s

int OpenRc() {
  std::string path = TestData("api/rc_input.qvs");
  return QVS_Open(path.data());
}

}  // namespace

TEST(Cosim, ProportionalControllerMatchesTheClosedForm) {
  const int h = OpenRc();
  ASSERT_GE(h, 0) << Err();
  const int in = QVS_GetInput(h, S("V1"));
  const int vout = QVS_GetOutput(h, S("VM1"));
  const int iout = QVS_GetOutput(h, S("A1"));
  ASSERT_GE(in, 0) << Err();
  ASSERT_GE(vout, 0) << Err();
  ASSERT_GE(iout, 0) << Err();
  double v = -1;
  ASSERT_EQ(QVS_GetOutputValue(h, vout, &v), 0);
  EXPECT_EQ(v, 0.0);  // nothing runs yet

  // u = Kp (ref - v), held over each interval: v' = u + (v - u) e^(-dt/tau).
  const double kp = 2.0, ref = 3.0, dt = 1e-5;
  const double a = std::exp(-dt / kTau);
  double model_v = 0.0, sim_v = 0.0;
  for (int k = 0; k < 1000; ++k) {
    const double u = kp * (ref - sim_v);
    ASSERT_EQ(QVS_SetInputValue(h, in, u), 0) << Err();
    ASSERT_EQ(QVS_SimulateInterval(h, dt), 0) << Err();
    ASSERT_EQ(QVS_GetOutputValue(h, vout, &sim_v), 0);
    model_v = u + (model_v - u) * a;
    ASSERT_NEAR(sim_v, model_v, 1e-5 * ref) << "interval " << k;
    double i = 0;
    ASSERT_EQ(QVS_GetOutputValue(h, iout, &i), 0);
    EXPECT_NEAR(std::fabs(i), std::fabs(u - sim_v) / kR, 1e-7) << "interval " << k;
  }
  // The loop settles where kp (ref - v) = v.
  EXPECT_NEAR(sim_v, kp * ref / (1 + kp), 1e-3);
  int logical = -1;
  ASSERT_EQ(QVS_GetOutputLogicalValue(h, vout, &logical), 0);
  EXPECT_EQ(logical, sim_v > 2.5 ? 1 : 0);
  QVS_Close(h);
}

TEST(Cosim, LogicalInputsUseTheDocumentLevels) {
  const int h = OpenRc();
  const int in = QVS_GetInput(h, S("V1"));
  const int vout = QVS_GetOutput(h, S("VM1"));
  ASSERT_EQ(QVS_SetInputLogicalValue(h, in, 1), 0);
  ASSERT_EQ(QVS_Simulate(h, 20 * kTau), 0) << Err();
  double v = 0;
  QVS_GetOutputValue(h, vout, &v);
  EXPECT_NEAR(v, 5.0, 1e-6);  // "high" defaults to 5 V
  ASSERT_EQ(QVS_SetInputLogicalValue(h, in, 0), 0);
  ASSERT_EQ(QVS_Simulate(h, 20 * kTau), 0) << Err();
  QVS_GetOutputValue(h, vout, &v);
  EXPECT_NEAR(v, 0.0, 1e-6);
  QVS_Close(h);
}

TEST(Cosim, ManyIntervalsGiveTheSamplesOfOne) {
  auto run = [](int calls) {
    const int h = OpenRc();
    const int in = QVS_GetInput(h, S("V1"));
    QVS_SetInputValue(h, in, 1.0);
    const int tr = QVS_AddVTrace(h, S("C1"));
    for (int i = 0; i < calls; ++i) EXPECT_EQ(QVS_Simulate(h, 2e-3 / calls), 0) << Err();
    std::vector<double> samples;
    const int n = QVS_GetDataSize(h, tr);
    for (int i = 0; i < n; ++i) {
      double t, x;
      QVS_GetDataAt(h, tr, i, &t, &x);
      samples.push_back(t);
      samples.push_back(x);
    }
    QVS_Close(h);
    return samples;
  };
  const std::vector<double> one = run(1);
  ASSERT_GT(one.size(), 100u);
  EXPECT_EQ(run(10), one);
}

TEST(Cosim, TwoDocumentsAtOnceAreIndependent) {
  const int a = OpenRc(), b = OpenRc();
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  QVS_SetInputValue(a, QVS_GetInput(a, S("V1")), 1.0);
  QVS_SetInputValue(b, QVS_GetInput(b, S("V1")), 2.0);
  const int va = QVS_GetOutput(a, S("VM1")), vb = QVS_GetOutput(b, S("VM1"));
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(QVS_Simulate(a, 1e-5), 0);
    ASSERT_EQ(QVS_Simulate(b, 1e-5), 0);
  }
  double x = 0, y = 0, ta = 0, tb = 0;
  QVS_GetOutputValue(a, va, &x);
  QVS_GetOutputValue(b, vb, &y);
  QVS_GetSimulationTime(a, &ta);
  QVS_GetSimulationTime(b, &tb);
  EXPECT_EQ(ta, tb);
  EXPECT_NEAR(y, 2 * x, 1e-12);
  // The engine may stand a fraction of a step past the last target.
  EXPECT_NEAR(x, 1 - std::exp(-ta / kTau), 1e-5);
  QVS_Close(a);
  QVS_Close(b);
}

TEST(Cosim, FailuresLeaveTheLibraryWorking) {
  const int h = OpenRc();
  // A formula naming nothing leaves R1.R in error: the start is refused
  // with the component's message, and nothing runs.
  EXPECT_EQ(QVS_SetText(h, S("R1.R"), S("=R9.R")), -1);
  EXPECT_FAILS(QVS_Simulate(h, 1e-4), "QVS_Simulate: R1 : R : formula error\n");
  double t = 1;
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0);
  EXPECT_EQ(t, 0.0);
  // Mended, the same circuit runs.
  ASSERT_EQ(QVS_SetText(h, S("R1.R"), S("1k")), 0) << Err();
  ASSERT_EQ(QVS_Simulate(h, 1e-4), 0) << Err();
  QVS_GetSimulationTime(h, &t);
  EXPECT_GE(t, 1e-4 - 1e-15);
  QVS_Close(h);
}

namespace {

// Resident memory of the process, bytes.
long ResidentBytes() {
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  long pages = 0, resident = 0;
  const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return n == 2 ? resident * 4096 : -1;
}

}  // namespace

TEST(Cosim, OpenSimulateCloseCyclesDoNotGrow) {
#if defined(__SANITIZE_ADDRESS__)
  // The address sanitizer holds freed memory back on purpose; its leak
  // checker watches this build instead.
  GTEST_SKIP() << "resident memory is not meaningful under the address sanitizer";
#endif
  auto cycle = [] {
    const int h = OpenRc();
    ASSERT_GE(h, 0) << Err();
    QVS_SetInputValue(h, QVS_GetInput(h, S("V1")), 1.0);
    QVS_AddVTrace(h, S("C1"));
    ASSERT_EQ(QVS_Simulate(h, 1e-4), 0) << Err();
    ASSERT_EQ(QVS_Close(h), 0);
  };
  for (int i = 0; i < 50; ++i) cycle();
  const long before = ResidentBytes();
  for (int i = 0; i < 950; ++i) cycle();
  const long after = ResidentBytes();
  ASSERT_GT(before, 0);
  EXPECT_LT(after - before, 2L << 20) << "grew from " << before << " to " << after;
}

TEST(Cosim, ExactIntervalsGiveTheWaveformOfOneWithinTheIntegrationError) {
  auto run = [](int calls, std::vector<double>* at) {
    const int h = OpenRc();
    QVS_SetInputValue(h, QVS_GetInput(h, S("V1")), 1.0);
    const int tr = QVS_AddVTrace(h, S("C1"));
    for (int i = 0; i < calls; ++i) EXPECT_EQ(QVS_SimulateInterval(h, 2e-3 / calls), 0) << Err();
    at->clear();
    for (int k = 0; k <= 20; ++k) {
      double v = 0;
      EXPECT_EQ(QVS_GetData(h, tr, k * 1e-4, &v), 0) << Err();
      at->push_back(v);
    }
    QVS_Close(h);
  };
  std::vector<double> one, many;
  run(1, &one);
  run(7, &many);
  for (int k = 0; k <= 20; ++k) {
    EXPECT_NEAR(many[k], one[k], 1e-4) << "t = " << k * 1e-4;
    EXPECT_NEAR(one[k], 1 - std::exp(-k * 1e-4 / kTau), 1e-4) << "t = " << k * 1e-4;
  }
}

TEST(Cosim, ForeignCustomPinsOnAPlainTypeAreIgnored) {
  // A "Custom" child on a switch (a type with fixed pins) must not take its
  // pins away: the switch still closes the circuit.
  std::string path = TestData("api/custom_on_plain.qvs");
  const int h = QVS_Open(path.data());
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_Simulate(h, 5e-3), 0) << Err();
  double t = 0, v = 0;
  ASSERT_EQ(QVS_GetLastData(h, QVS_GetTrace(h, S("V(R1)")), &t, &v), 0) << Err();
  EXPECT_NEAR(std::fabs(v), 2.0, 1e-12);
  QVS_Close(h);
}
