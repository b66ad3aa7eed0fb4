// Reading: documents through the paired operations, the reader's leniency
// rules one by one, the format errors with their exact text, depth.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XmlTestUtil.h"
#include "base/globals.h"
#include "doc/xml.h"
#include "expr/Formula.h"

namespace {
// Writes text to a scratch file and reads it into a node named root.
struct ReadResult {
  bool ok;
  std::string path;
};
ReadResult ReadText(CXMLNode& node, const std::string& file, const std::string& text) {
  const std::string path = ScratchFile(file, text);
  return {node.ReadFromFile(path), path};
}

std::string WrongFormat(const std::string& path) { return path + " : wrong file format"; }
}  // namespace

TEST(XmlRead, DocumentLoadsThroughThePairedOperations) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/document.qvs"))) << root.GetNodeError().str();
  EXPECT_FALSE(root.IsStore());
  EXPECT_EQ("", root.GetNodeError().str());
  ASSERT_EQ(2, root.NodeCount());

  CXMLNode* version = root.Node("Version");
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(3, version->AttributeInt("ver", 0));

  CXMLNode* doc = root.Node("Doc");
  ASSERT_NE(nullptr, doc);
  EXPECT_FALSE(doc->IsStore());
  EXPECT_EQ("rc filter", doc->AttributeSafe("name", "").str());
  CXMLNode* props = doc->Node("Properties");
  ASSERT_NE(nullptr, props);
  EXPECT_EQ(0, props->AttributeInt("save", 1));
  EXPECT_EQ(RGB(255, 128, 0), props->AttributeColor("color", 0));

  CXMLNode* cir = doc->Node("Cir");
  ASSERT_NE(nullptr, cir);
  CXMLNode* cmps = cir->Node("Cmps");
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

TEST(XmlRead, EveryNodeReadIsLoading) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/document.qvs")));
  // GetNode(name, start) leaves the flags as the reader set them.
  int seen = 0;
  std::vector<CXMLNode*> todo{&root};
  while (!todo.empty()) {
    CXMLNode* n = todo.back();
    todo.pop_back();
    ++seen;
    EXPECT_FALSE(n->IsStore()) << n->GetName().str();
    for (CXMLNode* c = n->GetNode("", 0); c; c = n->GetNextNode()) todo.push_back(c);
  }
  EXPECT_EQ(10, seen);
}

TEST(XmlRead, CrLfLinesReadLikeLineFeeds) {
  CXMLNode lf("QVS"), crlf("QVS");
  ASSERT_TRUE(lf.ReadFromFile(TestData("xml/document.qvs")));
  ASSERT_TRUE(crlf.ReadFromFile(TestData("xml/document_crlf.qvs")));
  EXPECT_TRUE(SameTree(lf, crlf));
}

TEST(XmlRead, ReadingReplacesEarlierContent) {
  CXMLNode root("QVS");
  root.CreateNode("Old");
  root.CreateAttribute("old", "1");
  root.CreateData("old");
  ASSERT_TRUE(ReadText(root, "replace.qvs", "<QVS new=\"2\"><New /></QVS>").ok);
  ASSERT_EQ(1, root.NodeCount());
  EXPECT_EQ("New", root.GetNode(0)->GetName().str());
  EXPECT_EQ(1, root.AttributeCount());
  EXPECT_EQ("2", root.GetAttribute("new", "").str());
  EXPECT_EQ("", root.GetData().str());
}

TEST(XmlRead, UnnamedNodeReadsTheWholeTextAsElementTop) {
  CXMLNode node;
  ASSERT_TRUE(ReadText(node, "unnamed.txt", "<a x=\"1\" />\n<b>t</b>").ok);
  EXPECT_EQ("top", node.GetName().str());
  EXPECT_FALSE(node.IsStore());
  ASSERT_EQ(2, node.NodeCount());
  EXPECT_EQ("a", node.GetNode(0)->GetName().str());
  EXPECT_EQ("1", node.GetNode(0)->GetAttribute("x", "").str());
  EXPECT_EQ("t", node.GetNode(1)->GetData().str());
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

TEST(XmlRead, SuccessClearsTheEarlierError) {
  CXMLNode root("QVS");
  EXPECT_FALSE(root.ReadFromFile(""));
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/document.qvs")));
  EXPECT_EQ("", root.GetNodeError().str());
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
  EXPECT_EQ("c", node.GetName().str());
  EXPECT_EQ(0, node.AttributeCount());
  EXPECT_EQ("t", node.GetData().str());
  pos = 2;
  EXPECT_FALSE(node.ExecuteNode("<c>t</c>", pos));
  EXPECT_EQ(2, pos);
  pos = 9;
  EXPECT_FALSE(node.ExecuteNode("<c>t</c>", pos));
}

TEST(XmlRead, ExecuteNodeMayParseTheNodesOwnData) {
  CXMLNode node("Attachment");
  node.CreateNode("old");
  node.CreateData("<QVS><Doc v=\"1\" /></QVS>");
  int pos = 1;
  ASSERT_TRUE(node.ExecuteNode(node.GetData(), pos));
  EXPECT_EQ("QVS", node.GetName().str());
  ASSERT_EQ(1, node.NodeCount());
  EXPECT_EQ("1", node.GetNode(0)->GetAttribute("v", "").str());
}

// --- Leniency -------------------------------------------------------------

TEST(XmlLenient, OpeningQuoteIsNotChecked) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "quote1.qvs", "<QVS a=x12\" b=\"7\" />").ok);
  EXPECT_EQ("12", root.GetAttribute("a", "").str());
  EXPECT_EQ("7", root.GetAttribute("b", "").str());
  // A single quote opens too, but only a double quote closes: the value
  // runs on to the first double quote, and b's value becomes stray text.
  ASSERT_TRUE(ReadText(root, "quote2.qvs", "<QVS a='5' b=\"7\" />").ok);
  ASSERT_EQ(1, root.AttributeCount());
  EXPECT_EQ("5' b=", root.GetAttribute("a", "").str());
}

TEST(XmlLenient, EndTagNameIsNotCompared) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "endtag.qvs", "<QVS><a>x</b><c /></Other>").ok);
  ASSERT_EQ(2, root.NodeCount());
  EXPECT_EQ("x", root.GetNode(0)->GetData().str());
  EXPECT_EQ("c", root.GetNode(1)->GetName().str());
}

TEST(XmlLenient, StrayTextBetweenChildrenIsSkipped) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "stray.qvs",
                       "<QVS>\n  junk = \"x\" /> <a />more junk\n  <b /> tail </QVS>")
                  .ok);
  EXPECT_EQ("", root.GetData().str());  // the body begins with a line break
  ASSERT_EQ(2, root.NodeCount());
  EXPECT_EQ("a", root.GetNode(0)->GetName().str());
  EXPECT_EQ("b", root.GetNode(1)->GetName().str());
  EXPECT_EQ(0, root.GetNode(0)->AttributeCount());
}

TEST(XmlLenient, TextBeforeTheRootIsSkipped) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "before.qvs", "<x><QVS a=\"1\"></QVS>\n<QVS><b /></QVS>").ok);
  // "<QVS>" is looked for first, so the second element is the one read.
  EXPECT_EQ(0, root.AttributeCount());
  ASSERT_EQ(1, root.NodeCount());
  EXPECT_EQ("b", root.GetNode(0)->GetName().str());
}

TEST(XmlLenient, AttributeValuesLoseOuterBlanksUnlessSafe) {
  CXMLNode out("QVS");
  out.CreateAttribute("plain", "  two  ");
  out.AttributeSafe("safe", "  two  ");
  EXPECT_EQ("++two++", out.GetAttribute("safe", "").str());
  const std::string path = ScratchDir() + "blanks.qvs";
  ASSERT_TRUE(out.WriteToFile(path));
  CXMLNode in("QVS");
  ASSERT_TRUE(in.ReadFromFile(path));
  EXPECT_EQ("two", in.GetAttribute("plain", "").str());
  EXPECT_EQ("  two  ", in.AttributeSafe("safe", "").str());
}

TEST(XmlLenient, TabOrLineBreakBelongsToTheName) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "tab.qvs", "<QVS x=\"1\"\ty=\"2\"\nz=\"3\">\n<a\tb=\"1\">t</a>\n</QVS>").ok);
  ASSERT_EQ(3, root.AttributeCount());
  EXPECT_EQ("1", root.GetAttribute("x", "").str());
  EXPECT_EQ("2", root.GetAttribute("\ty", "").str());
  EXPECT_EQ("3", root.GetAttribute("\nz", "").str());
  ASSERT_EQ(1, root.NodeCount());
  EXPECT_EQ("a\tb=\"1\"", root.GetNode(0)->GetName().str());
  EXPECT_EQ("t", root.GetNode(0)->GetData().str());
}

TEST(XmlLenient, SlashWithoutBlankIsPartOfTheName) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "slash1.qvs", "<QVS><a/></a></QVS>").ok);
  ASSERT_EQ(1, root.NodeCount());
  EXPECT_EQ("a/", root.GetNode(0)->GetName().str());
  // "<a/>" opens an element that the next end tag closes, so the root's own
  // end tag is used up and the text ends before it.
  const ReadResult r = ReadText(root, "slash2.qvs", "<QVS><a/><b /></QVS>");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(WrongFormat(r.path), root.GetError().str());
}

TEST(XmlLenient, EntitiesAreKeptAsWritten) {
  CXMLNode root("QVS");
  ASSERT_TRUE(ReadText(root, "amp.qvs", "<QVS v=\"&quot;&lt;\">a &amp; b &#38;</QVS>").ok);
  EXPECT_EQ("&quot;&lt;", root.GetAttribute("v", "").str());
  EXPECT_EQ("a &amp; b &#38;", root.GetData().str());
}

TEST(XmlLenient, LeafRoundTripsButDataAfterALineBreakIsLost) {
  CXMLNode out("QVS");
  out.CreateNode("leaf");
  out.CreateNode("blanks")->CreateData("   three blanks");
  out.CreateNode("broken")->CreateData("\nafter a break");
  const std::string path = ScratchDir() + "leafdata.qvs";
  ASSERT_TRUE(out.WriteToFile(path));
  CXMLNode in("QVS");
  ASSERT_TRUE(in.ReadFromFile(path));
  ASSERT_EQ(3, in.NodeCount());
  EXPECT_EQ(0, in.GetNode(0)->NodeCount());
  EXPECT_EQ("", in.GetNode(0)->GetData().str());
  EXPECT_EQ("   three blanks", in.GetNode(1)->GetData().str());
  EXPECT_EQ("", in.GetNode(2)->GetData().str());
}

TEST(XmlLenient, EveryRuleInOneFile) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromFile(TestData("xml/lenient.qvs"))) << root.GetNodeError().str();
  ASSERT_EQ(3, root.NodeCount());
  EXPECT_EQ("3", root.GetNode(0)->GetAttribute("ver", "").str());
  CXMLNode* doc = root.GetNode(1);
  EXPECT_EQ("Doc", doc->GetName().str());
  EXPECT_EQ("padded", doc->GetAttribute("name", "").str());
  EXPECT_EQ("  data with leading blanks", doc->GetData().str());
  CXMLNode* cmps = root.GetNode(2);
  EXPECT_EQ("Cmps\tcount=\"2\"", cmps->GetName().str());
  EXPECT_EQ(0, cmps->AttributeCount());
  ASSERT_EQ(1, cmps->NodeCount());
  CXMLNode* cmp = cmps->GetNode(0);
  EXPECT_EQ("1", cmp->GetAttribute("a", "").str());
  EXPECT_EQ("2", cmp->GetAttribute("\tb", "").str());
}

// --- Format errors -------------------------------------------------------

TEST(XmlFormatError, FileWithoutTheRootElement) {
  CXMLNode root("QVS");
  const std::string path = TestData("xml/wrong_root.qvs");
  EXPECT_FALSE(root.ReadFromFile(path));
  EXPECT_EQ(WrongFormat(path), root.GetError().str());
  EXPECT_EQ(WrongFormat(path), root.GetNodeError().str());
  const ReadResult r = ReadText(root, "lookalike.qvs", "<QVSX></QVSX>\n<QVS\t/>\n<qvs />");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(WrongFormat(r.path), root.GetError().str());
}

TEST(XmlFormatError, TextEndsInsideTheAttributeList) {
  CXMLNode root("QVS");
  const std::string path = TestData("xml/truncated_attributes.qvs");
  EXPECT_FALSE(root.ReadFromFile(path));
  EXPECT_EQ(WrongFormat(path), root.GetError().str());
  for (const char* text : {"<QVS a", "<QVS a=", "<QVS a=\"1", "<QVS><b c=\"1\" d"}) {
    const ReadResult r = ReadText(root, "attr.qvs", text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(WrongFormat(r.path), root.GetError().str()) << text;
  }
}

TEST(XmlFormatError, TextEndsBeforeAnEndTag) {
  CXMLNode root("QVS");
  const std::string path = TestData("xml/truncated_body.qvs");
  EXPECT_FALSE(root.ReadFromFile(path));
  EXPECT_EQ(WrongFormat(path), root.GetError().str());
  for (const char* text : {"<QVS>data", "<QVS><a>", "<QVS><a></a>", "<QVS></QVS",
                           "<QVS><", "<QVS><a b=\"1\">"}) {
    const ReadResult r = ReadText(root, "body.qvs", text);
    EXPECT_FALSE(r.ok) << text;
    EXPECT_EQ(WrongFormat(r.path), root.GetError().str()) << text;
  }
}

TEST(XmlFormatError, UnnamedNodeNeedsBalancedText) {
  CXMLNode node;
  const ReadResult r = ReadText(node, "unbalanced.txt", "<a>");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(WrongFormat(r.path), node.GetError().str());
}

// --- Depth ---------------------------------------------------------------

namespace {
constexpr int kDeep = 100000;
std::string Nested(bool closed) {
  std::string s = "<QVS>";
  for (int i = 0; i < kDeep; ++i) s += "<a>";
  if (closed)
    for (int i = 0; i < kDeep; ++i) s += "</a>";
  return s + "</QVS>";
}
}  // namespace

TEST(XmlDepth, HundredThousandNestedElementsRead) {
  CXMLNode root("QVS");
  ASSERT_TRUE(root.ReadFromText(Nested(true), "deep"));
  int depth = 0;
  for (CXMLNode* n = root.GetNode(0); n; n = n->GetNode(0)) ++depth;
  EXPECT_EQ(kDeep, depth);
}

TEST(XmlDepth, HundredThousandUnclosedElementsAreAFormatError) {
  CXMLNode root("QVS");
  EXPECT_FALSE(root.ReadFromText(Nested(false), "deep"));
  EXPECT_EQ("deep : wrong file format", root.GetError().str());
}
