#pragma once
// CTran: one analysis of a document (the transient one or the AC one) with
// its trace collection. The document owns one of each.

#include "traces/DataBlock.h"
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

  // What every storage run of the analysis's traces reads and counts: the
  // sample memory in bytes, the offset and compression switches.
  SDataTran& DataTran() { return data_tran_; }
  const SDataTran& DataTran() const { return data_tran_; }
  int64_t Bytes() const { return data_tran_.bytes; }
  // Set when an append had to drop old points, or lost its point, for lack
  // of memory; the caller clears it.
  bool DataLost() const { return data_lost_; }
  void SetDataLost(bool on) { data_lost_ = on; }
  // Times read from runs include each run's time offset.
  bool OffsetSwitch() const { return data_tran_.offset; }
  void SetOffsetSwitch(bool on) { data_tran_.offset = on; }

  // One point of every trace at the engine's present time, in calculation
  // order; traces with a negative component id (Data traces, traces kept
  // for their stored data) are skipped. False when some trace failed (its
  // formula's text is the engine's error); the others are still recorded.
  bool AddTranPoint(bool replace);
  // The same for the AC collection at frequency f, Hz, stopping at the
  // first trace that fails.
  bool AddFreqPoint(double f);

  // Writes the trace data file: root "QVS_tran" (transient) or "QVS_freq"
  // with one "Trace" element per trace that has a run 0, one zero byte,
  // then those runs' raw points. False when the file cannot be written.
  bool SaveDLLData(const AnsiString& path);

  // The trace list of the analysis element node ("Tran" or "Freq"): its
  // child "Traces" is created when storing and looked up when loading (a
  // missing one leaves the collection as it is). withData: when storing,
  // each trace also writes its stored-run descriptions. False only for a
  // null node.
  bool SerializeTran(CXMLNode* node, bool withData);

 private:
  CDoc* doc_;
  bool tran_;  // transient (true) or AC (false)
  bool data_lost_ = false;
  // Declared before the traces: their runs subtract their memory here when
  // they are destroyed.
  SDataTran data_tran_;
  CTraces traces_;
};
