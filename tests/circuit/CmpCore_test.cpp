// The attributes every component element shares: names, order, the
// conditions under which they are written, and loading them back.

#include <string>
#include <vector>

#include "TestElem.h"

namespace {

// The attribute names of node, in order, joined by blanks.
std::string AttrNames(const CXMLNode& node) {
  std::string s;
  AnsiString name, value;
  for (int i = 0; node.GetAttribute(i, &name, &value); ++i) s += (i ? " " : "") + name.str();
  return s;
}

// The attribute pairs of node, in order, as name=value joined by blanks.
std::string AttrPairs(const CXMLNode& node) {
  std::string s;
  AnsiString name, value;
  for (int i = 0; node.GetAttribute(i, &name, &value); ++i)
    s += (i ? " " : "") + name.str() + "=" + value.str();
  return s;
}

std::string Attr(const CXMLNode& node, const char* name) {
  return node.GetAttribute(name, "<absent>").str();
}

// The shared attributes of a component as read back, joined by "|".
std::string Core(CTestElem& c) {
  std::string s = c.Name().str() + "|" + std::to_string(c.Id()) + "|" + c.Description().str() +
                  "|" + std::to_string(c.View()) + "|" + c.GroupName().str() +
                  (c.GroupIC() ? "|ic|" : "|no ic|");
  for (int i = 0; i < c.PinCount(); ++i) s += std::to_string(c.Node(i)) + " ";
  return s + "|" + std::to_string(c.Model()) + "|" + c.PwlText().str() + "|" +
         c.PwlFile().str() + "|" + std::to_string(c.PwlMode());
}

// node written to text and read back, as a file would give it.
std::unique_ptr<CXMLNode> Reread(const CXMLNode& node) {
  AnsiString text;
  node.WriteToString(text);
  auto loaded = std::make_unique<CXMLNode>("Cmp");
  EXPECT_TRUE(loaded->ReadFromText(text, "Cmp")) << text.str();
  return loaded;
}

class CmpCoreTest : public CircuitTest {};

TEST_F(CmpCoreTest, StoresSharedAttributesInOrderAndLoadsThemBack) {
  CTestElem* r = Add();
  r->SetName("R in");
  r->SetId(7);
  r->SetDescription("load, 5%");
  r->SetView(2);
  r->SetGroupName("g 1");
  r->SetGroupIC(true);
  r->SetNode(0, 4);
  r->SetNode(1, -1);
  r->SetModel(MC_PWL);
  r->PwlText() = "0,0,1,2";
  r->PwlFile() = "tab le.txt";
  r->SetPwlMode(3);

  CXMLNode stored("Cmp");
  ASSERT_TRUE(r->SerializeCmpCore(&stored, false));
  EXPECT_EQ("type=R_R id=7 name=R+in descr=load%2c+5%25 view=2 group=g+1 group_ic=true node0=4 "
            "node1=-1 model=PWL pwl=0,0,1,2 pwlf=tab+le.txt pwlm=3",
            AttrPairs(stored));
  EXPECT_EQ(0, stored.NodeCount());

  auto loaded = Reread(stored);
  CTestElem fresh(&m_elemtype_test_r[0]);
  ASSERT_TRUE(fresh.SerializeCmpCore(loaded.get(), false));
  EXPECT_EQ("R in|7|load, 5%|2|g 1|ic|4 -1 |" + std::to_string(MC_PWL) + "|0,0,1,2|tab le.txt|3",
            Core(fresh));
  EXPECT_TRUE(loaded->GetNodeError().IsEmpty());
}

TEST_F(CmpCoreTest, GroupAndPwlAttributesOnlyWhenTheyApply) {
  CTestElem* r = Add();
  r->PwlText() = "1,1";  // model R: the table texts stay out of the element
  CXMLNode plain("Cmp");
  r->SerializeCmpCore(&plain, false);
  EXPECT_EQ("type id name descr view node0 node1 model", AttrNames(plain));
  EXPECT_EQ("R", Attr(plain, "model"));

  r->SetGroupName("g");
  CXMLNode grouped("Cmp");
  r->SerializeCmpCore(&grouped, false);
  EXPECT_EQ("type id name descr view group node0 node1 model", AttrNames(grouped));

  // Loading an element without group clears a group the component had.
  auto loaded = Reread(plain);
  r->SetGroupIC(true);
  r->SerializeCmpCore(loaded.get(), false);
  EXPECT_TRUE(r->GroupName().IsEmpty());
  EXPECT_FALSE(r->GroupIC());
}

TEST_F(CmpCoreTest, ModelOnlyLeavesIdentityAndNodesAlone) {
  CTestElem* r = Add();
  r->SetModel(MC_PWL);
  r->PwlText() = "0,1";
  CXMLNode stored("Cmp");
  r->SerializeCmpCore(&stored, true);
  EXPECT_EQ("model pwl pwlf pwlm", AttrNames(stored));

  CXMLNode full("Cmp");
  r->SerializeCmpCore(&full, false);
  auto loaded = Reread(full);
  CTestElem* other = Add();
  other->SetNode(0, 9);
  const AnsiString name = other->Name();
  const int id = other->Id();
  other->SerializeCmpCore(loaded.get(), true);
  EXPECT_EQ(name.str(), other->Name().str());
  EXPECT_EQ(id, other->Id());
  EXPECT_EQ(9, other->Node(0));
  EXPECT_EQ(MC_PWL, other->Model());
  EXPECT_EQ("0,1", other->PwlText().str());
}

TEST_F(CmpCoreTest, UnknownModelIsRecordedAndTheFirstModelTaken) {
  const struct {
    const char* model;
  } cases[] = {{"Zz"}, {"r"}, {""}};
  for (const auto& c : cases) {
    CXMLNode node("Cmp");
    ASSERT_TRUE(node.ReadFromText(std::string("<Cmp name=\"R5\" model=\"") + c.model + "\"/>", "t"));
    CTestElem cmp(&m_elemtype_test_r[0]);
    cmp.SetModel(MC_FILE);
    EXPECT_TRUE(cmp.SerializeCmpCore(&node, false));
    EXPECT_EQ(MC_R, cmp.Model()) << c.model;
    EXPECT_EQ(std::string("R5 : unknown model = ") + c.model, node.GetError().str());
  }
  // A known model records nothing.
  CXMLNode node("Cmp");
  ASSERT_TRUE(node.ReadFromText("<Cmp name=\"R5\" model=\"File\"/>", "t"));
  CTestElem cmp(&m_elemtype_test_r[0]);
  cmp.SerializeCmpCore(&node, false);
  EXPECT_EQ(MC_FILE, cmp.Model());
  EXPECT_TRUE(node.GetError().IsEmpty());
}

TEST_F(CmpCoreTest, AttachmentInItsThreeForms) {
  // The writer's compact form closes an empty element with " />".
  const std::string doc = "<QVS><Doc><Cir a=\"1\" /></Doc></QVS>";
  const struct {
    int model;
    std::string text;
    int children;      // element children of "Attachment"
    std::string data;  // its data as stored
  } cases[] = {
      {MC_SUBCIR, "<?xml version=\"1.0\"?>\n" + doc, 1, ""},
      {MC_DLL, "7f454c46", 0, "7f454c46"},
      {MC_FILE, "0 1\n<2>", 0, "0+1%0a%3c2%3e"},
  };
  for (const auto& c : cases) {
    CTestElem cmp(&m_elemtype_test_r[0]);
    cmp.SetModel(c.model);
    cmp.SetAttachment(c.text);
    CXMLNode stored("Cmp");
    cmp.SerializeCmpCore(&stored, false);
    CXMLNode* att = stored.GetNode("Attachment", 0);
    ASSERT_NE(nullptr, att) << c.model;
    EXPECT_EQ(c.children, att->NodeCount()) << c.model;
    EXPECT_EQ(c.data, att->GetData().str()) << c.model;

    auto loaded = Reread(stored);
    CTestElem fresh(&m_elemtype_test_r[0]);
    fresh.SerializeCmpCore(loaded.get(), false);
    ASSERT_TRUE(fresh.HasAttachment()) << c.model;
    // The embedded document comes back as its compact text.
    EXPECT_EQ(c.model == MC_SUBCIR ? doc : c.text, fresh.AttachmentText().str()) << c.model;
  }
  CTestElem none(&m_elemtype_test_r[0]);
  CXMLNode stored("Cmp");
  none.SerializeCmpCore(&stored, false);
  EXPECT_EQ(nullptr, stored.GetNode("Attachment", 0));
}

TEST_F(CmpCoreTest, SubcircuitDataAndCustomPinsRoundTrip) {
  CXMLNode node("Cmp");
  ASSERT_TRUE(node.ReadFromText(
      "<Cmp type=\"X_CUSTOM\" id=\"2\" node0=\"1\" node2=\"5\" model=\"SubCir\">"
      "<Custom pins=\"3\" /><SubCir file=\"a+b.qvs\" label1=\"in\" /></Cmp>",
      "t"));
  CTestElem cmp(&m_elemtype_test_other[1]);
  ASSERT_EQ(0, cmp.PinCount());
  ASSERT_TRUE(cmp.SerializeCmpCore(&node, false));
  // The pin count comes before the node numbers are read.
  ASSERT_EQ(3, cmp.PinCount());
  EXPECT_EQ(1, cmp.Node(0));
  EXPECT_EQ(5, cmp.Node(2));
  EXPECT_EQ(MC_SUBCIR, cmp.Model());
  ASSERT_NE(nullptr, cmp.SubCir());

  CXMLNode stored("Cmp");
  cmp.SerializeCmpCore(&stored, false);
  ASSERT_NE(nullptr, stored.GetNode("Custom", 0));
  ASSERT_NE(nullptr, stored.GetNode("SubCir", 0));
  EXPECT_EQ("a+b.qvs", stored.GetNode("SubCir", 0)->GetAttribute("file", "").str());
  EXPECT_EQ("in", stored.GetNode("SubCir", 0)->GetAttribute("label1", "").str());
  EXPECT_EQ("type id name descr view node0 node1 node2 model", AttrNames(stored));

  // Loaded into a fresh component and stored again: the same element.
  auto loaded = Reread(stored);
  CTestElem fresh(&m_elemtype_test_other[1]);
  fresh.SerializeCmpCore(loaded.get(), false);
  CXMLNode again("Cmp");
  fresh.SerializeCmpCore(&again, false);
  AnsiString first, second;
  stored.WriteToString(first);
  again.WriteToString(second);
  EXPECT_EQ(first.str(), second.str());
}

}  // namespace
