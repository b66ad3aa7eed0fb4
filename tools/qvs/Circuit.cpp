#include "Circuit.h"

#include "qvs_ext.h"

// Saving trace data is a late addition to the library. Declared weak, so
// that the tool still links and runs against a library without it and
// reports that instead of failing to load.
extern "C" int QVS_SaveData(int ncir, char* name) __attribute__((weak));

namespace qvs {

int Check(int r) {
  if (r < 0) throw LibError(QVS_GetError());
  return r;
}

std::string ReadText(const std::function<int(char*, int)>& read) {
  std::string buf(256, '\0');
  int need = Check(read(buf.data(), static_cast<int>(buf.size())));
  if (need > static_cast<int>(buf.size())) {
    buf.assign(static_cast<std::size_t>(need), '\0');
    need = Check(read(buf.data(), need));
  }
  buf.resize(need > 0 ? static_cast<std::size_t>(need - 1) : 0);
  return buf;
}

namespace {

// The points of one trace: `size` is the library's answer to the size
// question (checked here), `at(i, point)` reads point i and returns the
// library's result.
template <typename Point, typename At>
std::vector<Point> ReadPoints(int size, const At& at) {
  const int n = Check(size);
  std::vector<Point> out;
  out.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    Point p{};
    Check(at(i, p));
    out.push_back(p);
  }
  return out;
}

}  // namespace

Circuit::Circuit(const std::string& path) {
  std::string name = path;
  ncir_ = Check(QVS_Open(name.data()));
}

Circuit::~Circuit() {
  if (ncir_ >= 0) QVS_Close(ncir_);
}

std::vector<ComponentInfo> Circuit::Components() const {
  std::vector<ComponentInfo> out;
  const int n = Check(QVSX_GetComponentCount(ncir_));
  for (int i = 0; i < n; ++i) {
    auto field = [&](int f) {
      return ReadText([&](char* b, int l) { return QVSX_GetComponentText(ncir_, i, f, b, l); });
    };
    out.push_back({field(QVSX_CMP_NAME), field(QVSX_CMP_TYPE), field(QVSX_CMP_DESCRIPTION),
                   field(QVSX_CMP_MODEL)});
  }
  return out;
}

std::vector<ParameterInfo> Circuit::Parameters(const std::string& component) const {
  std::string cmp = component;
  std::vector<ParameterInfo> out;
  const int n = Check(QVSX_GetParameterCount(ncir_, cmp.data()));
  for (int i = 0; i < n; ++i) {
    auto field = [&](int f) {
      return ReadText(
          [&](char* b, int l) { return QVSX_GetParameterText(ncir_, cmp.data(), i, f, b, l); });
    };
    out.push_back({field(QVSX_PARAM_NAME), field(QVSX_PARAM_VALUE), field(QVSX_PARAM_UNIT),
                   field(QVSX_PARAM_FORMULA)});
  }
  return out;
}

TranSettings Circuit::Tran() const {
  TranSettings s;
  Check(QVSX_GetTranSettings(ncir_, &s.start, &s.screen, &s.step));
  return s;
}

AcSettings Circuit::Ac() const {
  AcSettings s;
  Check(QVSX_GetACSettings(ncir_, &s.from, &s.to, &s.points, &s.scale));
  s.source = ReadText([&](char* b, int l) { return QVSX_GetACSource(ncir_, b, l); });
  return s;
}

std::vector<TraceInfo> Circuit::Traces(int analysis) const {
  std::vector<TraceInfo> out;
  const int n = Check(QVSX_GetTraceCount(ncir_, analysis));
  for (int i = 0; i < n; ++i) {
    auto field = [&](int f) {
      return ReadText(
          [&](char* b, int l) { return QVSX_GetTraceText(ncir_, analysis, i, f, b, l); });
    };
    out.push_back({field(QVSX_TRACE_NAME), field(QVSX_TRACE_TYPE), field(QVSX_TRACE_EXPR)});
  }
  return out;
}

Counters Circuit::RunCounters() const {
  long long a = 0, r = 0, s = 0, z = 0;
  Check(QVSX_GetCounters(ncir_, &a, &r, &s, &z));
  return {a, r, s, z};
}

void Circuit::SetText(const std::string& name, const std::string& value) {
  std::string n = name, v = value;
  Check(QVS_SetText(ncir_, n.data(), v.data()));
}

void Circuit::SetStep(double step) { Check(QVS_SetStep(ncir_, step)); }

int Circuit::AddTrace(char kind, const std::string& text) {
  std::string s = text;
  switch (kind) {
    case 'V': return Check(QVS_AddVTrace(ncir_, s.data()));
    case 'I': return Check(QVS_AddITrace(ncir_, s.data()));
    case 'P': return Check(QVS_AddPTrace(ncir_, s.data()));
    case 'X': return Check(QVS_AddVarTrace(ncir_, s.data()));
    case 'T': return Check(QVS_GetTrace(ncir_, s.data()));
    default: return Check(QVS_AddFuncTrace(ncir_, s.data()));
  }
}

void Circuit::SimulateInterval(double interval) {
  Check(QVS_SimulateInterval(ncir_, interval));
}

void Circuit::Simulate(double interval) { Check(QVS_Simulate(ncir_, interval)); }

double Circuit::Time() const {
  double t = 0.0;
  Check(QVS_GetSimulationTime(ncir_, &t));
  return t;
}

std::vector<Sample> Circuit::Samples(int trace) const {
  // In one call: a run has tens of thousands of samples, and a call per
  // sample was a twentieth of a converter's whole run.
  const int n = Check(QVS_GetDataSize(ncir_, trace));
  std::vector<double> t(static_cast<std::size_t>(n)), v(static_cast<std::size_t>(n));
  const int got = n > 0 ? Check(QVSX_GetData(ncir_, trace, 0, n, t.data(), v.data())) : 0;
  std::vector<Sample> out(static_cast<std::size_t>(got));
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i].t = t[i];
    out[i].v = v[i];
  }
  return out;
}

bool Circuit::SaveData(const std::string& path) {
  if (QVS_SaveData == nullptr) return false;
  std::string p = path;
  Check(QVS_SaveData(ncir_, p.data()));
  return true;
}

void Circuit::SetAC(int points, int scale, double from, double to) {
  Check(QVS_SetAC(ncir_, points, scale, from, to));
}

void Circuit::SetACSource(const std::string& name) {
  std::string n = name;
  Check(QVS_SetACSource(ncir_, n.data()));
}

int Circuit::AddACTrace(char kind, const std::string& text) {
  std::string s = text;
  switch (kind) {
    case 'V': return Check(QVSX_AddACTrace(ncir_, s.data(), QVSX_TRACE_V));
    case 'I': return Check(QVSX_AddACTrace(ncir_, s.data(), QVSX_TRACE_I));
    default: return Check(QVS_GetACTrace(ncir_, s.data()));
  }
}

void Circuit::CalcAC() { Check(QVS_CalcAC(ncir_)); }

std::vector<FreqSample> Circuit::ACSamples(int trace) const {
  return ReadPoints<FreqSample>(QVS_GetACDataSize(ncir_, trace), [&](int i, FreqSample& s) {
    return QVS_GetACDataAt(ncir_, trace, i, &s.f, &s.mag, &s.phase);
  });
}

void Circuit::SaveACData(const std::string& path) {
  std::string p = path;
  Check(QVS_SaveACData(ncir_, p.data()));
}

}  // namespace qvs
