// A hand-written document with a component of every registered type (most
// in a model other than their first, with values other than a new
// component's), labels, variables, groups, formulas that name other
// parameters, custom pin types, transient and AC traces and a drawing. It
// opens through the C interface without a reported problem, its parameters
// read as the file wrote them, and saving is stable: two saves give one
// file, and a saved file opened and saved again gives the same bytes.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestData.h"
#include "api/CallFrame.h"
#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/CustomType.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "doc/xml.h"
#include "elements/ElemCode.h"
#include "elements/ElemDll.h"
#include "qvs_dll.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Open(const std::string& path) { return QVS_Open(const_cast<char*>(path.c_str())); }
int SaveAs(int h, const std::string& path) {
  return QVS_SaveAs(h, const_cast<char*>(path.c_str()));
}

const std::string& DocPath() {
  static const std::string path = TestData("doc/all_classes.qvs");
  return path;
}

// The three readings of a parameter: the display text, the library text
// ("" after a failure) and the library value (NaN where the kind has none).
struct SReading {
  std::string text, dll_text;
  double value;
};

SReading Read(CParam* p) {
  SReading r;
  r.text = p->GetText().str();
  std::vector<char> buffer(4096);
  r.dll_text = p->GetDLLParamText(buffer.data(), static_cast<int>(buffer.size())) > 0
                   ? std::string(buffer.data())
                   : std::string();
  double v = 0.0;
  r.value = p->GetDLLParamValue(&v) == 0 ? v : std::nan("");
  return r;
}

// Every parameter of the present model of every component, one line each,
// with its three readings; then each component's pins: the pin count, the
// node numbers and (custom types) the pin names.
std::string Snapshot(CCmps& cmps) {
  std::string out;
  for (int i = 0; i < cmps.Count(); ++i) {
    CCmp* c = cmps.GetAt(i);
    const std::string name = c->Name().str();
    for (CParam* p = c->GetParamsList(); p != nullptr && p->Name() != nullptr; ++p) {
      const SReading r = Read(p);
      char value[64];
      std::snprintf(value, sizeof value, "%.17g", r.value);
      out += name + "." + p->Name() + " [" + r.text + "] [" + r.dll_text + "] " + value + "\n";
    }
    out += name + " " + c->Type()->name + " model " + std::to_string(c->Model()) + " pins";
    for (int k = 0; k < c->PinCount(); ++k) {
      out += " " + std::to_string(c->Node(k));
      if (c->CustomType() != nullptr) out += ":" + c->CustomType()->PinName(k).str();
    }
    out += "\n";
  }
  return out;
}

// The compact text of the element at path under the root of the file.
std::string ElementText(const std::string& file, const std::vector<const char*>& path) {
  CXMLNode root("QVS");
  if (!root.ReadFromFile(file)) return "<unreadable " + file + ">";
  CXMLNode* node = &root;
  for (const char* name : path) {
    node = node->GetNode(name, 0);
    if (node == nullptr) return std::string("<no ") + name + ">";
  }
  AnsiString text;
  node->WriteToString(text);
  return text.str();
}

class AllClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = Open(DocPath());
    ASSERT_GE(handle_, 0) << QVS_GetError();
    doc_ = dll_get_doc(handle_);
    ASSERT_NE(nullptr, doc_);
  }
  void TearDown() override {
    if (handle_ >= 0) QVS_Close(handle_);
  }
  CCmp* Cmp(const char* name) { return doc_->Cmps()->GetCmp(AnsiString(name)); }

  int handle_ = -1;
  CDoc* doc_ = nullptr;
};

TEST_F(AllClasses, EveryRegisteredTypeOpensAndNothingIsReported) {
  EXPECT_EQ("OK", std::string(QVS_GetError()));
  EXPECT_EQ("", doc_->Tree()->GetNodeError().str());
  // One component per registered type, three labels and two variables.
  CCmps* cmps = doc_->Cmps();
  EXPECT_EQ(ElemSet.Count() + 5, cmps->Count());
  std::set<std::string> keys;
  for (int i = 0; i < cmps->Count(); ++i) keys.insert(cmps->GetAt(i)->Type()->name);
  for (int i = 0; i < ElemSet.Count(); ++i)
    EXPECT_EQ(1u, keys.count(ElemSet.GetElemType(i)->name)) << ElemSet.GetElemType(i)->name;
  EXPECT_EQ(1u, keys.count("label"));
  EXPECT_EQ(1u, keys.count("var"));
  // Labels after the elements, variables last.
  EXPECT_EQ("gain", cmps->GetAt(cmps->Count() - 2)->Name().str());
  EXPECT_EQ("k", cmps->GetAt(cmps->Count() - 1)->Name().str());
  EXPECT_TRUE(cmps->GetAt(cmps->Count() - 3)->IsLabel());
}

TEST_F(AllClasses, SharedAttributesAreRead) {
  CCmp* r1 = Cmp("R1");
  ASSERT_NE(nullptr, r1);
  EXPECT_EQ("upper leg", r1->Description().str());
  EXPECT_EQ("divider", r1->GroupName().str());
  EXPECT_TRUE(r1->GroupIC());
  EXPECT_EQ("divider", Cmp("R5")->GroupName().str());
  EXPECT_FALSE(Cmp("R5")->GroupIC());
  EXPECT_EQ(1, Cmp("R2")->View());
  EXPECT_EQ(3, Cmp("Y19")->View());
  EXPECT_EQ(113, Cmp("X13")->Id());
  EXPECT_EQ(MC_PWL, Cmp("R3")->Model());
  EXPECT_EQ("tables/r4.txt", Cmp("R4")->PwlFile().str());
  EXPECT_EQ(2, Cmp("R4")->PwlMode());
  EXPECT_EQ(MC_SOFT, Cmp("D1")->Model());
  EXPECT_EQ(MC_COMPARATOR, Cmp("O2")->Model());
  EXPECT_EQ(MC_ONE_SHOT, Cmp("Y22")->Model());
}

TEST_F(AllClasses, CustomPinsCarryTheNodeNumbers) {
  const struct {
    const char* name;
    const char* pins;  // node:pin name per pin
  } cases[] = {
      {"X12", "2:x1 3:x2 49:y1 50:y[2] 13:clk"},
      {"X13", "2:a 3:b 51:q"},
      {"F5", "2:u 3:v 4:w 27: 13:clk"},
      {"Y15", "13:b1 34:b2 35:b3 36:b4 38:"},
      {"Y16", "13:b1 34:b2 35:b3 38:"},
      {"Y25", "34:b1 35:b2 36:b3 37:b4 38:b5 39:b6 40:b7 41:b8 43:"},
      {"X10", "2:RF 48:IF 0:GND"},
      {"X11", "48:in 0:out"},
      {"L5", "1: 0: 2: 0: 3: 0:"},
      {"W4", "1: 0: 31: 0: 32: 0:"},
  };
  for (const auto& c : cases) {
    CCmp* cmp = Cmp(c.name);
    ASSERT_NE(nullptr, cmp) << c.name;
    ASSERT_NE(nullptr, cmp->CustomType()) << c.name;
    std::string pins;
    for (int i = 0; i < cmp->PinCount(); ++i)
      pins += std::string(i == 0 ? "" : " ") + std::to_string(cmp->Node(i)) + ":" +
              cmp->CustomType()->PinName(i).str();
    EXPECT_EQ(c.pins, pins) << c.name;
  }
  auto* code = static_cast<CElemCode*>(Cmp("X12"));
  EXPECT_EQ(2, code->InputCount());
  EXPECT_EQ(2, code->OutputCount());
  EXPECT_TRUE(code->IsClocked());
  auto* dll = static_cast<CElemDll*>(Cmp("X13"));
  EXPECT_EQ(2, dll->VarCount());
  EXPECT_FALSE(dll->IsClocked());
  EXPECT_STREQ("Mixer", Cmp("X10")->Type()->description);
  EXPECT_STREQ("Parity", Cmp("Y15")->Type()->description);
  EXPECT_EQ(1, Cmp("W4")->CustomType()->PinFlag(2));
  EXPECT_EQ(0, Cmp("W4")->CustomType()->PinFlag(3));
}

TEST_F(AllClasses, ParametersReadAsWritten) {
  const double kNone = std::nan("");
  // name, display text, library text (null: as the display text), library
  // value (NaN: a kind without one). Numbers show in engineering notation
  // with exponents in steps of three; "=" formulas follow what they name.
  const struct {
    const char* name;
    const char* text;
    const char* dll;
    double value;
  } cases[] = {
      {"R1.R", "10e+3", nullptr, 10e3},
      {"R2.R", "4.7e+3", nullptr, 4700},
      {"R2.Position", "300e-3", nullptr, 0.3},
      {"R3.pwl", "0,1e6,5,100", nullptr, kNone},
      {"R5.R", "20e+3", "=2*R1.R", 20e3},
      {"C1.C", "100e-9", nullptr, 100e-9},
      {"C1.IC", "1.5", nullptr, 1.5},
      {"C2.IC", "500e-3", nullptr, 0.5},
      {"C3.IC", "3", "=C1.IC*2", 3},
      {"C4.C", "2.2e-6", nullptr, 2.2e-6},
      {"C4.IC", "", nullptr, kNone},  // left empty: no initial condition
      {"L1.L", "10e-3", nullptr, 0.01},
      {"L3.IC", "-50e-3", nullptr, -0.05},
      {"L4.K12", "900e-3", nullptr, 0.9},
      {"L4.IC2", "-10e-3", nullptr, -0.01},
      {"L5.L3", "3e-3", "=L4.L1*3", 3e-3},
      {"L5.K23", "125e-3", nullptr, 0.125},
      {"L5.IC3", "200e-3", nullptr, 0.2},
      {"L6.IC", "-200e-3", nullptr, -0.2},
      {"D1.ts", "100e-9", nullptr, 100e-9},
      {"D1.IC", "On", nullptr, 1},
      {"D1.ICQ", "2e-9", nullptr, 2e-9},
      {"D2.V", "5.1", nullptr, 5.1},
      {"D2.IC", "Plus", nullptr, 2},
      {"D6.Ihold", "50e-3", nullptr, 0.05},
      {"D7.Threshold", "2.5", nullptr, 2.5},
      {"D9.t", "2e-6", nullptr, 2e-6},
      {"D11.pwl", "2.0, 0.0, 2.0", nullptr, kNone},
      {"V1.V1", "5", nullptr, 5},
      {"V1.Period", "1e-3", nullptr, 1e-3},
      {"V1.Width", "500e-6", nullptr, 500e-6},
      {"V1.Slope", "Cos", nullptr, 1},
      {"V1.Fall", "2e-6", nullptr, 2e-6},
      {"V1.Delay", "100e-6", nullptr, 100e-6},
      {"V2.V1", "3.3", nullptr, 3.3},
      {"V2.Width", "10e-6", nullptr, 10e-6},
      {"V3.K", "20", "=k*10", 20},
      {"V4.dFdI", "1e+3", nullptr, 1000},
      {"V4.V0", "-2", nullptr, -2},
      {"V4.Phase", "90", nullptr, 90},
      {"I1.I1", "1e-3", nullptr, 1e-3},
      {"I1.Phase", "45", nullptr, 45},
      {"I1.Decay", "10", nullptr, 10},
      {"I2.Step", "500e-6", nullptr, 500e-6},
      {"I3.F", "10e+3", nullptr, 10e3},
      {"I3.Imax", "5", nullptr, 5},
      {"I4.f", "x*2", nullptr, kNone},
      {"I4.IC", "100e-3", nullptr, 0.1},
      {"S1.Active", "Off", nullptr, 0},
      {"S1.Width", "3e-3", nullptr, 3e-3},
      {"S2.List", "0,1,0.002,0", nullptr, kNone},
      {"S2.Cycle", "Yes", nullptr, 1},
      {"S4.Roff", "1e+6", nullptr, 1e6},
      {"S4.Slope", "Cos", nullptr, 1},
      {"S4.IC", "On", nullptr, 1},
      {"S5.Threshold", "2.5", nullptr, 2.5},
      {"S6.Width", "5e-3", nullptr, 5e-3},
      {"S7.Delay", "1e-3", nullptr, 1e-3},
      {"S9.Ramp", "500e-6", nullptr, 500e-6},
      {"O1.f1", "1e+6", nullptr, 1e6},
      {"O2.Vhi", "5", nullptr, 5},
      {"O2.IC", "High", nullptr, 1},
      {"O3.K", "100e+3", nullptr, 100e3},
      {"O5.f", "x*x", nullptr, kNone},
      {"O6.pwl", "-1,-10,1,10", nullptr, kNone},
      {"O7.Ihi", "2e-3", nullptr, 2e-3},
      {"O9.Delay", "2e-6", nullptr, 2e-6},
      {"O10.IC", "-2", nullptr, -2},
      {"T1.f1", "100e+6", nullptr, 100e6},
      {"T1.ICbe", "On", nullptr, 1},
      {"T2.B", "50", nullptr, 50},
      {"T3.Rdson", "50e-3", nullptr, 0.05},
      {"T3.IC", "Plus", nullptr, 2},
      {"T4.Vth", "-2", nullptr, -2},
      {"X1.t0", "1e-6", nullptr, 1e-6},
      {"X2.fG", "100", nullptr, 100},
      {"X2.G", "1e-6", nullptr, 1e-6},
      {"X3.IC", "2.5", nullptr, 2.5},
      {"X4.CF", "20", nullptr, 20},
      {"F1.resolution", "250e-3", nullptr, 0.25},
      {"F2.Table", "0,0,1,2,2,3", nullptr, kNone},
      {"F3.Y", "0,1,2", nullptr, kNone},
      {"F4.K", "500e-3", "=1/2", 0.5},
      {"F5.f", "u*v+w", nullptr, kNone},
      {"F6.K", "1e+3", nullptr, 1000},
      {"F7.IC", "500e-3", nullptr, 0.5},
      {"F8.a1", "5", nullptr, 5},
      {"F8.IC", "0,0.5", nullptr, kNone},
      {"F9.a1", "-500e-3", nullptr, -0.5},
      {"W1.n", "10", nullptr, 10},
      {"W2.n2", "10", nullptr, 10},
      {"W3.n1", "50", nullptr, 50},
      {"W4.n3", "5", "=W2.n1/20", 5},
      {"Y1.Delay", "5e-9", nullptr, 5e-9},
      {"Y1.IC", "High", nullptr, 1},
      {"Y3.Down", "20e-9", nullptr, 20e-9},
      {"Y4.IC", "High", nullptr, 1},
      {"Y13.Delay", "11e-9", nullptr, 11e-9},
      {"Y15.Type", "xor", nullptr, 2},
      {"Y16.f", "b1&&!b2||b3", nullptr, kNone},
      {"Y17.Up", "3e-9", nullptr, 3e-9},
      {"Y18.Dominance", "Set", nullptr, 1},
      {"Y19.Dominance", "Reset", nullptr, 2},
      {"Y20.Hysteresis", "800e-3", nullptr, 0.8},
      {"Y21.Period", "1e-3", nullptr, 1e-3},
      {"Y21.Width", "250e-6", nullptr, 250e-6},
      {"Y22.Width", "2e-3", nullptr, 2e-3},
      {"Y23.Threshold", "1.5", nullptr, 1.5},
      {"Y24.Hysteresis", "2e-3", nullptr, 2e-3},
      {"Y25.Format", "Signed", nullptr, 1},
      {"Y25.IC", "3", nullptr, 3},
      {"X5.File", "blocks/b2.qvs", nullptr, kNone},
      {"X5.Pin2", "gnd", nullptr, kNone},
      {"X5.Cmd", "R1.R=2k", nullptr, kNone},
      {"X6.IC", "C1.v=1", nullptr, kNone},
      {"X9.Pin8", "p8", nullptr, kNone},
      {"X10.Pin1", "rf", nullptr, kNone},
      {"X11.File", "inner.qvs", nullptr, kNone},
      // A program shows as one line without its last character, also to
      // the library.
      {"X12.Code", "y1 = x1 + x2;y[2] = x1 - x2", nullptr, kNone},
      {"X12.IC", "n=3", nullptr, kNone},
      {"X13.DLL", "lib/model.so", nullptr, kNone},
      {"X13.Init", "start", nullptr, kNone},
      {"X13.Main", "step", nullptr, kNone},
      {"X13.Exit", "stop", nullptr, kNone},
      {"X13.IC", "q=1", nullptr, kNone},
      {"Z1.K", "10", nullptr, 10},
      {"Z1.Roots", "1,-1,0,1,-2,0", nullptr, kNone},
      {"in.Period", "2e-3", nullptr, 2e-3},
      {"ref.V", "2.5", "=k+0.5", 2.5},
      {"ref.R", "100", nullptr, 100},
      {"gain.val", "10", "=k*5", 10},
      {"k.val", "2", nullptr, 2},
  };
  CCmps* cmps = doc_->Cmps();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CParam* p = cmps->GetCmpParam(c.name);
    ASSERT_NE(nullptr, p);
    const SReading r = Read(p);
    EXPECT_EQ(c.text, r.text);
    EXPECT_EQ(c.dll != nullptr ? c.dll : c.text, r.dll_text);
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(r.value)) << r.value;
    } else {
      EXPECT_DOUBLE_EQ(c.value, r.value);
      EXPECT_DOUBLE_EQ(c.value, p->GetDoubleValue());
    }
    // The same through the C interface, whose text result is the buffer
    // size the whole text needs.
    const std::string dll = c.dll != nullptr ? c.dll : c.text;
    char text[256] = "";
    EXPECT_EQ(static_cast<int>(dll.size()) + 1,
              QVS_GetText(handle_, const_cast<char*>(c.name), text, sizeof text))
        << QVS_GetError();
    EXPECT_EQ(dll, std::string(text));
    double v = -1.0;
    const int got = QVS_GetValue(handle_, const_cast<char*>(c.name), &v);
    if (std::isnan(c.value)) {
      // Text kinds have no value; an empty formula's value is NaN.
      EXPECT_EQ(p->Kind() == PK_FORMULA ? 0 : -1, got);
      if (got == 0) {
        EXPECT_TRUE(std::isnan(v)) << v;
      }
    } else {
      EXPECT_EQ(0, got) << QVS_GetError();
      EXPECT_DOUBLE_EQ(c.value, v);
    }
  }
  // Models by name.
  for (const auto& [name, model] : {std::pair<const char*, const char*>{"R3.model", "PWL"},
                                    {"D1.model", "Soft"},
                                    {"X12.model", "C"},
                                    {"Y25.model", "Bus"},
                                    {"in.model", "Pulse"},
                                    {"O4.model", "Comparator"}}) {
    char text[64] = "";
    EXPECT_EQ(0, QVS_GetText(handle_, const_cast<char*>(name), text, sizeof text))
        << QVS_GetError();
    EXPECT_EQ(std::string(model), text) << name;
  }
  // The choice of V4's waveform by its index.
  CParam* type = cmps->GetCmpParam("V4.Type");
  ASSERT_NE(nullptr, type);
  EXPECT_EQ(1.0, Read(type).value);
}

TEST_F(AllClasses, SavingIsStableAndKeepsWhatIsNotInterpreted) {
  const std::string dir = ScratchDir();
  const std::string a = dir + "all_a.qvs", b = dir + "all_b.qvs", c = dir + "all_c.qvs";
  const std::string before = Snapshot(*doc_->Cmps());
  ASSERT_EQ(0, SaveAs(handle_, a)) << QVS_GetError();
  ASSERT_EQ(0, SaveAs(handle_, b)) << QVS_GetError();
  const std::string bytes = ReadBytes(a);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes, ReadBytes(b));

  const int h = Open(a);
  ASSERT_GE(h, 0) << QVS_GetError();
  CDoc* again = dll_get_doc(h);
  EXPECT_EQ("", again->Tree()->GetNodeError().str());
  // Every parameter, model, pin and node as before the save.
  EXPECT_EQ(before, Snapshot(*again->Cmps()));
  ASSERT_EQ(0, SaveAs(h, c)) << QVS_GetError();
  QVS_Close(h);
  EXPECT_EQ(bytes, ReadBytes(c));

  // The drawing and the trace lists are written as they were read.
  for (const std::vector<const char*>& path :
       {std::vector<const char*>{"Doc", "Cir", "Sheets"},
        std::vector<const char*>{"Doc", "Tran", "Traces"},
        std::vector<const char*>{"Doc", "Freq", "Traces"},
        std::vector<const char*>{"Doc", "Properties"}}) {
    const std::string original = ElementText(DocPath(), path);
    EXPECT_EQ(original, ElementText(a, path)) << path.back();
    EXPECT_EQ(std::string::npos, original.find("<no ")) << path.back();
  }
  // Values the file gave as texts with scale letters are saved as numbers;
  // formulas that name other parameters are saved as formulas.
  for (const char* kept : {"r_str=\"%3d2*R1.R\"", "n3_str=\"%3dW2.n1%2f20\"", "r=\"10e+3\"",
                           "val_str=\"%3dk*5\"", "inputs=\"u%2cv%2cw\"", "clock=\"true\"",
                           "vars=\"cnt%3d0%2cacc\"", "<Pin flag=\"1\" />"})
    EXPECT_NE(std::string::npos, bytes.find(kept)) << kept;
  for (const char* gone : {"r_str=\"10k\"", " c_str=", " f1_str="})
    EXPECT_EQ(std::string::npos, bytes.find(gone)) << gone;
}

}  // namespace
