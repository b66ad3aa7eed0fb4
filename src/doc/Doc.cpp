#include "doc/Doc.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/Cmps.h"
#include "doc/DllRecords.h"
#include "doc/xml.h"
#include "engine/Calc.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

int CDoc::newDocCount = 0;

CDoc::CDoc()
    : doc_name_(AnsiString("qv") + std::to_string(++newDocCount)),
      cmps_(std::make_unique<CCmps>(this)),
      tran_(std::make_unique<CTran>(this, true)),
      freq_(std::make_unique<CTran>(this, false)) {}

CDoc::~CDoc() {
  // A running simulation is stopped first: the engine still refers to the
  // components and traces freed below.
  if (calc_ != nullptr) {
    if (running_)
      calc_->sim_stop();
    else
      calc_->ClearCalc();
  }
  running_ = false;
  DeleteDLLRecords();
  tree_.reset();
  cmps_.reset();
  calc_.reset();
  tran_.reset();
  freq_.reset();
}

CCalc* CDoc::CreateCalc() {
  if (calc_ == nullptr) calc_.reset(new (std::nothrow) CCalc(this));
  return calc_.get();
}

void CDoc::clear_func_list() {
  for (SFuncCache& c : func_cache_) c = SFuncCache();
}

// --- Settings ---------------------------------------------------------------------

bool CDoc::SerializeTranSettings(CXMLNode* node) {
  if (node == nullptr) return false;
  STranSettings& s = tran_settings_;
  s.start = node->AttributeDouble("start", s.start);
  s.screen = node->AttributeDouble("screen", s.screen);
  s.step = node->AttributeDouble("step", s.step);
  s.pause_trigger = node->AttributeBool("pause_trigger", s.pause_trigger);
  s.pause_trigger_f = node->AttributeSafe("pause_trigger_f", s.pause_trigger_f);
  s.start_trigger = node->AttributeBool("start_trigger", s.start_trigger);
  s.start_trigger_f = node->AttributeSafe("start_trigger_f", s.start_trigger_f);
  return true;
}

bool CDoc::SerializeFreqSettings(CXMLNode* node) {
  if (node == nullptr) return false;
  SFreqSettings& s = freq_settings_;
  s.type = node->AttributeInt("type", s.type);
  s.list = node->AttributeSafe("list", s.list);
  s.test = node->AttributeSafe("test", s.test);
  s.from = node->AttributeDouble("from", s.from);
  s.to = node->AttributeDouble("to", s.to);
  s.points = node->AttributeInt("points", s.points);
  s.scale = node->AttributeInt("scale", s.scale);
  s.id = node->AttributeInt("id", s.id);
  s.alg = node->AttributeInt("alg", s.alg);
  if (!node->IsStore() && s.alg == 2) {
    node->SetError("Z-transform method not supported");
    s.alg = 0;
  }
  s.dcop = node->AttributeBool("dcop", s.dcop);
  s.faf = node->AttributeSafe("faf", s.faf);
  s.fhl = node->AttributeBool("fhl", s.fhl);
  s.fmr = node->AttributeDouble("fmr", s.fmr);
  s.fsh = node->AttributeBool("fsh", s.fsh);
  return true;
}

bool CDoc::SerializeAdvancedSettings(CXMLNode* node) {
  if (node == nullptr) return false;
  SAdvancedSettings& s = advanced_;
  s.dc = node->AttributeBool("dc", s.dc);
  s.sbs = node->AttributeBool("sbs", s.sbs);
  s.to = node->AttributeInt("to", s.to);
  s.zero = node->AttributeDouble("zero", s.zero);
  s.ise = node->AttributeBool("ise", s.ise);
  s.z0re = node->AttributeDouble("z0re", s.z0re);
  s.z0im = node->AttributeDouble("z0im", s.z0im);
  s.zparam = node->AttributeSafe("zparam", s.zparam);
  if (node->IsStore()) {
    node->CreateAttributeBool("cs", s.step_mode == 0);
    node->CreateAttributeInt("s_m", s.step_mode == 0 ? 1 : s.step_mode - 1);
    node->CreateAttributeDouble("s_fs", kStepFs);
    node->CreateAttributeDouble("s_ff", kStepFf);
    node->CreateAttributeDouble("s_os", kStepOs);
    node->CreateAttributeDouble("s_of", kStepOf);
    node->CreateAttributeDouble("s_as", kStepAs);
    node->CreateAttributeDouble("s_af", kStepAf);
  } else if (node->GetAttributeBool("cs", false)) {
    s.step_mode = 0;
  } else {
    const int m = node->GetAttributeInt("s_m", 1) + 1;
    s.step_mode = m < 0 ? 0 : (m > 4 ? 4 : m);
  }
  s.s_cs = node->AttributeDouble("s_cs", s.s_cs);
  s.s_cf = node->AttributeDouble("s_cf", s.s_cf);
  s.so = node->AttributeBool("so", s.so);
  s.low = node->AttributeDouble("low", s.low);
  s.high = node->AttributeDouble("high", s.high);
  s.thr = node->AttributeDouble("thr", s.thr);
  return true;
}

// --- The document element -----------------------------------------------------------

namespace {

// Encrypted content: a "Key" on the component list or an "Encr1" on one
// of its components. Its format is not one this library knows, so such
// documents are refused rather than loaded without the hidden parts.
bool HasEncryptedContent(CXMLNode* cmps) {
  if (cmps->AttributeExists("Key")) return true;
  for (int i = 0; i < cmps->NodeCount(); ++i)
    if (cmps->GetNode(i)->AttributeExists("Encr1")) return true;
  return false;
}

}  // namespace

bool CDoc::SerializeDoc(CXMLNode* doc, bool tranData, bool freqData) {
  load_error_ = AnsiString();
  if (doc == nullptr) return false;
  const bool store = doc->IsStore();
  if (!store && doc->AttributeExists("Encr1")) {
    encrypted_ = true;
    load_error_ = "encrypted documents are not supported";
    return false;
  }
  if (CXMLNode* cir = doc->Node("Cir"); cir != nullptr) {
    if (CXMLNode* cmps = cir->Node("Cmps"); cmps != nullptr) {
      if (!store && HasEncryptedContent(cmps)) {
        encrypted_ = true;
        load_error_ = "encrypted documents are not supported";
        return false;
      }
      if (!cmps_->SerializeCmps(cmps)) return false;
    }
  }
  if (CXMLNode* tran = doc->Node("Tran"); tran != nullptr) {
    tran_->SerializeTran(tran, tranData);
    SerializeTranSettings(tran->Node("Settings"));
  }
  if (CXMLNode* freq = doc->Node("Freq"); freq != nullptr) {
    freq_->SerializeTran(freq, freqData);
    SerializeFreqSettings(freq->Node("Settings"));
  }
  SerializeAdvancedSettings(doc->Node("Advanced"));
  if (CXMLNode* libs = doc->Node("Libraries"); libs != nullptr) {
    if (store) {
      for (int i = 0; i < libraries_.Count(); ++i) {
        const AnsiString name = libraries_[i].Trim();
        if (!name.IsEmpty()) libs->CreateNode("Library")->CreateAttributeSafe("name", name);
      }
    } else {
      libraries_.Clear();
      for (int i = 0; i < libs->NodeCount(); ++i)
        libraries_.Add(libs->GetNode(i)->GetAttributeSafe("name", AnsiString()));
    }
  }
  return true;
}

// --- Files -----------------------------------------------------------------------------

namespace {

// Documents of format version 2 or lower ("Version" "ver" <= 2, or no
// "Version" at all) must be converted before they load. This library
// cannot convert them: they fail with the reason in *message.
bool ConvertOldDocument(CXMLNode* root, AnsiString* message) {
  CXMLNode* version = root->GetNode("Version", 0);
  if (version != nullptr && version->GetAttributeInt("ver", -1) > 2) return true;
  *message = "conversion of version 2 documents is not supported";
  return false;
}

}  // namespace

int CDoc::OpenDLL(const AnsiString& given) {
  AnsiString path = given;
  if (extract_file_ext(path).IsEmpty()) path = change_file_ext(path, ".qvs");
  tree_.reset();
  auto tree = std::make_unique<CXMLNode>("QVS");
  if (!tree->ReadFromFile(path)) {
    AnsiString why = "cannot open file " + path;
    if (!tree->GetError().IsEmpty()) why += "\n" + tree->GetError();
    dll_add_error(why.c_str());
    return -1;
  }
  AnsiString message;
  if (!ConvertOldDocument(tree.get(), &message)) {
    dll_add_error(("error converting from Ver.2: " + message).c_str());
    return -2;
  }
  CXMLNode* doc = tree->GetNode("Doc", 0);
  if (doc == nullptr) {
    // A present-version document without its "Doc" element is as
    // unusable as one that is not XML.
    dll_add_error(("cannot open file " + path + "\n" + path + " : wrong file format").c_str());
    return -1;
  }
  if (!SerializeDoc(doc, false, false)) {
    dll_add_error(("cannot open file " + path + "\n" + load_error_).c_str());
    return -1;
  }
  cmps_->CalculateFormulas();
  CXMLNode* props = doc->GetNode("Properties", 0);
  trace_data_ = props != nullptr && (props->GetAttributeInt("save", 0) & 2) != 0;
  if (trace_data_) {
    CXMLNode* tran = doc->GetNode("Tran", 0);
    long offset = 0;
    if (!tran_->Traces().OpenTraceData(path, tran != nullptr ? tran->GetNode("Traces", 0) : nullptr,
                                       offset)) {
      dll_add_error("\nerror opening trace data");
      return -1;
    }
  }
  doc_name_ = path;
  file_name_ = path;
  tree_ = std::move(tree);
  return 0;
}

bool CDoc::SaveDLLAs(const AnsiString& path) {
  if (tree_ == nullptr) return false;
  tree_->SetStore(true);
  CXMLNode* doc = tree_->GetNode("Doc", 0);
  if (doc == nullptr) return false;
  if (CXMLNode* cir = doc->GetNode("Cir", 0); cir != nullptr)
    if (CXMLNode* cmps = cir->GetNode("Cmps", 0); cmps != nullptr)
      if (!cmps_->SerializeDllCmps(cmps)) return false;
  if (CXMLNode* tran = doc->GetNode("Tran", 0); tran != nullptr)
    if (CXMLNode* settings = tran->GetNode("Settings", 0); settings != nullptr)
      settings->SetAttributeDouble("step", tran_settings_.step);
  if (CXMLNode* adv = doc->GetNode("Advanced", 0); adv != nullptr)
    adv->SetAttributeInt("to", advanced_.to);
  if (!trace_data_) return tree_->WriteToFile(path);
  // Recorded points travel with the document: the text describes every
  // stored run, and the points follow its terminating zero byte.
  CXMLNode* tran = doc->GetNode("Tran", 0);
  if (tran == nullptr) tran = doc->CreateNode("Tran");
  CXMLNode* storage = tran->GetNode("StorageList", 0);
  if (storage == nullptr) storage = tran->CreateNode("StorageList");
  storage->ClearNode();
  storage->SetStore(true);
  CXMLNode* run = storage->CreateNode("Storage");
  run->CreateAttribute("name", "Run");
  run->CreateAttributeInt("id", 0);
  run->CreateAttributeBool("out", true);
  CXMLNode* traces = tran->GetNode("Traces", 0);
  if (traces != nullptr) tran_->Traces().DescribeStoredRuns(traces);
  if (!tree_->WriteToFile(path)) return false;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (f == nullptr) return false;
  std::fputc(0, f);
  tran_->Traces().SaveTracesData(f);
  return std::fclose(f) == 0;
}

AnsiString CDoc::GetFullFileName(const AnsiString& given, const AnsiString& ext) const {
  if (given.IsEmpty()) return AnsiString();
  AnsiString name = given;
  if (!ext.IsEmpty() && extract_file_ext(name).IsEmpty()) name = change_file_ext(name, ext);
  if (name.Length() >= 1 && name[1] == '/') name = name.SubString(2, name.Length() - 1);
  name = name.Trim();
  if (FileExists(name)) return name;
  const AnsiString doc_dir = extract_file_path(file_name_);
  if (!file_name_.IsEmpty() && FileExists(doc_dir + name)) return doc_dir + name;
  for (int i = 0; i < libraries_.Count(); ++i) {
    AnsiString lib = libraries_[i].Trim();
    if (lib.IsEmpty()) continue;
    if (lib[lib.Length()] != '/') lib += "/";
    if (FileExists(lib + name)) return lib + name;
    // A library folder given relative to the document.
    if (!doc_dir.IsEmpty() && FileExists(doc_dir + lib + name)) return doc_dir + lib + name;
  }
  return AnsiString();
}

// --- Reference impedance ---------------------------------------------------------------

bool CDoc::Gamma(double re, double im, double* g_re, double* g_im) const {
  const double nr = re - advanced_.z0re, ni = im + advanced_.z0im;
  const double dr = re + advanced_.z0re, di = im + advanced_.z0im;
  if (dr == 0.0 && di == 0.0) return false;
  const double d = dr * dr + di * di;
  *g_re = (nr * dr + ni * di) / d;
  *g_im = (ni * dr - nr * di) / d;
  return true;
}

double CDoc::VSWR(double re, double im) const {
  double gr = 0.0, gi = 0.0;
  if (!Gamma(re, im, &gr, &gi)) return std::numeric_limits<double>::infinity();
  const double g = std::hypot(gr, gi);
  if (g == 1.0) return std::numeric_limits<double>::infinity();
  return (1.0 + g) / (1.0 - g);
}
