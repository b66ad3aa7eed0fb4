// Building a signal before a run: the kind it runs as, the (time, value)
// tables of List, File and Trace signals, and the time variable of a
// Function signal.

#include <cmath>
#include <new>

#include "base/Lists.h"
#include "base/globals.h"
#include "circuit/Cmp.h"
#include "circuit/ElemSet.h"
#include "doc/Doc.h"
#include "elements/Signal.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "expr/VarList.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// One item of a list or a value file, read by the formula language so
// that "1m" or "2*pi" are valid times and values.
bool Evaluate(const AnsiString& text, CDoc* doc, double* v) {
  return formula(text, v, doc, nullptr, nullptr, false, nullptr, nullptr, false, false, 0, false);
}

// The lines of an attachment: split at line feeds, a carriage return
// before one dropped, as LoadFromFile reads a file.
void SplitLines(const AnsiString& text, TStringList& lines) {
  const std::string& s = text.str();
  std::size_t from = 0;
  while (from < s.size()) {
    std::size_t end = s.find('\n', from);
    if (end == std::string::npos) end = s.size();
    std::size_t len = end - from;
    if (len > 0 && s[from + len - 1] == '\r') --len;
    lines.Add(AnsiString(s.substr(from, len)));
    from = end + 1;
  }
}

}  // namespace

bool CSignal::CreateSignal(CCalc* calc) {
  if (owner_ != nullptr) kind_ = owner_->Model();
  table_t.clear();
  table_v.clear();
  table_index = -1;
  step_index_ = 1;
  try {
    switch (kind_) {
      case MC_PULSE:
        if (std::isinf(period.Value())) kind_ = MC_SINGLE;
        if (std::isinf(width.Value())) kind_ = MC_STEP;
        return true;
      case MC_SINGLE:
        if (std::isinf(width.Value())) kind_ = MC_STEP;
        return true;
      case MC_LIST:
        return CreateList(calc);
      case MC_FILE:
        return CreateFile(calc);
      case MC_TRACE:
        return CreateTrace(calc);
      case MC_FUNCTION:
        return CreateFunction();
      default:
        return true;
    }
  } catch (const std::bad_alloc&) {
    table_t.clear();
    table_v.clear();
    return Fail(calc, "No enough memory");
  }
}

bool CSignal::CreateList(CCalc* calc) {
  TStringList items;
  parse_params(list, items);
  // A list without a single (time, value) pair has no waveform at all.
  if (items.Count() < 2) return Fail(calc, "Empty list");
  CDoc* doc = DocOf(calc);
  const int pairs = items.Count() / 2;  // an odd last item is ignored
  table_t.reserve(static_cast<std::size_t>(pairs));
  table_v.reserve(static_cast<std::size_t>(pairs));
  for (int i = 0; i < pairs; ++i) {
    double t = 0.0, v = 0.0;
    if (!Evaluate(items[2 * i], doc, &t) || !Evaluate(items[2 * i + 1], doc, &v))
      return Fail(calc, AnsiString("Error: ") + m_global_errstr);
    table_t.push_back(t);
    table_v.push_back(v);
  }
  return true;
}

bool CSignal::CreateFile(CCalc* calc) {
  CDoc* doc = DocOf(calc);
  TStringList lines;
  // The document may carry the file's content with the component; that
  // copy is used before any file on disk, so a document moved without its
  // value file still runs.
  const bool attached = owner_ != nullptr && owner_->HasAttachment();
  if (attached) {
    SplitLines(owner_->AttachmentText(), lines);
  } else {
    if (file.Trim().IsEmpty()) return Fail(calc, "No file name");
    AnsiString path;
    if (doc != nullptr)
      path = doc->GetFullFileName(file, AnsiString());
    else if (FileExists(file))
      path = file;
    if (path.IsEmpty()) return Fail(calc, "File not found");
    if (!LoadFromFile(lines, path)) return Fail(calc, m_global_errstr);
  }
  bool first = true;  // the first line with two fields may be a header
  TStringList fields;
  for (int i = 0; i < lines.Count(); ++i) {
    if (lines[i].Trim().IsEmpty()) continue;
    parse_params(lines[i], fields);
    if (fields.Count() < 2) continue;
    double t = 0.0, v = 0.0;
    const bool ok = Evaluate(fields[0], doc, &t) && Evaluate(fields[1], doc, &v);
    const bool header = first;
    first = false;
    if (!ok) {
      if (header) continue;
      return Fail(calc, AnsiString("Error: ") + m_global_errstr);
    }
    table_t.push_back(t);
    table_v.push_back(v);
  }
  if (table_t.empty())
    return Fail(calc, attached ? AnsiString("Attachment is empty")
                               : AnsiString("Empty file '") + file + "'");
  return true;
}

bool CSignal::CreateTrace(CCalc* calc) {
  CDoc* doc = DocOf(calc);
  const bool transient = calc == nullptr || calc->IsTransient();
  CTran* analysis = doc == nullptr ? nullptr : (transient ? doc->Tran() : doc->Freq());
  CTrace* source =
      analysis == nullptr ? nullptr : analysis->Traces().FindTrace(trace, 0, false);
  if (source == nullptr) return Fail(calc, AnsiString("Trace ") + trace + " not found");
  CData* data = source->GetData(-1);
  if (data == nullptr || data->GetSize() < 1)
    return Fail(calc, AnsiString("Trace ") + trace + ": no data");
  // The caller's samples are copied: the trace may be changed or deleted
  // while the run goes on, the waveform stays the one the run began with.
  const int n = data->GetSize();
  table_t.reserve(static_cast<std::size_t>(n));
  table_v.reserve(static_cast<std::size_t>(n));
  data->GetFirst(0);
  double t = 0.0, v = 0.0;
  while (data->GetNext(&t, &v, false)) {
    table_t.push_back(t);
    table_v.push_back(v);
  }
  if (table_t.empty()) return Fail(calc, AnsiString("Trace ") + trace + ": no data");
  return true;
}

bool CSignal::CreateFunction() {
  vars_ = std::make_unique<CVarList>();
  if (vars_->AddVar("t", NUM_DOUBLE, 0) == nullptr) throw std::bad_alloc();
  return true;
}
