// Appending points: block and chunk boundaries, value limits per block,
// memory accounting, repeat compression, and recycling of the oldest chunk
// when memory runs out.

#include <tuple>
#include <vector>

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
  // (index, block, slot)
  for (const auto& [index, want_block, want_slot] : {std::tuple{256, 1, 0}, {255, 0, 255}}) {
    int block = -1, slot = -1;
    EXPECT_TRUE(Run().GetAdr(index, &block, &slot));
    EXPECT_EQ(want_block, block) << index;
    EXPECT_EQ(want_slot, slot) << index;
  }
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
  ExpectPoint(65535, 65535.0, 65535.0);
  ExpectPoint(65536, 65536.0, -1.0);

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
  EXPECT_EQ((std::vector<double>{10.0, 2.0, -45.0}), (std::vector<double>{f, m, p}));
  {  // destroying a run gives its memory back
    CData second(&trace_);
    second.AddFreqDataPoint(1.0, 1.0, 0.0);
    EXPECT_EQ(2 * kFreqChunk, tran_.bytes);
  }
  EXPECT_EQ(kFreqChunk, tran_.bytes);
}

TEST_F(DataAppend, BlockValueLimitsStartAfreshInEachBlock) {
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i == 100 ? 1000.0 : -i));
  ExpectLimits(0, -255.0, 1000.0);
  ASSERT_TRUE(Run().AddDataPoint(256.0, 5.0));
  ExpectLimits(1, 5.0, 5.0);
  ASSERT_TRUE(Run().AddDataPoint(257.0, 6.0));
  ExpectLimits(1, 5.0, 6.0);
}

TEST_F(DataAppend, EveryAppendCountsInTheTraceButATypedRunTakesNone) {
  FillRamp(300);
  EXPECT_EQ(300, trace_.points_added);
  Run().ClearData();
  ASSERT_TRUE(Run().SetTyped(3, 0.0, 1.0, 0.0, 1.0, 0.0));
  EXPECT_TRUE(Run().AddDataPoint(1.0, 2.0));
  EXPECT_EQ(0, Run().GetSize());
  EXPECT_EQ(0, tran_.bytes);
}

TEST_F(DataAppend, ReplaceOverwritesPointZeroOrStartsTheRun) {
  Run().ReplaceDataPoint(1.0, 5.0);  // empty: becomes point 0
  ASSERT_EQ(1, Run().GetSize());
  Run().ReplaceDataPoint(2.0, -3.0);
  EXPECT_EQ((PointList{{2.0, -3.0}}), Points());
  EXPECT_EQ(-3.0, Run().GetBlock(0)->ValueMax());
  Fill({{3.0, 1.0}, {4.0, 2.0}});
  Run().ReplaceDataPoint(2.5, 10.0);
  EXPECT_EQ((PointList{{2.5, 10.0}, {3.0, 1.0}, {4.0, 2.0}}), Points());
  EXPECT_EQ(-1, Run().Find(2.4));
  EXPECT_EQ(0, Run().Find(2.5));
  ExpectLimits(0, 1.0, 10.0);
}

TEST_F(DataCompression, EachRunOfEqualValuesKeepsItsFirstPointAndOneMovingEnd) {
  // Values equal within 1e-13 relative are repeats; 1e-9 apart is a new
  // value. Without compression every point stays.
  const struct {
    bool compress;
    PointList in, kept;
  } rows[] = {
      // (a kept value of 0: its value is not checked)
      {true, {{0, 4}, {1, 4}, {2, 4}}, {{0, 4}, {2, 4}}},
      {false, {{0, 4}, {1, 4}, {2, 4}}, {{0, 4}, {1, 4}, {2, 4}}},
      {true, {{0, 1}, {1, 1 + 1e-13}, {2, 1 - 1e-13}, {3, 1 + 1e-9}}, {{0, 1}, {2, 0}, {3, 0}}},
  };
  for (const auto& row : rows) {
    tran_.compress = row.compress;
    Run().ClearData();
    Fill(row.in);
    const PointList got = Points();
    ASSERT_EQ(row.kept.size(), got.size()) << "compress " << row.compress;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(row.kept[i].first, got[i].first) << "point " << i;
      // Only the times tell which of near-equal values was kept.
      if (row.kept[i].second != 0) {
        EXPECT_EQ(row.kept[i].second, got[i].second) << "point " << i;
      }
    }
  }
  Run().ClearData();
  trace_.points_added = 0;
  tran_.compress = true;
  Fill({{0, 1}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 1}, {7, 3}});
  // 1 from 0 to 2, 2 from 3 to 5, then single points.
  EXPECT_EQ((PointList{{0, 1}, {2, 1}, {3, 2}, {5, 2}, {6, 1}, {7, 3}}), Points());
  EXPECT_EQ(6, trace_.points_added);  // the moves of an end point are not appends
  // The run still interpolates along the kept points.
  EXPECT_DOUBLE_EQ(1.5, At(2.5));
  EXPECT_DOUBLE_EQ(2.0, At(4.0));
}

TEST_F(DataCompression, MovingEndAcrossABlockBoundary) {
  tran_.compress = true;
  // Alternating values are never compressed: 256 points fill block 0.
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i % 2));
  Fill({{256.0, 1.0}, {257.0, 1.0}, {258.0, 1.0}});
  // 255 held 1; 256 equal -> stored (block 1), 257 and 258 move it.
  ASSERT_EQ(257, Run().GetSize());
  ExpectPoint(256, 258.0, 1.0);
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
  ExpectPoint(0, 65536.0, 65536.0);
  ExpectPoint(65536, 131072.0, 131072.0);
  EXPECT_EQ(131072.0, Run().GetLastTime());

  // The reused chunk has room for 255 more blocks before the next drop.
  for (int i = 131073; i < 196608; ++i) ASSERT_TRUE(Run().AddDataPoint(i, i)) << "i=" << i;
  EXPECT_EQ(131072, Run().GetSize());
  EXPECT_FALSE(Run().AddDataPoint(196608.0, 196608.0));
  EXPECT_EQ(65537, Run().GetSize());
  ExpectPoint(0, 131072.0, 131072.0);
  // Time look-ups work across the ring.
  EXPECT_EQ(65536, Run().Find(196608.0));
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
