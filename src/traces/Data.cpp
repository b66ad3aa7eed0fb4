#include "traces/Data.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "expr/globals.h"

// Raw points are written and read as the host lays them out; trace data
// files are little-endian.
static_assert(std::endian::native == std::endian::little, "raw points are little-endian");

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDegToRad = 3.14159265358 / 180.0;
// A chunk holds 256 blocks of 256 points.
constexpr int kBlocksPerChunk = 256;
constexpr int kChunkPoints = kBlocksPerChunk * CDataBlock::kPoints;

bool MagnitudeInDbRange(double m) { return m >= 1e-30 && m <= 1e300; }

}  // namespace

const char* const CData::VarNames[kStatCount + 1] = {
    "left", "right", "delta", "min",    "max",   "pp",       "mean",
    "rms",  "sd",    "freq",  "period", "slope", "integral", "cursor",
};

CData::CData(SDataTrace* trace) : trace_(trace) {
  if (trace_ == nullptr) {
    // An analog transient trace that belongs to no analysis.
    own_trace_ = std::make_unique<SDataTrace>();
    trace_ = own_trace_.get();
  }
  doubles_ = trace_->transient ? 2 : 3;
  point_size_ = 8 * doubles_;
  for (int k = 0; k < kStatCount; ++k) stat_[k] = phase_[k] = kNaN;
}

CData::~CData() { ClearData(); }

bool CData::SetTyped(uint32_t type, double x_zero, double x_scale, double y_zero, double y_scale,
                     double y_offset) {
  if (!blocks_.empty() || type > 8) return false;
  type_ = type;
  point_size_ = type == 0 ? 8 * doubles_ : CDataBlock::TypeWidth(type);
  x_zero_ = x_zero;
  x_scale_ = x_scale;
  y_zero_ = y_zero;
  y_scale_ = y_scale;
  y_offset_ = y_offset;
  return true;
}

// --- Blocks and chunks ---------------------------------------------------------------

bool CData::NewBlock() {
  // The block record first: failing here must not leave a slice taken.
  std::unique_ptr<CDataBlock> block(new (std::nothrow) CDataBlock);
  if (!block) return false;

  if (chunk_ == nullptr) {
    const int64_t size = int64_t{point_size_} * kChunkPoints;
    SDataTran* tran = trace_->tran;
    unsigned char* base = nullptr;
    if (tran == nullptr || tran->max_bytes <= 0 || tran->bytes + size <= tran->max_bytes)
      base = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(size)));
    if (base != nullptr) {
      bytes_ += size;
      if (tran != nullptr) tran->bytes += size;
    } else {
      // Out of memory: the oldest chunk goes, with every point in it, and
      // the run becomes a ring of its newest points. All chunks are full
      // here (only the current chunk has free slices), and the blocks of
      // the oldest chunk lead the list.
      if (blocks_.empty()) return false;
      base = blocks_.front()->chunk_;
      std::size_t n = 0;
      while (n < blocks_.size() && blocks_[n]->chunk_ == base) {
        total_ -= blocks_[n]->count_;
        ++n;
      }
      blocks_.erase(blocks_.begin(), blocks_.begin() + static_cast<std::ptrdiff_t>(n));
      first_.erase(first_.begin(), first_.begin() + static_cast<std::ptrdiff_t>(n));
      last_ = nullptr;  // may have pointed into the chunk just taken back
      repeat_ = false;
    }
    chunk_ = base;
    chunk_used_ = 0;
  }

  const int pos = chunk_used_++;
  block->chunk_ = chunk_;
  block->chunk_pos_ = pos;
  block->data_ = chunk_ + std::size_t{static_cast<unsigned>(pos)} * CDataBlock::kPoints *
                              static_cast<unsigned>(point_size_);
  if (chunk_used_ == kBlocksPerChunk) chunk_ = nullptr;

  block->type_ = type_;
  block->doubles_ = doubles_;
  block->point_size_ = point_size_;
  block->x_zero_ = x_zero_ + static_cast<double>(blocks_.size()) * CDataBlock::kPoints * x_scale_;
  block->x_scale_ = x_scale_;
  block->y_zero_ = y_zero_;
  block->y_scale_ = y_scale_;
  block->y_offset_ = y_offset_;
  blocks_.push_back(std::move(block));
  first_.push_back(0.0);
  return true;
}

void CData::ClearData() {
  // The blocks of one chunk are consecutive, so each chunk is freed once.
  const int64_t size = int64_t{point_size_} * kChunkPoints;
  unsigned char* previous = nullptr;
  for (const auto& block : blocks_) {
    if (block->chunk_ == previous) continue;
    previous = block->chunk_;
    std::free(previous);
    bytes_ -= size;
    if (trace_->tran != nullptr) trace_->tran->bytes -= size;
  }
  blocks_.clear();
  first_.clear();
  chunk_ = nullptr;
  chunk_used_ = 0;
  total_ = 0;
  next_ = 0;
  last_ = nullptr;
  repeat_ = false;
  // An emptied run takes points again: it is plain as when created.
  type_ = 0;
  point_size_ = 8 * doubles_;
  x_zero_ = 0.0;
  x_scale_ = 1.0;
  y_zero_ = 0.0;
  y_scale_ = 1.0;
  y_offset_ = 0.0;
}

void CData::ClearTranData() {
  for (const auto& block : blocks_) block->ClearStats();
}

// --- Addressing and reading ----------------------------------------------------------

bool CData::GetAdr(int index, int* block, int* slot) const {
  if (index < 0) return false;
  *block = index >> 8;
  *slot = index & 255;
  return index < total_;
}

double CData::ReadShift() const {
  // Frequencies of AC runs are never shifted.
  return trace_->transient ? trace_->time_shift : 0.0;
}

double CData::Digital(double v) const { return CDataBlock::StatValue(v, *trace_); }

bool CData::GetDataAt(int index, double* t, double* v, bool digital) const {
  if (index < 0 || index >= total_) {
    *t = 0.0;
    *v = 0.0;
    return false;
  }
  blocks_[static_cast<std::size_t>(index >> 8)]->PointAt(index & 255, t, v);
  *t += ReadShift();
  if (trace_->transient && trace_->tran != nullptr && trace_->tran->offset) *t += time_offset_;
  if (digital) *v = Digital(*v);
  return true;
}

bool CData::GetLastData(double* t, double* v) const {
  return GetDataAt(total_ - 1, t, v, true);
}

double CData::GetLastTime() const {
  if (total_ == 0) return kNaN;
  double t, v;
  blocks_[static_cast<std::size_t>((total_ - 1) >> 8)]->PointAt((total_ - 1) & 255, &t, &v);
  return t + ReadShift();
}

bool CData::GetNext(double* t, double* v, bool digital) {
  if (next_ < 0 || next_ >= total_) return false;
  return GetDataAt(next_++, t, v, digital);
}

int CData::FindStored(double x) const {
  if (total_ == 0) return -1;
  if (CompareValues(first_.front(), x) > 0) return -1;
  // Each search halves with the plain comparison (a time not above x never
  // compares after it), then steps over the few following times that equal
  // x within the tolerance. The result is the last one not after x by
  // CompareValues, as a tolerant halving would find, at a fraction of the
  // cost.
  auto first_time = [this](int b) { return first_[static_cast<std::size_t>(b)]; };
  const int used = (total_ + CDataBlock::kPoints - 1) >> 8;
  int lo = 0, hi = used;  // block lo's first time is not after x
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (first_time(mid) > x) hi = mid;
    else lo = mid;
  }
  while (lo + 1 < used && CompareValues(first_time(lo + 1), x) <= 0) ++lo;
  const int block = lo;
  const double* p = blocks_[static_cast<std::size_t>(block)]->Points();
  const int count = std::min(CDataBlock::kPoints, total_ - (block << 8));
  lo = 0;
  hi = count;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (p[mid * doubles_] > x) hi = mid;
    else lo = mid;
  }
  while (lo + 1 < count && CompareValues(p[(lo + 1) * doubles_], x) <= 0) ++lo;
  return (block << 8) + lo;
}

int CData::Find(double t) const {
  if (total_ == 0) return -1;
  double x = t - ReadShift();
  if (trace_->transient && trace_->tran != nullptr && trace_->tran->offset) x -= time_offset_;
  if (type_ == 0) return FindStored(x);

  // Typed: times are evenly spaced from x_zero.
  if (x < x_zero_) return -1;
  const double d = x - x_zero_;
  if (d > (total_ - 1) * x_scale_) return total_ - 1;
  const double q = std::trunc(d / x_scale_);
  if (!(q >= 0.0)) return 0;
  if (q > total_ - 1) return total_ - 1;
  return static_cast<int>(q);
}

bool CData::GetDataPoint(double t, double* v, bool digital) const {
  *v = kNaN;
  const int i = Find(t);
  if (i < 0 || i >= total_) return false;
  double ti, vi;
  GetDataAt(i, &ti, &vi, digital);
  if (i == total_ - 1) {
    if (CompareValues(ti, t) < 0) return false;  // clearly after the last point
    *v = vi;
    return true;
  }
  if (digital && (trace_->mode == SDataTrace::kDigital || trace_->mode == SDataTrace::kBus)) {
    *v = vi;  // a level holds until the next point
    return true;
  }
  double tj, vj;
  GetDataAt(i + 1, &tj, &vj, digital);
  *v = tj > ti ? vi + (t - ti) / (tj - ti) * (vj - vi) : vi;
  return true;
}

// --- Appending -------------------------------------------------------------------------

bool CData::Append(double x, double y, double z, bool* stored) {
  if (stored != nullptr) *stored = false;
  int block = total_ >> 8;
  int slot = total_ & 255;
  ++trace_->points_added;
  bool kept = true;
  if (block == static_cast<int>(blocks_.size())) {
    if (!NewBlock()) return false;
    // Recycling drops whole leading blocks, which moves this point's place.
    const int now = total_ >> 8;
    slot = total_ & 255;
    kept = now == block;
    block = now;
  }
  CDataBlock& b = *blocks_[static_cast<std::size_t>(block)];
  double* p = b.Points() + slot * doubles_;
  p[0] = x;
  p[1] = y;
  if (doubles_ > 2) p[2] = z;
  NoteTime(total_, x);
  last_ = p;
  b.NoteValue(slot, y);
  b.count_ = slot + 1;
  b.whole_ = false;
  ++total_;
  if (stored != nullptr) *stored = true;
  return kept;
}

bool CData::AddDataPoint(double t, double v) {
  if (type_ != 0) return true;  // a typed run is read from files only
  if (last_ != nullptr && trace_->tran != nullptr && trace_->tran->compress) {
    if (repeat_) {
      if (CompareValues(v, last_[1]) == 0) {
        last_[0] = t;  // the run of equal values now ends here
        NoteTime(total_ - 1, t);
        blocks_[static_cast<std::size_t>((total_ - 1) >> 8)]->whole_ = false;
        return true;
      }
      repeat_ = false;
    } else if (CompareValues(v, last_[1]) == 0) {
      repeat_ = true;  // this point becomes the moving end of the run
    }
  }
  return Append(t, v, 0.0);
}

bool CData::AddFreqDataPoint(double f, double mag, double phase) {
  if (type_ != 0) return true;
  return Append(f, mag, phase);
}

void CData::ReplaceDataPoint(double t, double v) {
  if (type_ != 0) return;
  if (total_ == 0) {
    Append(t, v, 0.0);
    return;
  }
  CDataBlock& b = *blocks_.front();
  double* p = b.Points();
  p[0] = t;
  p[1] = v;
  NoteTime(0, t);
  b.CreateBlockFD();
  b.whole_ = false;
}

bool CData::SetDLLData(int index, double t, double v) {
  if (type_ != 0 || index < 0) return false;
  const std::size_t block = static_cast<std::size_t>(index >> 8);
  const int slot = index & 255;
  if (block >= blocks_.size()) return false;
  CDataBlock& b = *blocks_[block];
  double* p = b.Points() + slot * doubles_;
  p[0] = t;
  p[1] = v;
  NoteTime(index, t);
  if (slot >= b.count_) {
    const bool first = b.count_ == 0;
    b.count_ = slot + 1;
    if (first) b.vmax_ = b.vmin_ = v;
    else b.NoteValue(slot, v);
  } else {
    b.CreateBlockFD();  // an overwritten value may have been a limit
  }
  b.whole_ = false;
  return true;
}

void CData::MoveLastInPlace(double x) {
  const int n = total_ - 1;  // index of the point to move
  // Where it goes: after the last of the other points not after x.
  int k;
  --total_;
  k = FindStored(x);
  ++total_;
  const int pos = k + 1;
  if (pos >= n) return;
  double moved[3];
  std::memcpy(moved, PointPtr(n), sizeof(double) * static_cast<std::size_t>(doubles_));
  for (int j = n; j > pos; --j)
    std::memcpy(PointPtr(j), PointPtr(j - 1), sizeof(double) * static_cast<std::size_t>(doubles_));
  std::memcpy(PointPtr(pos), moved, sizeof(double) * static_cast<std::size_t>(doubles_));
  for (int b = pos >> 8; b <= n >> 8; ++b) {
    blocks_[static_cast<std::size_t>(b)]->CreateBlockFD();
    blocks_[static_cast<std::size_t>(b)]->whole_ = false;
    NoteTime(b << 8, PointPtr(b << 8)[0]);
  }
  last_ = PointPtr(n);
  repeat_ = false;
}

// Samples given by a caller are kept as given: no repeat compression, which
// would move a point's time while points are being sorted in.
bool CData::InsertDLLDataPoint(double t, double v) {
  if (type_ != 0) return true;
  bool stored;
  const bool kept = Append(t, v, 0.0, &stored);
  if (!stored) return false;  // no memory for the point
  if (total_ >= 2 && CompareValues(t, PointPtr(total_ - 2)[0]) < 0) MoveLastInPlace(t);
  return kept;
}

bool CData::InsertFreqDataPoint(double f, double mag, double phase) {
  if (type_ != 0) return true;
  bool stored;
  const bool kept = Append(f, mag, phase, &stored);
  if (!stored) return false;
  if (total_ >= 2 && CompareValues(f, PointPtr(total_ - 2)[0]) < 0) MoveLastInPlace(f);
  return kept;
}

void CData::ClearDLLDataLessThan(double t) {
  if (type_ != 0 || total_ < 2) return;
  int k = -1;
  for (int i = total_ - 1; i >= 1; --i) {
    if (CompareValues(PointPtr(i)[0], t) <= 0) {
      k = i;
      break;
    }
  }
  if (k < 0) return;
  last_ = nullptr;
  repeat_ = false;
  for (const auto& block : blocks_) {
    block->count_ = 0;
    block->whole_ = false;
  }
  const int n = total_ - k;
  const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(doubles_);
  for (int j = 0; j < n; ++j) {
    double* dst = PointPtr(j);
    std::memcpy(dst, PointPtr(k + j), bytes);  // k >= 1: never the same point
    NoteTime(j, dst[0]);
    CDataBlock& b = *blocks_[static_cast<std::size_t>(j >> 8)];
    b.NoteValue(j & 255, dst[1]);
    b.count_ = (j & 255) + 1;
  }
  total_ = n;
}

// --- AC points -------------------------------------------------------------------------

bool CData::GetFreqDataAt(int index, double* f, double* mag, double* phase) const {
  if (index < 0 || index >= total_) {
    *f = *mag = *phase = 0.0;
    return false;
  }
  const double* p = PointPtr(index);
  *f = p[0];
  *mag = p[1];
  *phase = doubles_ > 2 ? p[2] : 0.0;
  return true;
}

bool CData::GetNextFreqData(double* f, double* mag, double* phase) {
  if (next_ < 0 || next_ >= total_) return false;
  return GetFreqDataAt(next_++, f, mag, phase);
}

bool CData::FreqLookup(double f, bool shown, double* mag, double* db, double* phase) const {
  *mag = *db = *phase = kNaN;
  const int i = Find(f);
  if (i < 0 || i >= total_ || type_ != 0 || doubles_ < 3) return false;
  const bool in_db = shown && trace_->db;
  // Magnitude as shown: |z|, or its real or imaginary part.
  auto shown_mag = [&](const double* p) {
    if (!shown || trace_->ac_out == SDataTrace::kMagPhase) return p[1];
    return trace_->ac_out == SDataTrace::kReal ? p[1] * std::cos(p[2] * kDegToRad)
                                               : p[1] * std::sin(p[2] * kDegToRad);
  };
  const double* pi = PointPtr(i);
  const double fi = pi[0], mi = shown_mag(pi), phi = pi[2];
  if (in_db && !MagnitudeInDbRange(mi)) return false;

  double m, ph;
  if (i == total_ - 1) {
    if (CompareValues(fi, f) < 0) return false;  // clearly after the last point
    m = mi;
    ph = phi;
  } else {
    const double* pj = PointPtr(i + 1);
    const double fj = pj[0], mj = shown_mag(pj), phj = pj[2];
    if (in_db && !MagnitudeInDbRange(mj)) return false;
    double frac = 0.0;  // two points at one frequency: the first one holds
    if (fj > fi) {
      if (trace_->log_freq) {
        if (fi <= 0.0) return false;
        frac = std::log10(f / fi) / std::log10(fj / fi);
      } else {
        frac = (f - fi) / (fj - fi);
      }
    }
    ph = phi + frac * (phj - phi);
    if (in_db) {
      const double di = 20.0 * std::log10(mi), dj = 20.0 * std::log10(mj);
      *db = di + frac * (dj - di);
      *mag = std::pow(10.0, *db / 20.0);
      *phase = ph;
      return true;
    }
    m = mi + frac * (mj - mi);
  }
  *mag = m;
  *phase = ph;
  // A plain trace still offers the dB value where the magnitude has one.
  if (MagnitudeInDbRange(m)) *db = 20.0 * std::log10(m);
  return true;
}

bool CData::GetFreqDataPoint(double f, double* mag, double* db, double* phase) const {
  return FreqLookup(f, true, mag, db, phase);
}

// Formulas combine magnitude and phase into a complex number, so they get the
// stored magnitude, whatever part or scale the trace shows.
bool CData::GetFreqDataPointFormula(double f, double* mag, double* phase) const {
  double db;
  return FreqLookup(f, false, mag, &db, phase);
}

void CData::AdjustPhase() {
  if (doubles_ < 3 || type_ != 0) return;
  double correction = 0.0, previous = 0.0;
  for (int i = 0; i < total_; ++i) {
    double* p = PointPtr(i);
    double ph = std::fmod(p[2], 360.0);  // into -180 .. 180 by whole turns
    if (ph > 180.0) ph -= 360.0;
    else if (ph < -180.0) ph += 360.0;
    if (i > 0) {
      if (previous > 90.0 && ph < -90.0) correction += 360.0;
      else if (previous < -90.0 && ph > 90.0) correction -= 360.0;
    }
    previous = ph;
    p[2] = correction + ph;
  }
  ClearTranData();
}

// --- Bulk transfer ---------------------------------------------------------------------

void CData::Save(std::FILE* file) const {
  const int used = (total_ + CDataBlock::kPoints - 1) >> 8;
  for (int b = 0; b < used; ++b) {
    const int n = std::min(CDataBlock::kPoints, total_ - (b << 8));
    std::fwrite(GetBlockData(b), static_cast<std::size_t>(point_size_),
                static_cast<std::size_t>(n), file);
  }
}

int64_t CData::Copy(unsigned char* buffer) const {
  int64_t written = 0;
  const int used = (total_ + CDataBlock::kPoints - 1) >> 8;
  for (int b = 0; b < used; ++b) {
    const int64_t n = int64_t{std::min(CDataBlock::kPoints, total_ - (b << 8))} * point_size_;
    std::memcpy(buffer + written, GetBlockData(b), static_cast<std::size_t>(n));
    written += n;
  }
  return written;
}

template <class Reader>
int CData::Fill(int count, Reader read) {
  int done = 0;
  while (done < count) {
    if ((total_ >> 8) == static_cast<int>(blocks_.size()) && !NewBlock()) break;
    const int slot = total_ & 255;
    CDataBlock& b = *blocks_[static_cast<std::size_t>(total_ >> 8)];
    const int want = std::min(CDataBlock::kPoints - slot, count - done);
    const int got = read(b.data_ + std::size_t{static_cast<unsigned>(slot)} *
                                       static_cast<unsigned>(point_size_),
                         want);
    b.count_ = slot + got;
    if (slot == 0 && got > 0 && type_ == 0) NoteTime(total_, b.Points()[0]);
    b.CreateBlockFD();
    b.whole_ = false;
    total_ += got;
    done += got;
    if (got < want) break;
  }
  last_ = nullptr;
  repeat_ = false;
  return done;
}

int CData::Open(std::FILE* file, int count) {
  return Fill(count, [&](unsigned char* dst, int n) {
    return static_cast<int>(std::fread(dst, static_cast<std::size_t>(point_size_),
                                       static_cast<std::size_t>(n), file));
  });
}

int CData::Paste(const unsigned char* buffer, int count) {
  const unsigned char* src = buffer;
  return Fill(count, [&](unsigned char* dst, int n) {
    const std::size_t bytes = static_cast<std::size_t>(n) * static_cast<unsigned>(point_size_);
    std::memcpy(dst, src, bytes);
    src += bytes;
    return n;
  });
}

bool CData::Duplicate(const CData& other) {
  if (&other == this || other.doubles_ != doubles_) return false;
  ClearData();
  SetTyped(other.type_, other.x_zero_, other.x_scale_, other.y_zero_, other.y_scale_,
           other.y_offset_);
  time_offset_ = other.time_offset_;
  const int used = (other.total_ + CDataBlock::kPoints - 1) >> 8;
  for (int b = 0; b < used; ++b) {
    const int n = std::min(CDataBlock::kPoints, other.total_ - (b << 8));
    if (Paste(other.GetBlockData(b), n) < n) return false;
  }
  return true;
}
