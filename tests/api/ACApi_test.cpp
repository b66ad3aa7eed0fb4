// The AC functions' argument checks and messages through qvs_dll.h.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "TestData.h"
#include "qvs_dll.h"

namespace {

std::string Err() { return QVS_GetError(); }
char* S(const char* s) { return const_cast<char*>(s); }

class ACApi : public ::testing::Test {
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

TEST_F(ACApi, SweepSettingsAreChecked) {
  EXPECT_EQ(QVS_SetAC(h, 10, 0, 100, 10), -1);
  EXPECT_EQ(Err(), "QVS_SetAC: to < from");
  EXPECT_EQ(QVS_SetAC(h, 10, 1, 100, 10), -1);  // before the scale is looked at
  EXPECT_EQ(Err(), "QVS_SetAC: to < from");
  EXPECT_EQ(QVS_SetAC(h, 10, 0, 0, 10), -1);
  EXPECT_EQ(Err(), "QVS_SetAC: from < 0");
  EXPECT_EQ(QVS_SetAC(h, 10, 1, 0, 10), 0) << Err();  // linear accepts 0
  EXPECT_EQ(Err(), "OK");
}

TEST_F(ACApi, SourceMustAllowAnExcitation) {
  EXPECT_EQ(QVS_SetACSource(h, S("R1")), -1);
  EXPECT_EQ(Err(), "QVS_SetACSource: component R1 cannot be set as AC source");
  EXPECT_EQ(QVS_SetACSource(h, S("V9")), -1);
  EXPECT_EQ(Err(), "QVS_SetACSource: component V9 not found");
  EXPECT_EQ(QVS_SetACSource(h, S("")), -1);
  EXPECT_EQ(Err(), "QVS_SetACSource: no component name");
  EXPECT_EQ(QVS_SetACSource(h, nullptr), -1);
  EXPECT_EQ(Err(), "QVS_SetACSource: NULL pointer");
  // Without a source the analysis says so.
  ASSERT_EQ(QVS_SetAC(h, 5, 0, 1, 1000), 0);
  EXPECT_EQ(QVS_CalcAC(h), -1);
  EXPECT_EQ(Err(), "QVS_CalcAC: AC error:\nNo AC source");
}

TEST_F(ACApi, TracesAndFiles) {
  double f, m, p;
  EXPECT_EQ(QVS_GetACDataAt(h + 999, 0, 0, nullptr, &m, &p), -1);
  EXPECT_EQ(Err(), "QVS_GetACDataAt: NULL pointer");
  EXPECT_EQ(QVS_GetACDataAt(h, 12345, 0, &f, &m, &p), -1);
  EXPECT_EQ(Err(), "QVS_GetACDataAt: wrong trace handle");
  EXPECT_EQ(QVS_GetACTrace(h, S("V(R1)")), -1);
  EXPECT_EQ(Err(), "QVS_GetACTrace: trace V(R1) not found");
  EXPECT_EQ(QVS_GetACDataSize(h, 12345), -1);
  const std::string base = ScratchDir() + "/sweep";
  ASSERT_EQ(QVS_SaveACData(h, S(base.c_str())), 0) << Err();
  FILE* file = std::fopen((base + ".qvf").c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(QVS_SaveACData(h, S("")), -1);
  EXPECT_EQ(Err(), "QVS_SaveACData: no file name");
}

TEST(ACRun, RcLowPassFromTheDocument) {
  // V1 -> A1 -> 1 kOhm -> C1 = 1 uF: |V(C1)| = 1 / sqrt(1 + (w RC)^2).
  std::string path = TestData("api/rc_ac.qvs");
  const int h = QVS_Open(path.data());
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_SetACSource(h, S("V1")), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const int tr = QVS_GetACTrace(h, S("V(C1)"));
  ASSERT_GE(tr, 0) << Err();
  EXPECT_EQ(QVS_GetACTrace(h, S("V(C1)")), tr);
  ASSERT_EQ(QVS_GetACDataSize(h, tr), 9);
  for (int i = 0; i < 9; ++i) {
    double f, mag, phase;
    ASSERT_EQ(QVS_GetACDataAt(h, tr, i, &f, &mag, &phase), 0);
    const double wrc = 2 * 3.14159265358 * f * 1e-3;
    EXPECT_NEAR(mag, 1 / std::sqrt(1 + wrc * wrc), 1e-9) << f;
    EXPECT_NEAR(phase, -std::atan(wrc) * 180 / 3.14159265358, 1e-6) << f;
  }
  double f, m, p;
  EXPECT_EQ(QVS_GetACDataAt(h, tr, 9, &f, &m, &p), -1);
  EXPECT_EQ(Err(), "QVS_GetACDataAt: no data at requested index");
  QVS_Close(h);
}
