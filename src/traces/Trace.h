#pragma once
// CTrace: one named quantity recorded during a simulation (a voltage,
// current or power of a component, a variable, a formula over other traces,
// imported data, or a processing function of another trace), with every
// display setting a document keeps for it. This file holds the trace's data
// and its document element; binding to components and recording points
// belong to the engine side.

#include "base/AnsiString.h"

class CTraces;
class CXMLNode;

// Trace kinds: the value of CTrace::Type(); the texts are those of the
// "type" attribute. 12 and 13 are not used.
enum : int {
  TT_NONE = -1,  // not set yet
  TT_V = 0,
  TT_I = 1,
  TT_P = 2,
  TT_S = 3,
  TT_VAR = 4,
  TT_FUNCTION = 5,
  TT_Z = 6,      // AC only
  TT_GAMMA = 7,  // AC only
  TT_VSWR = 8,   // AC only
  TT_LOOP = 9,   // AC only: open-loop gain
  TT_SCOPE = 10,
  TT_MATH = 11,
  TT_DATA = 14,
};

// Display modes ("mode") and AC output selectors ("ac_out").
enum : int { TM_ANALOG = 0, TM_DIGITAL = 1, TM_BUS = 2 };
enum : int { TAC_MAG_PHASE = 0, TAC_RE = 1, TAC_IM = 2 };
// Bus display formats ("bus_format").
enum : int { TB_BIN = 0, TB_OCT = 1, TB_HEX = 2, TB_DEC = 3, TB_TXT = 4 };

// A row of the processing-function tables; a table ends with id -1.
struct STraceFunction {
  int id;
  const char* name;  // display name
  const char* description;
};

class CTrace {
 public:
  // Defaults of a new trace: type unset, analog, green, scale 10, the
  // document's digital threshold (2.5 V without a document). Takes the
  // collection's transient flag and a new document-wide id.
  explicit CTrace(CTraces* traces);
  ~CTrace();
  CTrace(const CTrace&) = delete;
  CTrace& operator=(const CTrace&) = delete;

  static const STraceFunction TranTraceFunction[];
  static const STraceFunction FreqTraceFunction[];
  // The row with that id, or null.
  static const STraceFunction* GetTraceFunction(const STraceFunction* table, int id);

  // Type texts: "V", "I" ... "Data"; "" for a value with no text.
  static const char* TypeText(int type);
  // -1 for a text that names no type.
  static int TypeFromText(const AnsiString& text);

  CTraces* Traces() const { return traces_; }
  bool IsTran() const { return tran_; }
  int Id() const { return id_; }
  int Type() const { return type_; }
  void SetType(int type) { type_ = type; }
  // > 0: the component with that id; 0: none; -1: a Data trace or one kept
  // only for its stored data.
  int CmpId() const { return cmp_id_; }
  void SetCmpId(int id) { cmp_id_ = id; }
  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }
  const AnsiString& Expr() const { return expr_; }
  void SetExprText(const AnsiString& expr) { expr_ = expr; }
  // V, I, P and S traces: kind letter + "(" + text + ")"; Var traces: text;
  // other kinds keep their expression.
  void SetExpr(const AnsiString& text);
  // The expression; a Math trace bound to a source (component id >= 0)
  // reads "<function> of <expression>" ("Function" adds nothing).
  AnsiString GetTraceExpr() const;
  // The name, or GetTraceExpr() when it is empty; AC outputs "r" and "x"
  // prefix "Re of " and "Im of ".
  AnsiString GetTraceName() const;

  int Mode() const { return mode_; }
  void SetMode(int mode) { mode_ = mode; }
  int AcOut() const { return ac_out_; }
  void SetAcOut(int out) { ac_out_ = out; }
  int Color() const { return color_; }
  double DigThreshold() const { return dig_threshold_; }
  double Shift() const { return shift_; }  // s, added to every stored time when read
  int Handle() const { return handle_; }
  void SetHandle(int handle) { handle_ = handle; }

  // Processing settings of a Math trace (kept, not evaluated here).
  int FuncId() const { return func_id_; }

  // Stores the trace into node, or loads it from node, as the node's store
  // flag says. withData: when storing, also write the descriptions of the
  // stored runs ("DataList"); loading always reads them. Unknown "type",
  // "mode", "func" and "bus_format" values put "<trace name> : unknown
  // trace ... = <value>" on the element and fall back to V, analog,
  // function and dec.
  bool SerializeTrace(CXMLNode* node, bool withData);

 private:
  // Appends msg to the node's error text (one line per problem).
  void NodeError(CXMLNode* node, const AnsiString& msg) const;
  void SerializeNamed(CXMLNode* node, const char* attr, const char* const* names, int count,
                      int* field, int fallback, const char* why) const;
  void SerializeFunction(CXMLNode* node);

  CTraces* traces_;
  bool tran_ = true;  // in the transient collection
  int id_;            // document-wide unique
  int type_ = TT_NONE;
  int cmp_id_ = 0;
  AnsiString name_;  // empty: the expression serves as the name
  AnsiString expr_;
  int mode_ = TM_ANALOG;
  bool sel_ = false;
  int ac_out_ = TAC_MAG_PHASE;
  int color_ = 0x00FF00;  // 0x00BBGGRR
  double scale_ = 10.0;   // display units per division
  double mid_ = 0.0;      // display middle
  double shift_ = 0.0;    // time shift, s
  double dig_threshold_;  // V
  int dig_style_ = 0;
  int bus_format_ = TB_HEX;
  int bus_fp_ = 0;  // fraction bits
  AnsiString bus_text_;
  int bus_content_ = -1;
  int width_ = 1;
  int phase_width_ = 1;
  bool simple_line_ = false;
  bool simple_dp_ = false;
  int line_ = 1;
  int marker_ = 0;
  int marker_style_ = 0;
  int marker_size_ = 0;
  int window_ = 0;
  bool plot_ = true;
  int tools_ = -1;
  bool table_ = true;
  bool storage_ = true;
  int bus_bits_ = 0;
  AnsiString scale_history_;
  bool xy_ = false;

  // Processing function of a Math trace.
  int func_id_ = 0;
  int range_ = 0;
  double left_ = 0.0;
  double right_ = 1.0;
  bool min_range_ = false;
  bool max_range_ = false;
  bool mean_range_ = false;
  double tc_ = 1.0;       // s
  double fwindow_ = 0.1;  // s
  int order_ = 1;
  bool reg_range_ = false;
  double threshold_ = 2.5;  // V
  int edge_ = 0;
  bool fft_div_ = false;
  bool has_function_ = false;  // a "Function" child was read (kept for any type)

  // The "Annotations" and "DataList" children as read, in compact text,
  // written back unchanged until the annotation and run code takes them
  // over. Empty when the element had none.
  AnsiString annotations_;
  AnsiString data_list_;

  int handle_ = -1;  // library handle; -1 until handed out
};
