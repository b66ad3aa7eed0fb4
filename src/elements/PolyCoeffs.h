#pragma once
// The coefficients of a rational function of one variable w,
//   H(w) = (b0 + b1 w + ... + b5 w^5) / (a0 + a1 w + ... + a5 w^5),
// as the transfer-function blocks (w = s or 1/z) and the impedance block
// (w = s, H the impedance in ohms) hold them: polynomials up to the fifth
// order (models Poly1 ... Poly5, order = model code - 62), or a gain and a
// root list (model Roots). Both classes keep the same parameter names and
// the same document attributes, so they share the descriptor arrays and
// the serialisation here.

#include "base/AnsiString.h"
#include "expr/Formula.h"

class CParam;
class CXMLNode;

struct SPolyCoeffs {
  // b0 = a0 = 1 (a unity gain), every other coefficient 0, K = 1, the
  // root list of one real pole at -1, no initial condition.
  SPolyCoeffs();

  CFormula b[6];     // numerator coefficients, b[i] multiplies w^i
  CFormula a[6];     // denominator coefficients
  CFormula k;        // gain of the Roots model, multiplies the numerator
  AnsiString roots;  // "n, re, im, ..., m, re, im, ...": numerator then denominator roots
  AnsiString ic;     // stored output and derivative values, a comma-separated list

  // Points every descriptor of list at these coefficients by its name
  // ("b0" ... "b5", "a0" ... "a5", "K", "Roots", "IC"); a descriptor of
  // kind 2 ("f", "z") takes function. Returns list.
  CParam* Bind(CParam* list, AnsiString* function);
  // After the common component part: function as "f" (escaped), the
  // formulas "b0" ... "b5", "a0" ... "a5", "k", the root list as "roots"
  // (plain) and, only with ic, the initial condition as "ic" (escaped).
  void Serialize(CXMLNode* node, AnsiString& function, bool withIC);
};

// The descriptors of model Poly<order> (order 1 to 5): b0 ... bn, a0 ... an
// and, with withIC, the initial-condition text "IC". Null for another order.
CParam* PolyParamList(int order, bool withIC);
// The descriptors of model Roots: "K", "Roots", "IC".
extern CParam m_param_roots[];
// The same per order, with IC (s domain) and without (z domain).
extern CParam m_param_poly1[], m_param_poly2[], m_param_poly3[], m_param_poly4[],
    m_param_poly5[];
extern CParam m_param_poly1_noic[], m_param_poly2_noic[], m_param_poly3_noic[],
    m_param_poly4_noic[], m_param_poly5_noic[];
