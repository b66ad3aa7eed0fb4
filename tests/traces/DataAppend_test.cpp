// Appending points: block and chunk boundaries, value limits per block,
// memory accounting, repeat compression, and recycling of the oldest chunk
// when memory runs out.

#include "traces/DataTest.h"

using DataAppend = DataTest;
using DataCompression = DataTest;
using DataRecycling = DataTest;

TEST_F(DataAppend, BlockHoldsPoints0To255AndPoint256OpensTheNext) {
  FillRamp(255);
  EXPECT_EQ(1, Run().GetBlockCount());
  EXPECT_EQ(255, Run().GetBlock(0)->Count());
  FillRamp(1);  // point 255 (value 0)
  EXPECT_EQ(1, Run().GetBlockCount());
  EXPECT_EQ(256, Run().GetBlock(0)->Count());
  ASSERT_TRUE(Run().AddDataPoint(300.0, 7.0));  // point 256
  EXPECT_EQ(2, Run().GetBlockCount());
  EXPECT_EQ(1, Run().GetBlock(1)->Count());
  EXPECT_EQ(257, Run().GetSize());

  int block = -1, slot = -1;
  EXPECT_TRUE(Run().GetAdr(256, &block, &slot));
  EXPECT_EQ(1, block);
  EXPECT_EQ(0, slot);
  EXPECT_TRUE(Run().GetAdr(255, &block, &slot));
  EXPECT_EQ(0, block);
  EXPECT_EQ(255, slot);
  // Slot 0 of block 1 holds point 256 as stored.
  const double* p = reinterpret_cast<const double*>(Run().GetBlockData(1));
  EXPECT_EQ(300.0, p[0]);
  EXPECT_EQ(7.0, p[1]);
  // All blocks so far share the first chunk.
  EXPECT_EQ(kTranChunk, Run().Bytes());
}

TEST_F(DataAppend, Point65536OpensANewChunkCountedInRunAndAnalysis) {
  FillRamp(65536);
  EXPECT_EQ(256, Run().GetBlockCount());
  EXPECT_EQ(kTranChunk, Run().Bytes());
  EXPECT_EQ(kTranChunk, tran_.bytes);
  ASSERT_TRUE(Run().AddDataPoint(65536.0, -1.0));
  EXPECT_EQ(257, Run().GetBlockCount());
  EXPECT_EQ(2 * kTranChunk, Run().Bytes());
  EXPECT_EQ(2 * kTranChunk, tran_.bytes);

  double t, v;
  ASSERT_TRUE(Run().GetDataAt(65535, &t, &v, false));
  EXPECT_EQ(65535.0, t);
  EXPECT_EQ(65535.0, v);
  ASSERT_TRUE(Run().GetDataAt(65536, &t, &v, false));
  EXPECT_EQ(65536.0, t);
  EXPECT_EQ(-1.0, v);

  // A second run of the same analysis counts into the same total.
  CData other(&trace_);
  ASSERT_TRUE(other.AddDataPoint(0.0, 0.0));
  EXPECT_EQ(3 * kTranChunk, tran_.bytes);
  other.ClearData();
  EXPECT_EQ(2 * kTranChunk, tran_.bytes);
  Run().ClearData();
  EXPECT_EQ(0, tran_.bytes);
  EXPECT_EQ(0, Run().Bytes());
  EXPECT_EQ(0, Run().GetSize());
  EXPECT_EQ(0, Run().GetBlockCount());
}

TEST_F(DataAppend, AcPointsTakeChunksOfThreeDoubles) {
  trace_.transient = false;
  CData ac(&trace_);
  EXPECT_EQ(3, ac.DoublesPerPoint());
  ASSERT_TRUE(ac.AddFreqDataPoint(10.0, 2.0, -45.0));
  EXPECT_EQ(kFreqChunk, tran_.bytes);
  double f, m, p;
  ASSERT_TRUE(ac.GetFreqDataAt(0, &f, &m, &p));
  EXPECT_EQ(10.0, f);
  EXPECT_EQ(2.0, m);
  EXPECT_EQ(-45.0, p);
  // Destroying a run gives its memory back.
  {
    CData second(&trace_);
    second.AddFreqDataPoint(1.0, 1.0, 0.0);
    EXPECT_EQ(2 * kFreqChunk, tran_.bytes);
  }
  EXPECT_EQ(kFreqChunk, tran_.bytes);
}

TEST_F(DataAppend, BlockValueLimitsStartAfreshInEachBlock) {
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i == 100 ? 1000.0 : -i));
  EXPECT_EQ(1000.0, Run().GetBlock(0)->ValueMax());
  EXPECT_EQ(-255.0, Run().GetBlock(0)->ValueMin());
  ASSERT_TRUE(Run().AddDataPoint(256.0, 5.0));
  EXPECT_EQ(5.0, Run().GetBlock(1)->ValueMax());
  EXPECT_EQ(5.0, Run().GetBlock(1)->ValueMin());
  ASSERT_TRUE(Run().AddDataPoint(257.0, 6.0));
  EXPECT_EQ(6.0, Run().GetBlock(1)->ValueMax());
  EXPECT_EQ(5.0, Run().GetBlock(1)->ValueMin());
}

TEST_F(DataAppend, EveryAppendCountsInTheTrace) {
  FillRamp(300);
  EXPECT_EQ(300, trace_.points_added);
}

TEST_F(DataAppend, TypedRunTakesNoPoints) {
  ASSERT_TRUE(Run().SetTyped(3, 0.0, 1.0, 0.0, 1.0, 0.0));
  EXPECT_TRUE(Run().AddDataPoint(1.0, 2.0));
  EXPECT_EQ(0, Run().GetSize());
  EXPECT_EQ(0, tran_.bytes);
}

TEST_F(DataAppend, ReplaceOverwritesPointZeroOrStartsTheRun) {
  Run().ReplaceDataPoint(1.0, 5.0);  // empty: becomes point 0
  ASSERT_EQ(1, Run().GetSize());
  Run().ReplaceDataPoint(2.0, -3.0);
  ASSERT_EQ(1, Run().GetSize());
  EXPECT_EQ((PointList{{2.0, -3.0}}), Points());
  EXPECT_EQ(-3.0, Run().GetBlock(0)->ValueMax());
  Fill({{3.0, 1.0}, {4.0, 2.0}});
  Run().ReplaceDataPoint(2.5, 10.0);
  EXPECT_EQ((PointList{{2.5, 10.0}, {3.0, 1.0}, {4.0, 2.0}}), Points());
  EXPECT_EQ(-1, Run().Find(2.4));
  EXPECT_EQ(0, Run().Find(2.5));
  EXPECT_EQ(10.0, Run().GetBlock(0)->ValueMax());
  EXPECT_EQ(1.0, Run().GetBlock(0)->ValueMin());
}

TEST_F(DataCompression, ThreeEqualValuesLeaveFirstAndThirdTime) {
  tran_.compress = true;
  Fill({{0.0, 4.0}, {1.0, 4.0}, {2.0, 4.0}});
  EXPECT_EQ((PointList{{0.0, 4.0}, {2.0, 4.0}}), Points());
}

TEST_F(DataCompression, EachRunKeepsItsFirstPointAndOneMovingEnd) {
  tran_.compress = true;
  Fill({{0, 1}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 1}, {7, 3}});
  // 1 from 0 to 2, 2 from 3 to 5, then single points.
  EXPECT_EQ((PointList{{0, 1}, {2, 1}, {3, 2}, {5, 2}, {6, 1}, {7, 3}}), Points());
  // The moves of an end point are not appends.
  EXPECT_EQ(6, trace_.points_added);
  // The run still interpolates along the kept points.
  EXPECT_DOUBLE_EQ(1.5, At(2.5));
  EXPECT_DOUBLE_EQ(2.0, At(4.0));
}

TEST_F(DataCompression, EqualMeansEqualWithinTheRelativeTolerance) {
  tran_.compress = true;
  Fill({{0.0, 1.0}, {1.0, 1.0 + 1e-13}, {2.0, 1.0 - 1e-13}, {3.0, 1.0 + 1e-9}});
  ASSERT_EQ(3, Run().GetSize());
  auto p = Points();
  EXPECT_EQ(0.0, p[0].first);
  EXPECT_EQ(2.0, p[1].first);  // the third value moved the end point
  EXPECT_EQ(3.0, p[2].first);  // 1e-9 apart is a new value
}

TEST_F(DataCompression, OffKeepsEveryPoint) {
  Fill({{0.0, 4.0}, {1.0, 4.0}, {2.0, 4.0}});
  EXPECT_EQ(3, Run().GetSize());
}

TEST_F(DataCompression, MovingEndAcrossABlockBoundary) {
  tran_.compress = true;
  // Alternating values are never compressed: 256 points fill block 0.
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i % 2));
  Fill({{256.0, 1.0}, {257.0, 1.0}, {258.0, 1.0}});
  // 255 held 1; 256 equal -> stored (block 1), 257 and 258 move it.
  ASSERT_EQ(257, Run().GetSize());
  double t, v;
  ASSERT_TRUE(Run().GetDataAt(256, &t, &v, false));
  EXPECT_EQ(258.0, t);
  EXPECT_EQ(1.0, v);
  EXPECT_EQ(2, Run().GetBlockCount());
  // Block 1 now starts at 258: times before it belong to block 0.
  EXPECT_EQ(255, Run().Find(257.0));
  EXPECT_EQ(256, Run().Find(258.0));
  EXPECT_EQ(1.0, At(256.5));
}

TEST_F(DataRecycling, OutOfMemoryDropsTheOldestChunkAndReportsIt) {
  tran_.max_bytes = 2 * kTranChunk;
  FillRamp(2 * 65536);
  EXPECT_EQ(2 * kTranChunk, tran_.bytes);
  // The next point needs a third chunk: the first one is taken back with
  // its 65536 points, and the append says that old data went.
  EXPECT_FALSE(Run().AddDataPoint(131072.0, 131072.0));
  EXPECT_EQ(65537, Run().GetSize());
  EXPECT_EQ(2 * kTranChunk, tran_.bytes);
  double t, v;
  ASSERT_TRUE(Run().GetDataAt(0, &t, &v, false));
  EXPECT_EQ(65536.0, t);
  ASSERT_TRUE(Run().GetDataAt(65536, &t, &v, false));
  EXPECT_EQ(131072.0, t);
  EXPECT_EQ(131072.0, v);
  EXPECT_EQ(131072.0, Run().GetLastTime());

  // The reused chunk has room for 255 more blocks before the next drop.
  for (int i = 131073; i < 196608; ++i)
    ASSERT_TRUE(Run().AddDataPoint(i, i)) << "i=" << i;
  EXPECT_EQ(131072, Run().GetSize());
  EXPECT_FALSE(Run().AddDataPoint(196608.0, 196608.0));
  EXPECT_EQ(65537, Run().GetSize());
  ASSERT_TRUE(Run().GetDataAt(0, &t, &v, false));
  EXPECT_EQ(131072.0, t);
  // Time look-ups work across the ring.
  EXPECT_EQ(65536 - 1 + 1, Run().Find(196608.0));
  EXPECT_EQ(100, Run().Find(131172.5));
  EXPECT_EQ(-1, Run().Find(131071.0));
  EXPECT_EQ(2 * kTranChunk, tran_.bytes);
  Run().ClearData();
  EXPECT_EQ(0, tran_.bytes);
}

TEST_F(DataRecycling, OneChunkRingKeepsOnlyTheNewestPoint) {
  tran_.max_bytes = kTranChunk;
  FillRamp(65536);
  EXPECT_FALSE(Run().AddDataPoint(65536.0, -2.0));
  ASSERT_EQ(1, Run().GetSize());
  EXPECT_EQ((PointList{{65536.0, -2.0}}), Points());
  EXPECT_TRUE(Run().AddDataPoint(65537.0, -3.0));
  EXPECT_EQ(2, Run().GetSize());
}

TEST_F(DataRecycling, NoBlockToRecycleLosesThePoint) {
  tran_.max_bytes = 1;  // not even one chunk
  EXPECT_FALSE(Run().AddDataPoint(0.0, 1.0));
  EXPECT_EQ(0, Run().GetSize());
  EXPECT_EQ(0, tran_.bytes);
  EXPECT_EQ(1, trace_.points_added);  // counted even though lost
  double v;
  EXPECT_FALSE(Run().GetDataPoint(0.0, &v, false));
  EXPECT_FALSE(Run().InsertDLLDataPoint(0.0, 1.0));
}
