#include "circuit/Cmp.h"

#include <cstdio>
#include <new>

#include "circuit/Cmps.h"
#include "circuit/CustomType.h"
#include "circuit/Param.h"
#include "circuit/SubCir.h"
#include "doc/xml.h"

CCmp::CCmp(const SElemType* type) : type_(type), type_id_(type != nullptr ? type->id : 0) {
  if (type == nullptr) return;
  if (type->models != nullptr) model_ = type->models[0].id;
  CreateCmpNodes(type->pins);
}

CCmp::~CCmp() = default;

// --- Element interface defaults -------------------------------------------------

bool CCmp::SerializeCmp(CXMLNode* /*node*/, bool /*modelOnly*/, bool /*ic*/) { return true; }

bool CCmp::CheckParams(CCalc* /*calc*/) { return true; }

int CCmp::GetCmpPinType(int /*pin*/) const { return 1; }

int CCmp::CreateExtraNodes(CCalc* /*calc*/, int first) {
  const SElemModel* model = GetModel();
  const int count = model != nullptr ? model->extra : 0;
  SetExtra(count, first);
  return count;
}

AnsiString CCmp::GetPinName(int /*pin*/) const { return AnsiString(); }

bool CCmp::CalcFunc(CCalc* /*calc*/, int /*mode*/, double /*t*/) { return true; }

AnsiString CCmp::SaveIC(bool /*all*/) { return AnsiString(); }

bool CCmp::CheckZone(CCalc* /*calc*/, bool /*final*/, bool& /*changed*/) { return true; }

void CCmp::CalcNewStep(CCalc* /*calc*/, double /*t*/, double& /*next*/, double& /*maxStep*/,
                       double& /*firstStep*/) {}

bool CCmp::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                         double& k) {
  n1 = pin_count_ > 0 ? nodes_[0] : 0;
  n2 = pin_count_ > 1 ? nodes_[1] : 0;
  extra = first_extra_;
  k = 0.0;
  return true;
}

void CCmp::GetTraceData(CCalc* /*calc*/, int /*kind*/, double* v, double* v2) {
  if (v != nullptr) *v = 0.0;
  if (v2 != nullptr) *v2 = 0.0;
}

void CCmp::CirTools(SCirTools* /*tools*/) {}

bool CCmp::GetMinMaxState(int& /*min*/, int& /*max*/) { return false; }

void CCmp::SetStartState(int /*state*/) {}

bool CCmp::CheckState(CCalc* /*calc*/, bool /*update*/) { return false; }

bool CCmp::PlusMinusView(int delta) {
  int count = 0;
  if (type_ != nullptr && type_->views != nullptr)
    while (type_->views[count] != nullptr) ++count;
  // A type without views has only view 0, and nothing to step through.
  if (count == 0) return false;
  view_ += delta;
  if (view_ < 0) {
    view_ = count - 1;
    return true;
  }
  if (view_ >= count) {
    view_ = 0;
    return true;
  }
  return false;
}

// --- Identity, model, parameters ----------------------------------------------------

void CCmp::SetCustomType(CCustomElemType* custom, void (*destroy)(CCustomElemType*)) {
  custom_type_ = TOpaquePtr<CCustomElemType>(custom, destroy);
}

AnsiString CCmp::GetFullName() const {
  if (parent_path_.IsEmpty()) return name_;
  return parent_path_ + "." + name_;
}

char CCmp::GetLetter() const {
  if (type_ == nullptr || type_->name == nullptr) return '\0';
  const char* key = type_->name;
  if (key[0] == '_') ++key;
  return key[0];
}

const SElemModel* CCmp::GetModel() const {
  if (type_ == nullptr || type_->models == nullptr) return nullptr;
  for (const SElemModel* m = type_->models; m->name != nullptr; ++m)
    if (m->id == model_) return m;
  return type_->models;
}

CParam* CCmp::GetParamsList() {
  if (IsBusy()) return nullptr;
  // In model "SubCir" the parameters are those of the subcircuit (its
  // "File", "Pin<n>", "Cmd" and "IC"), not the class's own.
  CParam* list = nullptr;
  if (model_ == MC_SUBCIR) {
    CSubCir* sub = CSubCir::Of(this);
    list = sub != nullptr ? sub->GetParamsList() : nullptr;
  } else {
    list = GetParams();
  }
  // Formula parameters evaluate and check their names against the
  // collection this component lives in, so a component inside a
  // subcircuit reads its neighbours there.
  if (list != nullptr)
    for (CParam* p = list; p->Name() != nullptr; ++p) p->SetComponents(owner_);
  return list;
}

CParam* CCmp::GetParameter(const AnsiString& name) {
  CParam* list = GetParamsList();
  if (list == nullptr) return nullptr;
  if (name.IsEmpty()) return list->Name() != nullptr ? list : nullptr;
  for (CParam* p = list; p->Name() != nullptr; ++p)
    if (CompareNames(name, AnsiString(p->Name())) == 0) return p;
  return nullptr;
}

bool CCmp::CanAttach() const {
  return model_ == MC_FILE || model_ == MC_SUBCIR || model_ == MC_DLL || model_ == MC_CODE_FILE;
}

bool CCmp::CopyGroupParams(CCmp* source, bool ic) {
  if (source == nullptr) return false;
  CXMLNode stored("Cmp");
  if (!source->SerializeCmp(&stored, true, ic)) return false;
  // Through text and back, so that the element is loaded exactly as one
  // read from a file: the reader clears the store flag of every node.
  AnsiString text;
  stored.WriteToString(text);
  CXMLNode loaded("Cmp");
  if (!loaded.ReadFromText(text, "Cmp")) return false;
  return SerializeCmp(&loaded, true, ic);
}

// --- Document form ------------------------------------------------------------------

namespace {

// 1-based position of the first element start tag in text ("<" followed by
// neither "?" nor "!"), 0 when there is none: skips an XML declaration.
int FirstElement(const AnsiString& text) {
  const std::string& s = text.str();
  for (std::size_t i = 0; i + 1 < s.size(); ++i)
    if (s[i] == '<' && s[i + 1] != '?' && s[i + 1] != '!') return static_cast<int>(i) + 1;
  return 0;
}

void AddNodeError(CXMLNode* node, const AnsiString& error) {
  if (node->GetError().IsEmpty())
    node->SetError(error);
  else
    node->SetError(node->GetError() + "\n" + error);
}

}  // namespace

bool CCmp::SerializeCmpCore(CXMLNode* node, bool modelOnly) {
  if (node == nullptr) return false;
  const bool store = node->IsStore();
  if (!modelOnly) {
    if (store && type_ != nullptr && type_->name != nullptr) node->CreateAttribute("type", type_->name);
    // Custom types set their own pin count: it must be known before the
    // node numbers are read.
    if (!CCustomElemType::SerializeCmpCustom(this, node)) return false;
    id_ = node->AttributeInt("id", id_);
    name_ = node->AttributeSafe("name", name_);
    descr_ = node->AttributeSafe("descr", descr_);
    view_ = node->AttributeInt("view", view_);
    if (store) {
      if (!group_.IsEmpty()) {
        node->CreateAttributeSafe("group", group_);
        if (group_ic_) node->CreateAttributeBool("group_ic", true);
      }
      if (encrypted_) node->CreateAttributeSafe("file_name", file_name_);
    } else {
      group_ = node->GetAttributeSafe("group", AnsiString());
      group_ic_ = node->GetAttributeBool("group_ic", false);
      if (node->AttributeExists("file_name"))
        file_name_ = node->GetAttributeSafe("file_name", AnsiString());
    }
    for (int i = 0; i < pin_count_; ++i) {
      char name[24];
      std::snprintf(name, sizeof name, "node%d", i);
      nodes_[i] = node->AttributeInt(name, nodes_[i]);
    }
  }

  // The model part.
  const SElemModel* present = GetModel();
  const AnsiString model_name(present != nullptr ? present->name : "");
  if (store) {
    node->CreateAttributeSafe("model", model_name);
  } else if (node->AttributeExists("model") && type_ != nullptr && type_->models != nullptr) {
    const AnsiString text = node->GetAttributeSafe("model", AnsiString());
    const SElemModel* found = nullptr;
    for (const SElemModel* m = type_->models; m->name != nullptr; ++m)
      if (text == m->name) {
        found = m;
        break;
      }
    if (found != nullptr && found->id != 0) {
      model_ = found->id;
    } else {
      AddNodeError(node, name_ + " : unknown model = " + text);
      model_ = type_->models[0].id;
    }
  }

  // The PWL table object does not keep its texts: the component does, so
  // they survive changes of model and the table is rebuilt from them.
  if (model_ == MC_PWL) {
    pwl_text_ = node->Attribute("pwl", pwl_text_);
    pwl_file_ = node->AttributeSafe("pwlf", pwl_file_);
    pwl_mode_ = node->AttributeInt("pwlm", pwl_mode_);
  }

  if (model_ == MC_SUBCIR) {
    CSubCir* sub = CSubCir::Of(this);
    if (sub == nullptr || !sub->SerializeSubCir(node)) return false;
  }

  // The attachment in its three forms: an embedded document as elements
  // for "SubCir", the library's hexadecimal text as it is for "DLL", any
  // other text escaped.
  if (store) {
    if (attached_) {
      CXMLNode* att = node->CreateNode("Attachment");
      if (model_ == MC_SUBCIR) {
        const int pos0 = FirstElement(attachment_);
        int pos = pos0;
        CXMLNode* doc = att->CreateNode("QVS");
        // Text that is not an element cannot be embedded as one: it goes
        // in escaped so that nothing is lost.
        if (pos0 == 0 || !doc->ExecuteNode(attachment_, pos)) {
          att->DeleteNode(0);
          att->CreateDataSafe(attachment_);
        }
      } else if (model_ == MC_DLL) {
        att->CreateData(attachment_);
      } else {
        att->CreateDataSafe(attachment_);
      }
    }
  } else if (CXMLNode* att = node->GetNode("Attachment", 0); att != nullptr) {
    AnsiString text;
    if (att->NodeCount() > 0)
      att->GetNode(0)->WriteToString(text);
    else if (model_ == MC_DLL)
      text = att->GetData();
    else
      text = att->GetDataSafe();
    SetAttachment(text);
  } else if (!modelOnly) {
    ClearAttachment();
  }
  return true;
}

// --- Pins and nodes -------------------------------------------------------------------

bool CCmp::IsDisabled() const {
  if (pin_count_ == 0) return false;
  if (pin_count_ < 0) return true;
  for (int i = 0; i < pin_count_; ++i)
    if (nodes_[i] >= 0) return false;
  return true;
}

void CCmp::CreateCmpNodes(int n) {
  if (n == pin_count_) return;
  nodes_.reset();
  pin_count_ = n;
  if (n >= 1) {
    nodes_.reset(new (std::nothrow) int[2 * static_cast<std::size_t>(n)]());
    if (!nodes_) pin_count_ = 0;
  }
  // The subcircuit's pin label list follows the pin count.
  if (subcir_) subcir_->CreateSubCir(pin_count_);
}

// --- Subcircuit and PWL table ----------------------------------------------------------

void CCmp::SetSubCir(CSubCir* subcir, void (*destroy)(CSubCir*)) {
  subcir_ = TOpaquePtr<CSubCir>(subcir, destroy);
}

void CCmp::SetPwl(CPWL* pwl, void (*destroy)(CPWL*)) {
  pwl_ = TOpaquePtr<CPWL>(pwl, destroy);
}

void CCmp::ClearCmp() {
  // The PWL table is made on demand, so clearing it is releasing it. The
  // subcircuit keeps its parameters (document data) and drops only the
  // inner components it loaded.
  if (subcir_) subcir_->ClearSubCir();
  pwl_.reset();
}
