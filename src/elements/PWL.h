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

#include <vector>

#include "base/AnsiString.h"

class CCmp;
class CXMLNode;

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

  // --- Set by the owning class: items that are refused in the text.
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
  CCmp* owner_;
};
