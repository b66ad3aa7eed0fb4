#include "traces/Trace.h"

#include <cmath>
#include <new>

#include "doc/Doc.h"
#include "doc/xml.h"
#include "expr/VarList.h"
#include "expr/globals.h"
#include "traces/Data.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// Texts of the enumerated attributes, indexed by their values.
const char* const kModeNames[] = {"analog", "digital", "bus"};
const char* const kAcOutNames[] = {"mag_phase", "r", "x"};
const char* const kBusFormatNames[] = {"bin", "oct", "hex", "dec", "txt"};
// Processing functions by id (0 to 15).
const char* const kFuncNames[] = {"function", "min",      "max",         "integral",
                                  "mean",     "rms",      "sd",          "lpf",
                                  "hpf",      "movaver",  "movrms",      "movsd",
                                  "regr",     "counter",  "fvconverter", "tvconverter"};
constexpr int kFuncCount = 16;

enum : int {
  F_FUNCTION = 0, F_MIN, F_MAX, F_INTEGRAL, F_MEAN, F_RMS, F_SD, F_LPF, F_HPF,
  F_MOVAVER, F_MOVRMS, F_MOVSD, F_REGR, F_COUNTER, F_FVCONVERTER, F_TVCONVERTER,
};

// Index of text in names[0..count-1], or -1.
int IndexOfText(const char* const* names, int count, const AnsiString& text) {
  for (int i = 0; i < count; ++i)
    if (text == names[i]) return i;
  return -1;
}

const char* TextOf(const char* const* names, int count, int i) {
  return i >= 0 && i < count ? names[i] : "";
}

// The document's digital levels, or the library defaults without one.
const CDoc* DocOf(const CTraces* traces) {
  return traces != nullptr && traces->Tran() != nullptr ? traces->Tran()->Doc() : nullptr;
}

}  // namespace

const STraceFunction CTrace::TranTraceFunction[] = {
    {0, "Function", ""},        {1, "Min", ""},          {2, "Max", ""},
    {4, "Mean", ""},            {5, "RMS", ""},          {6, "SD", ""},
    {7, "LPF", ""},             {8, "HPF", ""},          {9, "Moving Average", ""},
    {10, "Moving RMS", ""},     {11, "Moving SD", ""},   {3, "Integral", ""},
    {12, "Regression", ""},     {13, "Counter", ""},     {14, "F-V converter", ""},
    {15, "T-V converter", ""},  {-1, nullptr, nullptr}};

const STraceFunction CTrace::FreqTraceFunction[] = {
    {0, "Function", ""}, {1, "Min", ""}, {2, "Max", ""}, {-1, nullptr, nullptr}};

const STraceFunction* CTrace::GetTraceFunction(const STraceFunction* table, int id) {
  if (table == nullptr) return nullptr;
  for (const STraceFunction* f = table; f->id != -1; ++f)
    if (f->id == id) return f;
  return nullptr;
}

const char* CTrace::TypeText(int type) {
  switch (type) {
    case TT_V: return "V";
    case TT_I: return "I";
    case TT_P: return "P";
    case TT_S: return "S";
    case TT_VAR: return "Var";
    case TT_FUNCTION: return "Function";
    case TT_Z: return "Z";
    case TT_GAMMA: return "Gamma";
    case TT_VSWR: return "VSWR";
    case TT_LOOP: return "Loop";
    case TT_SCOPE: return "Scope";
    case TT_MATH: return "Math";
    case TT_DATA: return "Data";
    default: return "";
  }
}

int CTrace::TypeFromText(const AnsiString& text) {
  if (text.IsEmpty()) return TT_NONE;
  for (int t = TT_V; t <= TT_DATA; ++t)
    if (text == TypeText(t)) return t;
  return TT_NONE;
}

CTrace::CTrace(CTraces* traces)
    : traces_(traces),
      tran_(traces == nullptr || traces->IsTran()),
      id_(GetUniqueID()) {
  const CDoc* doc = DocOf(traces);
  dig_threshold_ = doc != nullptr ? doc->Threshold() : 2.5;
  CTran* tran = traces != nullptr ? traces->Tran() : nullptr;
  data_trace_.tran = tran != nullptr ? &tran->DataTran() : nullptr;
  SyncDataTrace();
  vars_ = std::make_unique<CVarList>();
  if (tran_)
    vars_->AddVar("t", NUM_DOUBLE, 0);
  else
    vars_->CreateFreqVarlist();
}

// The runs go first: they point at data_trace_ and count their memory in
// the analysis.
CTrace::~CTrace() { DeleteAllData(); }

void CTrace::SyncDataTrace() {
  data_trace_.transient = tran_;
  data_trace_.type = type_;
  data_trace_.mode = mode_;
  data_trace_.time_shift = shift_;
  data_trace_.threshold = dig_threshold_;
  data_trace_.bus_fraction_bits = bus_fp_;
  data_trace_.ac_out = ac_out_;
}

void CTrace::ClearRunStats() {
  for (const auto& run : runs_) run->ClearTranData();
}

void CTrace::SetMode(int mode) {
  mode_ = mode;
  SyncDataTrace();
  ClearRunStats();
}

void CTrace::SetShift(double s) {
  shift_ = s;
  SyncDataTrace();
}

void CTrace::SetDigThreshold(double v) {
  dig_threshold_ = v;
  SyncDataTrace();
  ClearRunStats();
}

void CTrace::SetBusFractionBits(int bits) {
  bus_fp_ = bits;
  SyncDataTrace();
}

// --- Storage runs -------------------------------------------------------------------

CData* CTrace::GetData(int runId) const {
  if (runId == 0 && current_ != nullptr) return current_;
  for (const auto& run : runs_)
    if (run->RunId() == runId) return run.get();
  return nullptr;
}

CData* CTrace::GetDataAt(int i) const {
  if (i < 0 || i >= GetDataSize()) return nullptr;
  return runs_[static_cast<std::size_t>(i)].get();
}

CData* CTrace::CreateData(int runId) {
  std::unique_ptr<CData> run(new (std::nothrow) CData(&data_trace_));
  if (!run) return nullptr;
  run->SetRunId(runId);
  CData* const created = run.get();
  if (runId != 0) {
    runs_.push_back(std::move(run));
    return created;
  }
  // One current run at a time: two runs 0 would leave readers guessing
  // which one a simulation filled.
  if (current_ != nullptr) {
    for (auto it = runs_.begin(); it != runs_.end(); ++it) {
      if (it->get() == current_) {
        runs_.erase(it);
        break;
      }
    }
  }
  runs_.insert(runs_.begin(), std::move(run));
  current_ = created;
  return created;
}

bool CTrace::CreateRunData(bool clear) {
  if (current_ == nullptr && CreateData(0) == nullptr) return false;
  if (clear) current_->ClearData();
  data_trace_.points_added = 0;
  prev_phase_ = 0.0;
  phase_offset_ = 0.0;
  return true;
}

void CTrace::DeleteData(int runId) {
  const auto doomed = [runId](const CData& run) {
    if (runId < -2) return true;
    if (runId == -2) return run.RunId() >= 1;
    return run.RunId() == runId;
  };
  for (std::size_t i = 0; i < runs_.size();) {
    if (doomed(*runs_[i])) {
      if (runs_[i].get() == current_) current_ = nullptr;
      runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void CTrace::DeleteAllData() {
  current_ = nullptr;
  runs_.clear();
}

// --- Value list text -------------------------------------------------------------------

AnsiString CTrace::GetTraceString(double from, double to, double step, int count, bool linear,
                                  bool phase) const {
  const CData* data = GetData(0);
  if (data == nullptr) data = GetData(-1);
  if (data == nullptr) return "No data";
  std::string out;
  const auto append = [&out](double v) {
    if (!out.empty()) out += ',';
    out += sprintf3(v, 12).str();
  };

  if (tran_) {
    // A count far beyond what int holds still ends: the first time past the
    // last point has no value.
    double n = 1.0;
    if (step > 0.0) n = std::fmax(1.0, std::trunc((to - from) / step + 1.1));
    for (double k = 0.0; k < n; k += 1.0) {
      const double t = from + k * step;
      double v;
      if (!data->GetDataPoint(t, &v, true)) return "No data at t=" + sprintf3(t, 12);
      append(v);
    }
    return AnsiString(out);
  }

  if (!linear && from <= 0.0) return "Invalid range";
  if (count > 10000) return "Number of points > 10000";
  const int n = (from >= to || count < 1) ? 1 : count;
  for (int k = 0; k < n; ++k) {
    double f = from;
    if (n > 1) {
      const double r = static_cast<double>(k) / (n - 1);
      f = linear ? from + (to - from) * r : from * std::exp((std::log(to) - std::log(from)) * r);
    }
    double mag, db, ph;
    if (!data->GetFreqDataPoint(f, &mag, &db, &ph))
      return "No data or invalid data at f=" + sprintf3(f, 12);
    append(phase ? ph : (data_trace_.db ? db : mag));
  }
  return AnsiString(out);
}

void CTrace::SetExpr(const AnsiString& text) {
  switch (type_) {
    case TT_V:
    case TT_I:
    case TT_P:
    case TT_S:
      expr_ = AnsiString(TypeText(type_)) + "(" + text + ")";
      break;
    case TT_VAR:
      expr_ = text;
      break;
    default:
      break;
  }
}

AnsiString CTrace::GetTraceExpr() const {
  if (type_ != TT_MATH || cmp_id_ < 0) return expr_;
  const STraceFunction* f =
      GetTraceFunction(tran_ ? TranTraceFunction : FreqTraceFunction, func_id_);
  if (f == nullptr) return "Unknown function of " + expr_;
  if (f->id == F_FUNCTION) return expr_;
  return AnsiString(f->name) + " of " + expr_;
}

AnsiString CTrace::GetTraceName() const {
  AnsiString name = name_.IsEmpty() ? GetTraceExpr() : name_;
  if (ac_out_ == TAC_RE) return "Re of " + name;
  if (ac_out_ == TAC_IM) return "Im of " + name;
  return name;
}

void CTrace::NodeError(CXMLNode* node, const AnsiString& msg) const {
  // Like a component's messages, the text names what it is about; an
  // element can have several problems, one line each.
  const AnsiString line = GetTraceName() + msg;
  node->SetError(node->GetError().IsEmpty() ? line : node->GetError() + "\n" + line);
}

// An attribute holding one of count names, stored by name. On loading an
// unknown name takes fallback and records why + the name (no message when
// why is null).
void CTrace::SerializeNamed(CXMLNode* node, const char* attr, const char* const* names,
                            int count, int* field, int fallback, const char* why) const {
  const AnsiString text = node->Attribute(attr, TextOf(names, count, *field));
  if (node->IsStore()) return;
  *field = IndexOfText(names, count, text);
  if (*field < 0) {
    if (why != nullptr) NodeError(node, why + text);
    *field = fallback;
  }
}

bool CTrace::SerializeTrace(CXMLNode* node, bool withData) {
  if (node == nullptr) return false;
  const bool store = node->IsStore();

  cmp_id_ = node->AttributeInt("id", cmp_id_);
  expr_ = node->Attribute("expr", expr_);
  name_ = node->Attribute("name", name_);

  // An unset type is written, and an absent one read, as the fallback V.
  const char* type_text = TypeText(type_);
  const AnsiString type = node->Attribute("type", *type_text != '\0' ? type_text : "V");
  if (!store) {
    type_ = TypeFromText(type);
    if (type_ == TT_NONE) {
      NodeError(node, " : unknown trace type = " + type);
      type_ = TT_V;
    }
  }

  color_ = node->AttributeColor("color", color_);
  sel_ = node->AttributeBool("sel", sel_);
  plot_ = node->AttributeBool("plot", plot_);
  window_ = node->AttributeInt("window", window_);
  table_ = node->AttributeBool("table", table_);
  storage_ = node->AttributeBool("storage", storage_);
  tools_ = node->AttributeInt("tools", tools_);

  SerializeNamed(node, "mode", kModeNames, 3, &mode_, TM_ANALOG, " : unknown trace mode = ");

  // The threshold belongs to transient traces. Older documents give the
  // digital levels instead; the threshold is then their middle.
  if (store) {
    if (tran_) node->CreateAttributeDouble("dig_threshold", dig_threshold_);
  } else if (node->AttributeExists("dig_threshold")) {
    dig_threshold_ = node->GetAttributeDouble("dig_threshold", dig_threshold_);
  } else if (node->AttributeExists("dig_high") || node->AttributeExists("dig_low")) {
    const CDoc* doc = DocOf(traces_);
    const double high = node->GetAttributeDouble("dig_high", doc ? doc->HighLevel() : 5.0);
    const double low = node->GetAttributeDouble("dig_low", doc ? doc->LowLevel() : 0.0);
    dig_threshold_ = (high + low) * 0.5;
  }

  scale_ = node->AttributeDouble("scale", scale_);
  mid_ = node->AttributeDouble("mid", mid_);
  dig_style_ = node->AttributeInt("dig_style", dig_style_);

  SerializeNamed(node, "bus_format", kBusFormatNames, 5, &bus_format_, TB_DEC,
                 " : unknown trace bus format = ");

  bus_bits_ = node->AttributeInt("bus_bits", bus_bits_);
  bus_content_ = node->AttributeInt("bus_content", bus_content_);
  bus_fp_ = node->AttributeInt("bus_fp", bus_fp_);
  bus_text_ = node->Attribute("bus_text", bus_text_);
  shift_ = node->AttributeDouble("shift", shift_);
  xy_ = node->AttributeBool("xy", xy_);
  phase_width_ = node->AttributeInt("phase_width", phase_width_);

  // No message is defined for an unknown output: it reads as magnitude
  // and phase, the output every analysis has.
  SerializeNamed(node, "ac_out", kAcOutNames, 3, &ac_out_, TAC_MAG_PHASE, nullptr);

  width_ = node->AttributeInt("width", width_);
  scale_history_ = node->Attribute("scale_history", scale_history_);
  simple_line_ = node->AttributeBool("simple_line", simple_line_);
  simple_dp_ = node->AttributeBool("simple_dp", simple_dp_);
  line_ = node->AttributeInt("line", line_);
  marker_ = node->AttributeInt("marker", marker_);
  marker_style_ = node->AttributeInt("marker_style", marker_style_);
  marker_size_ = node->AttributeInt("marker_size", marker_size_);
  fft_div_ = node->AttributeBool("fft_div", fft_div_);

  if (store) {
    if (type_ == TT_MATH || has_function_) SerializeFunction(node->CreateNode("Function"));
  } else if (CXMLNode* f = node->Node("Function")) {
    has_function_ = true;
    SerializeFunction(f);
    // The function's problems are the trace's: report them on its element.
    if (!f->GetError().IsEmpty()) {
      node->SetError(node->GetError().IsEmpty() ? f->GetError()
                                                : node->GetError() + "\n" + f->GetError());
      f->SetError(AnsiString());
    }
  }

  // Annotations and stored-run descriptions travel as read.
  const auto keep = [node, store](const char* name, AnsiString& text, bool write) {
    if (store) {
      if (!write || text.IsEmpty()) return;
      CXMLNode* child = node->CreateNode(name);
      int pos = 1;
      child->ExecuteNode(text, pos);
      child->SetStore(true);
      return;
    }
    text = AnsiString();
    if (CXMLNode* child = node->Node(name)) child->WriteToString(text);
  };
  keep("Annotations", annotations_, true);
  keep("DataList", data_list_, withData);
  if (!store) {
    SyncDataTrace();
    ClearRunStats();
  }
  return true;
}

// The "Function" child of a Math trace: the function by name, its range
// and, per function, the settings it uses.
void CTrace::SerializeFunction(CXMLNode* node) {
  const bool store = node->IsStore();
  const AnsiString func = node->Attribute("func", TextOf(kFuncNames, kFuncCount, func_id_));
  if (!store) {
    func_id_ = IndexOfText(kFuncNames, kFuncCount, func);
    // Earlier names of the standard deviations.
    if (func == "acrms") func_id_ = F_SD;
    if (func == "movacrms") func_id_ = F_MOVSD;
    if (func_id_ < 0) {
      node->SetError(GetTraceName() + " : unknown trace function = " + func);
      func_id_ = F_FUNCTION;
    }
  }
  range_ = node->AttributeInt("range", range_);
  left_ = node->AttributeDouble("left", left_);
  right_ = node->AttributeDouble("right", right_);
  switch (func_id_) {
    case F_MIN:
      min_range_ = node->AttributeBool("min_range", min_range_);
      break;
    case F_MAX:
      max_range_ = node->AttributeBool("max_range", max_range_);
      break;
    case F_MEAN:
      mean_range_ = node->AttributeBool("mean_range", mean_range_);
      break;
    case F_LPF:
    case F_HPF:
      tc_ = node->AttributeDouble("tc", tc_);
      break;
    case F_MOVAVER:
    case F_MOVRMS:
    case F_MOVSD:
      fwindow_ = node->AttributeDouble("window", fwindow_);
      break;
    case F_REGR:
      order_ = node->AttributeInt("order", order_);
      reg_range_ = node->AttributeBool("reg_range", reg_range_);
      break;
    case F_COUNTER:
    case F_FVCONVERTER:
    case F_TVCONVERTER:
      threshold_ = node->AttributeDouble("threshold", threshold_);
      edge_ = node->AttributeInt("edge", edge_);
      break;
    default:
      break;
  }
}
