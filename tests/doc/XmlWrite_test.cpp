// The writer's text: indented lines, the compact one-line form, and the
// file with its declaration line.

#include <gtest/gtest.h>

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
}  // namespace

TEST(XmlWrite, ListHasOneLinePerLeafAndIndentsEachLevelByTwo) {
  CXMLNode root("QVS");
  BuildSmallTree(root);
  TStringList list;
  list.Add("before");
  root.WriteToList(list, 0);
  ASSERT_EQ(8, list.Count());
  EXPECT_EQ("before", list[0].str());
  EXPECT_EQ("<QVS ver=\"3\">", list[1].str());
  EXPECT_EQ("  <Doc>", list[2].str());
  EXPECT_EQ("    <Cmp type=\"R_R\" name=\"R1\" />", list[3].str());
  EXPECT_EQ("    <Note>  hello</Note>", list[4].str());
  EXPECT_EQ("  </Doc>", list[5].str());
  EXPECT_EQ("  <Empty />", list[6].str());
  EXPECT_EQ("</QVS>", list[7].str());
}

TEST(XmlWrite, ListStartsAtTheGivenIndent) {
  CXMLNode root("QVS");
  BuildSmallTree(root);
  TStringList list;
  root.WriteToList(list, 4);
  ASSERT_EQ(7, list.Count());
  EXPECT_EQ("    <QVS ver=\"3\">", list[0].str());
  EXPECT_EQ("      <Doc>", list[1].str());
  EXPECT_EQ("        <Cmp type=\"R_R\" name=\"R1\" />", list[2].str());
  EXPECT_EQ("    </QVS>", list[6].str());
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

TEST(XmlWrite, DataOfAnElementWithChildrenIsNotWritten) {
  CXMLNode root("a");
  root.CreateData("lost");
  root.CreateNode("b");
  AnsiString text;
  root.WriteToString(text);
  EXPECT_EQ("<a><b /></a>", text.str());
}

TEST(XmlWrite, ValuesAndDataAreWrittenAsStored) {
  CXMLNode root("a");
  root.CreateAttribute("v", "x>/<y &amp;");
  root.CreateData("1 < 2 & \"q\"");
  AnsiString text;
  root.WriteToString(text);
  EXPECT_EQ("<a v=\"x>/<y &amp;\">1 < 2 & \"q\"</a>", text.str());
}

TEST(XmlWrite, FileHasTheDeclarationAndALineFeedAfterEveryLine) {
  CXMLNode root("QVS");
  BuildSmallTree(root);
  const std::string path = ScratchDir() + "write_small.qvs";
  ASSERT_TRUE(root.WriteToFile(path));
  EXPECT_EQ(
      "<?xml version=\"1.0\"?>\n"
      "<QVS ver=\"3\">\n"
      "  <Doc>\n"
      "    <Cmp type=\"R_R\" name=\"R1\" />\n"
      "    <Note>  hello</Note>\n"
      "  </Doc>\n"
      "  <Empty />\n"
      "</QVS>\n",
      ReadBytes(path));
}

TEST(XmlWrite, FileThatCannotBeCreatedFails) {
  CXMLNode root("QVS");
  EXPECT_FALSE(root.WriteToFile(ScratchDir() + "no_such_dir/x.qvs"));
  EXPECT_FALSE(root.WriteToFile(""));
}
