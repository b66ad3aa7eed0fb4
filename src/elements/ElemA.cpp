#include "elements/ElemA.h"

#include "engine/Calc.h"

namespace {

const SElemModel m_models_vm[] = {{"Voltmeter", MC_V, nullptr, 0, 0, MF_TRACE_V}, {}};
const SElemModel m_models_a[] = {
    {"Amperemeter", MC_AMPEREMETER, nullptr, 0, 1, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};
const SElemModel m_models_wm[] = {
    {"Wattmeter", MC_WATTMETER, nullptr, 0, 1, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P}, {}};

}  // namespace

const SElemType CElemA::m_elemtype[] = {
    {"V_VM", 73, CreateCmpOf<CElemA>, 2, nullptr, m_models_vm, 0, "Voltmeter", 0},
    {"A_A", 6, CreateCmpOf<CElemA>, 2, nullptr, m_models_a, 0, "Amperemeter", 0},
    {"W_WM", 78, CreateCmpOf<CElemA>, 3, nullptr, m_models_wm, 0, "Wattmeter", 0},
    {}};

bool CElemA::SerializeCmp(CXMLNode* node, bool modelOnly, bool /*ic*/) {
  return SerializeCmpCore(node, modelOnly);
}

int CElemA::GetCmpPinType(int /*pin*/) const { return Model() == MC_V ? 2 : 1; }

// In the AC analysis the amperemeter and the wattmeter are the same short
// with their current unknown as in transient analysis, so their I traces
// read the complex branch current; the voltmeter stamps nothing. Mode 12
// answers true: nothing else to change.
bool CElemA::CalcFunc(CCalc* calc, int mode, double /*t*/) {
  switch (mode) {
    case CM_FILL: {
      if (calc->SecondPass() || ExtraCount() < 1) return true;
      // The branch: pins 0-1 for the amperemeter, 2-1 for the wattmeter.
      int from = 0;
      if (Model() == MC_AMPEREMETER && PinCount() >= 2)
        from = Node(0);
      else if (Model() == MC_WATTMETER && PinCount() >= 3)
        from = Node(2);
      else
        return true;  // the voltmeter loads nothing
      calc->SetYzShort(from, Node(1));
      if (!calc->SetShort(from, Node(1), GetExtraNode(0), 0.0))
        return calc->SetCmpError(this, nullptr);
      return true;
    }
    case CM_FLOATING:
      // Pins 0 and 1 share a group for every meter; a third pin keeps 0.
      if (PinCount() >= 2) {
        Nodes()[PinCount()] = 1;
        Nodes()[PinCount() + 1] = 1;
      }
      return true;
    default:
      return true;
  }
}

bool CElemA::GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                           double& /*k*/) {
  const int p0 = PinCount() > 0 ? Node(0) : 0;
  const int p1 = PinCount() > 1 ? Node(1) : 0;
  switch (Model()) {
    case MC_AMPEREMETER:
      n1 = 0;
      n2 = p1;
      extra = FirstExtra();
      break;
    case MC_WATTMETER:
      n1 = p0;
      n2 = p1;
      extra = FirstExtra();
      break;
    default:
      n1 = p0;
      n2 = p1;
      break;
  }
  return true;
}
