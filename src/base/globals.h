#pragma once
// Text helpers shared by every subsystem: the name=value (CSV) field lists
// of component state texts, name and parameter splitting, file-name pieces,
// line counting and the escaping of free text. All positions are 1-based.

#include "base/AnsiString.h"
#include "base/Lists.h"

// Reason of the last failure of a low-level routine (file loading, number
// and formula reading). The caller that sees the failure copies it into its
// own message.
extern AnsiString m_global_errstr;

// --- Writers: append one field to csv, "," first unless csv is empty, then
// name and "=" unless name is empty, then the value.
void add_csv(AnsiString& csv, const AnsiString& s);
void add_csv_string(AnsiString& csv, const AnsiString& name, const AnsiString& s);
void add_csv_bool(AnsiString& csv, const AnsiString& name, bool b);    // "1"/"0"
void add_csv_int(AnsiString& csv, const AnsiString& name, int i);      // "%d"
void add_csv_double(AnsiString& csv, const AnsiString& name, double x);  // sprintf3(x, 12)
void add_csv_hex(AnsiString& csv, const AnsiString& name, double x);   // double_to_hex
void add_csv_list(AnsiString& csv, const AnsiString& name, const AnsiString& s);  // "{s}"
void add_csv_offon(AnsiString& csv, const AnsiString& name, int i);    // "On" when i > 0
// The selected text of a choice value: texts[selection].
void add_csv_text(AnsiString& csv, const AnsiString& name, const TStringList& texts,
                  int selection);

// --- Readers.
// Field i (0-based), raw; beyond the last field, the last field.
AnsiString get_csv(const AnsiString& csv, int i);
int get_csv_count(const AnsiString& csv);
// Trimmed value of the first field whose trimmed name equals name; "" if none.
AnsiString get_csv_string(const AnsiString& csv, const AnsiString& name);
bool get_csv_bool(const AnsiString& csv, const AnsiString& name, bool def);
int get_csv_int(const AnsiString& csv, const AnsiString& name, int def);
double get_csv_double(const AnsiString& csv, const AnsiString& name, double def);
double get_csv_hex(const AnsiString& csv, const AnsiString& name, double def);
AnsiString get_csv_list(const AnsiString& csv, const AnsiString& name, const AnsiString& def);

// Bit-exact text of a double: "0" for +-0, else "#" and the 8 bytes in
// memory (little-endian) order as upper-case hex pairs.
AnsiString double_to_hex(double x);
// Inverse of double_to_hex; 0.0 unless the text begins with "#".
double hex_to_double(const AnsiString& s);

// --- Splitting names and statements.
void parse_name_value(const AnsiString& s, AnsiString& name, AnsiString& value);
// R1.R -> R1, R; "a.b".c -> a.b, c.
void parse_name(const AnsiString& s, AnsiString& first, AnsiString& rest);
// Splits an assignment; returns the operator code (0 when not one).
int find_equal_sign(const AnsiString& s, AnsiString& name, AnsiString& value,
                    AnsiString& index);
// Next name (not a function name) at or after from; *pos gets its start.
AnsiString find_name(const AnsiString& s, int from, int* pos);
// Trims s in place and returns its first word.
AnsiString extract_cmd(AnsiString& s, bool flag);
void parse_params(const AnsiString& s, TStringList& list);
int skip_spaces(const AnsiString& s, int from, int to);
void remove_cr_lf_tab(AnsiString& s);
// The line of text holding 1-based position pos; *line gets its number.
AnsiString get_line_number(const AnsiString& text, int pos, int* line);

// --- File names; separators are "/", "\" and ":".
AnsiString extract_file_path(const AnsiString& f);
AnsiString extract_file_ext(const AnsiString& f);
AnsiString change_file_ext(const AnsiString& f, const AnsiString& ext);

// --- Escaping of free text stored in files.
AnsiString StrToSafe(const AnsiString& s);
AnsiString StrFromSafe(const AnsiString& s);
