#pragma once
// One block of up to 256 samples of a trace run, and the two records through
// which a run's storage sees its trace and its analysis.

#include <cstdint>

// What a storage run reads from the analysis (transient or AC) its trace
// belongs to, and the memory it counts there. The analysis object owns one
// and every storage of its traces points to it.
struct SDataTran {
  // Sample memory of every storage of the analysis, bytes. Each storage adds
  // a chunk's size when it takes one and subtracts it when it frees it.
  int64_t bytes = 0;
  // Cap on `bytes`, 0 = none. A chunk that would pass it is treated as an
  // allocation failure, so the storage recycles its oldest points instead.
  // The library leaves it 0; a host short of memory, or a test, sets it.
  int64_t max_bytes = 0;
  // Times read from a run include the run's time offset (SetTimeOffset).
  bool offset = false;
  // Repeat compression: a run of equal values is kept as its first point and
  // one end point that moves along. A document setting, copied here.
  bool compress = false;
};

// What a storage run reads from its trace. The trace owns one, keeps it up to
// date when its settings change, and every run of the trace points to it.
struct SDataTrace {
  static constexpr int kAnalog = 0, kDigital = 1, kBus = 2;   // mode
  static constexpr int kMagPhase = 0, kReal = 1, kImag = 2;   // ac_out
  static constexpr int kTypeVSWR = 8;                         // type

  bool transient = true;  // false for a trace of the AC collection
  int type = 0;           // trace kind (0 "V" ... 14 "Data")
  int mode = kAnalog;
  double time_shift = 0.0;       // s, added to every stored time when read
  double threshold = 2.5;        // V; a digital value above it reads as 1
  int bus_fraction_bits = 0;     // bus values are fixed point with this many
  int ac_out = kMagPhase;        // AC magnitudes read as |z|, Re z or Im z
  // AC display flags. No document attribute carries them, so they start
  // off: a value between two frequency points is interpolated linearly in
  // f, and magnitudes read as the ratios the analysis stores (what
  // QVS_GetACDataAt gives), not in dB. A display that plots a logarithmic
  // axis or dB sets them on the trace.
  bool log_freq = false;         // AC: frequency axis is logarithmic
  bool db = false;               // AC: magnitudes shown in dB
  int points_added = 0;          // every append counts here, kept or not
  SDataTran* tran = nullptr;     // the analysis; none = no accounting
};

// A block lies inside a chunk of its storage and does not own its points.
// Plain blocks (type 0) hold `doubles` doubles per point: time and value,
// or frequency, magnitude and phase (degrees). Typed blocks (types 1..8)
// hold one raw sample per point; its time follows from the slot.
class CDataBlock {
 public:
  static constexpr int kPoints = 256;

  // Raw sample width in bytes per block type (0 = plain, no fixed width).
  static int TypeWidth(uint32_t type);

  uint32_t Type() const { return type_; }
  int Count() const { return count_; }
  bool Typed() const { return type_ != 0; }
  unsigned char* Data() const { return data_; }
  double* Points() const { return reinterpret_cast<double*>(data_); }
  double ValueMax() const { return vmax_; }
  double ValueMin() const { return vmin_; }

  // Point `index` of a typed block: t = index * x_scale + x_zero,
  // v = (raw - y_offset) * y_scale + y_zero. False for a plain block or an
  // index outside 0 .. Count() - 1 (outputs untouched).
  bool GetBlockDataAt(int index, double* t, double* v) const;
  // Time (frequency) and value (magnitude) of slot `index` of any block; the
  // index is not checked.
  void PointAt(int index, double* t, double* v) const;
  // Recomputes the value maximum and minimum from the points held.
  void CreateBlockFD();

  // Statistics over slots from..to (to is limited to the last point held):
  // minimum, maximum, integral and integral of the square for transient
  // blocks, with digital values read as 0/1 and bus values rounded;
  // magnitude (or real or imaginary part) and phase limits for AC blocks.
  // A run over a whole full block is cached until ClearStats.
  void CalcBlock(int from, int to, const SDataTrace& trace);
  void ClearStats() { whole_ = false; }

  double Min() const { return min_; }
  double Max() const { return max_; }
  double Integral() const { return integral_; }
  double Integral2() const { return integral2_; }
  double PhaseMin() const { return phase_min_; }
  double PhaseMax() const { return phase_max_; }

 private:
  friend class CData;

  // Value that statistics see for a raw value: 0/1 for digital traces,
  // the nearest integer for bus traces, the value itself otherwise.
  static double StatValue(double v, const SDataTrace& trace);
  // Records a point just written at slot `slot` in the value limits.
  void NoteValue(int slot, double v);

  uint32_t type_ = 0;      // 0 plain; 1..8 typed (see TypeWidth)
  int doubles_ = 2;        // doubles per plain point: 2 transient, 3 AC
  int point_size_ = 16;    // bytes per point
  double x_zero_ = 0.0, x_scale_ = 1.0;  // typed: time of slot 0, step
  double y_zero_ = 0.0, y_scale_ = 1.0, y_offset_ = 0.0;  // typed values
  unsigned char* data_ = nullptr;   // slot 0 of this block
  int count_ = 0;                   // points held, 0..256
  unsigned char* chunk_ = nullptr;  // base of the chunk data_ lies in
  int chunk_pos_ = 0;               // 256-point slice of the chunk, 0..255
  double vmax_ = 0.0, vmin_ = 0.0;  // value limits of the points held

  // Last CalcBlock run. whole_ marks a run over all 256 slots, which later
  // runs over the whole block reuse.
  double min_ = 0.0, max_ = 0.0, integral_ = 0.0, integral2_ = 0.0;
  double phase_min_ = 0.0, phase_max_ = 0.0;
  bool whole_ = false;
};
