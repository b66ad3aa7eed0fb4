// Attributes, typed attributes, escaped text, text content and formulas,
// in both directions of the store flag.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "XmlTestUtil.h"
#include "base/globals.h"
#include "doc/xml.h"
#include "expr/Formula.h"

namespace {
// Value of the i-th pair; "" when there is none.
std::string ValueAt(const CXMLNode& n, int i) {
  AnsiString name, value;
  n.GetAttribute(i, &name, &value);
  return value.str();
}
std::string NameAt(const CXMLNode& n, int i) {
  AnsiString name, value;
  n.GetAttribute(i, &name, &value);
  return name.str();
}
}  // namespace

TEST(XmlAttributes, CreateAppendsEvenDuplicatesAndLookupsTakeTheFirst) {
  CXMLNode n("Cmp");
  n.CreateAttribute("name", "R1");
  n.CreateAttribute("name", "R2");
  ASSERT_EQ(2, n.AttributeCount());
  EXPECT_EQ("R1", n.GetAttribute("name", "none").str());
  EXPECT_EQ("none", n.GetAttribute("Name", "none").str());
  EXPECT_TRUE(n.AttributeExists("name"));
  EXPECT_FALSE(n.AttributeExists("nam"));
}

TEST(XmlAttributes, SetReplacesTheFirstOrAppends) {
  CXMLNode n("Cmp");
  n.CreateAttribute("a", "1");
  n.CreateAttribute("b", "2");
  n.CreateAttribute("a", "3");
  n.SetAttribute("a", "9");
  n.SetAttribute("c", "4");
  ASSERT_EQ(4, n.AttributeCount());
  EXPECT_EQ("9", ValueAt(n, 0));
  EXPECT_EQ("3", ValueAt(n, 2));
  EXPECT_EQ("c", NameAt(n, 3));
  EXPECT_EQ("4", ValueAt(n, 3));
}

TEST(XmlAttributes, PairsByIndexAreEmptyOutOfRange) {
  CXMLNode n("Cmp");
  n.CreateAttribute("a", "1");
  AnsiString name = "x", value = "y";
  EXPECT_TRUE(n.GetAttribute(0, &name, &value));
  EXPECT_EQ("a", name.str());
  EXPECT_EQ("1", value.str());
  EXPECT_FALSE(n.GetAttribute(1, &name, &value));
  EXPECT_EQ("", name.str());
  EXPECT_EQ("", value.str());
  EXPECT_FALSE(n.GetAttribute(-1, &name, &value));
}

TEST(XmlAttributes, DeleteAndRenameActOnOnePair) {
  CXMLNode n("Cmp");
  n.CreateAttribute("a", "1");
  n.CreateAttribute("b", "2");
  n.CreateAttribute("a", "3");
  n.RenameAttribute("a", "z");
  EXPECT_EQ("z", NameAt(n, 0));
  EXPECT_EQ("a", NameAt(n, 2));
  n.RenameAttribute("missing", "q");
  n.DeleteAttribute(7);
  EXPECT_EQ(3, n.AttributeCount());
  n.DeleteAttribute(1);
  ASSERT_EQ(2, n.AttributeCount());
  EXPECT_EQ("z", NameAt(n, 0));
  EXPECT_EQ("3", ValueAt(n, 1));
}

TEST(XmlAttributes, PairedFormStoresOrLoadsWithDefault) {
  CXMLNode n("Cmp");
  EXPECT_EQ("R1", n.Attribute("name", "R1").str());
  EXPECT_EQ("R1", ValueAt(n, 0));
  n.SetStore(false);
  EXPECT_EQ("R1", n.Attribute("name", "other").str());
  EXPECT_EQ("dflt", n.Attribute("missing", "dflt").str());
  EXPECT_EQ(1, n.AttributeCount());
}

TEST(XmlTypedAttributes, IntIsDecimalAndReadByStrtol) {
  CXMLNode n("Cmp");
  EXPECT_EQ(-42, n.AttributeInt("i", -42));
  EXPECT_EQ("-42", ValueAt(n, 0));
  n.CreateAttribute("trail", "12abc");
  n.CreateAttribute("word", "abc");
  n.CreateAttribute("hex", "0x1f");
  n.CreateAttribute("empty", "");
  n.SetStore(false);
  EXPECT_EQ(-42, n.AttributeInt("i", 5));
  EXPECT_EQ(12, n.AttributeInt("trail", 5));
  EXPECT_EQ(0, n.AttributeInt("word", 5));
  EXPECT_EQ(0, n.AttributeInt("hex", 5));
  EXPECT_EQ(5, n.AttributeInt("empty", 5));
  EXPECT_EQ(5, n.AttributeInt("missing", 5));
  n.SetAttributeInt("i", 7);
  EXPECT_EQ(7, n.GetAttributeInt("i", 0));
}

TEST(XmlTypedAttributes, BoolIsTrueOnlyForTheExactTextTrue) {
  CXMLNode n("Cmp");
  n.AttributeBool("t", true);
  n.AttributeBool("f", false);
  EXPECT_EQ("true", ValueAt(n, 0));
  EXPECT_EQ("false", ValueAt(n, 1));
  n.CreateAttribute("cap", "True");
  n.CreateAttribute("one", "1");
  n.CreateAttribute("empty", "");
  n.SetStore(false);
  EXPECT_TRUE(n.AttributeBool("t", false));
  EXPECT_FALSE(n.AttributeBool("f", true));
  EXPECT_FALSE(n.AttributeBool("cap", true));
  EXPECT_FALSE(n.AttributeBool("one", true));
  EXPECT_TRUE(n.AttributeBool("empty", true));
  EXPECT_TRUE(n.AttributeBool("missing", true));
  n.SetAttributeBool("f", true);
  EXPECT_TRUE(n.GetAttributeBool("f", false));
}

TEST(XmlTypedAttributes, DoubleIsWrittenInEngineeringNotation) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {4.7e-9, "4.7e-9"},  {1e6, "1e+6"},       {0.25, "250e-3"},
      {-1500, "-1.5e+3"},  {999.9999999999999, "1e+3"},
      {1500, "1.5e+3"},    {0.5, "500e-3"},     {0.001, "1e-3"},
      {100, "100"},        {0, "0"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::nan(""), ""},
  };
  for (const auto& c : cases) {
    CXMLNode n("Cmp");
    n.AttributeDouble("x", c.x);
    EXPECT_EQ(c.text, ValueAt(n, 0)) << c.x;
  }
}

TEST(XmlTypedAttributes, DoubleIsReadWithoutSuffixesAndUpToAParenthesis) {
  CXMLNode n("Cmp");
  const struct {
    const char* text;
    double x;
  } cases[] = {
      {"4.7e-9", 4.7e-9}, {"1e+6", 1e6},   {"250e-3", 0.25}, {"-1.5e+3", -1500},
      {"1e+3", 1000},     {"10k", 10},     {"2.5(V)", 2.5},  {"abc", 0},
  };
  for (const auto& c : cases) n.CreateAttribute(c.text, c.text);  // named by its text
  n.CreateAttribute("inf", "inf");
  n.CreateAttribute("-inf", "-inf");
  n.CreateAttribute("empty", "");
  n.SetStore(false);
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(c.x, n.AttributeDouble(c.text, -7)) << c.text;
  EXPECT_EQ(std::numeric_limits<double>::infinity(), n.AttributeDouble("inf", 0));
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), n.AttributeDouble("-inf", 0));
  EXPECT_EQ(-7, n.AttributeDouble("empty", -7));
  EXPECT_EQ(-7, n.AttributeDouble("missing", -7));
}

TEST(XmlTypedAttributes, NanIsWrittenEmptyAndLoadsTheDefault) {
  CXMLNode n("Cmp");
  n.CreateAttributeDouble("x", std::nan(""));
  n.SetStore(false);
  EXPECT_EQ(3.5, n.AttributeDouble("x", 3.5));
  n.SetAttributeDouble("x", 2e-3);
  EXPECT_EQ("2e-3", ValueAt(n, 0));
}

TEST(XmlTypedAttributes, ColorIsRedGreenBlue) {
  CXMLNode n("Cmp");
  EXPECT_EQ(RGB(10, 20, 30), n.AttributeColor("c", RGB(10, 20, 30)));
  EXPECT_EQ("10,20,30", ValueAt(n, 0));
  n.CreateAttribute("d", "1,2,3");
  n.CreateAttribute("e", "");
  n.SetStore(false);
  EXPECT_EQ(RGB(10, 20, 30), n.AttributeColor("c", 0));
  EXPECT_EQ(RGB(1, 2, 3), n.AttributeColor("d", 0));
  EXPECT_EQ(RGB(4, 5, 6), n.AttributeColor("e", RGB(4, 5, 6)));
  EXPECT_EQ(RGB(4, 5, 6), n.AttributeColor("missing", RGB(4, 5, 6)));
}

TEST(XmlTypedAttributes, PointIsXCommaYAndUnchangedWhenAbsent) {
  CXMLNode n("Cmp");
  TPoint p(3, -4);
  n.AttributePoint("pos", p);
  EXPECT_EQ("3,-4", ValueAt(n, 0));
  n.CreateAttribute("q", "5,6");
  n.CreateAttribute("e", "");
  n.SetStore(false);
  TPoint r(1, 1);
  n.AttributePoint("pos", r);
  EXPECT_EQ(TPoint(3, -4), r);
  n.GetAttributePoint("q", r);
  EXPECT_EQ(TPoint(5, 6), r);
  n.AttributePoint("e", r);
  n.AttributePoint("missing", r);
  EXPECT_EQ(TPoint(5, 6), r);
}

TEST(XmlSafeText, AttributeIsEscapedOnStoreAndRestoredOnLoad) {
  CXMLNode n("Cmp");
  const AnsiString nasty(" \"quoted\" <tag> & a\nb\r\n\t\xc3\xa9\xff ");
  EXPECT_EQ(nasty.str(), n.AttributeSafe("s", nasty).str());
  EXPECT_EQ(StrToSafe(nasty).str(), n.GetAttribute("s", "").str());
  n.CreateAttributeSafe("ex", "a b/c");
  EXPECT_EQ("a+b%2fc", ValueAt(n, 1));
  n.SetStore(false);
  EXPECT_EQ(nasty.str(), n.AttributeSafe("s", "").str());
  EXPECT_EQ("dflt", n.AttributeSafe("missing", "dflt").str());
  n.SetAttributeSafe("ex", "x y");
  EXPECT_EQ("x+y", ValueAt(n, 1));
  EXPECT_EQ("x y", n.GetAttributeSafe("ex", "").str());
}

TEST(XmlSafeText, NodeSafeKeepsTheTextInAChildAttributeV) {
  CXMLNode n("Doc");
  EXPECT_EQ("a b", n.NodeSafe("Title", "a b").str());
  CXMLNode* t = n.GetNode("Title", 0);
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(1, t->AttributeCount());
  EXPECT_EQ("a+b", t->GetAttribute("v", "").str());
  SetLoading(n);
  EXPECT_EQ("a b", n.NodeSafe("Title", "dflt").str());
  EXPECT_EQ("dflt", n.NodeSafe("Missing", "dflt").str());
}

TEST(XmlData, DataLoadsTheContentAndTakesNoDefault) {
  CXMLNode n("Doc");
  EXPECT_EQ("text", n.Data("text").str());
  EXPECT_EQ("text", n.GetData().str());
  CXMLNode empty("Doc");
  empty.SetStore(false);
  EXPECT_EQ("", empty.Data("not a default").str());
  n.SetStore(false);
  EXPECT_EQ("text", n.Data("other").str());
}

TEST(XmlData, NodeDataUsesAChildAndFallsBackToTheText) {
  CXMLNode n("Doc");
  EXPECT_EQ("v1", n.NodeData("Note", "v1").str());
  EXPECT_EQ("v1", n.GetNode("Note", 0)->GetData().str());
  SetLoading(n);
  EXPECT_EQ("v1", n.NodeData("Note", "x").str());
  EXPECT_EQ("x", n.NodeData("Missing", "x").str());
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

TEST(XmlFormula, PlainValueIsOneAttribute) {
  CXMLNode n("Cmp");
  CFormula f;
  f.SetVal(2.5);
  n.SerializeFormula("R", f);
  ASSERT_EQ(1, n.AttributeCount());
  EXPECT_EQ("R", NameAt(n, 0));
  EXPECT_EQ("2.5", ValueAt(n, 0));
}

TEST(XmlFormula, AllFourAttributesInOrder) {
  CXMLNode n("Cmp");
  CFormula f;
  f.SetText("=a+1");
  f.SetValue(3);
  f.SetFormat(CFormula::kHex);
  f.SetBits(16);
  n.SerializeFormula("x", f);
  ASSERT_EQ(4, n.AttributeCount());
  EXPECT_EQ("x_str", NameAt(n, 0));
  EXPECT_EQ("%3da%2b1", ValueAt(n, 0));  // "=" and "+" escaped
  EXPECT_EQ("x", NameAt(n, 1));
  EXPECT_EQ("3", ValueAt(n, 1));
  EXPECT_EQ("x_format", NameAt(n, 2));
  EXPECT_EQ("hex", ValueAt(n, 2));
  EXPECT_EQ("x_bit", NameAt(n, 3));
  EXPECT_EQ("16", ValueAt(n, 3));

  n.SetStore(false);
  CFormula g;
  n.SerializeFormula("x", g);
  EXPECT_EQ("=a+1", g.Text().str());
  EXPECT_EQ(3, g.Value());
  EXPECT_EQ(CFormula::kHex, g.GetFormat());
  EXPECT_EQ(16, g.Bits());
}

TEST(XmlFormula, FormatNamesLoadAsCodes) {
  const char* names[] = {"double", "int", "bin", "oct", "hex", "HEX", "", "float"};
  const int codes[] = {0, 1, 2, 3, 4, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    CXMLNode n("Cmp");
    n.CreateAttribute("x_format", names[i]);
    n.SetStore(false);
    CFormula f;
    f.SetFormat(2);
    n.SerializeFormula("x", f);
    EXPECT_EQ(codes[i], f.GetFormat()) << names[i];
  }
  for (int code = 1; code <= 4; ++code) {
    CXMLNode n("Cmp");
    CFormula f;
    f.SetFormat(code);
    n.SerializeFormula("x", f);
    EXPECT_EQ(names[code], n.GetAttribute("x_format", "").str());
  }
}

TEST(XmlFormula, MissingAttributesLoadDefaults) {
  CXMLNode n("Cmp");
  n.SetStore(false);
  CFormula kept;
  kept.SetText("=old");
  kept.SetValue(7);
  kept.SetFormat(CFormula::kBin);
  kept.SetBits(8);
  n.SerializeFormula("x", kept);
  EXPECT_EQ("", kept.Text().str());
  EXPECT_EQ(7, kept.Value());  // a present value stays
  EXPECT_EQ(CFormula::kDouble, kept.GetFormat());
  EXPECT_EQ(32, kept.Bits());
}

TEST(XmlFormula, EmptyValueTextLoadsNanOnlyIntoAnEmptyFormula) {
  CXMLNode n("Cmp");
  CFormula f;
  f.SetEmpty();
  n.SerializeFormula("v", f);
  ASSERT_EQ(1, n.AttributeCount());
  EXPECT_EQ("", ValueAt(n, 0));
  n.SetStore(false);
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
