#pragma once
// Sample storage of one trace run: a time-ordered list of points in blocks
// of 256, the blocks cut from chunks of 256 blocks (65536 points), read by
// index and by time, with cursor statistics between two times.
//
// Point index i lies in block i >> 8 at slot i & 255. Transient points are
// (time s, value); AC points are (frequency Hz, magnitude, phase degrees).
// Times and frequencies never decrease along the indexes.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "traces/DataBlock.h"

class CData {
 public:
  // Indexes of the cursor statistics, and of their names in VarNames.
  enum : int {
    kLeft = 0, kRight, kDelta, kMin, kMax, kPP, kMean, kRms, kSd, kFreq, kPeriod,
    kSlope, kIntegral, kCursor,
  };
  static constexpr int kStatCount = 13;  // stored statistics, kLeft..kIntegral
  // "left" .. "integral", then "cursor" (never matched by name).
  static const char* const VarNames[kStatCount + 1];

  // The run belongs to the trace described by `trace`, which must outlive
  // it; a null trace reads as an analog transient trace with no analysis.
  explicit CData(SDataTrace* trace);
  ~CData();
  CData(const CData&) = delete;
  CData& operator=(const CData&) = delete;

  int RunId() const { return run_id_; }
  void SetRunId(int id) { run_id_ = id; }
  int GetSize() const { return total_; }
  int64_t Bytes() const { return bytes_; }
  uint32_t Type() const { return type_; }
  int DoublesPerPoint() const { return doubles_; }
  // Added to every time read while the analysis's offset switch is on, s.
  double TimeOffset() const { return time_offset_; }
  void SetTimeOffset(double t) { time_offset_ = t; }

  // Makes an empty run typed: one raw sample of block type 1..8 per point,
  // time = index * x_scale + x_zero, value = (raw - y_offset) * y_scale +
  // y_zero. Type 0 makes it plain again. False (nothing changed) when the
  // run holds blocks or the type is above 8.
  bool SetTyped(uint32_t type, double x_zero, double x_scale, double y_zero, double y_scale,
                double y_offset);
  double XZero() const { return x_zero_; }
  double XScale() const { return x_scale_; }
  double YZero() const { return y_zero_; }
  double YScale() const { return y_scale_; }
  double YOffset() const { return y_offset_; }

  // --- Addressing ----------------------------------------------------------------
  // False for index < 0 (outputs untouched); else block = index >> 8,
  // slot = index & 255 and the result says whether the point exists.
  bool GetAdr(int index, int* block, int* slot) const;
  int GetBlockCount() const { return static_cast<int>(blocks_.size()); }
  CDataBlock* GetBlock(int i) const { return blocks_[static_cast<std::size_t>(i)].get(); }
  unsigned char* GetBlockData(int i) const { return GetBlock(i)->Data(); }

  // --- Reading by index ----------------------------------------------------------
  // Point `index`: t with the trace's time shift (and the run's offset when
  // the analysis's switch is on). With `digital`, a digital trace reads 0/1
  // by its threshold and a bus trace its value rounded to an integer.
  // An invalid index gives t = v = 0 and false.
  bool GetDataAt(int index, double* t, double* v, bool digital) const;
  bool GetLastData(double* t, double* v) const;
  // Time of the last point plus the trace's time shift; NaN when empty.
  double GetLastTime() const;
  // Sequential reading: GetFirst(i) then GetNext until it returns false.
  void GetFirst(int index) { next_ = index; }
  bool GetNext(double* t, double* v, bool digital);

  // --- Reading by time -----------------------------------------------------------
  // Index of the last point whose time is not after t (equal within the
  // relative tolerance 1e-12 counts as not after), or -1. t is as read,
  // i.e. with the time shift and run offset.
  int Find(double t) const;
  // Value at time t: linear between the points around it, step hold for
  // digital and bus traces when `digital` is set. NaN and false before the
  // first point and after the last (beyond the tolerance).
  bool GetDataPoint(double t, double* v, bool digital) const;

  // --- Writing -------------------------------------------------------------------
  // Appends (t, v), t not before the last point. True when the point is
  // stored with all earlier points; false when the oldest points had to go
  // to make room, or when the point itself could not be stored.
  bool AddDataPoint(double t, double v);
  // Overwrites point 0 (appends when the run is empty).
  void ReplaceDataPoint(double t, double v);
  // Adds (t, v) and moves it before later points, so the run stays sorted by
  // time; a point at an existing time goes after it. False when no memory.
  bool InsertDLLDataPoint(double t, double v);
  // Writes point `index` of an existing block; the block's count grows to
  // include it. False for a typed run or when the block does not exist.
  bool SetDLLData(int index, double t, double v);
  // Drops the points before the last one at or before stored time t, which
  // becomes point 0. Blocks stay allocated for the next points.
  void ClearDLLDataLessThan(double t);

  // --- AC points -----------------------------------------------------------------
  bool AddFreqDataPoint(double f, double mag, double phase);
  bool InsertFreqDataPoint(double f, double mag, double phase);
  // Zeros and false for an invalid index. Frequencies are not shifted.
  bool GetFreqDataAt(int index, double* f, double* mag, double* phase) const;
  bool GetNextFreqData(double* f, double* mag, double* phase);
  // Magnitude (as the trace's AC output shows it), its dB value and the phase
  // at frequency f, interpolated on the trace's frequency axis. All NaN and
  // false outside the points or, for a dB trace, for magnitudes outside
  // 1e-30 .. 1e300.
  bool GetFreqDataPoint(double f, double* mag, double* db, double* phase) const;
  // Stored magnitude and phase at f for formulas: the magnitude itself is
  // interpolated whatever the trace shows.
  bool GetFreqDataPointFormula(double f, double* mag, double* phase) const;
  // Unwraps the phases into a continuous curve.
  void AdjustPhase();

  // --- Statistics (DataStats.cpp) ------------------------------------------------
  // Cursor statistics of a transient run between times t1 and t2 (as read);
  // `frequency` also finds period and frequency from crossings of the mean.
  void CalcTranData(bool frequency, double t1, double t2);
  // AC statistics between frequencies f1 and f2; `with_slope` also computes
  // the gain slope.
  void CalcFreqData(bool with_slope, double f1, double f2);
  // Statistic `index` of the last Calc… run (kCursor: the value at `cursor`).
  bool GetDataVar(int index, double cursor, double* v) const;
  bool GetFreqDataVar(int index, double cursor, double* v, bool db) const;
  bool GetFreqDataVarPhase(int index, double cursor, double* v) const;
  // Named value of the run: "" (right), "left" .. "integral" between the
  // cursors left and right, "(x)" the value at x, each optionally preceded
  // by "phase" and one separator for AC phases. False for an unknown name or
  // a position that is not a number; ok tells whether a value came out.
  bool GetTraceValue(const AnsiString& name, double left, double right, double* v,
                     bool* ok);
  // Forgets the cached statistics of whole blocks (after the trace's mode or
  // threshold changed).
  void ClearTranData();

  // --- Bulk transfer and clearing ------------------------------------------------
  // Raw points (doubles, or raw samples of a typed run), block after block.
  void Save(std::FILE* file) const;
  // Appends up to count raw points from file; stops at a short read or when
  // no block can be had. Returns the points read.
  int Open(std::FILE* file, int count);
  // Copies all raw points to buffer (GetSize() * point size bytes); returns
  // the bytes written.
  int64_t Copy(unsigned char* buffer) const;
  // Appends count raw points from buffer; returns the points stored.
  int Paste(const unsigned char* buffer, int count);
  // Replaces this run's points and form by other's.
  bool Duplicate(const CData& other);
  // Frees every chunk and block; the run is empty and plain as created.
  void ClearData();

 private:
  // Takes the next block: a slice of the current chunk, a new chunk, or, when
  // memory runs out, the oldest chunk with the points in it. False when no
  // block can be had.
  bool NewBlock();
  // Stores the point at index total_. True when all earlier points are still
  // held; *stored (optional) tells whether the point itself is.
  bool Append(double x, double y, double z, bool* stored = nullptr);
  // Appends up to count raw points, read(dst, n) giving the points it put at
  // dst (n at most); stops at a short read or when no block can be had.
  template <class Reader>
  int Fill(int count, Reader read);
  // Moves the last point to just after the last point not after stored time
  // x (raw time, no shift), shifting the points between by one.
  void MoveLastInPlace(double x);
  // Index of the last point whose stored time is not after x, or -1.
  int FindStored(double x) const;
  void NoteTime(int index, double t) {
    if ((index & 255) == 0) first_[static_cast<std::size_t>(index >> 8)] = t;
  }
  double* PointPtr(int index) const {
    return blocks_[static_cast<std::size_t>(index >> 8)]->Points() + (index & 255) * doubles_;
  }
  // Time shift plus, with the analysis's switch on, the run's offset.
  double ReadShift() const;
  // Value as statistics and digital reads see it (0/1, rounded, itself).
  double Digital(double v) const;
  // Shared part of the two AC look-ups. With `shown` the magnitude is read
  // as the trace shows it (real or imaginary part, dB interpolated on a dB
  // trace); without it the stored magnitude itself is interpolated.
  bool FreqLookup(double f, bool shown, double* mag, double* db, double* phase) const;
  // Folds block statistics of points from..to (indexes) into the running
  // min, max and integrals, adding the intervals that join blocks.
  void FoldBlocks(int from, int to, double* mn, double* mx, double* integral,
                  double* integral2) const;

  SDataTrace* trace_;
  std::unique_ptr<SDataTrace> own_trace_;  // stands in for a missing trace
  int run_id_ = 0;
  uint32_t type_ = 0;     // 0 plain; 1..8 typed
  int doubles_ = 2;       // doubles per plain point: 2 transient, 3 AC
  int point_size_ = 16;   // bytes per point
  int total_ = 0;         // points held
  int64_t bytes_ = 0;     // chunk memory held by this run

  // Blocks in point order. The chunks they lie in are owned by the run; the
  // blocks of one chunk are consecutive in this list.
  std::vector<std::unique_ptr<CDataBlock>> blocks_;
  // Stored time of slot 0 of each block of a plain run (unset while the block
  // is empty), kept beside the list so the search over blocks reads one small
  // array instead of one chunk page per step. Every write of a slot-0 time
  // goes through NoteTime.
  std::vector<double> first_;
  unsigned char* chunk_ = nullptr;  // chunk with free slices, or none
  int chunk_used_ = 0;              // slices of chunk_ already given out

  double x_zero_ = 0.0, x_scale_ = 1.0;
  double y_zero_ = 0.0, y_scale_ = 1.0, y_offset_ = 0.0;

  int next_ = 0;              // sequential reading: next index
  double time_offset_ = 0.0;  // s

  // Statistics of the last CalcTranData / CalcFreqData, NaN when none.
  double stat_[kStatCount];
  double phase_[kStatCount];

  // Repeat compression: the last point appended, and whether it stands for
  // a run of equal values (its time then moves with every equal value).
  double* last_ = nullptr;
  bool repeat_ = false;
};
