// Attributes, typed attributes, escaped text, text content and formulas,
// in both directions of the store flag. Stored attributes are shown in the
// writer's compact form, which lists the pairs in order as stored.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "XmlTestUtil.h"
#include "base/globals.h"
#include "doc/xml.h"
#include "expr/Formula.h"

TEST(XmlAttributes, ListKeepsOrderAndDuplicatesAndEditsAndLookupsTakeTheFirstMatch) {
  CXMLNode n("Cmp");
  EXPECT_EQ("R1", n.Attribute("name", "R1").str());  // storing: appends
  n.CreateAttribute("b", "2");
  n.CreateAttribute("name", "R2");
  EXPECT_EQ("R1", n.GetAttribute("name", "none").str());
  EXPECT_EQ("none", n.GetAttribute("Name", "none").str());
  EXPECT_TRUE(n.AttributeExists("name"));
  EXPECT_FALSE(n.AttributeExists("nam"));
  n.SetAttribute("name", "R9");
  n.SetAttribute("c", "4");
  EXPECT_EQ("<Cmp name=\"R9\" b=\"2\" name=\"R2\" c=\"4\" />", Compact(n));
  n.RenameAttribute("name", "z");
  n.RenameAttribute("missing", "q");
  n.DeleteAttribute(7);
  EXPECT_EQ("<Cmp z=\"R9\" b=\"2\" name=\"R2\" c=\"4\" />", Compact(n));
  n.DeleteAttribute(1);
  n.SetStore(false);  // loading: the first value or the default, nothing added
  EXPECT_EQ("R9", n.Attribute("z", "other").str());
  EXPECT_EQ("dflt", n.Attribute("missing", "dflt").str());
  EXPECT_EQ("<Cmp z=\"R9\" name=\"R2\" c=\"4\" />", Compact(n));
}

TEST(XmlAttributes, PairsByIndexAreEmptyOutOfRange) {
  CXMLNode n("Cmp");
  n.CreateAttribute("a", "1");
  AnsiString name = "x", value = "y";
  EXPECT_TRUE(n.GetAttribute(0, &name, &value));
  EXPECT_EQ("a=1", name.str() + "=" + value.str());
  EXPECT_FALSE(n.GetAttribute(1, &name, &value));
  EXPECT_EQ("=", name.str() + "=" + value.str());
  EXPECT_FALSE(n.GetAttribute(-1, &name, &value));
}

TEST(XmlTypedAttributes, TextsStoredAndLoadedWithDefaultsForEmptyOrAbsent) {
  CXMLNode n("Cmp");
  EXPECT_EQ(-42, n.AttributeInt("i", -42));
  EXPECT_TRUE(n.AttributeBool("t", true));
  EXPECT_FALSE(n.AttributeBool("f", false));
  EXPECT_EQ(RGB(10, 20, 30), n.AttributeColor("c", RGB(10, 20, 30)));
  TPoint p(3, -4);
  n.AttributePoint("pos", p);
  EXPECT_EQ("<Cmp i=\"-42\" t=\"true\" f=\"false\" c=\"10,20,30\" pos=\"3,-4\" />", Compact(n));
  for (const auto& [name, text] : {std::pair{"trail", "12abc"}, {"word", "abc"}, {"hex", "0x1f"},
                                   {"cap", "True"}, {"one", "1"}, {"rgb", "1,2,3"}, {"xy", "5,6"},
                                   {"empty", ""}})
    n.CreateAttribute(name, text);
  n.SetStore(false);
  // Int: strtol, base 10.
  EXPECT_EQ(-42, n.AttributeInt("i", 5));
  EXPECT_EQ(12, n.AttributeInt("trail", 5));
  EXPECT_EQ(0, n.AttributeInt("word", 5));
  EXPECT_EQ(0, n.AttributeInt("hex", 5));
  EXPECT_EQ(5, n.AttributeInt("empty", 5));
  EXPECT_EQ(5, n.AttributeInt("missing", 5));
  // Bool: true only for the exact text "true".
  EXPECT_TRUE(n.AttributeBool("t", false));
  EXPECT_FALSE(n.AttributeBool("f", true));
  EXPECT_FALSE(n.AttributeBool("cap", true));
  EXPECT_FALSE(n.AttributeBool("one", true));
  EXPECT_TRUE(n.AttributeBool("empty", true));
  EXPECT_TRUE(n.AttributeBool("missing", true));
  EXPECT_EQ(RGB(10, 20, 30), n.AttributeColor("c", 0));
  EXPECT_EQ(RGB(1, 2, 3), n.AttributeColor("rgb", 0));
  EXPECT_EQ(RGB(4, 5, 6), n.AttributeColor("empty", RGB(4, 5, 6)));
  EXPECT_EQ(RGB(4, 5, 6), n.AttributeColor("missing", RGB(4, 5, 6)));
  // Point: an empty or absent value leaves the point as it was.
  TPoint r(1, 1);
  n.AttributePoint("pos", r);
  EXPECT_EQ(TPoint(3, -4), r);
  n.GetAttributePoint("xy", r);
  n.AttributePoint("empty", r);
  n.AttributePoint("missing", r);
  EXPECT_EQ(TPoint(5, 6), r);
  // Set replaces the first pair, so Get sees the new value.
  n.SetAttributeInt("hex", 7);
  EXPECT_EQ(7, n.GetAttributeInt("hex", 0));
  n.SetAttributeBool("cap", true);
  EXPECT_TRUE(n.GetAttributeBool("cap", false));
}

// Engineering notation, 12 significant digits; read back by strtod up to
// the first "(", so no suffixes. Some texts go one way only.
TEST(XmlTypedAttributes, DoubleTextsInBothDirections) {
  enum { kWrite = 1, kRead = 2, kBoth = 3 };
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    const char* text;  // nullptr: no such attribute
    int dir;
  } cases[] = {
      {4.7e-9, "4.7e-9", kBoth},
      {1e6, "1e+6", kBoth},
      {0.25, "250e-3", kBoth},
      {-1500, "-1.5e+3", kBoth},
      {999.9999999999999, "1e+3", kWrite},
      {123456.789012, "123.456789012e+3", kBoth},  // all 12 digits
      {1000, "1e+3", kRead},
      {1500, "1.5e+3", kBoth},
      {0.5, "500e-3", kBoth},
      {0.001, "1e-3", kBoth},
      {2e-3, "2e-3", kBoth},
      {100, "100", kBoth},
      {0, "0", kBoth},
      {kInf, "inf", kBoth},
      {-kInf, "-inf", kBoth},
      {std::nan(""), "", kWrite},
      {-7, "", kRead},  // the default, so a NaN loads as the default
      {-7, nullptr, kRead},
      {10, "10k", kRead},
      {2.5, "2.5(V)", kRead},
      {0, "abc", kRead},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("text: ") + (c.text ? c.text : "(absent)"));
    CXMLNode n("Cmp");
    if (c.dir & kWrite) {
      n.AttributeDouble("x", c.x);
      n.CreateAttributeDouble("y", c.x);
      n.CreateAttributeDouble("z", -1);
      n.SetAttributeDouble("z", c.x);  // replaces
      const std::string v = std::string("\"") + c.text + "\"";
      EXPECT_EQ("<Cmp x=" + v + " y=" + v + " z=" + v + " />", Compact(n));
    }
    if (c.dir & kRead) {
      CXMLNode r("Cmp");
      if (c.text) r.CreateAttribute("x", c.text);
      r.SetStore(false);
      EXPECT_DOUBLE_EQ(c.x, r.AttributeDouble("x", -7));
    }
  }
}

TEST(XmlSafeText, AttributeIsEscapedOnStoreAndRestoredOnLoad) {
  CXMLNode n("Cmp");
  const AnsiString nasty(" \"quoted\" <tag> & a\nb\r\n\t\xc3\xa9\xff ");
  EXPECT_EQ(nasty.str(), n.AttributeSafe("s", nasty).str());
  EXPECT_EQ(StrToSafe(nasty).str(), n.GetAttribute("s", "").str());
  n.CreateAttributeSafe("ex", "a b/c");
  EXPECT_EQ("a+b%2fc", n.GetAttribute("ex", "").str());
  n.SetStore(false);
  EXPECT_EQ(nasty.str(), n.AttributeSafe("s", "").str());
  EXPECT_EQ("dflt", n.AttributeSafe("missing", "dflt").str());
  n.SetAttributeSafe("ex", "x y");
  EXPECT_EQ("<Cmp s=\"" + StrToSafe(nasty).str() + "\" ex=\"x+y\" />", Compact(n));
  EXPECT_EQ("x y", n.GetAttributeSafe("ex", "").str());
}

TEST(XmlSafeText, NodeSafeKeepsTheTextInAChildAttributeV) {
  CXMLNode n("Doc");
  EXPECT_EQ("a b", n.NodeSafe("Title", "a b").str());
  EXPECT_EQ("<Doc><Title v=\"a+b\" /></Doc>", Compact(n));
  SetLoading(n);
  EXPECT_EQ("a b", n.NodeSafe("Title", "dflt").str());
  EXPECT_EQ("dflt", n.NodeSafe("Missing", "dflt").str());
}

TEST(XmlData, DataLoadsTheContentWithoutDefaultAndNodeDataFallsBackToTheText) {
  CXMLNode n("Doc");
  EXPECT_EQ("text", n.Data("text").str());
  EXPECT_EQ("text", n.GetData().str());
  EXPECT_EQ("v1", n.NodeData("Note", "v1").str());
  EXPECT_EQ("v1", n.GetNode("Note", 0)->GetData().str());
  SetLoading(n);
  EXPECT_EQ("text", n.Data("other").str());
  EXPECT_EQ("v1", n.NodeData("Note", "x").str());
  EXPECT_EQ("x", n.NodeData("Missing", "x").str());
  CXMLNode empty("Doc");
  empty.SetStore(false);
  EXPECT_EQ("", empty.Data("not a default").str());
}

TEST(XmlData, SafeDataRoundTrips) {
  CXMLNode n("Doc");
  const AnsiString text("line 1\n<line 2>");
  EXPECT_EQ(text.str(), n.NodeDataSafe("Note", text).str());
  EXPECT_EQ(StrToSafe(text).str(), n.GetNode(0)->GetData().str());
  n.DataSafe("a b");
  EXPECT_EQ("a+b", n.GetData().str());
  SetLoading(n);
  EXPECT_EQ(text.str(), n.NodeDataSafe("Note", "").str());
  EXPECT_EQ("a b", n.DataSafe("x").str());
  EXPECT_EQ("z", n.NodeDataSafe("Missing", "z").str());
  n.CreateDataSafe("c d");
  EXPECT_EQ("c d", n.GetDataSafe().str());
}

TEST(XmlFormula, OnlyWhatDiffersFromTheDefaultsIsWrittenAndAllOfItLoads) {
  CXMLNode plain("Cmp");
  CFormula f;
  f.SetVal(2.5);
  plain.SerializeFormula("R", f);
  EXPECT_EQ("<Cmp R=\"2.5\" />", Compact(plain));
  CXMLNode n("Cmp");
  f.SetText("=a+1");
  f.SetValue(3);
  f.SetFormat(CFormula::kHex);
  f.SetBits(16);
  n.SerializeFormula("x", f);
  // "=" and "+" escaped in the text
  EXPECT_EQ("<Cmp x_str=\"%3da%2b1\" x=\"3\" x_format=\"hex\" x_bit=\"16\" />", Compact(n));
  n.SetStore(false);
  CFormula g;
  n.SerializeFormula("x", g);
  EXPECT_EQ("=a+1", g.Text().str());
  EXPECT_EQ(3, g.Value());
  EXPECT_EQ(CFormula::kHex, g.GetFormat());
  EXPECT_EQ(16, g.Bits());
}

TEST(XmlFormula, FormatNamesLoadAsCodesAndCodesStoreAsNames) {
  const struct {
    const char* name;
    int code;
  } rows[] = {
      {"double", 0},
      {"int", 1},
      {"bin", 2},
      {"oct", 3},
      {"hex", 4},
      {"HEX", 0},
      {"", 0},
      {"float", 0},
  };
  for (const auto& row : rows) {
    CXMLNode n("Cmp");
    n.CreateAttribute("x_format", row.name);
    n.SetStore(false);
    CFormula f;
    f.SetFormat(2);
    n.SerializeFormula("x", f);
    EXPECT_EQ(row.code, f.GetFormat()) << "format: " << row.name;
  }
  for (int code = 1; code <= 4; ++code) {
    CXMLNode n("Cmp");
    CFormula f;
    f.SetFormat(code);
    n.SerializeFormula("x", f);
    EXPECT_EQ(rows[code].name, n.GetAttribute("x_format", "").str());
  }
}

TEST(XmlFormula, MissingAttributesLoadDefaultsAndEmptyValueTextNanOnlyIntoAnEmptyFormula) {
  CXMLNode n("Cmp");
  CFormula f;
  f.SetEmpty();
  n.SerializeFormula("v", f);
  EXPECT_EQ("<Cmp v=\"\" />", Compact(n));
  n.SetStore(false);
  CFormula kept;  // nothing of "x" is there
  kept.SetText("=old");
  kept.SetValue(7);
  kept.SetFormat(CFormula::kBin);
  kept.SetBits(8);
  n.SerializeFormula("x", kept);
  EXPECT_EQ("", kept.Text().str());
  EXPECT_EQ(7, kept.Value());  // a present value stays
  EXPECT_EQ(CFormula::kDouble, kept.GetFormat());
  EXPECT_EQ(32, kept.Bits());
  CFormula empty;
  empty.SetEmpty();
  n.SerializeFormula("v", empty);
  EXPECT_TRUE(std::isnan(empty.Value()));
  CFormula valued;  // may be empty, but holds a value now
  valued.SetEmpty();
  valued.SetValue(1.0);
  n.SerializeFormula("v", valued);
  EXPECT_EQ(1.0, valued.Value());
}
