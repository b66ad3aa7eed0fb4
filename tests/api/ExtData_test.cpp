// QVSX_GetData: a transient trace's samples in bulk, the same as
// QVS_GetDataAt reads them one at a time.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestData.h"
#include "qvs_dll.h"
#include "qvs_ext.h"

TEST(ExtData, BulkSamplesEqualTheOneByOneReadAndStopAtTheEnd) {
  std::string path = TestData("api/divider.qvs");
  const int h = QVS_Open(path.data());
  ASSERT_GE(h, 0) << QVS_GetError();
  const int tr = QVS_AddVTrace(h, const_cast<char*>("R1"));
  ASSERT_GE(tr, 0) << QVS_GetError();
  double t[4] = {}, v[4] = {};

  // Arguments before the circuit handle, then the trace.
  EXPECT_EQ(QVSX_GetData(h + 1000, tr, 0, 1, nullptr, v), -1);
  EXPECT_STREQ(QVS_GetError(), "QVSX_GetData: NULL pointer");
  EXPECT_EQ(QVSX_GetData(h + 1000, tr, -1, 1, t, v), -1);
  EXPECT_STREQ(QVS_GetError(), "QVSX_GetData: wrong range");
  EXPECT_EQ(QVSX_GetData(h + 1000, tr, 0, -1, t, v), -1);
  EXPECT_STREQ(QVS_GetError(), "QVSX_GetData: wrong range");
  EXPECT_EQ(QVSX_GetData(h + 1000, tr, 0, 1, t, v), -1);
  EXPECT_STREQ(QVS_GetError(), "QVSX_GetData: wrong circuit handle");
  EXPECT_EQ(QVSX_GetData(h, tr + 1000, 0, 1, t, v), -1);
  EXPECT_STREQ(QVS_GetError(), "QVSX_GetData: wrong trace handle");

  ASSERT_EQ(QVS_SimulateInterval(h, 1e-3), 0) << QVS_GetError();
  const int n = QVS_GetDataSize(h, tr);
  ASSERT_GT(n, 3);
  std::vector<double> bt(static_cast<std::size_t>(n)), bv(static_cast<std::size_t>(n));
  EXPECT_EQ(QVSX_GetData(h, tr, 0, n, bt.data(), bv.data()), n);
  EXPECT_STREQ(QVS_GetError(), "OK");
  for (int i = 0; i < n; ++i) {
    double ot = 0, ov = 0;
    ASSERT_EQ(QVS_GetDataAt(h, tr, i, &ot, &ov), 0);
    EXPECT_EQ(bt[static_cast<std::size_t>(i)], ot) << i;
    EXPECT_EQ(bv[static_cast<std::size_t>(i)], ov) << i;
  }
  // A window, one that runs past the end, one that starts there.
  EXPECT_EQ(QVSX_GetData(h, tr, 1, 2, t, v), 2);
  EXPECT_EQ(t[0], bt[1]);
  EXPECT_EQ(v[1], bv[2]);
  EXPECT_EQ(QVSX_GetData(h, tr, n - 2, 4, t, v), 2);
  EXPECT_EQ(t[1], bt[static_cast<std::size_t>(n - 1)]);
  EXPECT_EQ(QVSX_GetData(h, tr, n, 4, t, v), 0);
  EXPECT_EQ(QVSX_GetData(h, tr, 0, 0, t, v), 0);
  QVS_Close(h);
}
