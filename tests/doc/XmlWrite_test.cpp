// The writer's text: indented lines, the compact one-line form, and the
// file with its declaration line.

#include <gtest/gtest.h>

#include <string>

#include "XmlTestUtil.h"
#include "doc/xml.h"

namespace {
// QVS ver="3"
//   Doc
//     Cmp type="R_R" name="R1"   (no data, no children)
//     Note                        data "  hello"
//   Empty
void BuildSmallTree(CXMLNode& root) {
  root.CreateAttribute("ver", "3");
  CXMLNode* doc = root.CreateNode("Doc");
  CXMLNode* cmp = doc->CreateNode("Cmp");
  cmp->CreateAttribute("type", "R_R");
  cmp->CreateAttribute("name", "R1");
  doc->CreateNode("Note")->CreateData("  hello");
  root.CreateNode("Empty");
}

const char* const kSmallTreeLines[] = {
    "<QVS ver=\"3\">",
    "  <Doc>",
    "    <Cmp type=\"R_R\" name=\"R1\" />",
    "    <Note>  hello</Note>",
    "  </Doc>",
    "  <Empty />",
    "</QVS>",
};
}  // namespace

TEST(XmlWrite, ListHasOneLinePerLeafAndIndentsEachLevelByTwoFromTheGivenIndent) {
  for (int indent : {0, 4}) {
    SCOPED_TRACE("indent " + std::to_string(indent));
    CXMLNode root("QVS");
    BuildSmallTree(root);
    TStringList list;
    list.Add("before");
    root.WriteToList(list, indent);
    ASSERT_EQ(8, list.Count());
    EXPECT_EQ("before", list[0].str());
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(std::string(indent, ' ') + kSmallTreeLines[i], list[i + 1].str());
  }
}

TEST(XmlWrite, StringIsCompactAndAppended) {
  CXMLNode root("QVS");
  BuildSmallTree(root);
  AnsiString text("head:");
  root.WriteToString(text);
  EXPECT_EQ(
      "head:<QVS ver=\"3\"><Doc><Cmp type=\"R_R\" name=\"R1\" /><Note>  hello</Note></Doc>"
      "<Empty /></QVS>",
      text.str());
}

TEST(XmlWrite, ValuesAndDataAreWrittenAsStoredButNotDataBesideChildren) {
  CXMLNode a("a");
  a.CreateAttribute("v", "x>/<y &amp;");
  a.CreateData("1 < 2 & \"q\"");
  EXPECT_EQ("<a v=\"x>/<y &amp;\">1 < 2 & \"q\"</a>", Compact(a));
  a.CreateNode("b");
  EXPECT_EQ("<a v=\"x>/<y &amp;\"><b /></a>", Compact(a));
  TStringList list;
  a.WriteToList(list, 0);
  EXPECT_EQ("<a v=\"x>/<y &amp;\">", list[0].str());
}

TEST(XmlWrite, FileHasTheDeclarationAndALineFeedAfterEveryLine) {
  CXMLNode root("QVS");
  BuildSmallTree(root);
  const std::string path = ScratchDir() + "write_small.qvs";
  ASSERT_TRUE(root.WriteToFile(path));
  std::string expected = "<?xml version=\"1.0\"?>\n";
  for (const char* line : kSmallTreeLines) expected += std::string(line) + "\n";
  EXPECT_EQ(expected, ReadBytes(path));
  EXPECT_FALSE(root.WriteToFile(ScratchDir() + "no_such_dir/x.qvs"));
  EXPECT_FALSE(root.WriteToFile(""));
}
