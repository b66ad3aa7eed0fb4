#pragma once
// Number text is always written and read in the C locale, whatever locale
// the host process has chosen: a host under a decimal-comma locale must
// still get "1.5e+3" and read "4.7k" as 4700.

// strtod in the C locale: same syntax and end pointer as std::strtod.
double strtod_c(const char* s, char** end);

// printf-style formatting in the C locale. Returns what snprintf returns.
int snprintf_c(char* buf, unsigned long size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));
