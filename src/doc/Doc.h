#pragma once
// A circuit document: what one circuit handle of the library names. It
// owns everything it creates and frees it when destroyed.

#include "base/AnsiString.h"

struct SFuncEntry;

class CDoc {
 public:
  CDoc();
  ~CDoc();
  CDoc(const CDoc&) = delete;
  CDoc& operator=(const CDoc&) = delete;

  // Process-wide count of documents created; names them "qv1", "qv2", ...
  static int newDocCount;

  const AnsiString& FileName() const { return file_name_; }
  const AnsiString& DocName() const { return doc_name_; }
  int Handle() const { return handle_; }
  void SetHandle(int h) { handle_ = h; }

  // Digital levels of the "Advanced" settings, volts.
  double LowLevel() const { return low_; }
  double HighLevel() const { return high_; }
  double Threshold() const { return thr_; }

  // Function-table entries the formulas of this document used lately, per
  // name length 1..7. The evaluator searches them before the static tables
  // and adds a table hit while a length holds fewer than kFuncCacheSize.
  static constexpr int kFuncCacheSize = 10;
  struct SFuncCache {
    const SFuncEntry* entries[kFuncCacheSize] = {};
    int count = 0;
  };
  // The cache of names of length len; null outside 1..7.
  SFuncCache* FuncCache(int len) {
    return len >= 1 && len <= 7 ? &func_cache_[len] : nullptr;
  }
  // Empties the function cache; done when the document is reset.
  void clear_func_list();

 private:
  AnsiString file_name_;  // full name of the file opened; used by Save
  AnsiString doc_name_;   // "qv" + running number until a file is opened
  int handle_ = -1;       // circuit handle; -1 until registered
  double low_ = 0.0, high_ = 5.0, thr_ = 2.5;
  SFuncCache func_cache_[8];  // index = name length; 0 unused
};
