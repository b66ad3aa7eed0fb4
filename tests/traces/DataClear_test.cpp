// Dropping old samples (ClearDLLDataLessThan), writing points in place, and
// reuse of the blocks left allocated.

#include <cmath>
#include <utility>

#include "traces/DataTest.h"

using DataClearOld = DataTest;

TEST_F(DataClearOld, KeepsThePointAtOrBeforeTheTimeAsFirst) {
  // Points (i, 10 i), i = 0 .. 9. A time between two points keeps the
  // earlier; the time of a point (within tolerance) keeps that point; after
  // the last only the last stays; before point 1 nothing happens.
  const struct {
    double time;
    int size;
    std::pair<double, double> first;
  } rows[] = {{4.5, 6, {4, 40}}, {4.0 * (1 - 1e-13), 6, {4, 40}}, {100.0, 1, {9, 90}},
              {0.5, 10, {0, 0}}, {-5.0, 10, {0, 0}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "clear before " << row.time);
    Run().ClearData();
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Run().AddDataPoint(i, 10.0 * i));
    Run().ClearDLLDataLessThan(row.time);
    ASSERT_EQ(row.size, Run().GetSize());
    EXPECT_EQ(row.first, Points().front());
    EXPECT_EQ(std::make_pair(9.0, 90.0), Points().back());
  }
  // The value at the clearing time can still be interpolated.
  Run().ClearDLLDataLessThan(4.5);
  EXPECT_EQ((PointList{{4, 40}, {5, 50}, {6, 60}, {7, 70}, {8, 80}, {9, 90}}), Points());
  EXPECT_EQ(45.0, At(4.5));
  EXPECT_TRUE(std::isnan(At(3.9)));
  // Fewer than two points: nothing happens.
  CData one(&trace_), none(&trace_);
  ASSERT_TRUE(one.AddDataPoint(1.0, 1.0));
  one.ClearDLLDataLessThan(5.0);
  none.ClearDLLDataLessThan(5.0);
  EXPECT_EQ(1, one.GetSize());
  EXPECT_EQ(0, none.GetSize());
}

TEST_F(DataClearOld, BlocksStayAndTakeTheNextPoints) {
  FillRamp(600);
  const long long bytes = tran_.bytes;
  Run().ClearDLLDataLessThan(300.5);
  ASSERT_EQ(300, Run().GetSize());
  EXPECT_EQ(3, Run().GetBlockCount());
  EXPECT_EQ(256, Run().GetBlock(0)->Count());
  EXPECT_EQ(44, Run().GetBlock(1)->Count());
  EXPECT_EQ(0, Run().GetBlock(2)->Count());
  double t, v;
  ASSERT_TRUE(Run().GetDataAt(0, &t, &v, false));
  EXPECT_EQ(300.0, t);
  ASSERT_TRUE(Run().GetDataAt(299, &t, &v, false));
  EXPECT_EQ(599.0, t);
  EXPECT_FALSE(Run().GetDataAt(300, &t, &v, false));
  // Block limits describe the points now held.
  ExpectLimits(0, 300.0, 555.0);
  ExpectLimits(1, 556.0, 599.0);
  // Look-ups do not see the old points left in the blocks.
  EXPECT_EQ(299, Run().Find(1000.0));
  EXPECT_EQ(-1, Run().Find(299.0));
  EXPECT_EQ(50, Run().Find(350.5));
  EXPECT_TRUE(std::isnan(At(600.5)));

  // The next appends go into the blocks already there.
  for (int i = 600; i < 900; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i));
  EXPECT_EQ(600, Run().GetSize());
  EXPECT_EQ(3, Run().GetBlockCount());
  EXPECT_EQ(bytes, tran_.bytes);
  EXPECT_EQ(599, Run().Find(1000.0));
  EXPECT_EQ(344, Run().Find(644.0));
  EXPECT_EQ(88, Run().GetBlock(2)->Count());
  ExpectLimits(2, 812.0, 899.0);
}

TEST_F(DataClearOld, StatisticsAfterwardsSeeTheMovedPoints) {
  // Values 0 in block 0 and 1 in block 1. A window from before the first
  // point covers both blocks whole, so their statistics are cached.
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i < 256 ? 0.0 : 1.0));
  Run().CalcTranData(false, -1.0, 511.0);
  double mean;
  ASSERT_TRUE(Run().GetDataVar(CData::kMean, 0.0, &mean));
  // 0 up to 255, a ramp to 1 at 256, then 1 to 511: 0.5 + 255 over 511.
  EXPECT_DOUBLE_EQ(255.5 / 511.0, mean);
  Run().ClearDLLDataLessThan(256.0);  // block 0 now holds the ones
  ASSERT_EQ(256, Run().GetSize());
  Run().CalcTranData(false, -1.0, 1000.0);  // block 0 whole again
  ASSERT_TRUE(Run().GetDataVar(CData::kMean, 0.0, &mean));
  EXPECT_EQ(1.0, mean);
  double mn;
  ASSERT_TRUE(Run().GetDataVar(CData::kMin, 0.0, &mn));
  EXPECT_EQ(1.0, mn);
}

TEST_F(DataClearOld, CompressionStartsAfreshAfterClearing) {
  tran_.compress = true;
  Fill({{0, 1}, {1, 5}, {2, 5}, {3, 5}});
  EXPECT_EQ((PointList{{0, 1}, {1, 5}, {3, 5}}), Points());
  Run().ClearDLLDataLessThan(1.0);
  EXPECT_EQ((PointList{{1, 5}, {3, 5}}), Points());
  // Without the earlier repeat state, an equal value is a new point.
  Fill({{4, 5}});
  EXPECT_EQ((PointList{{1, 5}, {3, 5}, {4, 5}}), Points());
  // It starts a new run of equal values: stored, then moving.
  Fill({{5, 5}, {6, 5}});
  EXPECT_EQ((PointList{{1, 5}, {3, 5}, {4, 5}, {6, 5}}), Points());
}

TEST_F(DataClearOld, SetDLLDataWritesOnlyIntoExistingBlocks) {
  FillRamp(3);
  EXPECT_TRUE(Run().SetDLLData(1, 1.0, -7.0));
  EXPECT_EQ((PointList{{0, 0}, {1, -7}, {2, 2}}), Points());
  ExpectLimits(0, -7.0, 2.0);
  EXPECT_TRUE(Run().SetDLLData(255, 9.0, 9.0));  // grows block 0's count
  EXPECT_EQ(256, Run().GetBlock(0)->Count());
  EXPECT_EQ(3, Run().GetSize());                // but not the run's
  EXPECT_FALSE(Run().SetDLLData(256, 0.0, 0.0));
  EXPECT_FALSE(Run().SetDLLData(-1, 0.0, 0.0));
}
