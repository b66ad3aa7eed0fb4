#include "circuit/Cmp.h"

#include <new>

#include "circuit/Cmps.h"
#include "circuit/Param.h"
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
  // In model "SubCir" the parameters are those of the subcircuit, which
  // builds its list when it is created; none exists yet.
  CParam* list = model_ == MC_SUBCIR ? nullptr : GetParams();
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
  // The subcircuit's pin label list follows the pin count once the
  // subcircuit class exists to hold it.
}

// --- Subcircuit and PWL table ----------------------------------------------------------

void CCmp::SetSubCir(CSubCir* subcir, void (*destroy)(CSubCir*)) {
  subcir_ = TOpaquePtr<CSubCir>(subcir, destroy);
}

void CCmp::SetPwl(CPWL* pwl, void (*destroy)(CPWL*)) {
  pwl_ = TOpaquePtr<CPWL>(pwl, destroy);
}

void CCmp::ClearCmp() {
  // Both are made on demand, so clearing them is releasing them.
  subcir_.reset();
  pwl_.reset();
}
