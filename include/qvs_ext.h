/*
 * qvs_ext.h - extensions of the qvs simulator library: introspection of a
 * circuit (components, parameters, settings, traces, run counters) and AC
 * traces added by the host.
 *
 * These functions are EXTENSIONS: they are not part of the library's
 * established 52-function interface (qvs_dll.h) and carry the prefix QVSX_
 * so that a host can tell them apart. They live in the same shared library
 * and follow every rule written at the top of qvs_dll.h:
 *  - int results are -1 on failure, 0 (or a count, or a text size) on
 *    success;
 *  - each call writes its own name and ": " into the one process-wide error
 *    text (read it with QVS_GetError), failures append their reasons,
 *    success replaces the text by "OK";
 *  - circuit handles are those of QVS_Open; a wrong one fails with "wrong
 *    circuit handle" ("no circuit" before any circuit was opened);
 *  - nothing is allocated for the caller: texts are copied into the
 *    caller's buffer;
 *  - no exception escapes and nothing aborts the host.
 *
 * Text-reading functions work as QVS_GetText: the text is copied into
 * `text`, cut to `length` - 1 characters and a terminating zero when it
 * does not fit, and the result is the size the whole text needs (its length
 * + 1), also when it was cut. A null `text` fails with "NULL pointer", a
 * `length` of 0 with "length = 0"; a negative `length` writes nothing and
 * still returns the size needed, so a host can ask for the size first.
 *
 * What they read is what the document holds at the moment of the call:
 * values changed with QVS_SetValue or QVS_SetText are seen at once.
 */
#ifndef QVS_EXT_H
#define QVS_EXT_H

#include "qvs_dll.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Fields of a component (QVSX_GetComponentText). */
enum {
  QVSX_CMP_NAME = 0,        /* its name, e.g. "R1" */
  QVSX_CMP_TYPE = 1,        /* its type key, e.g. "R_R"; "label", "var" */
  QVSX_CMP_DESCRIPTION = 2, /* its type's description, e.g. "Resistor" */
  QVSX_CMP_MODEL = 3        /* its present model's name, e.g. "PWL" */
};

/* Fields of a component parameter (QVSX_GetParameterText). */
enum {
  QVSX_PARAM_NAME = 0,    /* e.g. "R" */
  QVSX_PARAM_VALUE = 1,   /* the value as text: "1e+3", "On", a list */
  QVSX_PARAM_UNIT = 2,    /* e.g. "Ohm"; "" when it has none */
  QVSX_PARAM_FORMULA = 3  /* "=" + formula when the value is computed; else "" */
};

/* Fields of a trace (QVSX_GetTraceText). */
enum {
  QVSX_TRACE_NAME = 0, /* the name QVS_GetTrace and QVS_GetACTrace find it by */
  QVSX_TRACE_TYPE = 1, /* its kind: "V", "I", "P", "Var", "Function", ... */
  QVSX_TRACE_EXPR = 2  /* its expression, e.g. "V(R1)" or "2*V(R1)" */
};

/* Analyses (QVSX_GetTraceCount, QVSX_GetTraceText). */
enum { QVSX_TRANSIENT = 0, QVSX_AC = 1 };

/* ---- Components of the circuit's top level, in the document's order. */

/* The number of components. */
QVS_API int QVSX_GetComponentCount(int ncir);

/* A field of component `index` (0 .. count - 1). Fails with "wrong
 * component index" or "wrong field". */
QVS_API int QVSX_GetComponentText(int ncir, int index, int field, char* text, int length);

/* ---- Parameters of one component, named as in QVS_GetValue without the
 * parameter part: "R1", or "X1.R1" inside subcircuit X1. The parameters are
 * those of the component's present model (a subcircuit's own in model
 * "SubCir"). Fail with "NULL pointer", "no component name" or "component "
 * + name + " not found". */

/* The number of parameters; 0 for a component that has none. */
QVS_API int QVSX_GetParameterCount(int ncir, char* cmp);

/* A field of parameter `index`. Fails also with "wrong parameter index" or
 * "wrong field". */
QVS_API int QVSX_GetParameterText(int ncir, char* cmp, int index, int field, char* text,
                                  int length);

/* ---- Document settings. Every pointer must be given ("NULL pointer"). */

/* Transient: display start, screen width and calculation step, seconds.
 * The step is the present one (QVS_SetStep changes it). */
QVS_API int QVSX_GetTranSettings(int ncir, double* start, double* screen, double* step);

/* AC: first and last frequency (Hz), number of points and the frequency
 * scale code of QVS_SetAC. */
QVS_API int QVSX_GetACSettings(int ncir, double* from, double* to, int* points, int* scale);

/* The name of the AC source component; "" when the document names none or
 * the named one does not exist. */
QVS_API int QVSX_GetACSource(int ncir, char* text, int length);

/* ---- Traces of the document: those it defines and those added through
 * the library, in list order. `analysis` is QVSX_TRANSIENT or QVSX_AC
 * (otherwise "wrong analysis"). */

QVS_API int QVSX_GetTraceCount(int ncir, int analysis);

/* A field of trace `index`. Fails also with "wrong trace index" or "wrong
 * field". */
QVS_API int QVSX_GetTraceText(int ncir, int analysis, int index, int field, char* text,
                              int length);

/* Kinds of an AC trace added by QVSX_AddACTrace: the library's own codes of
 * the voltage and current trace types. */
enum { QVSX_TRACE_V = 0, QVSX_TRACE_I = 1 };

/* ---- AC traces added by the host. The 52 functions add transient traces
 * only; this one adds a voltage (kind QVSX_TRACE_V) or current (kind
 * QVSX_TRACE_I) trace of a component to the AC collection, exactly as
 * QVS_AddVTrace and QVS_AddITrace add theirs to the transient one: the
 * trace's name and expression are "V(" + name + ")" or "I(" + name + ")",
 * and a document that keeps its file's tree gets a Trace element under
 * Doc/Freq/Traces (made when missing), so that QVS_SaveAs includes it.
 *
 * The result is a new trace handle, from the counter every handle comes
 * from, for QVS_GetACDataSize and QVS_GetACDataAt; QVS_GetACTrace finds the
 * trace by its name and gives the same handle, and QVSX_GetTraceCount and
 * QVSX_GetTraceText with QVSX_AC list it. The trace records from the next
 * QVS_CalcAC on: magnitude and phase (degrees) of the component's voltage
 * (pin 1 against pin 0) or current for the unit excitation of the AC source.
 * Adding the same component twice gives two traces.
 *
 * Checks, in this order (the name first, as the add-trace functions of
 * qvs_dll.h do, then the circuit handle):
 *   a null name          "NULL pointer"
 *   an empty name        "no trace name"
 *   the circuit handle   "wrong circuit handle" / "no circuit"
 *   another kind         "wrong trace type"
 *   then the texts of QVS_AddVTrace: "component " + name + " not found",
 *   "component model not found", "V trace not allowed for component " +
 *   name ("I trace not allowed ..." for a current trace). */
QVS_API int QVSX_AddACTrace(int ncir, char* name, int kind);

/* ---- Samples of a transient trace in bulk: samples first .. first +
 * count - 1 of its present run into t (s) and v, exactly as QVS_GetDataAt
 * reads them one by one, for hosts that read whole runs (one call instead
 * of one per sample). Stops at the last sample: the result is the number
 * copied, 0 when first is at or beyond the end.
 * Checks, in this order: t or v null "NULL pointer"; first or count below 0
 * "wrong range"; the circuit handle; "wrong trace handle"; "no trace
 * data". */
QVS_API int QVSX_GetData(int ncir, int ntrace, int first, int count, double* t, double* v);

/* ---- Engine counters of the present (or last) transient run, counted from
 * its start: accepted time points, trial steps rejected after a zone
 * change, switching events, and iterations spent resolving the zones of an
 * initial solution. All 0 before the first run. Every pointer must be
 * given ("NULL pointer"). */
QVS_API int QVSX_GetCounters(int ncir, long long* accepted, long long* rejected,
                             long long* switchings, long long* zone_iterations);

#ifdef __cplusplus
}
#endif

#endif /* QVS_EXT_H */
