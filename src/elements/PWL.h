#pragma once
// CPWL: a piece-wise linear characteristic given as text, for the PWL
// models of other elements (resistance, capacitance, inductance, diode and
// amplifier characteristics as a function of a voltage or a current).
//
// The text alternates slope-or-value and breakpoint: "k0, x1, k1, x2, k2"
// describes three zones separated at x1 and x2 (n zones need 2n - 1
// items). The document keeps three things of a table: the text, a second
// text and an integer mode that the schematic editor generates the table
// from and the library carries unchanged.
//
// A table without a breakpoint at 0 describes the positive inputs only and
// is mirrored to the negative ones: "k0, x1, k1" becomes the zones
// (-inf, -x1) k1, (-x1, x1) k0, (x1, inf) k1, an odd-symmetric
// characteristic. A table with a breakpoint at 0 is used as written.
//
// Zones are numbered so that zone 0 holds input 0: with the breakpoints
// b[0] < b[1] < ..., input x lies in zone first_zone + (number of
// breakpoints <= x). In each zone the characteristic is
//     out = slope * in + offset,
// continuous across the breakpoints and through the origin in zone 0. Each
// item is the slope of its zone as the owning element uses it: a
// conductance for the resistor's I(V) table, a resistance for its V(I)
// table and for the controlled resistors, a capacitance, a gain. Offsets
// mean something only where every slope up to zone 0 is finite.
//
// The zone a component is in is its zone state (CCmp::State()); the table
// reads it and, in CheckPWL, moves it.

#include <vector>

#include "base/AnsiString.h"

class CCalc;
class CCmp;
class CXMLNode;
class TStringList;

class CPWL {
 public:
  explicit CPWL(CCmp* owner = nullptr, const AnsiString& text = AnsiString());

  // Forgets the zone arrays built from the text; the texts stay.
  void ClearPWL();

  // Reads or writes the table as three attributes of node: name (the text,
  // plain), name + "f" (the editor's text, escaped) and name + "m" (the
  // mode, integer). The component tables use "pwl", the resistor's second
  // table "pwli".
  void SerializePWL(CXMLNode* node, const char* name);

  // Sets the four axis captions the editor shows: input quantity, output
  // quantity with unit, the characteristic's title and the title of its
  // integral form ("" when there is none).
  void SetCaptions(const char* x, const char* y, const char* title, const char* title2);

  // Builds the zone arrays from text. Nothing is done when text, and the
  // two item flags, are those of the last successful build. On failure the
  // arrays are left empty and the message is reported: for the owner
  // through calc (SetCmpError, so it reads "R1 : <message>") when both are
  // given, otherwise into m_global_errstr. Messages: "Wrong number of PWL
  // parameters" (empty text or an even item count), "PWL error: " + the
  // number reader's reason, "Zero value not allowed" and "Infinite value
  // not allowed" (a slope item the flags refuse), "PWL breakpoints must
  // rise" (breakpoints out of order after mirroring), "No enough memory".
  bool InitPWL(CCalc* calc);

  // The zone of input x: first_zone + the number of breakpoints <= x.
  // Needs a built table.
  int ZoneOf(double x) const;

  // True when x lies in another zone than the owner's present one. With
  // update the owner's zone also moves: to that zone, except that a move
  // across zone 0 (from a negative zone to zone 1 or above, or from a
  // positive zone to a negative one) stops at zone 0, so that the origin
  // segment is always visited on the way. False without an owner, without
  // a built table, and for a NaN x (no zone can be told).
  bool CheckPWL(double x, bool update);
  // CheckPWL(x, true) for a stored quantity: when the zone moves, *ratio is
  // the old slope over the new one (0 when the new slope is 0), the factor
  // that keeps slope * value (a charge C v, a flux L i) across the move.
  bool MovePWL(double x, double* ratio);
  // The zone check of a coefficient set by a control quantity (a
  // controlled capacitor or inductor): a trial only looks; the final check
  // moves the zone and scales *kept by MovePWL's ratio, so that the
  // product with the coefficient stays. *rescaled tells whether it was
  // scaled (the owner then needs a new initial solution). True when the
  // zone changes.
  bool CheckControlled(double control, bool final, double* kept, bool* rescaled);

  // Stamp coefficients of the owner's present zone (a zone outside the
  // table, left from an earlier table, counts as the nearest end zone):
  // k = slope and u = offset. Every element stamps them the same way:
  // slope k into the equation and u(k) = u as the constant source of its
  // row (CCalc::SetU). The engine solves B x = u + y, so such a row reads
  // out - k * in = u: the simulated characteristic is out = slope * in +
  // offset, continuous at every breakpoint. (0, 0) for a table that is not
  // built.
  void GetKU(double& k, double& u) const;

  // Zone range of a built table: first_zone .. first_zone + zones - 1.
  int MinZone() const { return first_zone; }
  int MaxZone() const { return first_zone + static_cast<int>(slopes.size()) - 1; }
  bool IsBuilt() const { return !slopes.empty(); }

  // The table of cmp, created (empty text, no captions) when cmp has none;
  // null only when memory runs out.
  static CPWL* Of(CCmp* cmp);
  // The deleter CCmp::SetPwl takes.
  static void Destroy(CPWL* pwl);

  CCmp* Owner() const { return owner_; }

  // --- Document data.
  AnsiString text;      // the table, "slope, breakpoint, slope, ..."
  AnsiString file;      // the file the editor reads the table from
  int mode = 0;         // the editor's table mode

  // --- Axis captions (editor only).
  AnsiString x_caption, y_caption, title, title2;

  // --- Set by the owning class: slope items that are refused in the text
  // (an element whose stamp cannot take an infinite coefficient refuses
  // it). Breakpoints are never refused for being 0 or infinite: a 0
  // breakpoint selects the unmirrored form and an infinite one only makes
  // a zone unreachable.
  bool zero_allowed = true;
  bool infinite_allowed = true;

  // --- Zone arrays, built from the text for a simulation. The zones run
  // from first_zone to first_zone + slopes.size() - 1, zone 0 holding input
  // 0; breakpoints[i] separates zone first_zone + i from the next.
  AnsiString last_text;  // text of the last successful build
  std::vector<double> breakpoints;
  std::vector<double> slopes;   // per zone
  std::vector<double> offsets;  // per zone: output = slope * input + offset
  int first_zone = 0;

 private:
  bool Build(CCalc* calc, const TStringList& items);
  bool Fail(CCalc* calc, const AnsiString& message);

  CCmp* owner_;
  // Item flags of the last successful build: a change rebuilds.
  bool built_zero_allowed_ = true;
  bool built_infinite_allowed_ = true;
};

// Makes sure cmp has its table, copies the component's table texts and
// mode into it and builds it (CPWL::InitPWL, which reports its failure).
// False also when the table cannot be created ("No enough memory").
bool InitCmpPWL(CCalc* calc, CCmp* cmp);
