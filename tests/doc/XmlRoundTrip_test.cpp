// Whatever the writer produces, the reader takes back: a file written by
// WriteToFile reads into an equal tree, and writing that tree again gives
// the same bytes. The compact form reads back the same way.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "XmlTestUtil.h"
#include "doc/xml.h"
#include "expr/Formula.h"

namespace {
// A circuit-like document: typed attributes, formulas, Safe texts holding
// quotes, angle brackets, line breaks and bytes above 127, data with
// leading blanks and inner line breaks, raw values with ">" and "/".
std::unique_ptr<CXMLNode> DocumentTree() {
  auto root = std::make_unique<CXMLNode>("QVS");
  root->Node("Version")->AttributeInt("ver", 3);
  CXMLNode* doc = root->Node("Doc");
  doc->AttributeSafe("name", " RC \"filter\" <1>\n\xc3\xa9\xff end ");
  doc->AttributeDouble("step", 1e-6);
  doc->AttributeDouble("stop", std::nan(""));
  doc->AttributeInt("to", -5);
  doc->AttributeBool("run", true);
  doc->AttributeColor("color", RGB(1, 2, 3));
  TPoint pos(-10, 20);
  doc->AttributePoint("pos", pos);
  doc->CreateAttribute("raw", "x>/<y & z");
  doc->CreateAttribute("empty", "");
  CXMLNode* cmps = doc->Node("Cir")->Node("Cmps");
  for (int i = 0; i < 3; ++i) {
    CXMLNode* cmp = cmps->Node("Cmp");
    cmp->Attribute("type", "R_R");
    CFormula f;
    if (i == 1) f.SetText("=2*a+\"q\"");
    f.SetValue(1.5 * (i + 1));
    f.SetFormat(i);
    f.SetBits(i == 2 ? 8 : 32);
    cmp->SerializeFormula("R", f);
  }
  doc->NodeSafe("Title", "multi\nline\r\ntext with \"quotes\" & <tags>\t\x01");
  doc->NodeData("Note", "  leading blanks kept");
  doc->NodeData("Inner", "one\ntwo \"three\" > & ;");
  doc->NodeData("CrLf", "crlf\r\ninside");
  doc->NodeDataSafe("SafeData", "<tag attr=\"v\">\n</tag>");
  doc->Node("Empty");
  return root;
}

// Many siblings over three levels, names and values varied.
std::unique_ptr<CXMLNode> WideTree() {
  auto root = std::make_unique<CXMLNode>("QVS_tran");
  for (int i = 0; i < 60; ++i) {
    CXMLNode* t = root->CreateNode(i % 7 == 0 ? "Trace_x" : "Trace");
    t->CreateAttributeInt("id", i);
    t->CreateAttributeDouble("scale", std::pow(10.0, i % 13 - 6) * (i + 1));
    t->CreateAttributeSafe("expr", "V(" + std::to_string(i) + ") * \"k\"");
    CXMLNode* data = t->CreateNode("Data");
    data->CreateAttributeInt("type", i % 9);
    if (i % 3 == 0) data->CreateNode("Annotations")->CreateData("note " + std::to_string(i));
  }
  return root;
}

std::unique_ptr<CXMLNode> DeepTree() {
  auto root = std::make_unique<CXMLNode>("Deep");
  CXMLNode* n = root.get();
  for (int i = 0; i < 60; ++i) {
    n = n->CreateNode("L" + std::to_string(i));
    n->CreateAttributeInt("level", i);
  }
  n->CreateData("bottom");
  return root;
}

void ExpectFileRoundTrip(CXMLNode& original, const std::string& stem) {
  const std::string first = ScratchDir() + stem + "_1.qvs";
  const std::string second = ScratchDir() + stem + "_2.qvs";
  ASSERT_TRUE(original.WriteToFile(first));
  CXMLNode read(original.GetName());
  ASSERT_TRUE(read.ReadFromFile(first)) << read.GetNodeError().str();
  ExpectSameTree(original, read);
  ASSERT_TRUE(read.WriteToFile(second));
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));
}

void ExpectStringRoundTrip(CXMLNode& original) {
  AnsiString text;
  original.WriteToString(text);
  CXMLNode read;
  int pos = 1;
  ASSERT_TRUE(read.ExecuteNode(text, pos));
  EXPECT_EQ(text.Length() + 1, pos);
  ExpectSameTree(original, read);
  AnsiString again;
  read.WriteToString(again);
  EXPECT_EQ(text.str(), again.str());
}
}  // namespace

TEST(XmlRoundTrip, FilesReadBackEqualAndRewriteToTheSameBytes) {
  ExpectFileRoundTrip(*DocumentTree(), "document");
  ExpectFileRoundTrip(*WideTree(), "wide");
  ExpectFileRoundTrip(*DeepTree(), "deep");
  CXMLNode lone("QVS");
  ExpectFileRoundTrip(lone, "lone");
  EXPECT_EQ("<?xml version=\"1.0\"?>\n<QVS />\n", ReadBytes(ScratchDir() + "lone_1.qvs"));
}

TEST(XmlRoundTrip, CompactStringsReadBackEqual) {
  ExpectStringRoundTrip(*DocumentTree());
  ExpectStringRoundTrip(*WideTree());
  ExpectStringRoundTrip(*DeepTree());
}

TEST(XmlRoundTrip, LoadedValuesEqualStoredOnes) {
  auto tree = DocumentTree();
  const std::string path = ScratchDir() + "values.qvs";
  ASSERT_TRUE(tree->WriteToFile(path));
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(path));
  CXMLNode* doc = root.Node("Doc");
  ASSERT_NE(nullptr, doc);
  EXPECT_EQ(" RC \"filter\" <1>\n\xc3\xa9\xff end ", doc->AttributeSafe("name", "").str());
  EXPECT_EQ(1e-6, doc->AttributeDouble("step", 0));
  EXPECT_EQ(-1, doc->AttributeDouble("stop", -1));  // NaN was written empty
  EXPECT_EQ(-5, doc->AttributeInt("to", 0));
  EXPECT_TRUE(doc->AttributeBool("run", false));
  EXPECT_EQ(RGB(1, 2, 3), doc->AttributeColor("color", 0));
  TPoint pos;
  doc->AttributePoint("pos", pos);
  EXPECT_EQ(TPoint(-10, 20), pos);
  EXPECT_EQ("multi\nline\r\ntext with \"quotes\" & <tags>\t\x01",
            doc->NodeSafe("Title", "").str());
  EXPECT_EQ("<tag attr=\"v\">\n</tag>", doc->NodeDataSafe("SafeData", "").str());
  CXMLNode* cmps = doc->Node("Cir")->Node("Cmps");
  CXMLNode* cmp = cmps->GetNode("Cmp", 1);
  ASSERT_NE(nullptr, cmp);
  CFormula f;
  cmp->SerializeFormula("R", f);
  EXPECT_EQ("=2*a+\"q\"", f.Text().str());
  EXPECT_EQ(3.0, f.Value());
  EXPECT_EQ(CFormula::kInt, f.GetFormat());
  EXPECT_EQ(32, f.Bits());
}
