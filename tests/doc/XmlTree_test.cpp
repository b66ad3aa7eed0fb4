// Structure of the element tree: the store flag and how it spreads, child
// lookup and iteration, moving and clearing, error collection.

#include <gtest/gtest.h>

#include <memory>

#include "XmlTestUtil.h"
#include "doc/xml.h"

TEST(XmlTree, NewNodeStoresAndIsEmpty) {
  CXMLNode unnamed;
  EXPECT_TRUE(unnamed.IsStore());
  EXPECT_EQ("", unnamed.GetName().str());
  CXMLNode root("QVS");
  EXPECT_TRUE(root.IsStore());
  EXPECT_EQ("<QVS />", Compact(root));  // no attributes, data or children
  EXPECT_EQ(nullptr, root.GetNode(0));
  EXPECT_EQ(nullptr, root.GetNode("", 0));
}

TEST(XmlTree, StoreFlagPassesOnThroughCreateNodeAndIndexLookupOnly) {
  CXMLNode root("QVS");
  CXMLNode* a = root.CreateNode("a");
  root.SetStore(false);
  CXMLNode* b = root.CreateNode("b");
  EXPECT_TRUE(a->IsStore());
  EXPECT_FALSE(b->IsStore());
  EXPECT_EQ(a, root.GetNode("a", 0));  // by name: the flag stays
  EXPECT_TRUE(a->IsStore());
  EXPECT_EQ(a, root.GetNode(0));  // by index: the parent's flag
  EXPECT_FALSE(a->IsStore());
  root.SetStore(true);
  EXPECT_EQ(b, root.GetNode(1));
  EXPECT_TRUE(b->IsStore());
  EXPECT_EQ(nullptr, root.GetNode(2));
  EXPECT_EQ(nullptr, root.GetNode(-1));
}

TEST(XmlTree, NameSearchIsExactFromStartAndGetNextNodeContinuesIt) {
  CXMLNode root("QVS");
  CXMLNode* c0 = root.CreateNode("Cmp");
  CXMLNode* c1 = root.CreateNode("cmp");
  CXMLNode* c2 = root.CreateNode("Cmp");
  CXMLNode* c3 = root.CreateNode("Cmp ");
  CXMLNode* c4 = root.CreateNode("");
  EXPECT_EQ(c2, root.GetNode("Cmp", 1));
  EXPECT_EQ(c2, root.GetNode("Cmp", 2));
  EXPECT_EQ(nullptr, root.GetNode("Cmp", 3));
  EXPECT_EQ(nullptr, root.GetNode("CMP", 0));
  EXPECT_EQ(nullptr, root.GetNode("Cm", 0));
  ASSERT_EQ(c0, root.GetNode("Cmp", 0));
  EXPECT_EQ(c2, root.GetNextNode());
  EXPECT_EQ(nullptr, root.GetNextNode());
  EXPECT_EQ(nullptr, root.GetNextNode());  // stays at the end
  // An empty name matches every child, an unnamed one too.
  EXPECT_EQ(c0, root.GetNode("", 0));
  for (CXMLNode* next : {c1, c2, c3, c4}) EXPECT_EQ(next, root.GetNextNode());
  EXPECT_EQ(nullptr, root.GetNextNode());
  EXPECT_EQ(c1, root.GetNode("", 1));
}

TEST(XmlTree, NodeCreatesWhenStoringAndFindsWhenLoading) {
  CXMLNode root("QVS");
  CXMLNode* first = root.Node("Doc");
  CXMLNode* second = root.Node("Doc");
  EXPECT_NE(first, second);
  EXPECT_EQ(2, root.NodeCount());
  EXPECT_TRUE(second->IsStore());
  root.SetStore(false);
  EXPECT_EQ(first, root.Node("Doc"));
  EXPECT_EQ(nullptr, root.Node("Missing"));
  EXPECT_EQ(2, root.NodeCount());
}

TEST(XmlTree, DeleteNodeRemovesOneChildWithItsSubtreeAndRenameNodeRenames) {
  CXMLNode root("QVS");
  root.CreateNode("a")->CreateNode("deep")->CreateNode("deeper");
  CXMLNode* b = root.CreateNode("b");
  root.DeleteNode(5);
  root.DeleteNode(-1);
  EXPECT_EQ(2, root.NodeCount());
  root.DeleteNode(0);
  ASSERT_EQ(1, root.NodeCount());
  b->RenameNode("Cmps");
  EXPECT_EQ(b, root.GetNode("Cmps", 0));
  root.DeleteNode(0);
  EXPECT_EQ(0, root.NodeCount());
  EXPECT_EQ(nullptr, root.GetNode("", 0));
}

TEST(XmlTree, MoveNodeReparentsToTheEndUnlessOwnershipWouldBreak) {
  CXMLNode root("QVS");
  CXMLNode* from = root.CreateNode("from");
  CXMLNode* to = root.CreateNode("to");
  CXMLNode* x = from->CreateNode("x");
  CXMLNode* inner = x->CreateNode("inner");
  CXMLNode* y = from->CreateNode("y");
  to->CreateNode("z");
  EXPECT_FALSE(x->MoveNode(to, from));     // x is not to's child
  EXPECT_FALSE(x->MoveNode(from, inner));  // into its own subtree
  EXPECT_FALSE(x->MoveNode(from, x));
  EXPECT_FALSE(x->MoveNode(nullptr, to));
  EXPECT_EQ(x, from->GetNode(0));
  ASSERT_TRUE(x->MoveNode(from, to));
  ASSERT_EQ(1, from->NodeCount());
  EXPECT_EQ(y, from->GetNode(0));
  ASSERT_EQ(2, to->NodeCount());
  EXPECT_EQ(x, to->GetNode(1));
  EXPECT_EQ(inner, x->GetNode(0));
}

TEST(XmlTree, ClearNodeKeepsOnlyTheNameAndSetsTheStoreFlag) {
  CXMLNode root("QVS");
  root.CreateNode("a")->CreateNode("b");
  root.CreateAttribute("x", "1");
  root.CreateData("text");
  root.SetStore(false);
  root.ClearNode();
  EXPECT_TRUE(root.IsStore());
  EXPECT_EQ("<QVS />", Compact(root));
}

TEST(XmlTree, FindNodePrefersTheTagWithoutAttributes) {
  // 1-based: "<QVS a" starts at 2, the later "<QVS>" at 14.
  EXPECT_EQ(14, CXMLNode::FindNode("x<QVS a=\"1\"/><QVS>", "QVS"));
  EXPECT_EQ(2, CXMLNode::FindNode("x<QVS a=\"1\"/>", "QVS"));
  EXPECT_EQ(1, CXMLNode::FindNode("<QVS>", "QVS"));
  EXPECT_EQ(0, CXMLNode::FindNode("<QVSX> <QVS\t> <qvs>", "QVS"));
  EXPECT_EQ(0, CXMLNode::FindNode("", "QVS"));
}

TEST(XmlTree, NodeErrorListsChildrenDepthFirstThenOwnAndClearsBySubtree) {
  CXMLNode root("QVS");
  root.SetError("root");
  CXMLNode* a = root.CreateNode("a");
  a->SetError("a");
  a->CreateNode("a1")->SetError("a1");
  a->CreateNode("a2");  // no error: not listed
  a->CreateNode("a3")->SetError("a3");
  root.CreateNode("b");
  root.CreateNode("c")->CreateNode("c1")->SetError("c1");
  EXPECT_EQ("a1\na3\na\nc1\nroot", root.GetNodeError().str());
  EXPECT_EQ("a1\na3\na", a->GetNodeError().str());
  EXPECT_EQ("", root.GetNode(1)->GetNodeError().str());
  a->ClearNodeError();
  EXPECT_EQ("c1\nroot", root.GetNodeError().str());
  root.ClearNodeError();
  EXPECT_EQ("", root.GetNodeError().str());
}

// Depth far beyond what recursion on the stack could take: building,
// collecting errors, writing and destroying must all get through.
TEST(XmlTree, VeryDeepTreeIsWalkedAndDestroyedWithoutRecursion) {
  constexpr int kDepth = 200000;
  auto root = std::make_unique<CXMLNode>("QVS");
  CXMLNode* n = root.get();
  for (int i = 0; i < kDepth; ++i) n = n->CreateNode("a");
  n->SetError("bottom");
  root->SetError("top");
  EXPECT_EQ("bottom\ntop", root->GetNodeError().str());
  root->ClearNodeError();
  EXPECT_EQ("", root->GetNodeError().str());
  AnsiString text;
  root->WriteToString(text);
  // "<QVS>" + kDepth * "<a>" ... the innermost "<a />" ... closing tags.
  EXPECT_EQ(5 + (kDepth - 1) * 3 + 5 + (kDepth - 1) * 4 + 6, text.Length());
  root.reset();
}
