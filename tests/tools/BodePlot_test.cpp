// The Bode plot: axis labels, phase ticks, and the document as an XML
// reader sees it (two panels, one polyline per trace in each, frequencies
// placed on a logarithmic or linear axis).

#include "BodePlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestData.h"
#include "doc/xml.h"

namespace qvs {
namespace {

void CollectElements(CXMLNode* node, const char* name, std::vector<CXMLNode*>* out) {
  if (node->GetName() == name) out->push_back(node);
  for (int i = 0; i < node->NodeCount(); ++i) CollectElements(node->GetNode(i), name, out);
}

// The x coordinates of a polyline's points.
std::vector<double> Xs(CXMLNode* polyline) {
  std::vector<double> xs;
  std::istringstream in(polyline->GetAttribute("points", "").c_str());
  std::string pair;
  while (in >> pair) xs.push_back(std::strtod(pair.c_str(), nullptr));
  return xs;
}

// Parses svg; fails the test when it is not well-formed XML.
void Parse(const std::string& svg, const std::string& file, CXMLNode* root) {
  const std::string path = ScratchDir() + "/" + file;
  std::ofstream(path) << svg;
  ASSERT_TRUE(root->ReadFromFile(path.c_str())) << root->GetError().c_str();
}

TEST(BodeAxis, DecadeLabelsAndTheirFallbackInsideOneDecade) {
  EXPECT_EQ((std::vector<double>{10, 100, 1000, 10000, 100000}), LogAxisLabels(10, 1e5));
  EXPECT_EQ((std::vector<double>{100, 1000}), LogAxisLabels(60, 3000));
  // Only 1k inside: 2 and 5 times the decades join it.
  EXPECT_EQ((std::vector<double>{500, 1000, 2000}), LogAxisLabels(300, 2500));
  EXPECT_EQ((std::vector<double>{200, 500}), LogAxisLabels(150, 900));
  EXPECT_TRUE(LogAxisLabels(0, 100).empty());
}

TEST(BodeAxis, PhaseTicksUseDegreeSteps) {
  // 95 degrees of span: 15-degree steps give 7 ticks.
  EXPECT_EQ((std::vector<double>{-90, -75, -60, -45, -30, -15, 0}), DegreeTicks(-95, 0));
  // 270 degrees of span: 45-degree steps.
  EXPECT_EQ((std::vector<double>{-180, -135, -90, -45, 0, 45, 90}), DegreeTicks(-185, 95));
  // A long unwrapped phase: multiples of 180, at most 8 ticks.
  const std::vector<double> t = DegreeTicks(-3000, 0);
  ASSERT_GE(t.size(), 2u);
  EXPECT_LE(t.size(), 8u);
  EXPECT_EQ(0.0, std::fmod(t[1] - t[0], 180.0));
  EXPECT_TRUE(DegreeTicks(5, 5).empty());
}

TEST(BodeDocument, TwoPanelsWithOnePolylinePerTraceAndDecadePlacement) {
  // Samples at 10, 100, 1k, 10k Hz: on the log axis equally spaced.
  std::vector<FreqSample> a, b;
  for (double f : {10.0, 100.0, 1000.0, 10000.0}) {
    a.push_back({f, 1.0 / std::sqrt(1 + f * f / 1e4), -std::atan(f / 100) * 180 / M_PI});
    b.push_back({f, 2.0, 10.0});
  }
  BodeOptions opt;
  opt.title = "R & C <test>";
  const std::string svg = RenderBode({{"V(C1)", &a}, {"I(R1)", &b}}, opt);
  CXMLNode root("svg");
  Parse(svg, "bode_log.svg", &root);

  std::vector<CXMLNode*> groups, lines;
  CollectElements(&root, "g", &groups);
  CollectElements(&root, "polyline", &lines);
  ASSERT_EQ(2u, groups.size());
  EXPECT_EQ("magnitude", std::string(groups[0]->GetAttribute("id", "").c_str()));
  EXPECT_EQ("phase", std::string(groups[1]->GetAttribute("id", "").c_str()));
  ASSERT_EQ(4u, lines.size());
  for (CXMLNode* g : groups) {
    std::vector<CXMLNode*> inGroup;
    CollectElements(g, "polyline", &inGroup);
    EXPECT_EQ(2u, inGroup.size());
  }
  const std::vector<double> xs = Xs(lines[0]);
  ASSERT_EQ(4u, xs.size());
  // One decade each: the same width up to the 0.1 px rounding.
  EXPECT_NEAR(xs[1] - xs[0], xs[2] - xs[1], 0.11);
  EXPECT_NEAR(xs[2] - xs[1], xs[3] - xs[2], 0.11);
  EXPECT_GT(xs[1], xs[0]);
  // Engineering labels on the decades, and the title escaped.
  for (const char* label : {">10<", ">100<", ">1k<", ">10k<"})
    EXPECT_NE(std::string::npos, svg.find(label)) << label;
  EXPECT_NE(std::string::npos, svg.find("R &amp; C &lt;test&gt;"));
  // Both names in the legend.
  EXPECT_NE(std::string::npos, svg.find(">V(C1)<"));
  EXPECT_NE(std::string::npos, svg.find(">I(R1)<"));
}

TEST(BodeDocument, LinearAxisSpacesByFrequency) {
  std::vector<FreqSample> a;
  for (double f : {0.0, 100.0, 300.0}) a.push_back({f, 1.0, 0.0});
  BodeOptions opt;
  opt.log_axis = false;
  CXMLNode root("svg");
  Parse(RenderBode({{"x", &a}}, opt), "bode_lin.svg", &root);
  std::vector<CXMLNode*> lines;
  CollectElements(&root, "polyline", &lines);
  ASSERT_EQ(2u, lines.size());
  const std::vector<double> xs = Xs(lines[0]);
  ASSERT_EQ(3u, xs.size());
  // 100 Hz, then 200 Hz more: twice the distance.
  EXPECT_NEAR(2.0 * (xs[1] - xs[0]), xs[2] - xs[1], 0.2);
}

TEST(BodeDocument, NoDataStillGivesAWellFormedEmptyPlot) {
  std::vector<FreqSample> none;
  CXMLNode root("svg");
  Parse(RenderBode({{"V(C1)", &none}}, BodeOptions()), "bode_empty.svg", &root);
  std::vector<CXMLNode*> lines;
  CollectElements(&root, "polyline", &lines);
  EXPECT_EQ(2u, lines.size());
}

}  // namespace
}  // namespace qvs
