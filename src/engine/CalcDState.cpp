// The zone test of an ideal diode branch, shared by the diode class and
// the bipolar transistor's junctions. It reads only the present solution
// and the undetermined marks of the last elimination.

#include <cmath>

#include "elements/ElemD.h"
#include "engine/Calc.h"

namespace {

// Unconnected pins carry negative node numbers; they read as ground.
inline int Row(int node) { return node < 0 ? 0 : node; }

}  // namespace

bool CCalc::CheckDState(bool commit, int* state, int a, int b, int k, double Vf, double Vr,
                        bool reverse) {
  const double* x = X();
  const unsigned char* undet = Undetermined();
  a = Row(a);
  b = Row(b);
  if (*state == 1 || *state == -1) {
    // A conducting branch whose current runs against its zone (a forward
    // current turned negative, a breakdown current turned positive) opens.
    if ((*state == 1 && x[k] < 0.0) || (*state == -1 && x[k] > 0.0)) {
      if (commit) *state = 0;
      return true;
    }
    // An undetermined current (two ideal branches in parallel, a loop of
    // shorts) is settled by opening this branch.
    if (commit && undet[k] != 0) {
      *state = 0;
      return true;
    }
    return false;
  }

  // Off: the bias across the branch, X[b] - X[a] - V, summed in the same
  // order and with the same cancellation as the elimination, so that a
  // node pair tied to equal values reads exactly 0.
  auto bias = [&](double V) {
    double d = x[b];
    sum_new(d, -x[a]);
    if (V != 0.0) sum_new(d, -V);
    return d;
  };
  if (!std::isinf(Vf) && bias(Vf) > 0.0) {
    if (commit) *state = 1;
    return true;
  }
  if (reverse && !std::isinf(Vr) && bias(Vr) < 0.0) {
    if (commit) *state = -1;
    return true;
  }
  // One side determined and the other not: a conducting path gives the
  // undetermined side a value.
  if (commit && undet[a] != undet[b]) {
    *state = 1;
    return true;
  }
  return false;
}
