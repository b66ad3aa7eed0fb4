// Traces and samples through the exported functions of qvs_dll.h.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace {

using namespace apitest;

class TraceApi : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = TestData("api/divider.qvs");
    h = QVS_Open(path.data());
    ASSERT_GE(h, 0) << Err();
  }
  void TearDown() override { QVS_Close(h); }
  int h = -1;
};

}  // namespace

TEST_F(TraceApi, AddingChecksTheComponentAndItsModel) {
  EXPECT_FAILS(QVS_AddVTrace(h, S("R7")), "QVS_AddVTrace: component R7 not found");
  EXPECT_FAILS(QVS_AddITrace(h, S("")), "QVS_AddITrace: no trace name");
  EXPECT_FAILS(QVS_AddFuncTrace(h, S("")), "QVS_AddFuncTrace: no trace function");
  EXPECT_FAILS(QVS_AddVarTrace(h, S("x")), "QVS_AddVarTrace: variable x not found");
  EXPECT_FAILS(QVS_AddPTrace(h, nullptr), "QVS_AddPTrace: NULL pointer");
  const int v = QVS_AddVTrace(h, S("R1"));
  ASSERT_GE(v, 0) << Err();
  EXPECT_EQ(Err(), "OK");
  // Found again by its name, in quotes or not, with the same handle.
  EXPECT_EQ(QVS_GetTrace(h, S("V(R1)")), v);
  EXPECT_EQ(QVS_GetTrace(h, S("\"v(r1)\"")), v);
  EXPECT_FAILS(QVS_GetTrace(h, S("V(R2)")), "QVS_GetTrace: trace V(R2) not found");
}

TEST_F(TraceApi, RunZeroFillsDuringASimulation) {
  const int v = QVS_AddVTrace(h, S("R1"));
  const int f = QVS_AddFuncTrace(h, S("2*V(R1)+1"));
  ASSERT_GE(f, 0) << Err();
  EXPECT_EQ(QVS_GetDataSize(h, v), 0);
  ASSERT_EQ(QVS_Simulate(h, 0.01), 0) << Err();
  const int n = QVS_GetDataSize(h, v);
  EXPECT_GE(n, 11);
  EXPECT_EQ(QVS_GetDataSize(h, f), n);
  double t = -1, x = -1;
  ASSERT_EQ(QVS_GetDataAt(h, f, 0, &t, &x), 0) << Err();
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(x, 1.0);  // no source: every voltage is 0
  EXPECT_FAILS(QVS_GetDataAt(h, f, n, &t, &x), "QVS_GetDataAt: no data at requested index");
  EXPECT_FAILS(QVS_GetDataAt(h, f, 0, nullptr, &x), "QVS_GetDataAt: NULL pointer");
  double last_t = 0;
  ASSERT_EQ(QVS_GetLastData(h, v, &last_t, &x), 0);
  EXPECT_GE(last_t, 0.01 - 1e-12);
  ASSERT_EQ(QVS_GetData(h, v, last_t, &x), 0) << Err();
  EXPECT_FAILS(QVS_GetData(h, v, last_t * (1 + 1e-9), &x),
               "QVS_GetData: no data at requested time");

  // Old samples go; the one at or just before the last target stays first.
  ASSERT_EQ(QVS_DeleteOldData(h), 0);
  ASSERT_EQ(QVS_GetDataAt(h, v, 0, &t, &x), 0);
  EXPECT_LE(t, 0.01 + 1e-12);
  EXPECT_LE(QVS_GetDataSize(h, v), 2);
  ASSERT_EQ(QVS_Simulate(h, 0.01), 0);
  EXPECT_GT(QVS_GetDataSize(h, v), 5);

  ASSERT_EQ(QVS_DeleteData(h, v), 0);
  EXPECT_EQ(QVS_GetDataSize(h, v), 0);
  EXPECT_FAILS(QVS_GetLastData(h, v, &t, &x), "QVS_GetLastData: no data");
  EXPECT_FAILS(QVS_GetDataAt(h, v, 0, &t, &x), "QVS_GetDataAt: no trace data");
}

TEST_F(TraceApi, CallerSamplesStaySortedAndOutOfRunZero) {
  const int d = QVS_AddDataTrace(h, S("drive"));
  ASSERT_GE(d, 0) << Err();
  ASSERT_EQ(QVS_AddData(h, d, 1.0, 10.0), 0);
  ASSERT_EQ(QVS_AddData(h, d, 3.0, 30.0), 0);
  ASSERT_EQ(QVS_AddData(h, d, 2.0, 20.0), 0);
  EXPECT_EQ(QVS_GetDataSize(h, d), 0);  // run -1 is not what readers see
  EXPECT_FAILS(QVS_AddData(h, d + 500, 1.0, 1.0), "QVS_AddData: wrong trace handle");
}

TEST_F(TraceApi, DeletedTracesAndHandlesAreGone) {
  const int v = QVS_AddVTrace(h, S("R2"));
  ASSERT_EQ(QVS_DeleteTrace(h, v), 0) << Err();
  EXPECT_FAILS(QVS_DeleteTrace(h, v), "QVS_DeleteTrace: wrong trace handle");
  EXPECT_EQ(QVS_GetTrace(h, S("V(R2)")), -1);
  EXPECT_EQ(QVS_GetDataSize(h, v), -1);
}

TEST_F(TraceApi, AddedTracesAreSavedWithTheDocument) {
  ASSERT_GE(QVS_AddITrace(h, S("R1")), 0);
  const std::string out = ScratchDir() + "/with_trace.qvs";
  ASSERT_EQ(QVS_SaveAs(h, const_cast<char*>(out.c_str())), 0) << Err();
  const int h2 = QVS_Open(const_cast<char*>(out.c_str()));
  ASSERT_GE(h2, 0) << Err();
  EXPECT_GE(QVS_GetTrace(h2, S("I(R1)")), 0) << Err();
  QVS_Close(h2);
}
