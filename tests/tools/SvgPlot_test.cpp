// The SVG plot: reduction per pixel column, ticks, and the document as an
// XML reader sees it.

#include "SvgPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "TestData.h"
#include "doc/xml.h"

namespace qvs {
namespace {

// A fast sine with one spike, 200,000 samples over 1 s.
std::vector<Sample> Busy(double amplitude) {
  std::vector<Sample> s;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const double t = i / static_cast<double>(n - 1);
    s.push_back({t, amplitude * std::sin(2 * M_PI * 3000 * t)});
  }
  s[123457].v = 5 * amplitude;  // one narrow peak must survive reduction
  return s;
}

TEST(PlotReduction, KeepsEveryColumnsExtremesAndBoundsThePointCount) {
  const std::vector<Sample> s = Busy(1.0);
  const std::vector<Sample> r = ReduceForPlot(s, 0.0, 1.0, 800);
  EXPECT_LE(r.size(), 2u * 800 + 2);
  EXPECT_GE(r.size(), 800u);
  const auto [lo, hi] = std::minmax_element(r.begin(), r.end(),
                                            [](const Sample& a, const Sample& b) { return a.v < b.v; });
  EXPECT_DOUBLE_EQ(5.0, hi->v);
  EXPECT_NEAR(-1.0, lo->v, 1e-3);
  for (std::size_t i = 1; i < r.size(); ++i) ASSERT_LE(r[i - 1].t, r[i].t) << i;
}

TEST(PlotReduction, FewSamplesAreKeptWithTheirNeighboursOutsideTheWindow) {
  std::vector<Sample> s;
  for (int i = 0; i <= 10; ++i) s.push_back({i * 1.0, i * 1.0});
  const std::vector<Sample> r = ReduceForPlot(s, 2.5, 7.5, 100);
  ASSERT_EQ(7u, r.size());  // 2 .. 8: the window's 3 .. 7 and one each side
  EXPECT_DOUBLE_EQ(2.0, r.front().t);
  EXPECT_DOUBLE_EQ(8.0, r.back().t);
}

TEST(PlotTicks, StepsOfOneTwoOrFiveCoverTheRange) {
  const std::vector<double> t = NiceTicks(0.0, 1.0, 5);
  ASSERT_EQ(6u, t.size());
  for (int i = 0; i <= 5; ++i) EXPECT_NEAR(0.2 * i, t[i], 1e-12);
  const std::vector<double> u = NiceTicks(-3.3e-3, 7.1e-3, 5);
  ASSERT_FALSE(u.empty());
  EXPECT_GE(u.front(), -3.3e-3);
  EXPECT_LE(u.back(), 7.1e-3);
  EXPECT_NEAR(2e-3, u[1] - u[0], 1e-15);
  EXPECT_EQ(0.0, u[1]);  // exactly zero at the origin, no rounding residue
  EXPECT_TRUE(NiceTicks(1.0, 1.0, 5).empty());
}

// Counts elements named `name` in the tree.
int Count(CXMLNode* node, const char* name) {
  int n = node->GetName() == name ? 1 : 0;
  for (int i = 0; i < node->NodeCount(); ++i) n += Count(node->GetNode(i), name);
  return n;
}

TEST(PlotDocument, TenBusyTracesMakeAWellFormedFileUnderOneMegabyte) {
  std::vector<std::vector<Sample>> data;
  for (int i = 0; i < 10; ++i) data.push_back(Busy(1.0 + i));
  std::vector<PlotTrace> traces;
  for (int i = 0; i < 10; ++i)
    traces.push_back({"V(R" + std::to_string(i) + ") & <more>", i % 2 ? "A" : "V", &data[i]});
  PlotOptions opt;
  opt.title = "ten \"traces\"";
  const std::string svg = RenderSvg(traces, 0.0, 1.0, opt);
  EXPECT_LT(svg.size(), 1000000u);

  const std::string path = ScratchDir() + "/ten.svg";
  std::ofstream(path) << svg;
  CXMLNode root("svg");
  ASSERT_TRUE(root.ReadFromFile(path.c_str())) << root.GetError().c_str();
  EXPECT_EQ(10, Count(&root, "polyline"));
  EXPECT_EQ(10, Count(&root, "clipPath"));  // one panel per trace

  opt.by_unit = true;
  const std::string byUnit = RenderSvg(traces, 0.0, 1.0, opt);
  const std::string path2 = ScratchDir() + "/units.svg";
  std::ofstream(path2) << byUnit;
  CXMLNode root2("svg");
  ASSERT_TRUE(root2.ReadFromFile(path2.c_str())) << root2.GetError().c_str();
  EXPECT_EQ(10, Count(&root2, "polyline"));
  EXPECT_EQ(2, Count(&root2, "clipPath"));  // volts and amperes
  // Names are escaped, not cut.
  EXPECT_NE(std::string::npos, svg.find("V(R3) &amp; &lt;more&gt;"));
}

}  // namespace
}  // namespace qvs
