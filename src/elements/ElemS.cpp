#include "elements/ElemS.h"

#include "doc/xml.h"

namespace {

CParam m_param_s_step[] = {CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                           CParam()};
CParam m_param_s_single[] = {CParam(PK_FORMULA, "Width", "s"), CParam(PK_FORMULA, "Delay", "s"),
                             CParam(PK_ON_OFF, "Active", ""), CParam()};
CParam m_param_s_pulse[] = {CParam(PK_FORMULA, "Period", "s"), CParam(PK_FORMULA, "Width", "s"),
                            CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                            CParam()};
CParam m_param_s_clock[] = {CParam(PK_FORMULA, "Period", "s"), CParam(PK_FORMULA, "Step", "s"),
                            CParam(PK_FORMULA, "Delay", "s"), CParam(PK_ON_OFF, "Active", ""),
                            CParam()};
CParam m_param_s_list[] = {CParam(PK_LIST_SWITCH, "List", ""), CParam(PK_YES_NO, "Cycle", ""),
                           CParam(PK_FORMULA, "Delay", "s"), CParam()};
CParam m_param_s_file[] = {CParam(PK_FILE, "File", ""), CParam(PK_YES_NO, "Cycle", ""),
                           CParam(PK_FORMULA, "Delay", "s"), CParam()};

constexpr int kVIP = MF_TRACE_V | MF_TRACE_I | MF_TRACE_P;

// Each contact's current is an extra unknown: one for S_S, two for the
// SPDT switch, whose traces read the first contact.
#define SWITCH_MODELS(name, extra)                                        \
  const SElemModel name[] = {{"Off", MC_OFF, nullptr, 0, extra, kVIP},     \
                             {"On", MC_ON, nullptr, 0, extra, kVIP},       \
                             {"Step", MC_STEP, m_param_s_step, 0, extra, kVIP},       \
                             {"Single", MC_SINGLE, m_param_s_single, 0, extra, kVIP}, \
                             {"Pulse", MC_PULSE, m_param_s_pulse, 0, extra, kVIP},    \
                             {"Clock", MC_CLOCK, m_param_s_clock, 0, extra, kVIP},    \
                             {"List", MC_LIST, m_param_s_list, 0, extra, kVIP},       \
                             {"File", MC_FILE, m_param_s_file, 0, extra, kVIP},       \
                             {"SubCir", MC_SUBCIR, nullptr, 0, 0, MF_TRACE_V},        \
                             {}};
SWITCH_MODELS(m_models_s, 1)
SWITCH_MODELS(m_models_s3, 2)
#undef SWITCH_MODELS

}  // namespace

const SElemType CElemS::m_elemtype[] = {
    {"S_S", 56, CreateCmpOf<CElemS>, 2, nullptr, m_models_s, 1, "Switch", 0},
    {"S_S3", 57, CreateCmpOf<CElemS>, 3, nullptr, m_models_s3, 0, "SPDT switch", 0},
    {"_S_S45", 64, CreateCmpOf<CElemS>, 2, nullptr, m_models_s, 2, "Switch", 0},
    {}};

CElemS::CElemS(const SElemType* type) : CCmp(type), signal_(std::make_unique<CSignal>(this)) {}

CParam* CElemS::GetParams() {
  CParam* p = nullptr;
  switch (Model()) {
    case MC_STEP: p = m_param_s_step; break;
    case MC_SINGLE: p = m_param_s_single; break;
    case MC_PULSE: p = m_param_s_pulse; break;
    case MC_CLOCK: p = m_param_s_clock; break;
    case MC_LIST: p = m_param_s_list; break;
    case MC_FILE: p = m_param_s_file; break;
    default: return nullptr;
  }
  signal_->BindParams(p);
  for (CParam* d = p; d->Name() != nullptr; ++d)
    if (AnsiString(d->Name()) == "Active") d->BindInt(&active_);
  return p;
}

// The switch keeps its waveform on its own element (no "Signal" child),
// for every model, so that a model change keeps it.
bool CElemS::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  if (!SerializeCmpCore(node, modelOnly)) return false;
  CSignal& s = *signal_;
  active_ = node->AttributeInt("a", active_);
  node->SerializeFormula("p", s.period);
  node->SerializeFormula("w", s.width);
  node->SerializeFormula("cw", s.clock_step);
  node->SerializeFormula("d", s.delay);
  s.list = node->AttributeSafe("list", s.list);
  s.file = node->AttributeSafe("file", s.file);
  s.cycle = node->AttributeInt("c", s.cycle);
  return true;
}
