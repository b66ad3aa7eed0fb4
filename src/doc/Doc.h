#pragma once
// A circuit document: what one circuit handle of the library names. It
// owns everything it creates and frees it when destroyed.

#include "base/AnsiString.h"

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

 private:
  AnsiString file_name_;  // full name of the file opened; used by Save
  AnsiString doc_name_;   // "qv" + running number until a file is opened
  int handle_ = -1;       // circuit handle; -1 until registered
  double low_ = 0.0, high_ = 5.0, thr_ = 2.5;
};
