// Reading: documents through the paired operations, the reader's leniency
// rules one by one, the format errors with their exact text, depth.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "XmlTestUtil.h"
#include "base/globals.h"
#include "doc/xml.h"
#include "expr/Formula.h"

TEST(XmlRead, DocumentLoadsThroughThePairedOperations) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/document.qvs"))) << root.GetNodeError().str();
  EXPECT_EQ("", root.GetNodeError().str());
  ASSERT_EQ(2, root.NodeCount());
  // Every node read is loading; GetNode(name, start) leaves the flags as set.
  int seen = 0;
  std::function<void(CXMLNode&)> walk = [&](CXMLNode& n) {
    ++seen;
    EXPECT_FALSE(n.IsStore()) << n.GetName().str();
    for (CXMLNode* c = n.GetNode("", 0); c; c = n.GetNextNode()) walk(*c);
  };
  walk(root);
  EXPECT_EQ(10, seen);

  CXMLNode* version = root.Node("Version");
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(3, version->AttributeInt("ver", 0));
  CXMLNode* doc = root.Node("Doc");
  ASSERT_NE(nullptr, doc);
  EXPECT_EQ("rc filter", doc->AttributeSafe("name", "").str());
  CXMLNode* props = doc->Node("Properties");
  ASSERT_NE(nullptr, props);
  EXPECT_EQ(0, props->AttributeInt("save", 1));
  EXPECT_EQ(RGB(255, 128, 0), props->AttributeColor("color", 0));
  CXMLNode* cmps = doc->Node("Cir")->Node("Cmps");
  ASSERT_NE(nullptr, cmps);
  CXMLNode* r1 = cmps->GetNode("Cmp", 0);
  ASSERT_NE(nullptr, r1);
  EXPECT_EQ("R1", r1->Attribute("name", "").str());
  CFormula r;
  r1->SerializeFormula("R", r);
  EXPECT_EQ("=2*a", r.Text().str());
  EXPECT_EQ(1000, r.Value());
  EXPECT_EQ(CFormula::kDouble, r.GetFormat());
  TPoint pos;
  r1->AttributePoint("pos", pos);
  EXPECT_EQ(TPoint(10, 20), pos);
  CXMLNode* c1 = cmps->GetNextNode();
  ASSERT_NE(nullptr, c1);
  EXPECT_EQ("C1", c1->Attribute("name", "").str());
  CFormula c;
  c1->SerializeFormula("C", c);
  EXPECT_EQ("", c.Text().str());
  EXPECT_DOUBLE_EQ(1e-6, c.Value());
  EXPECT_EQ(CFormula::kHex, c.GetFormat());
  EXPECT_EQ(16, c.Bits());
  EXPECT_EQ(nullptr, cmps->GetNextNode());
  EXPECT_EQ("  two leading blanks &amp; an ampersand", doc->NodeData("Note", "").str());
  EXPECT_EQ("line one\nline two", doc->NodeSafe("Title", "").str());
}

TEST(XmlRead, CrLfLinesReadLikeLineFeeds) {
  CXMLNode lf("QVS"), crlf("QVS");
  ASSERT_TRUE(lf.ReadFromFile(TestData("xml/document.qvs")));
  ASSERT_TRUE(crlf.ReadFromFile(TestData("xml/document_crlf.qvs")));
  ExpectSameTree(lf, crlf);
}

TEST(XmlRead, ReadingReplacesEarlierContentAndError) {
  CXMLNode root("QVS");
  root.CreateNode("Old");
  root.CreateAttribute("old", "1");
  root.CreateData("old");
  EXPECT_FALSE(root.ReadFromFile(""));
  ASSERT_TRUE(root.ReadFromFile(ScratchFile("replace.qvs", "<QVS new=\"2\"><New /></QVS>")));
  EXPECT_EQ("<QVS new=\"2\"><New /></QVS>", Compact(root));
  EXPECT_EQ("", root.GetData().str());
  EXPECT_EQ("", root.GetNodeError().str());
}

TEST(XmlRead, MissingFileReportsTheLoaderReason) {
  CXMLNode root("QVS");
  EXPECT_FALSE(root.ReadFromFile(ScratchDir() + "does_not_exist.qvs"));
  EXPECT_EQ("Cannot open file", root.GetError().str());
  EXPECT_EQ("Cannot open file", root.GetNodeError().str());
  EXPECT_FALSE(root.IsStore());
  CXMLNode unnamed;
  EXPECT_FALSE(unnamed.ReadFromFile(""));
  EXPECT_EQ("No file name", unnamed.GetNodeError().str());
}

TEST(XmlRead, ReadFromTextNamesTheSourceInItsError) {
  CXMLNode root("QVS");
  EXPECT_FALSE(root.ReadFromText("<Other />", "attachment of X1"));
  EXPECT_EQ("attachment of X1 : wrong file format", root.GetError().str());
  EXPECT_TRUE(root.ReadFromText("<QVS a=\"1\" />", "attachment of X1"));
  EXPECT_EQ("1", root.GetAttribute("a", "").str());
}

TEST(XmlRead, ExecuteNodeParsesOneElementAndAdvances) {
  CXMLNode node;
  int pos = 3;  // "xx" before the element; it spans positions 3 to 13
  ASSERT_TRUE(node.ExecuteNode("xx<a b=\"1\" />yy", pos));
  EXPECT_EQ(14, pos);
  EXPECT_EQ("a", node.GetName().str());
  EXPECT_FALSE(node.IsStore());
  pos = 1;
  ASSERT_TRUE(node.ExecuteNode("<c>t</c>rest", pos));
  EXPECT_EQ(9, pos);
  EXPECT_EQ("<c>t</c>", Compact(node));  // b="1" is gone
  pos = 2;
  EXPECT_FALSE(node.ExecuteNode("<c>t</c>", pos));
  EXPECT_EQ(2, pos);
  pos = 9;
  EXPECT_FALSE(node.ExecuteNode("<c>t</c>", pos));
  // The text may be the node's own data.
  CXMLNode att("Attachment");
  att.CreateNode("old");
  att.CreateData("<QVS><Doc v=\"1\" /></QVS>");
  pos = 1;
  ASSERT_TRUE(att.ExecuteNode(att.GetData(), pos));
  EXPECT_EQ("<QVS><Doc v=\"1\" /></QVS>", Compact(att));
}

// Each text is read from a file into a node of the given name; the tree
// read is shown in the writer's compact form.
TEST(XmlLenient, EachRuleGivesTheTreeShown) {
  const struct {
    const char* rule;
    const char* root;
    const char* text;
    const char* tree;
  } rows[] = {
      {"opening quote not checked", "QVS", "<QVS a=x12\" b=\"7\" />", "<QVS a=\"12\" b=\"7\" />"},
      // Only a double quote closes: a's value runs to it, b's becomes stray.
      {"single quote", "QVS", "<QVS a='5' b=\"7\" />", "<QVS a=\"5' b=\" />"},
      {"end tag name not compared", "QVS", "<QVS><a>x</b><c /></Other>",
       "<QVS><a>x</a><c /></QVS>"},
      {"stray text skipped", "QVS", "<QVS>\n  junk = \"x\" /> <a />more junk\n  <b /> tail </QVS>",
       "<QVS><a /><b /></QVS>"},
      // "<QVS>" is looked for before "<QVS ", so the second element is read.
      {"text before the root", "QVS", "<x><QVS a=\"1\"></QVS>\n<QVS><b /></QVS>",
       "<QVS><b /></QVS>"},
      {"tab or line break belongs to the name", "QVS",
       "<QVS x=\"1\"\ty=\"2\"\nz=\"3\">\n<a\tb=\"1\">t</a>\n</QVS>",
       "<QVS x=\"1\" \ty=\"2\" \nz=\"3\"><a\tb=\"1\">t</a\tb=\"1\"></QVS>"},
      {"slash without a blank is part of the name", "QVS", "<QVS><a/></a></QVS>",
       "<QVS><a/ /></QVS>"},
      {"entities kept as written", "QVS", "<QVS v=\"&quot;&lt;\">a &amp; b &#38;</QVS>",
       "<QVS v=\"&quot;&lt;\">a &amp; b &#38;</QVS>"},
      {"unnamed node reads the whole text as element top", "", "<a x=\"1\" />\n<b>t</b>",
       "<top><a x=\"1\" /><b>t</b></top>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    CXMLNode node{AnsiString(row.root)};
    ASSERT_TRUE(node.ReadFromFile(ScratchFile("lenient.qvs", row.text)));
    EXPECT_FALSE(node.IsStore());
    EXPECT_EQ(row.tree, Compact(node));
    // A body that begins with "<" or a line break has no data.
    if (node.NodeCount() > 0) {
      EXPECT_EQ("", node.GetData().str());
    }
  }
}

TEST(XmlLenient, EveryRuleInOneFile) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/lenient.qvs"))) << root.GetNodeError().str();
  EXPECT_EQ(
      "<QVS><Version ver=\"3\" /><Doc name=\"padded\">  data with leading blanks</Doc>"
      "<Cmps\tcount=\"2\"><Cmp a=\"1\" \tb=\"2\" /></Cmps\tcount=\"2\"></QVS>",
      Compact(root));
}

TEST(XmlLenient, OuterBlanksOfValuesAndDataAfterALineBreakAreLost) {
  CXMLNode out("QVS");
  out.CreateAttribute("plain", "  two  ");
  out.AttributeSafe("safe", "  two  ");
  out.CreateNode("leaf");
  out.CreateNode("blanks")->CreateData("   three blanks");
  out.CreateNode("broken")->CreateData("\nafter a break");
  const std::string path = ScratchDir() + "blanks.qvs";
  ASSERT_TRUE(out.WriteToFile(path));
  CXMLNode in("QVS");
  ASSERT_TRUE(in.ReadFromFile(path));
  // Safe blanks are "+"; a leaf comes back without data or children.
  EXPECT_EQ(
      "<QVS plain=\"two\" safe=\"++two++\"><leaf /><blanks>   three blanks</blanks><broken />"
      "</QVS>",
      Compact(in));
  EXPECT_EQ("  two  ", in.AttributeSafe("safe", "").str());
}

TEST(XmlFormatError, IsThePathAndWrongFileFormat) {
  std::vector<std::pair<std::string, std::string>> cases;  // root name, file
  for (const char* file : {"wrong_root", "truncated_attributes", "truncated_body"})
    cases.emplace_back("QVS", TestData(std::string("xml/") + file + ".qvs"));
  for (const char* text : {"<QVSX></QVSX>\n<QVS\t/>\n<qvs />",  // no "<QVS>" or "<QVS "
                           // The text ends in an attribute list ...
                           "<QVS a", "<QVS a=", "<QVS a=\"1", "<QVS><b c=\"1\" d",
                           // ... or before an end tag.
                           "<QVS>data", "<QVS><a>", "<QVS><a></a>", "<QVS></QVS", "<QVS><",
                           "<QVS><a b=\"1\">",
                           // "<a/>" opens an element that the next end tag closes, so
                           // the root's own end tag is used up and the text ends first.
                           "<QVS><a/><b /></QVS>"})
    cases.emplace_back("QVS", ScratchFile("bad" + std::to_string(cases.size()) + ".qvs", text));
  cases.emplace_back("", ScratchFile("unbalanced.txt", "<a>"));  // unnamed: balanced text too
  for (const auto& [root_name, path] : cases) {
    SCOPED_TRACE("file: " + path + "\n" + ReadBytes(path));
    CXMLNode node{AnsiString(root_name)};
    EXPECT_FALSE(node.ReadFromFile(path));
    EXPECT_EQ(path + " : wrong file format", node.GetError().str());
    EXPECT_EQ(path + " : wrong file format", node.GetNodeError().str());
  }
}

TEST(XmlDepth, HundredThousandNestedElementsReadAndUnclosedOnesAreAFormatError) {
  constexpr int kDeep = 100000;
  std::string open = "<QVS>", close;
  for (int i = 0; i < kDeep; ++i) {
    open += "<a>";
    close += "</a>";
  }
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromText(open + close + "</QVS>", "deep"));
  int depth = 0;
  for (CXMLNode* n = root.GetNode(0); n; n = n->GetNode(0)) ++depth;
  EXPECT_EQ(kDeep, depth);
  EXPECT_FALSE(root.ReadFromText(open + "</QVS>", "deep"));
  EXPECT_EQ("deep : wrong file format", root.GetError().str());
}
