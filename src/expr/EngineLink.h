#pragma once
// What a running C program needs from the engine that runs it: somewhere to
// put its error, the time-out and stop rules, and the document whose
// settings and components its expressions read. The engine (CCalc)
// implements this; tests and fuzzers supply their own deterministic engines.

#include "base/AnsiString.h"

class CDoc;

// Largest array a C declaration may create, in elements, unless the engine
// sets its own limit. Beyond it the declaration fails with "Can't create
// variable" without asking the allocator, so that a mistyped size can
// neither take the machine's memory nor end the process from inside an
// allocator that refuses to return null.
constexpr int kMaxCArraySize = 1 << 24;

class CEngineLink {
 public:
  virtual ~CEngineLink() = default;

  // Replaces the engine's error text; an empty text clears it.
  virtual void SetError(const AnsiString& text) = 0;
  // True when the present evaluation has used more processor time than the
  // document allows. Asked by C loops every 100 passes, so it may be slow
  // compared with one pass but must not be slow compared with a hundred.
  virtual bool IsTimeout() = 0;
  // The terminate request of the engine: a running C loop ends without an
  // error text of its own when it sees it set.
  virtual bool IsStopRequested() const = 0;
  // The document whose levels, function cache and components formulas use;
  // may be null.
  virtual CDoc* GetDoc() const = 0;
  // Largest array a declaration may create, elements. A C program's work
  // between two time-out questions grows with its array sizes, so an engine
  // that must answer quickly (a fuzzer) keeps them small.
  virtual int MaxArraySize() const { return kMaxCArraySize; }
};
