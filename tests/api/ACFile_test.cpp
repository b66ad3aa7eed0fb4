// AC trace data files read back by an independent parser, and the AC
// analysis sharing the engine with the transient simulation: a transient
// run after an AC run repeats the first, and repeated AC runs do not grow.

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ACTestDoc.h"

using namespace actest;

namespace {

int OpenRc() {
  std::string path = TestData("api/ac_rc_lowpass.qvs");
  return QVS_Open(S(path));
}

// The value of attribute name in the element text (the first occurrence).
std::string Attribute(const std::string& element, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const size_t at = element.find(key);
  if (at == std::string::npos) return "<missing>";
  const size_t from = at + key.size();
  return element.substr(from, element.find('"', from) - from);
}

}  // namespace

TEST(ACFile, QvfHoldsTheHeaderThenThePointsOfEveryTrace) {
  const int h = OpenRc();
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_SetAC(h, 7, 0, 10, 1e5), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::string path = ScratchDir() + "/rc_sweep";
  ASSERT_EQ(QVS_SaveACData(h, S(path)), 0) << Err();

  const std::vector<unsigned char> bytes = apitest::ReadAll(path + ".qvf");
  const auto zero = std::find(bytes.begin(), bytes.end(), 0);
  ASSERT_NE(zero, bytes.end());
  const std::string text(bytes.begin(), zero);
  EXPECT_NE(text.find("<QVS_freq"), std::string::npos) << text;
  EXPECT_EQ(text.find("QVS_tran"), std::string::npos);

  // The Trace elements in file order, each with its expression and size.
  const char* const names[] = {"V(C1)", "Zin", "Gin", "Swr"};
  size_t pos = 0, offset = static_cast<size_t>(zero - bytes.begin()) + 1;
  for (const char* name : names) {
    pos = text.find("<Trace ", pos);
    ASSERT_NE(pos, std::string::npos) << name;
    const std::string element = text.substr(pos, text.find('>', pos) - pos);
    ++pos;
    EXPECT_EQ(Attribute(element, "expr"), std::string("Copy of ") + name);
    EXPECT_EQ(Attribute(element, "name"), "");
    ASSERT_EQ(Attribute(element, "size"), "7") << element;

    const int tr = QVS_GetACTrace(h, S(name));
    ASSERT_GE(tr, 0) << Err();
    ASSERT_LE(offset + 7 * 24, bytes.size());
    for (int i = 0; i < 7; ++i, offset += 24) {
      double f, mag, phase;
      ASSERT_EQ(QVS_GetACDataAt(h, tr, i, &f, &mag, &phase), 0) << Err();
      EXPECT_EQ(apitest::LittleEndianDouble(&bytes[offset]), f) << name << " " << i;
      EXPECT_EQ(apitest::LittleEndianDouble(&bytes[offset + 8]), mag) << name << " " << i;
      EXPECT_EQ(apitest::LittleEndianDouble(&bytes[offset + 16]), phase) << name << " " << i;
    }
  }
  EXPECT_EQ(text.find("<Trace ", pos), std::string::npos);
  EXPECT_EQ(offset, bytes.size());  // nothing after the last point
  // The traces keep their own names.
  EXPECT_GE(QVS_GetACTrace(h, S("Zin")), 0);
  QVS_Close(h);
}

TEST(ACFile, TransientAfterAnACRunRepeatsTheFirstOne) {
  const int h = OpenRc();
  ASSERT_GE(h, 0) << Err();
  const int tr = QVS_GetTrace(h, S("V(C1)"));
  ASSERT_GE(tr, 0) << Err();
  const auto samples = [&] {
    std::vector<std::pair<double, double>> out;
    const int n = QVS_GetDataSize(h, tr);
    for (int i = 0; i < n; ++i) {
      double t = 0, v = 0;
      EXPECT_EQ(QVS_GetDataAt(h, tr, i, &t, &v), 0) << Err();
      out.emplace_back(t, v);
    }
    return out;
  };
  ASSERT_EQ(QVS_Simulate(h, 2e-3), 0) << Err();
  const auto first = samples();
  ASSERT_GT(first.size(), 10u);
  double t_first = -1;
  ASSERT_EQ(QVS_GetSimulationTime(h, &t_first), 0) << Err();

  // AC in the middle of the run: it takes the engine, so the run ends and
  // the next simulate call starts again from 0.
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(samples(), first);  // the samples of the ended run stay
  double t = -1;
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0) << Err();
  EXPECT_EQ(t, 0.0);  // no run in progress
  ASSERT_EQ(QVS_Simulate(h, 2e-3), 0) << Err();
  ASSERT_EQ(QVS_GetSimulationTime(h, &t), 0) << Err();
  EXPECT_EQ(t, t_first);
  EXPECT_EQ(samples(), first);

  // And again with a finished AC run between two complete transient runs.
  ASSERT_EQ(QVS_Start(h), 0) << Err();
  ASSERT_EQ(QVS_Simulate(h, 2e-3), 0) << Err();
  EXPECT_EQ(samples(), first);
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  EXPECT_EQ(Points(h, "V(C1)").size(), 5u);
  QVS_Close(h);
}

TEST(ACFile, ThousandRunsLeaveMemoryWhereTheFirstLeftIt) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's allocator does not report through mallinfo2";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the address sanitizer's allocator does not report through mallinfo2";
#endif
#endif
  const int h = OpenRc();
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_SetAC(h, 20, 0, 10, 1e4), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  // Blocks the allocator maps on their own (a trace's sample chunk, 1.5 MB)
  // count too: once one is freed, the allocator takes the next from its
  // heap instead, which alone would look like growth.
  const auto in_use = [] {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
  };
  const size_t after_first = in_use();
  for (int i = 1; i < 1000; ++i) ASSERT_EQ(QVS_CalcAC(h), 0) << i << ": " << Err();
  const size_t after_last = in_use();
  EXPECT_LT(after_last, after_first + 64 * 1024) << after_first << " -> " << after_last;
  EXPECT_EQ(Points(h, "V(C1)").size(), 20u);
  QVS_Close(h);
}
