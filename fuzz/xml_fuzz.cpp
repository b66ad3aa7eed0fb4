// The XML reader under arbitrary input: it must never fault, hang or run
// out of stack, and whatever it reads must write out (compact and indented)
// to text that reads back without error into a tree that writes the same
// compact text again. The input is read into a root named "QVS", as a
// document is, and into an unnamed node, which wraps it in "<top>".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Lists.h"
#include "doc/xml.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Parses text from its first byte (the root's start tag) into a fresh node
// and returns that node's compact text.
std::string Reparse(const AnsiString& text) {
  CXMLNode again;
  int pos = 1;
  Check(again.ExecuteNode(text, pos));
  AnsiString out;
  again.WriteToString(out);
  return out.str();
}

// The typed readers on every attribute of every node: arbitrary values go
// through strtol, strtod, sscanf and the Safe decoder.
void ReadAllAttributes(CXMLNode& root) {
  std::vector<CXMLNode*> todo{&root};
  while (!todo.empty()) {
    CXMLNode* n = todo.back();
    todo.pop_back();
    for (int i = 0; i < n->AttributeCount(); ++i) {
      AnsiString name, value;
      Check(n->GetAttribute(i, &name, &value));
      n->GetAttributeInt(name, 0);
      n->GetAttributeBool(name, false);
      n->GetAttributeDouble(name, 0.0);
      n->AttributeColor(name, 0);
      TPoint p;
      n->GetAttributePoint(name, p);
      n->GetAttributeSafe(name, "");
    }
    for (int i = 0; i < n->NodeCount(); ++i) todo.push_back(n->GetNode(i));
  }
}

void CheckWritten(CXMLNode& root) {
  AnsiString compact;
  root.WriteToString(compact);
  // The written text is a fixed point of reading and writing. (root itself
  // may hold more: data of an element with children is not written.)
  Check(Reparse(compact) == compact.str());

  TStringList lines;
  root.WriteToList(lines, 0);
  Check(Reparse(GetStringListText(lines)) == compact.str());

  root.GetNodeError();
  ReadAllAttributes(root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AnsiString text(reinterpret_cast<const char*>(data), size);

  CXMLNode named("QVS");
  if (named.ReadFromText(text, "fuzz")) {
    Check(named.GetError().IsEmpty());
    CheckWritten(named);
  } else {
    Check(named.GetError() == "fuzz : wrong file format");
  }

  CXMLNode unnamed;
  if (unnamed.ReadFromText(text, "fuzz")) {
    Check(unnamed.GetName() == "top");
    CheckWritten(unnamed);
  } else {
    Check(unnamed.GetError() == "fuzz : wrong file format");
  }
  return 0;
}
