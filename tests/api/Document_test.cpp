// Opening, closing and saving circuit documents through the C interface.
// Handles come from one process-wide counter shared with every other test
// in the binary, so the tests compare handles with each other, never with
// fixed numbers.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ApiTest.h"
#include "TestData.h"
#include "api/CallFrame.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "qvs_dll.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int Open(const std::string& path) { return QVS_Open(const_cast<char*>(path.c_str())); }
int SaveAs(int h, const std::string& path) { return QVS_SaveAs(h, const_cast<char*>(path.c_str())); }
std::string Error() { return QVS_GetError(); }

TEST(Document, OpenFailuresGiveTheirTextsAndUseNoHandle) {
  const std::string missing = TestData("doc/missing.qvs");
  const std::string noroot = TestData("doc/noroot.qvs");
  const std::string truncated = TestData("doc/truncated.qvs");
  const std::string binary = ScratchDir() + "binary.qvs";
  WriteBytes(binary, std::string("\x7f" "ELF\0\0\x01\x02<\xff\xfe QVS", 16));
  const struct {
    std::string name;
    std::string error;
  } cases[] = {
      {"", "QVS_Open: no file name"},
      {missing, "QVS_Open: cannot open file " + missing + "\nCannot open file"},
      {noroot, "QVS_Open: cannot open file " + noroot + "\n" + noroot + " : wrong file format"},
      {truncated,
       "QVS_Open: cannot open file " + truncated + "\n" + truncated + " : wrong file format"},
      {binary, "QVS_Open: cannot open file " + binary + "\n" + binary + " : wrong file format"},
  };
  const int first = Open(TestData("doc/minimal.qvs"));
  ASSERT_GE(first, 0) << Error();
  for (const auto& c : cases) {
    EXPECT_EQ(-1, Open(c.name)) << c.name;
    EXPECT_EQ(c.error, Error());
  }
  EXPECT_FAILS(QVS_Open(nullptr), "QVS_Open: NULL pointer");
  EXPECT_EQ(-1, Open(TestData("doc/ver2.qvs")));
  EXPECT_EQ(0u, Error().find("QVS_Open: error converting from Ver.2: ")) << Error();

  // None of the failures took a handle.
  const int second = Open(TestData("doc/minimal.qvs"));
  EXPECT_EQ(first + 1, second);
  EXPECT_EQ("OK", Error());
  EXPECT_EQ(0, QVS_Close(first));
  EXPECT_EQ(0, QVS_Close(second));
}

TEST(Document, NameWithoutExtensionGetsQvs) {
  const std::string dir = ScratchDir();
  const std::string text = ReadBytes(TestData("doc/minimal.qvs"));
  WriteBytes(dir + "plain.qvs", text);
  WriteBytes(dir + "other.txt", text);
  const int a = Open(dir + "plain");
  ASSERT_GE(a, 0) << Error();
  EXPECT_EQ(dir + "plain.qvs", dll_get_doc(a)->FileName().str());
  const int b = Open(dir + "other.txt");  // any extension is taken as given
  EXPECT_GE(b, 0) << Error();
  EXPECT_EQ(-1, Open(dir + "other"));
  QVS_Close(a);
  QVS_Close(b);
}

TEST(Document, SecondCloseIsAWrongHandle) {
  const int h = Open(TestData("doc/minimal.qvs"));
  ASSERT_GE(h, 0) << Error();
  EXPECT_EQ(0, QVS_Close(h));
  EXPECT_EQ("OK", Error());
  EXPECT_FAILS(QVS_Close(h), "QVS_Close: wrong circuit handle");
  EXPECT_FAILS(QVS_Save(h), "QVS_Save: wrong circuit handle");
}

TEST(Document, SavesAreStableAndKeepWhatIsNotInterpreted) {
  const std::string dir = ScratchDir();
  const int h = Open(TestData("doc/full.qvs"));
  ASSERT_GE(h, 0) << Error();
  ASSERT_EQ(0, SaveAs(h, dir + "a.qvs")) << Error();
  ASSERT_EQ(0, SaveAs(h, dir + "b.qvs")) << Error();
  EXPECT_EQ("OK", Error());
  const std::string a = ReadBytes(dir + "a.qvs");
  EXPECT_EQ(a, ReadBytes(dir + "b.qvs"));
  // SaveAs does not move the document to the new name.
  EXPECT_EQ(TestData("doc/full.qvs"), dll_get_doc(h)->FileName().str());
  QVS_Close(h);

  const int h2 = Open(dir + "a.qvs");
  ASSERT_GE(h2, 0) << Error();
  ASSERT_EQ(0, SaveAs(h2, dir + "c.qvs"));
  EXPECT_EQ(a, ReadBytes(dir + "c.qvs"));
  QVS_Close(h2);

  // The drawing, the unknown "Properties" attributes, the trace lists and
  // the libraries travel untouched; the components are all there.
  for (const char* kept :
       {"<wire p1=\"10,10\" p2=\"40,10\" />", "author=\"hand+made\"", "<VC center_x=\"0\"",
        "<Library name=\"%2fusr%2fshare%2fqvs\" />", "name=\"R1\" type=\"V\" color=\"255,0,0\"",
        "fmr=\"20\"", "ID=\"77\""})
    EXPECT_NE(std::string::npos, a.find(kept)) << kept;
  for (const char* cmp : {"name=\"R1\"", "name=\"R2\"", "name=\"R3\"", "name=\"R4\"", "name=\"C1\""})
    EXPECT_NE(std::string::npos, a.find(cmp)) << cmp;
}

TEST(Document, ParametersAndSettingsReadBackAfterASave) {
  const std::string dir = ScratchDir();
  // Values from the formulas: 10k, twice R1, 100u.
  const struct {
    const char* name;
    double value;
  } params[] = {{"R1.R", 1e4},   {"R2.R", 2e4},  {"C1.C", 1e-4},        {"C1.IC", 1.5},
                {"R4.R", 1e3},   {"R4.Position", 0.25}, {"R3.pwl", 0}};
  std::string before[std::size(params)];
  const int h0 = Open(TestData("doc/full.qvs"));
  ASSERT_GE(h0, 0) << Error();
  for (std::size_t i = 0; i < std::size(params); ++i) {
    CParam* param = dll_get_doc(h0)->Cmps()->GetCmpParam(params[i].name);
    ASSERT_NE(nullptr, param) << params[i].name;
    before[i] = param->GetText().str();
  }
  EXPECT_EQ("0.001,1,0.01", before[6]);
  ASSERT_EQ(0, SaveAs(h0, dir + "params.qvs"));
  QVS_Close(h0);
  // A formula beginning with "=" is kept; any other was evaluated once
  // when the document opened and only its value is left.
  const std::string saved = ReadBytes(dir + "params.qvs");
  for (const char* text : {"r_str=\"%3d2*R1.R\"", "pwl=\"0.001,1,0.01\""})
    EXPECT_NE(std::string::npos, saved.find(text)) << text;
  for (const char* text : {"r_str=\"10k\"", "c_str=", "p_str="})
    EXPECT_EQ(std::string::npos, saved.find(text)) << text;

  const int h = Open(dir + "params.qvs");
  ASSERT_GE(h, 0) << Error();
  CDoc* doc = dll_get_doc(h);
  ASSERT_NE(nullptr, doc);
  CCmps* cmps = doc->Cmps();
  ASSERT_EQ(5, cmps->Count());
  for (std::size_t i = 0; i < std::size(params); ++i) {
    CParam* param = cmps->GetCmpParam(params[i].name);
    ASSERT_NE(nullptr, param) << params[i].name;
    EXPECT_EQ(before[i], param->GetText().str()) << params[i].name;
    if (params[i].value != 0) {
      EXPECT_DOUBLE_EQ(params[i].value, param->GetDoubleValue()) << params[i].name;
    }
  }
  CCmp* r1 = cmps->GetCmp(AnsiString("R1"));
  EXPECT_EQ("dividers", r1->GroupName().str());
  EXPECT_TRUE(r1->GroupIC());
  EXPECT_EQ("upper leg", r1->Description().str());
  CCmp* r3 = cmps->GetCmp(AnsiString("R3"));
  EXPECT_EQ(MC_PWL, r3->Model());
  EXPECT_EQ("edit text", r3->PwlFile().str());
  EXPECT_EQ(2, r3->PwlMode());
  EXPECT_DOUBLE_EQ(1e-6, doc->TranSettings().step);
  EXPECT_EQ(30, doc->Advanced().to);
  EXPECT_EQ(3, doc->Advanced().step_mode);
  EXPECT_EQ(4, doc->FreqSettings().id);
  ASSERT_EQ(2, doc->Libraries().Count());
  EXPECT_EQ("/usr/share/qvs", doc->Libraries()[1].str());

  // The present step and time-out are what a save writes.
  doc->TranSettings().step = 2e-6;
  doc->Advanced().to = 7;
  ASSERT_EQ(0, QVS_Save(h));
  QVS_Close(h);
  const int h2 = Open(dir + "params.qvs");
  ASSERT_GE(h2, 0);
  EXPECT_DOUBLE_EQ(2e-6, dll_get_doc(h2)->TranSettings().step);
  EXPECT_EQ(7, dll_get_doc(h2)->Advanced().to);
  QVS_Close(h2);
}

TEST(Document, UnknownTypeAndModelLoadTheRest) {
  const std::string dir = ScratchDir();
  const int h = Open(TestData("doc/unknown.qvs"));
  ASSERT_GE(h, 0) << Error();
  CDoc* doc = dll_get_doc(h);
  EXPECT_EQ(2, doc->Cmps()->Count());
  CCmp* r1 = doc->Cmps()->GetCmp(AnsiString("R1"));
  ASSERT_NE(nullptr, r1);
  EXPECT_EQ(MC_R, r1->Model());
  EXPECT_EQ(1, r1->Node(0));
  ASSERT_NE(nullptr, doc->Cmps()->GetCmp(AnsiString("C1")));
  EXPECT_EQ(0, doc->FreqSettings().alg);
  EXPECT_EQ(
      "Unknown component type = Q_NOSUCH\nR1 : unknown model = Zz\nZ-transform method not supported",
      doc->Tree()->GetNodeError().str());
  ASSERT_EQ(0, SaveAs(h, dir + "known.qvs"));
  const std::string saved = ReadBytes(dir + "known.qvs");
  EXPECT_EQ(std::string::npos, saved.find("Q_NOSUCH"));
  EXPECT_NE(std::string::npos, saved.find("model=\"R\""));
  QVS_Close(h);
}

TEST(Document, SaveFailuresNameTheFile) {
  const std::string dir = ScratchDir() + "gone/";
  std::filesystem::create_directory(dir);
  WriteBytes(dir + "f.qvs", ReadBytes(TestData("doc/minimal.qvs")));
  const int h = Open(dir + "f.qvs");
  ASSERT_GE(h, 0) << Error();
  std::filesystem::remove_all(dir);
  EXPECT_FAILS(QVS_Save(h), "QVS_Save: cannot save file " + dir + "f.qvs");
  EXPECT_FAILS(SaveAs(h, dir + "g.qvs"), "QVS_SaveAs: cannot save file " + dir + "g.qvs");
  EXPECT_FAILS(SaveAs(h, ""), "QVS_SaveAs: no file name");
  EXPECT_FAILS(QVS_SaveAs(h, nullptr), "QVS_SaveAs: NULL pointer");
  EXPECT_EQ(0, QVS_Close(h));
}

// One component of every registered type, a label and a variable, each
// class with its default values, written as a document: it opens with nothing reported, keeps
// every component and saves to stable bytes.
TEST(Document, EveryRegisteredTypeRoundTrips) {
  const std::string dir = ScratchDir();
  {
    CDoc doc;
    for (int i = 0; i < ElemSet.Count(); ++i)
      ASSERT_NE(nullptr, doc.Cmps()->AddCmp(ElemSet.GetElemType(i)->name))
          << ElemSet.GetElemType(i)->name;
    ASSERT_GE(doc.Cmps()->AddLabel("in"), 0);
    ASSERT_GE(doc.Cmps()->AddVariable("k"), 0);
    CXMLNode root("QVS");
    root.CreateNode("Version")->CreateAttributeInt("ver", 3);
    ASSERT_TRUE(doc.SerializeDoc(root.CreateNode("Doc"), false, false));
    ASSERT_TRUE(root.WriteToFile(dir + "all.qvs"));
  }
  const int h = Open(dir + "all.qvs");
  ASSERT_GE(h, 0) << Error();
  EXPECT_EQ(ElemSet.Count() + 2, dll_get_doc(h)->Cmps()->Count());
  EXPECT_EQ("", dll_get_doc(h)->Tree()->GetNodeError().str());
  ASSERT_EQ(0, SaveAs(h, dir + "all_a.qvs"));
  ASSERT_EQ(0, SaveAs(h, dir + "all_b.qvs"));
  QVS_Close(h);
  const std::string a = ReadBytes(dir + "all_a.qvs");
  EXPECT_EQ(a, ReadBytes(dir + "all_b.qvs"));
  // Loading and storing lost nothing: the saved file is the written one.
  EXPECT_EQ(ReadBytes(dir + "all.qvs"), a);
  const int h2 = Open(dir + "all_a.qvs");
  ASSERT_GE(h2, 0) << Error();
  ASSERT_EQ(0, SaveAs(h2, dir + "all_c.qvs"));
  QVS_Close(h2);
  EXPECT_EQ(a, ReadBytes(dir + "all_c.qvs"));
}

}  // namespace
