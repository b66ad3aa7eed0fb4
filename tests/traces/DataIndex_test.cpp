// Reading points by index: invalid indexes, digital and bus readings, time
// shift and run offset, sequential reading, typed runs, and bulk transfer.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "traces/DataTest.h"

using DataIndex = DataTest;
using DataTyped = DataTest;
using DataTransfer = DataTest;

TEST_F(DataIndex, InvalidIndexGivesZerosAndFalse) {
  FillRamp(3);
  for (int index : {-1, 3, 1000}) {
    double t = 7.0, v = 7.0;
    EXPECT_FALSE(Run().GetDataAt(index, &t, &v, false)) << index;
    EXPECT_EQ((std::vector<double>{0, 0}), (std::vector<double>{t, v})) << index;
  }
  double f = 7.0, m = 7.0, p = 7.0;
  EXPECT_FALSE(Run().GetFreqDataAt(3, &f, &m, &p));
  EXPECT_EQ((std::vector<double>{0, 0, 0}), (std::vector<double>{f, m, p}));
}

TEST_F(DataIndex, GetAdrSplitsTheIndexAndSaysWhetherThePointExists) {
  FillRamp(10);
  // (index, exists, block, slot); untouched (9, 9) for a negative index.
  for (const auto& [index, exists, want_block, want_slot] :
       {std::tuple{-1, false, 9, 9}, {300, false, 1, 44}, {9, true, 0, 9}}) {
    int block = 9, slot = 9;
    EXPECT_EQ(exists, Run().GetAdr(index, &block, &slot)) << index;
    EXPECT_EQ(std::pair(want_block, want_slot), std::pair(block, slot)) << index;
  }
}

TEST_F(DataIndex, DigitalReadsOneAboveItsThresholdBusRoundsHalfUpAnalogIsRaw) {
  // Digital threshold 2.5: 2.5 itself is not above.
  const struct {
    int mode;
    std::vector<double> raw, want;
  } rows[] = {
      {SDataTrace::kDigital, {0.0, 2.5, 2.6, 5.0, -1.0}, {0, 0, 1, 1, 0}},
      {SDataTrace::kBus, {2.5, 2.49, -0.5, -0.51, 7.0}, {3, 2, 0, -1, 7}},
      {SDataTrace::kAnalog, {2.6}, {2.6}},
  };
  trace_.threshold = 2.5;
  for (const auto& row : rows) {
    trace_.mode = row.mode;
    Run().ClearData();
    for (std::size_t i = 0; i < row.raw.size(); ++i) ASSERT_TRUE(Run().AddDataPoint(i, row.raw[i]));
    for (int i = 0; i < Run().GetSize(); ++i) {
      double t, v;
      ASSERT_TRUE(Run().GetDataAt(i, &t, &v, true));
      EXPECT_EQ(row.want[i], v) << "mode " << row.mode << " index " << i;
    }
    // Without the digital flag the raw value.
    ExpectPoint(0, 0.0, row.raw[0]);
  }
}

TEST_F(DataIndex, TimesIncludeShiftAndRunOffsetWhenSwitchedOn) {
  Fill({{1.0, 10.0}, {2.0, 20.0}});
  trace_.time_shift = 0.25;
  Run().SetTimeOffset(100.0);
  double t, v;
  ASSERT_TRUE(Run().GetDataAt(1, &t, &v, false));
  EXPECT_EQ(2.25, t);  // offset switch off: no run offset
  tran_.offset = true;
  ASSERT_TRUE(Run().GetDataAt(1, &t, &v, false));
  EXPECT_EQ(102.25, t);
  // The last time carries the trace's shift only.
  EXPECT_EQ(2.25, Run().GetLastTime());
}

TEST_F(DataIndex, LastDataAndLastTime) {
  EXPECT_TRUE(std::isnan(Run().GetLastTime()));
  double t = 7.0, v = 7.0;
  EXPECT_FALSE(Run().GetLastData(&t, &v));
  EXPECT_EQ(0.0, t);
  EXPECT_EQ(0.0, v);

  trace_.mode = SDataTrace::kDigital;
  Fill({{1.0, 0.0}, {2.0, 4.0}});
  ASSERT_TRUE(Run().GetLastData(&t, &v));
  EXPECT_EQ(2.0, t);
  EXPECT_EQ(1.0, v);  // read as a digital level
  EXPECT_EQ(2.0, Run().GetLastTime());
}

TEST_F(DataIndex, SequentialReadingCrossesBlocksAndStopsAfterTheLast) {
  FillRamp(300);
  Run().GetFirst(250);
  double t, v;
  for (int i = 250; i < 300; ++i) {
    ASSERT_TRUE(Run().GetNext(&t, &v, false)) << i;
    EXPECT_EQ(static_cast<double>(i), t);
    EXPECT_EQ(static_cast<double>(i), v);
  }
  EXPECT_FALSE(Run().GetNext(&t, &v, false));
  Run().GetFirst(-1);
  EXPECT_FALSE(Run().GetNext(&t, &v, false));
}

// Typed run of signed 16-bit samples: t = 1 + 0.5 i, v = (raw - 100) * 2 + 10.
class DataTypedInt16 : public DataTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Run().SetTyped(3, 1.0, 0.5, 10.0, 2.0, 100.0));
    for (int i = 0; i < 300; ++i) raw_.push_back(static_cast<int16_t>(i * 7 - 1000));
    ASSERT_EQ(300, Run().Paste(reinterpret_cast<const unsigned char*>(raw_.data()), 300));
  }
  double Value(int i) const { return (raw_[static_cast<std::size_t>(i)] - 100.0) * 2.0 + 10.0; }
  std::vector<int16_t> raw_;
};

TEST_F(DataTypedInt16, PointsFollowFromScaleAndOffset) {
  EXPECT_EQ(300, Run().GetSize());
  EXPECT_EQ(2, Run().GetBlockCount());
  EXPECT_EQ(2LL * 65536, Run().Bytes());  // two bytes per sample
  for (int i : {0, 1, 255, 256, 299}) {
    double t, v;
    ASSERT_TRUE(Run().GetDataAt(i, &t, &v, false)) << i;
    EXPECT_DOUBLE_EQ(1.0 + 0.5 * i, t) << i;
    EXPECT_DOUBLE_EQ(Value(i), v) << i;
  }
  // Block 1 starts at x_zero + 256 * x_scale.
  double t, v;
  ASSERT_TRUE(Run().GetBlock(1)->GetBlockDataAt(10, &t, &v));
  EXPECT_DOUBLE_EQ(1.0 + 0.5 * 266, t);
  EXPECT_DOUBLE_EQ(Value(266), v);
  EXPECT_FALSE(Run().GetBlock(1)->GetBlockDataAt(44, &t, &v));  // holds 44 points
  EXPECT_FALSE(Run().GetBlock(1)->GetBlockDataAt(-1, &t, &v));
  // Block limits are of the scaled values.
  EXPECT_DOUBLE_EQ(Value(255), Run().GetBlock(0)->ValueMax());
  EXPECT_DOUBLE_EQ(Value(0), Run().GetBlock(0)->ValueMin());
}

TEST_F(DataTypedInt16, FindUsesTheEvenSpacing) {
  EXPECT_EQ(-1, Run().Find(0.99));
  EXPECT_EQ(0, Run().Find(1.0));
  EXPECT_EQ(10, Run().Find(1.0 + 0.5 * 10.7));
  EXPECT_EQ(299, Run().Find(1.0 + 0.5 * 299));
  EXPECT_EQ(299, Run().Find(1e6));
  trace_.time_shift = 2.0;
  EXPECT_EQ(-1, Run().Find(2.5));
  EXPECT_EQ(4, Run().Find(3.0 + 0.5 * 4.2));
  // Interpolation between evenly spaced samples.
  double v;
  ASSERT_TRUE(Run().GetDataPoint(3.0 + 0.5 * 4.5, &v, false));
  EXPECT_DOUBLE_EQ((Value(4) + Value(5)) / 2, v);
}

TEST_F(DataTyped, EveryTypeReadsItsWidthAndSign) {
  struct Case {
    uint32_t type;
    std::vector<unsigned char> bytes;  // little-endian raw sample
    double value;
  };
  const float f = 1.5f;
  const double d = -2.25;
  std::vector<unsigned char> fb(4), db(8);
  std::memcpy(fb.data(), &f, 4);
  std::memcpy(db.data(), &d, 8);
  const Case cases[] = {
      {1, {0xFD}, -3.0},
      {2, {0xFA}, 250.0},
      {3, {0x00, 0x80}, -32768.0},
      {4, {0x00, 0x80}, 32768.0},
      {5, {0xFF, 0xFF, 0xFF, 0xFF}, -1.0},
      {6, {0x00, 0x28, 0x6B, 0xEE}, 4000000000.0},
      {7, fb, 1.5},
      {8, db, -2.25},
  };
  for (const Case& c : cases) {
    CData run(&trace_);
    ASSERT_TRUE(run.SetTyped(c.type, 0.0, 1.0, 0.0, 1.0, 0.0));
    EXPECT_EQ(static_cast<int>(c.bytes.size()), CDataBlock::TypeWidth(c.type));
    ASSERT_EQ(1, run.Paste(c.bytes.data(), 1));
    double t, v;
    ASSERT_TRUE(run.GetDataAt(0, &t, &v, false));
    EXPECT_EQ(c.value, v) << "type " << c.type;
  }
}

TEST_F(DataTyped, TypeIsSetOnlyOnAnEmptyRunAndClearingMakesItPlain) {
  EXPECT_FALSE(Run().SetTyped(9, 0.0, 1.0, 0.0, 1.0, 0.0));
  FillRamp(1);
  EXPECT_FALSE(Run().SetTyped(1, 0.0, 1.0, 0.0, 1.0, 0.0));
  Run().ClearData();
  ASSERT_TRUE(Run().SetTyped(1, 0.0, 1.0, 0.0, 1.0, 0.0));
  EXPECT_EQ(1u, Run().Type());
  Run().ClearData();
  EXPECT_EQ(0u, Run().Type());
  EXPECT_TRUE(Run().AddDataPoint(1.0, 2.0));
  EXPECT_EQ(1, Run().GetSize());
  // A plain block has no typed reading.
  double t, v;
  EXPECT_FALSE(Run().GetBlock(0)->GetBlockDataAt(0, &t, &v));
}

TEST_F(DataTransfer, SaveWritesRawDoublesAndOpenReadsThemBack) {
  FillRamp(300, 0.5);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  Run().Save(file);
  EXPECT_EQ(300L * 16, std::ftell(file));
  std::rewind(file);
  double first[2];
  ASSERT_EQ(2u, std::fread(first, sizeof(double), 2, file));
  EXPECT_EQ(0.0, first[0]);
  EXPECT_EQ(0.0, first[1]);
  std::rewind(file);

  CData copy(&trace_);
  EXPECT_EQ(300, copy.Open(file, 1000));  // stops at the end of the file
  ASSERT_EQ(300, copy.GetSize());
  for (int i : {0, 255, 256, 299}) ExpectPoint(i, 0.5 * i, i, &copy);
  EXPECT_EQ(255.0, copy.GetBlock(0)->ValueMax());
  EXPECT_EQ(299.0, copy.GetBlock(1)->ValueMax());
  EXPECT_EQ(256.0, copy.GetBlock(1)->ValueMin());
  std::fclose(file);
}

TEST_F(DataTransfer, OpenKeepsTheWholePointsOfAShortFile) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  const double pts[5] = {1.0, 10.0, 2.0, 20.0, 3.0};  // two points and a half
  std::fwrite(pts, sizeof(double), 5, file);
  std::rewind(file);
  EXPECT_EQ(2, Run().Open(file, 3));
  EXPECT_EQ((PointList{{1.0, 10.0}, {2.0, 20.0}}), Points());
  std::fclose(file);
}

TEST_F(DataTransfer, CopyPasteAndDuplicateKeepPointsAndForm) {
  FillRamp(257);
  std::vector<unsigned char> buffer(257 * 16);
  EXPECT_EQ(257 * 16, Run().Copy(buffer.data()));
  CData pasted(&trace_);
  EXPECT_EQ(257, pasted.Paste(buffer.data(), 257));
  CData duplicate(&trace_);
  ASSERT_TRUE(duplicate.Duplicate(Run()));
  for (CData* run : {&pasted, &duplicate}) {
    ASSERT_EQ(257, run->GetSize());
    double t, v;
    ASSERT_TRUE(run->GetDataAt(256, &t, &v, false));
    EXPECT_EQ(256.0, t);
  }
  // An AC run cannot take transient points.
  SDataTrace ac_trace;
  ac_trace.transient = false;
  CData ac(&ac_trace);
  EXPECT_FALSE(ac.Duplicate(Run()));
}
