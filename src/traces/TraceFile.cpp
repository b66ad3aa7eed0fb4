// Recorded points leaving and entering the library as files: the trace
// data file (".qvt" transient, ".qvf" AC) and the points stored after the
// text of a circuit document. Both are an XML text that describes the
// traces and the size and kind of each run, one zero byte, then the raw
// points of every described run, in the order of the description. The
// description and the points are written from one list of runs, so the
// sizes always match the points that follow.

#include <cstdio>
#include <memory>
#include <vector>

#include "doc/xml.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// "Data" attributes of a run: id when asked, size, block type, and the
// scales of a typed run.
void DescribeRun(CXMLNode* data, const CData& run, bool with_id) {
  if (with_id) data->CreateAttributeInt("id", run.RunId());
  data->CreateAttributeInt("size", run.GetSize());
  data->CreateAttributeInt("type", static_cast<int>(run.Type()));
  if (run.Type() != 0) {
    data->CreateAttributeDouble("x_zero", run.XZero());
    data->CreateAttributeDouble("x_scale", run.XScale());
    data->CreateAttributeDouble("y_zero", run.YZero());
    data->CreateAttributeDouble("y_scale", run.YScale());
    data->CreateAttributeDouble("y_offset", run.YOffset());
  }
}

}  // namespace

// --- Trace data files ------------------------------------------------------------------

void CTrace::SaveDLLTraceData(CXMLNode* root) {
  CData* run = GetData(0);
  if (run == nullptr) return;
  CXMLNode* node = root->CreateNode("Trace");
  node->SetStore(true);
  // The file's copy is named after this trace; the trace keeps its own.
  const AnsiString name = Name(), expr = Expr();
  const AnsiString shown = GetTraceName();
  SetName(AnsiString());
  SetExprText(AnsiString("Copy of ") + shown);
  SerializeTrace(node, false);
  SetName(name);
  SetExprText(expr);
  node->CreateAttributeInt("size", run->GetSize());
  CXMLNode* data = node->CreateNode("Data");
  data->CreateAttributeInt("type", static_cast<int>(run->Type()));
  if (run->Type() != 0) {
    data->CreateAttributeDouble("x_zero", run->XZero());
    data->CreateAttributeDouble("x_scale", run->XScale());
    data->CreateAttributeDouble("y_zero", run->YZero());
    data->CreateAttributeDouble("y_scale", run->YScale());
    data->CreateAttributeDouble("y_offset", run->YOffset());
  }
  // Runs carry no annotations of their own: the trace's, when it has them,
  // were written by SerializeTrace; otherwise an empty element says so.
  if (node->GetNode("Annotations", 0) == nullptr) node->CreateNode("Annotations");
}

bool CTran::SaveDLLData(const AnsiString& path) {
  CXMLNode root(tran_ ? "QVS_tran" : "QVS_freq");
  root.SetStore(true);
  for (int i = 0; i < traces_.Count(); ++i) traces_.GetAt(i)->SaveDLLTraceData(&root);
  AnsiString text;
  root.WriteToString(text);
  FilePtr f(std::fopen(path.c_str(), "w+b"));
  if (!f) return false;
  std::fwrite(text.c_str(), 1, static_cast<std::size_t>(text.Length()) + 1, f.get());
  for (int i = 0; i < traces_.Count(); ++i)
    if (const CData* run = traces_.GetAt(i)->GetData(0)) run->Save(f.get());
  return true;
}

// --- Points stored with the document -----------------------------------------------------

// Math traces computed from another trace keep no points in the document:
// their values come back when the source trace is processed again.
static bool StoresPoints(const CTrace* trace) {
  return !(trace->Type() == TT_MATH && trace->CmpId() != -1);
}

void CTraces::DescribeStoredRuns(CXMLNode* traces_node) {
  int index = 0;
  for (int i = 0; i < traces_node->NodeCount() && index < Count(); ++i) {
    CXMLNode* element = traces_node->GetNode(i);
    if (element->GetName() != "Trace") continue;
    CTrace* trace = GetAt(index++);
    // An old description is replaced, or removed when nothing follows it.
    for (int k = element->NodeCount() - 1; k >= 0; --k)
      if (element->GetNode(k)->GetName() == "DataList") element->DeleteNode(k);
    if (!StoresPoints(trace)) continue;
    CXMLNode* list = nullptr;
    for (int r = 0; r < trace->GetDataSize(); ++r) {
      const CData* run = trace->GetDataAt(r);
      if (run == nullptr || run->GetSize() == 0) continue;
      if (list == nullptr) {
        list = element->CreateNode("DataList");
        list->SetStore(true);
      }
      DescribeRun(list->CreateNode("Data"), *run, true);
    }
  }
}

bool CTraces::SaveTracesData(std::FILE* file) const {
  for (int i = 0; i < Count(); ++i) {
    const CTrace* trace = GetAt(i);
    if (!StoresPoints(trace)) continue;
    for (int r = 0; r < trace->GetDataSize(); ++r) {
      const CData* run = trace->GetDataAt(r);
      if (run != nullptr && run->GetSize() > 0) run->Save(file);
    }
  }
  return true;
}

bool CTraces::OpenTraceData(const AnsiString& path, CXMLNode* traces_node, long& offset) {
  if (Count() == 0 || traces_node == nullptr) return true;
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  if (offset == 0) {
    // The document text and its terminating zero byte.
    int c;
    while ((c = std::fgetc(f.get())) != EOF) {
      ++offset;
      if (c == 0) break;
    }
  } else if (std::fseek(f.get(), offset, SEEK_SET) != 0) {
    return false;
  }
  bool any = false;
  int index = 0;
  for (int i = 0; i < traces_node->NodeCount() && index < Count(); ++i) {
    CXMLNode* element = traces_node->GetNode(i);
    if (element->GetName() != "Trace") continue;
    CTrace* trace = GetAt(index++);
    CXMLNode* list = element->GetNode("DataList", 0);
    if (list == nullptr) continue;
    for (int k = 0; k < list->NodeCount(); ++k) {
      CXMLNode* data = list->GetNode(k);
      if (data->GetName() != "Data") continue;
      const int count = data->GetAttributeInt("size", 0);
      if (count <= 0) continue;
      const int id = data->GetAttributeInt("id", 0);
      CData* run = trace->CreateData(id);
      if (run == nullptr) return false;
      const int type = data->GetAttributeInt("type", 0);
      if (type != 0)
        run->SetTyped(static_cast<uint32_t>(type), data->GetAttributeDouble("x_zero", 0.0),
                      data->GetAttributeDouble("x_scale", 1.0),
                      data->GetAttributeDouble("y_zero", 0.0),
                      data->GetAttributeDouble("y_scale", 1.0),
                      data->GetAttributeDouble("y_offset", 0.0));
      run->Open(f.get(), count);
      any = true;
    }
  }
  if (any) offset = std::ftell(f.get());
  return true;
}
