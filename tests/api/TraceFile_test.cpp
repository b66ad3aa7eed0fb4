// Trace data files and points stored with the document, read back by an
// independent parser of the file layout: text, one zero byte, then
// little-endian (time, value) doubles of every described run.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace {

using namespace apitest;

// The "size" attributes of the elements named tag, in text order.
std::vector<int> Sizes(const std::string& text, const std::string& tag) {
  std::vector<int> sizes;
  const std::regex element("<" + tag + "\\b[^>]*\\bsize=\"([0-9]+)\"");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), element);
       it != std::sregex_iterator(); ++it)
    sizes.push_back(std::stoi((*it)[1]));
  return sizes;
}

class TraceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = TestData("api/saved.qvs");
    h = QVS_Open(path.data());
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_Simulate(h, 0.005), 0) << Err();
    ramp = QVS_GetTrace(h, S("ramp"));
    ASSERT_GE(ramp, 0) << Err();
    n = QVS_GetDataSize(h, ramp);
    ASSERT_GT(n, 5);
  }
  void TearDown() override { QVS_Close(h); }
  int h = -1, ramp = -1, n = 0;
};

}  // namespace

TEST_F(TraceFile, TransientFileLayout) {
  // A trace added after the run has no run 0 and is left out.
  ASSERT_GE(QVS_AddVTrace(h, S("R1")), 0);
  const std::string base = ScratchDir() + "/run";
  ASSERT_EQ(QVS_SaveData(h, S(base.c_str())), 0) << Err();
  const std::vector<unsigned char> bytes = ReadAll(base + ".qvt");
  const auto zero = std::find(bytes.begin(), bytes.end(), 0);
  ASSERT_NE(zero, bytes.end());
  const std::string text(bytes.begin(), zero);
  EXPECT_NE(text.find("<QVS_tran"), std::string::npos);
  EXPECT_NE(text.find("Copy of I(Rload)"), std::string::npos);
  EXPECT_NE(text.find("Copy of ramp"), std::string::npos);
  EXPECT_EQ(text.find("Copy of V(R1)"), std::string::npos);
  const std::vector<int> sizes = Sizes(text, "Trace");
  ASSERT_EQ(sizes, (std::vector<int>{n, n}));
  const std::size_t points = static_cast<std::size_t>(zero - bytes.begin()) + 1;
  ASSERT_EQ(bytes.size(), points + 16u * static_cast<std::size_t>(sizes[0] + sizes[1]));
  // The ramp's points: value = 1000 t, times increasing.
  const unsigned char* p = bytes.data() + points + 16u * static_cast<std::size_t>(sizes[0]);
  double last = -1.0;
  for (int i = 0; i < sizes[1]; ++i, p += 16) {
    const double t = LittleEndianDouble(p), v = LittleEndianDouble(p + 8);
    EXPECT_GT(t, last);
    EXPECT_NEAR(v, 1000.0 * t, 1e-9);
    last = t;
  }
  // The traces in memory keep their names.
  EXPECT_EQ(QVS_GetTrace(h, S("ramp")), ramp);
}

TEST_F(TraceFile, SaveDataChecksTheCircuitBeforeTheName) {
  EXPECT_FAILS(QVS_SaveData(h + 777, nullptr), "QVS_SaveData: wrong circuit handle");
  EXPECT_FAILS(QVS_SaveData(h, nullptr), "QVS_SaveData: NULL pointer");
  EXPECT_FAILS(QVS_SaveData(h, S("")), "QVS_SaveData: no file name");
  EXPECT_FAILS(QVS_SaveData(h, S("/no/such/dir/x")),
               "QVS_SaveData: cannot save file /no/such/dir/x.qvt");
}

TEST_F(TraceFile, DocumentKeepsItsPointsAcrossSaveAndOpen) {
  const int data = QVS_AddDataTrace(h, S("drive"));
  ASSERT_EQ(QVS_AddData(h, data, 0.5, 5.0), 0);
  ASSERT_EQ(QVS_AddData(h, data, 0.25, 2.5), 0);
  const std::string out = ScratchDir() + "/with_points.qvs";
  ASSERT_EQ(QVS_SaveAs(h, S(out.c_str())), 0) << Err();

  // Every described size matches the points that follow the text.
  const std::vector<unsigned char> bytes = ReadAll(out);
  const auto zero = std::find(bytes.begin(), bytes.end(), 0);
  ASSERT_NE(zero, bytes.end());
  const std::string text(bytes.begin(), zero);
  int total = 0;
  for (int s : Sizes(text, "Data")) total += s;
  EXPECT_EQ(total, 2 * n + 2);
  EXPECT_EQ(bytes.size(), static_cast<std::size_t>(zero - bytes.begin()) + 1 + 16u * total);

  const int h2 = QVS_Open(S(out.c_str()));
  ASSERT_GE(h2, 0) << Err();
  const int r2 = QVS_GetTrace(h2, S("ramp"));
  ASSERT_EQ(QVS_GetDataSize(h2, r2), n);
  for (int i = 0; i < n; ++i) {
    double t1, v1, t2, v2;
    ASSERT_EQ(QVS_GetDataAt(h, ramp, i, &t1, &v1), 0);
    ASSERT_EQ(QVS_GetDataAt(h2, r2, i, &t2, &v2), 0);
    EXPECT_EQ(t1, t2);
    EXPECT_EQ(v1, v2);
  }
  // Saved again unchanged, the file is the same.
  const std::string again = ScratchDir() + "/with_points_again.qvs";
  ASSERT_EQ(QVS_SaveAs(h2, S(again.c_str())), 0) << Err();
  EXPECT_EQ(ReadAll(again), bytes);
  QVS_Close(h2);
}
