// The document's settings records, the step-control rule, the reference
// impedance functions and the look-up of referred files.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "TestData.h"
#include "base/CLocale.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/Param.h"
#include "expr/Formula.h"
#include "doc/Doc.h"
#include "doc/xml.h"

namespace {

std::string AttrNames(const CXMLNode& node) {
  std::string s;
  AnsiString name, value;
  for (int i = 0; node.GetAttribute(i, &name, &value); ++i) s += (i ? " " : "") + name.str();
  return s;
}

// A "Doc" element parsed from text, ready to be loaded.
std::unique_ptr<CXMLNode> Parse(const std::string& text) {
  auto node = std::make_unique<CXMLNode>("Doc");
  EXPECT_TRUE(node->ReadFromText(text, "test")) << text;
  return node;
}

std::unique_ptr<CXMLNode> Reread(const CXMLNode& node) {
  AnsiString text;
  node.WriteToString(text);
  return Parse(text.str());
}

// The shortest text of x (15 to 17 digits) that reads back as x exactly.
std::string Num(double x) {
  char buf[40];
  for (int digits = 15; digits <= 17; ++digits) {
    snprintf_c(buf, sizeof buf, "%.*g", digits, x);
    if (strtod_c(buf, nullptr) == x) break;
  }
  return buf;
}
std::string B(bool b) { return b ? "1" : "0"; }

// Every field of a settings record as name=value, in declaration order.
std::string Describe(const STranSettings& t) {
  return "start=" + Num(t.start) + " screen=" + Num(t.screen) + " step=" + Num(t.step) +
         " pause=" + B(t.pause_trigger) + "[" + t.pause_trigger_f.str() + "] start=" +
         B(t.start_trigger) + "[" + t.start_trigger_f.str() + "]";
}
std::string Describe(const SFreqSettings& f) {
  return "type=" + std::to_string(f.type) + " list=[" + f.list.str() + "] test=[" + f.test.str() +
         "] from=" + Num(f.from) + " to=" + Num(f.to) + " points=" + std::to_string(f.points) +
         " scale=" + std::to_string(f.scale) + " id=" + std::to_string(f.id) + " alg=" +
         std::to_string(f.alg) + " dcop=" + B(f.dcop) + " faf=[" + f.faf.str() + "] fhl=" +
         B(f.fhl) + " fmr=" + Num(f.fmr) + " fsh=" + B(f.fsh);
}
std::string Describe(const SAdvancedSettings& a) {
  return "dc=" + B(a.dc) + " sbs=" + B(a.sbs) + " to=" + std::to_string(a.to) + " zero=" +
         Num(a.zero) + " ise=" + B(a.ise) + " z0=" + Num(a.z0re) + "," + Num(a.z0im) +
         " zparam=[" + a.zparam.str() + "] step_mode=" + std::to_string(a.step_mode) + " s_cs=" +
         Num(a.s_cs) + " s_cf=" + Num(a.s_cf) + " so=" + B(a.so) + " levels=" + Num(a.low) + "," +
         Num(a.high) + "," + Num(a.thr);
}

TEST(DocSettings, DefaultsOfANewDocument) {
  CDoc doc;
  EXPECT_EQ("start=0 screen=10 step=0.001 pause=0[] start=0[]", Describe(doc.TranSettings()));
  EXPECT_EQ("type=0 list=[] test=[] from=0.001 to=1000 points=500 scale=0 id=0 alg=0 dcop=0 "
            "faf=[0.1] fhl=1 fmr=10 fsh=0",
            Describe(doc.FreqSettings()));
  EXPECT_EQ("dc=1 sbs=1 to=5 zero=1e-12 ise=0 z0=50,0 zparam=[] step_mode=2 s_cs=0.125 "
            "s_cf=0.25 so=0 levels=0,5,2.5",
            Describe(doc.Advanced()));
  EXPECT_EQ(0.0, doc.LowLevel());
  EXPECT_EQ(5.0, doc.HighLevel());
  EXPECT_EQ(2.5, doc.Threshold());

  // A document element without settings leaves the defaults, and one
  // without "Libraries" leaves the list.
  doc.Libraries().Add("keep");
  auto bare = Parse("<Doc><Cir><Cmps /></Cir></Doc>");
  ASSERT_TRUE(doc.SerializeDoc(bare.get(), false, false));
  EXPECT_EQ(0.001, doc.TranSettings().step);
  EXPECT_EQ(500, doc.FreqSettings().points);
  EXPECT_EQ(2, doc.Advanced().step_mode);
  ASSERT_EQ(1, doc.Libraries().Count());
  EXPECT_FALSE(doc.SerializeDoc(nullptr, false, false));
}

TEST(DocSettings, StoredAndLoadedBack) {
  CDoc doc;
  doc.TranSettings() = {0.5, 2.0, 1e-6, true, "t>1", true, "V(R1)>2"};
  SFreqSettings& f = doc.FreqSettings();
  f.type = 1, f.list = "1, 2", f.test = "x", f.from = 10, f.to = 1e5, f.points = 30;
  f.scale = 2, f.id = 9, f.alg = 1, f.dcop = true, f.faf = "0.3", f.fhl = false, f.fmr = 4;
  f.fsh = true;
  SAdvancedSettings& a = doc.Advanced();
  a.dc = false, a.sbs = false, a.to = 0, a.zero = 1e-9, a.ise = true, a.z0re = 75, a.z0im = -3;
  a.zparam = "p q", a.step_mode = 4, a.s_cs = 0.2, a.s_cf = 0.4, a.so = true;
  a.low = 1, a.high = 3.3, a.thr = 1.2;
  doc.Libraries().Add(" lib ");
  doc.Libraries().Add("");
  doc.Libraries().Add("/opt/x y");

  CXMLNode stored("Doc");
  ASSERT_TRUE(doc.SerializeDoc(&stored, false, false));
  CXMLNode* adv = stored.GetNode("Advanced", 0);
  ASSERT_NE(nullptr, adv);
  EXPECT_EQ(
      "dc sbs to zero ise z0re z0im zparam cs s_m s_fs s_ff s_os s_of s_as s_af s_cs s_cf so low "
      "high thr",
      AttrNames(*adv));
  // The fixed step-control constants are written whatever the document.
  const struct {
    const char* name;
    double value;
  } fixed[] = {{"s_fs", 0.5},  {"s_ff", 1},         {"s_os", 0.125},
               {"s_of", 0.25}, {"s_as", 0.015625}, {"s_af", 0.125}};
  for (const auto& c : fixed) EXPECT_EQ(c.value, adv->GetAttributeDouble(c.name, -1)) << c.name;
  EXPECT_EQ("type list test from to points scale id alg dcop faf fhl fmr fsh",
            AttrNames(*stored.GetNode("Freq", 0)->GetNode("Settings", 0)));
  EXPECT_EQ("start screen step pause_trigger pause_trigger_f start_trigger start_trigger_f",
            AttrNames(*stored.GetNode("Tran", 0)->GetNode("Settings", 0)));
  // Empty library lines are dropped, the others trimmed.
  CXMLNode* libs = stored.GetNode("Libraries", 0);
  ASSERT_EQ(2, libs->NodeCount());
  EXPECT_EQ("lib", libs->GetNode(0)->GetAttribute("name", "").str());
  EXPECT_EQ("%2fopt%2fx+y", libs->GetNode(1)->GetAttribute("name", "").str());

  CDoc loaded;
  auto text = Reread(stored);
  ASSERT_TRUE(loaded.SerializeDoc(text.get(), false, false));
  EXPECT_EQ("start=0.5 screen=2 step=1e-06 pause=1[t>1] start=1[V(R1)>2]",
            Describe(loaded.TranSettings()));
  EXPECT_EQ("type=1 list=[1, 2] test=[x] from=10 to=100000 points=30 scale=2 id=9 alg=1 dcop=1 "
            "faf=[0.3] fhl=0 fmr=4 fsh=1",
            Describe(loaded.FreqSettings()));
  EXPECT_EQ("dc=0 sbs=0 to=0 zero=1e-09 ise=1 z0=75,-3 zparam=[p q] step_mode=4 s_cs=0.2 "
            "s_cf=0.4 so=1 levels=1,3.3,1.2",
            Describe(loaded.Advanced()));
  ASSERT_EQ(2, loaded.Libraries().Count());
  EXPECT_EQ("/opt/x y", loaded.Libraries()[1].str());
  EXPECT_TRUE(text->GetNodeError().IsEmpty());
}

TEST(DocSettings, StepControlModeRule) {
  // Loading: "cs" true gives 0; otherwise "s_m" + 1, limited to 0 .. 4.
  const struct {
    const char* attrs;
    int mode;
  } loads[] = {{"", 2},
               {"cs=\"false\" s_m=\"7\"", 4},
               {"cs=\"true\" s_m=\"3\"", 0},
               {"s_m=\"0\"", 1},
               {"s_m=\"2\"", 3},
               {"cs=\"false\" s_m=\"-5\"", 0},
               {"cs=\"yes\" s_m=\"1\"", 2}};
  for (const auto& c : loads) {
    CDoc doc;
    doc.Advanced().step_mode = 3;  // the rule does not depend on the present mode
    auto node = Parse(std::string("<Doc><Advanced ") + c.attrs + " /></Doc>");
    doc.SerializeDoc(node.get(), false, false);
    EXPECT_EQ(c.mode, doc.Advanced().step_mode) << c.attrs;
  }
  // Saving: "cs" true only for mode 0; "s_m" is mode - 1, or 1 for mode 0.
  const struct {
    int mode;
    const char* cs;
    const char* s_m;
  } stores[] = {{0, "true", "1"}, {1, "false", "0"}, {2, "false", "1"}, {4, "false", "3"}};
  for (const auto& c : stores) {
    CDoc doc;
    doc.Advanced().step_mode = c.mode;
    CXMLNode node("Advanced");
    doc.SerializeAdvancedSettings(&node);
    EXPECT_EQ(c.cs, node.GetAttribute("cs", "").str()) << c.mode;
    EXPECT_EQ(c.s_m, node.GetAttribute("s_m", "").str()) << c.mode;
  }
}

TEST(DocSettings, ZTransformMethodIsRefused) {
  CDoc doc;
  auto node = Parse("<Doc><Freq><Settings alg=\"2\" points=\"7\" /></Freq></Doc>");
  ASSERT_TRUE(doc.SerializeDoc(node.get(), false, false));
  EXPECT_EQ(0, doc.FreqSettings().alg);
  EXPECT_EQ(7, doc.FreqSettings().points);
  EXPECT_EQ("Z-transform method not supported", node->GetNodeError().str());
  EXPECT_FALSE(doc.SerializeFreqSettings(nullptr));
}

TEST(DocSettings, EncryptedContentIsRefused) {
  for (const char* text : {"<Doc><Cir><Cmps Key=\"k\" /></Cir></Doc>",
                           "<Doc><Cir><Cmps><Cmp type=\"R_R\" Encr1=\"x\" /></Cmps></Cir></Doc>"}) {
    CDoc doc;
    auto node = Parse(text);
    EXPECT_FALSE(doc.SerializeDoc(node.get(), false, false)) << text;
    EXPECT_TRUE(doc.IsEncrypted());
    EXPECT_EQ("encrypted documents are not supported", doc.LoadError().str());
  }
}

TEST(DocImpedance, GammaAndVswrAgainstComplexArithmetic) {
  const struct {
    double z0re, z0im, re, im;
  } cases[] = {{50, 0, 100, 0}, {50, 10, 30, -5}, {75, -20, 10, 40}, {50, 0, 50, 0}};
  for (const auto& c : cases) {
    CDoc doc;
    doc.Advanced().z0re = c.z0re;
    doc.Advanced().z0im = c.z0im;
    const std::complex<double> z(c.re, c.im), z0(c.z0re, c.z0im);
    const std::complex<double> g = (z - std::conj(z0)) / (z + z0);
    double gr = 0, gi = 0;
    ASSERT_TRUE(doc.Gamma(c.re, c.im, &gr, &gi));
    EXPECT_NEAR(g.real(), gr, 1e-12);
    EXPECT_NEAR(g.imag(), gi, 1e-12);
    EXPECT_NEAR((1 + std::abs(g)) / (1 - std::abs(g)), doc.VSWR(c.re, c.im), 1e-9);
  }
  CDoc doc;
  // Z = 100 on 50 ohms: Gamma 1/3, VSWR 2.
  EXPECT_NEAR(2.0, doc.VSWR(100, 0), 1e-12);
  // Z = -Z0: no result, outputs untouched, VSWR infinite.
  doc.Advanced().z0im = 10;
  double gr = 7, gi = 8;
  EXPECT_FALSE(doc.Gamma(-50, -10, &gr, &gi));
  EXPECT_EQ(7, gr);
  EXPECT_EQ(8, gi);
  EXPECT_EQ(std::numeric_limits<double>::infinity(), doc.VSWR(-50, -10));
  // A short on a real Z0: |Gamma| = 1, VSWR infinite.
  doc.Advanced().z0im = 0;
  EXPECT_EQ(std::numeric_limits<double>::infinity(), doc.VSWR(0, 0));
}

TEST(DocFiles, FullFileNameSearchOrder) {
  namespace fs = std::filesystem;
  const std::string dir = ScratchDir() + "ffn/";
  const std::string abs_lib = ScratchDir() + "abslib/";
  fs::create_directories(dir + "lib");
  fs::create_directories(abs_lib);
  for (const std::string& f : {dir + "sub.qvs", dir + "lib/part.qvs", abs_lib + "far.qvs"})
    std::ofstream(f) << "x";
  std::ofstream(dir + "doc.qvs") << "<QVS><Version ver=\"3\" /><Doc><Libraries>"
                                   "<Library name=\" \" /><Library name=\"lib\" />"
                                << "<Library name=\"" << StrToSafe(abs_lib.substr(0, abs_lib.size() - 1)).str()
                                << "\" /></Libraries></Doc></QVS>";
  CDoc doc;
  ASSERT_EQ(0, doc.OpenDLL((dir + "doc").c_str()));
  const struct {
    const char* name;
    const char* ext;
    std::string full;
  } cases[] = {
      {"", ".qvs", ""},
      {"sub", ".qvs", dir + "sub.qvs"},        // the document's folder
      {"/ sub.qvs ", "", dir + "sub.qvs"},      // leading "/" dropped, trimmed
      {"part", ".qvs", dir + "lib/part.qvs"},  // library folder relative to the document
      {"far", "qvs", abs_lib + "far.qvs"},     // library folder as given
      {"sub.txt", ".qvs", ""},                 // has an extension: none added
      {"none", ".qvs", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.full, doc.GetFullFileName(c.name, c.ext).str()) << c.name;
}

TEST(DocFiles, FormulasReachTheDocumentsComponents) {
  CDoc doc;
  CCmp* r = doc.Cmps()->AddCmp("R_R");
  ASSERT_NE(nullptr, r);
  bool ok = false;
  r->GetParameter("R")->SetText("470", &doc, ok, nullptr);
  ASSERT_EQ(470.0, r->GetParameter("R")->GetDoubleValue());
  double v = 0;
  // No component list given: the document's own is taken.
  ASSERT_TRUE(formula(r->Name() + ".R*2", &v, &doc, nullptr, nullptr, false, nullptr, nullptr,
                      false, false, 0, false));
  EXPECT_EQ(940.0, v);
  // Without a document there is nothing to find.
  EXPECT_FALSE(formula(r->Name() + ".R*2", &v, nullptr, nullptr, nullptr, false, nullptr,
                       nullptr, false, false, 0, false));
}

}  // namespace
