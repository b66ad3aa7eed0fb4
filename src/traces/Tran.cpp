#include "traces/Tran.h"

#include "doc/xml.h"

bool CTran::SerializeTran(CXMLNode* node, bool withData) {
  if (node == nullptr) return false;
  CXMLNode* traces = node->Node("Traces");
  if (traces == nullptr) return true;  // loading a document without traces
  return traces_.SerializeTraces(traces, withData);
}
