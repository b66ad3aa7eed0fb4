#pragma once
// Typed values of the expression language and the text of numbers: the
// literal reader, the engineering-notation printer, tolerant comparison of
// doubles, and small character and hexadecimal helpers.

#include <cstdint>

#include "base/AnsiString.h"

// Kind codes, widest first; the order is the promotion order of the
// expression language.
enum : int {
  NUM_COMPLEX = 0,
  NUM_DOUBLE = 1,
  NUM_INT64 = 2,
  NUM_INT = 3,
  NUM_BOOL = 4,
};

// A typed scalar. Plain record, copied by value. Only the member of the
// union that kind names is meaningful (complex keeps its real part in d).
struct SNumber {
  int kind = NUM_INT;
  union {
    double d;
    int64_t i64;
    int32_t i;
    bool b;
  } v{};
  double im = 0.0;  // imaginary part, read for kind complex only
};

void SetComplexNumber(SNumber* n, double re, double im);
void SetDoubleNumber(SNumber* n, double x);
void SetInt64Number(SNumber* n, int64_t x);
void SetIntNumber(SNumber* n, int32_t x);
void SetBoolNumber(SNumber* n, bool b);
void CopyNumber(SNumber* dst, const SNumber* src);
// Converts src in place to dst's kind, then copies it into dst.
void AssignNumber(SNumber* dst, SNumber* src);
void ConvertNumber(SNumber* n, int kind);
AnsiString OutNumber(const SNumber* n);

// Reads a number literal; prefix allows 0x, 0b and leading-0 octal. False,
// with the reason in m_global_errstr and n = int 0, on failure.
bool indig_number(const AnsiString& text, SNumber* n, bool prefix);
// indig_number without prefixes, converted to double; x untouched on failure.
bool indig(const AnsiString& text, double* x);
// NaN for "", +-inf for "inf"/"-inf", else the C-locale strtod of the text.
double ToDouble(const AnsiString& text);
// Engineering notation: mantissa in [1, 1000), exponent a multiple of 3.
AnsiString sprintf3(double x, int precision);

// Relative resolution of CompareValues and IsTooSmall (1e-12).
extern double DoubleResolution;
// 0 equal, -1 b > a, 1 otherwise (also when either is NaN). Infinities
// are compared exactly.
int CompareValues(double a, double b);
int CompareValuesRes(double a, double b, double res);
bool CompareDouble(double a, double b);  // NaN == NaN, inf == -inf
double IsTooSmall(double x, double ref);
bool isgood(double x);

bool is_letter(char c);
bool is_digit(char c);
bool is_underscore(char c);
// -1 not a name, 1 a reserved word, 0 a usable name.
int is_valid_name(const AnsiString& s);
// Removes, in place, every blank of the C locale (space, \t \n \v \f \r).
void remove_spaces(AnsiString& s);
void remove_spaces(char* s);

int hex_to_val(char c);  // 0..15, or -1 for a non-hex character
// Pairs of hex digits (high nibble first) into bytes, reading at most max
// characters of text. Returns the bytes written, or ~i (negative) for a
// non-hex character at 0-based position i. A lone last digit is checked
// but not stored.
int hex_to_bin(const char* text, unsigned char* bytes, int max);
// 2 * count upper-case hex digits and a zero; returns 2 * count.
int bin_to_hex(const unsigned char* bytes, char* text, int count);

// Process-wide identity counter; the first call returns 1.
int GetUniqueID();
