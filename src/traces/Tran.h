#pragma once
// CTran: one analysis of a document (the transient one or the AC one) with
// its trace collection. The document owns one of each.

#include "traces/Traces.h"

class CDoc;
class CXMLNode;

class CTran {
 public:
  // doc may be null (a tool or a test): the traces then take the default
  // digital levels.
  CTran(CDoc* doc, bool tran) : doc_(doc), tran_(tran), traces_(this) {}
  CTran(const CTran&) = delete;
  CTran& operator=(const CTran&) = delete;

  CDoc* Doc() const { return doc_; }
  bool IsTran() const { return tran_; }
  CTraces& Traces() { return traces_; }
  const CTraces& Traces() const { return traces_; }

  // Recording and order computation are bracketed by these; every call
  // arrives on the caller's thread, so there is nothing to lock.
  void Lock() {}
  void Unlock() {}

  // The trace list of the analysis element node ("Tran" or "Freq"): its
  // child "Traces" is created when storing and looked up when loading (a
  // missing one leaves the collection as it is). withData: when storing,
  // each trace also writes its stored-run descriptions. False only for a
  // null node.
  bool SerializeTran(CXMLNode* node, bool withData);

 private:
  CDoc* doc_;
  bool tran_;  // transient (true) or AC (false)
  CTraces traces_;
};
