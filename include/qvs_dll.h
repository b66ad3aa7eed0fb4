/*
 * qvs_dll.h - C interface of the qvs piece-wise-linear circuit simulator.
 *
 * Rules that hold for every function declared here:
 *  - Results: every int result is -1 on failure and 0 (or a handle or a
 *    count) on success.
 *  - Error text: each call first writes its own name and ": " into one
 *    process-wide text, failures append their reasons, and success replaces
 *    the text by "OK". QVS_GetError() returns that text. It is at most
 *    2,047 characters; longer reasons are cut.
 *  - Handles: circuits, traces, parameters, inputs and outputs all draw
 *    their handles from one counter, so no two handles are ever equal
 *    within a process and none is reused.
 *  - Memory: returned char* point into the library's own buffer, valid
 *    until the next call; the caller never frees them.
 *  - Threads: none are started and no locks are taken; a host calling from
 *    several threads must serialise all calls.
 *  - No call lets an exception escape or aborts the host: bad input gets an
 *    error text and -1.
 */
#ifndef QVS_DLL_H
#define QVS_DLL_H

#if defined(__GNUC__)
#define QVS_API __attribute__((visibility("default")))
#else
#define QVS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The error text of the last call: "OK" after a success, otherwise the
 * failing function's name, ": " and the reasons. Never NULL. */
QVS_API char* QVS_GetError(void);

/* Writes the version text into the error text and returns it:
 * "Version 3.12.59.23, Date 04/24/2024". It stays there until the next
 * call. Never NULL. */
QVS_API char* QVS_GetInfo(void);

/* Opens the circuit document file name (".qvs" is added when the name has
 * no extension) and returns its circuit handle. Fails with "NULL pointer",
 * "no file name", "cannot open file " + the path followed by a line feed
 * and the reader's reason ("Cannot open file", or the path and
 * " : wrong file format"), or "error converting from Ver.2: " + the
 * reason for a document of format version 2 or lower. A failed open
 * leaves no circuit behind and uses no handle. Components of unknown type
 * and unknown models do not fail the open: the rest of the circuit loads. */
QVS_API int QVS_Open(char* name);

/* Ends the circuit's simulation and frees the circuit; 0. The handle is
 * never given out again: a second close fails with "wrong circuit
 * handle". */
QVS_API int QVS_Close(int ncir);

/* Saves the circuit into the file it was opened from; 0. Components are
 * written with their present parameters, the transient step and the
 * time-out with their present values; everything else in the file (the
 * drawing, trace definitions, other settings) is written as it was read.
 * Fails with "cannot save file " + the file name. */
QVS_API int QVS_Save(int ncir);

/* Saves the circuit as QVS_Save does, into the file name; the circuit's
 * own file name stays. Fails with "NULL pointer", "no file name" or
 * "cannot save file " + name. */
QVS_API int QVS_SaveAs(int ncir, char* name);

/* ---- Parameters, inputs and outputs. A parameter is named component "."
 * parameter, in any case: R1.R; a component name holding blanks or dots is
 * quoted ("my r".R); X1.R1.R reaches R1 inside subcircuit X1. Changes take
 * effect from the present simulated time; formulas that depend on the
 * changed parameter follow it. Text-reading functions return the size the
 * whole text needs (its length + 1) even when it was cut to fit `length`.
 * Handles of records come from the counter shared with circuits and
 * traces; each "get" call makes a new record. */

/* *v = the parameter's value. Fails with "NULL pointer", "no parameter
 * name", "parameter " + name + " not found", "formula error",
 * "parameter type not supported". */
QVS_API int QVS_GetValue(int ncir, char* name, double* v);
/* Sets a numeric parameter (a formula becomes a plain number). */
QVS_API int QVS_SetValue(int ncir, char* name, double v);
/* The parameter's text; "R1.model" gives the component's model name. Fails
 * with "NULL pointer", "length = 0", "no component name", "component not
 * found" and the name-lookup texts. */
QVS_API int QVS_GetText(int ncir, char* name, char* text, int length);
/* Sets from text: a number (engineering suffixes allowed), "=" + formula,
 * a choice's text, "On"/"Off" and the like; "R1.model" sets the model
 * ("no model name", "model not found"). Failures: "error in value  " or
 * "error in formula " + text + " : " + reason, "text " + text + " not
 * found", "text " + text + " is not On/Off" ... */
QVS_API int QVS_SetText(int ncir, char* name, char* text);
/* A parameter record; returns its handle. */
QVS_API int QVS_GetParam(int ncir, char* name);
QVS_API int QVS_GetParamValue(int ncir, int npar, double* v);
QVS_API int QVS_SetParamValue(int ncir, int npar, double v);
QVS_API int QVS_GetParamText(int ncir, int npar, char* text, int length);
/* Fails with "no text" for a null text. */
QVS_API int QVS_SetParamText(int ncir, int npar, char* text);
/* Makes a label, voltage source or current source take its value from
 * QVS_SetInputValue from now on; returns the input handle. Fails with "no
 * input name", "component " + name + " not found", "component " + name +
 * " cannot be an input". */
QVS_API int QVS_GetInput(int ncir, char* name);
/* The input's value (V or A) from the next engine step; "wrong input
 * handle". */
QVS_API int QVS_SetInputValue(int ncir, int nin, double v);
/* The document's "high" level for i != 0, else its "low" level. */
QVS_API int QVS_SetInputLogicalValue(int ncir, int nin, int i);
/* A label (its node's voltage), amperemeter (its current) or voltmeter;
 * returns the output handle. Fails with "no output name", "component " +
 * name + " not found", "component " + name + " cannot be an output". */
QVS_API int QVS_GetOutput(int ncir, char* name);
/* The present value, 0 while no simulation runs; "wrong output handle". */
QVS_API int QVS_GetOutputValue(int ncir, int nout, double* v);
/* 1 when the value is above the document's "thr" level, else 0. */
QVS_API int QVS_GetOutputLogicalValue(int ncir, int nout, int* i);

/* ---- Transient traces and their samples. Trace handles come from the
 * counter shared with circuits. Reading functions use run 0, the samples
 * of the present (or last) run; times are seconds and include the trace's
 * time shift; digital traces read 0 or 1, bus traces whole numbers. A
 * trace added here is bound at the next simulation start, and is part of
 * the document when it is saved. */

/* V(name), I(name), P(name) of a component; returns the trace handle.
 * Fails with "no trace name", "component " + name + " not found",
 * "component model not found", "V trace not allowed for component " + name
 * (likewise I, P). */
QVS_API int QVS_AddVTrace(int ncir, char* name);
QVS_API int QVS_AddITrace(int ncir, char* name);
QVS_API int QVS_AddPTrace(int ncir, char* name);
/* The value of a variable component; "variable " + name + " not found". */
QVS_API int QVS_AddVarTrace(int ncir, char* name);
/* A formula over components and other traces (2*V(R1)); "no trace
 * function" for an empty text. */
QVS_API int QVS_AddFuncTrace(int ncir, char* text);
/* A trace whose samples the caller supplies with QVS_AddData; sources whose
 * waveform comes from a trace read them. */
QVS_API int QVS_AddDataTrace(int ncir, char* name);
/* The handle of a trace of the document (quotes around the name are
 * removed, case is ignored); the same handle on every call. Fails with
 * "trace " + name + " not found". */
QVS_API int QVS_GetTrace(int ncir, char* name);
/* Deletes the trace (and its element in the document); "wrong trace
 * handle". */
QVS_API int QVS_DeleteTrace(int ncir, int ntrace);
/* Number of samples of run 0; 0 before any run. */
QVS_API int QVS_GetDataSize(int ncir, int ntrace);
/* Sample n (0 .. size - 1). Fails with "NULL pointer", "wrong trace
 * handle", "no trace data", "no data at requested index". */
QVS_API int QVS_GetDataAt(int ncir, int ntrace, int n, double* t, double* data);
/* The last sample; "no data" when there is none. */
QVS_API int QVS_GetLastData(int ncir, int ntrace, double* t, double* data);
/* The value at time t, interpolated (held for digital and bus traces);
 * "no data at requested time" outside the samples. */
QVS_API int QVS_GetData(int ncir, int ntrace, double t, double* data);
/* Every component trace keeps only its samples from the last one at or
 * before the last simulate target on. */
QVS_API int QVS_DeleteOldData(int ncir);
/* Adds a sample to the trace's caller data (kept sorted by time). Fails
 * with "wrong trace handle", "trace data error", "error adding data". */
QVS_API int QVS_AddData(int ncir, int ntrace, double t, double data);
/* Deletes every sample of the trace, run 0 included. */
QVS_API int QVS_DeleteData(int ncir, int ntrace);
/* Writes the recorded transient traces to a trace data file (".qvt" added
 * to a name without extension): an XML text describing every trace with
 * samples, one zero byte, then each trace's samples as pairs of
 * little-endian IEEE doubles (time, value). The handle is checked before
 * the name: "no file name", "cannot save file " + name. */
QVS_API int QVS_SaveData(int ncir, char* name);

/* ---- AC analysis. Frequencies in hertz, magnitudes in the unit of the
 * quantity per unit of excitation (V per V, A per V, Ohm for Z traces),
 * phases in degrees, carried on continuously past +-180 degrees along a
 * sweep. The analysis solves the circuit linearised at its present zones
 * (or at the DC operating point when the document's "dcop" is set) with a
 * unit excitation in the AC source; every other source acts with value 0.
 * Order of checks: the circuit handle first, then the other arguments,
 * except where a function says otherwise. */

/* Sweep settings: points, scale (0 logarithmic, else linear), from, to.
 * After the handle: "to < from" (from > to, whatever the scale), then for
 * a logarithmic sweep "from < 0" (from <= 0) and "to <= 0". Success turns
 * a list document into a sweep and sets the method to 0; the AC source is
 * kept. Points below 1 are accepted: the analysis then records nothing. */
QVS_API int QVS_SetAC(int ncir, int points, int scale, double from, double to);
/* The source of the unit excitation, by component name (case is ignored).
 * The name is checked before the circuit handle, unlike QVS_SaveData:
 * "NULL pointer", "no component name"; then the handle; then "component "
 * + name + " not found" and "component " + name + " cannot be set as AC
 * source". Every model of the voltage and current sources (plain and
 * logic controlled) and of the label may be the source, except "SubCir". */
QVS_API int QVS_SetACSource(int ncir, char* name);
/* Runs the analysis. Failures read "AC error:\n", then "f = " + the last
 * frequency reached (6 significant digits) + "\n" when one was, then the
 * reason: "Wrong AC Method", "To < From", "From <= 0", "To < = 0",
 * "Frequency list is empty", "No AC source", "AC source is disabled",
 * "Infinite or invalid solution", a list item's reading error, or the
 * message of the operating point or of a component. The points recorded
 * before a failure stay. The source's model is the same afterwards, on
 * every path. The analysis shares the engine with the transient
 * simulation: a transient run in progress ends as after a failed step
 * (its samples stay; the next simulate call starts a new run from 0). */
QVS_API int QVS_CalcAC(int ncir);
/* The handle of an AC trace of the document, by name, or by name +
 * ".phase" (the same trace and the same handle). The name is checked
 * before the circuit handle, unlike QVS_SaveData: "NULL pointer", "no
 * trace name"; then the handle; then "trace " + name + " not found". The
 * handle comes from the counter shared with circuits and is the same on
 * every later call. */
QVS_API int QVS_GetACTrace(int ncir, char* name);
/* Number of frequency points of the AC trace; 0 before any run. After the
 * circuit handle: "wrong trace handle". */
QVS_API int QVS_GetACDataSize(int ncir, int ntrace);
/* Point n (0 .. size - 1): frequency, magnitude, phase. The output
 * pointers are checked before the circuit handle: "NULL pointer"; then the
 * handle; then "wrong trace handle", "no trace data" (no run yet), "no
 * data at requested index" (outputs 0). */
QVS_API int QVS_GetACDataAt(int ncir, int ntrace, int n, double* f, double* mag,
                            double* phase);
/* Writes the AC traces to a trace data file (".qvf" added to a name
 * without extension): an XML text with the root "QVS_freq" describing
 * every trace with points ("expr" "Copy of " + its name, "size"), one
 * zero byte, then per trace its points as (frequency, magnitude, phase)
 * little-endian IEEE doubles. The name is checked before the circuit
 * handle, unlike QVS_SaveData: "NULL pointer", "no file name"; then the
 * handle; then "cannot save file " + the name with its extension. */
QVS_API int QVS_SaveACData(int ncir, char* name);

/* ---- Simulation control. Times are seconds of simulated time. A failing
 * engine step ends the run with the engine's message after the prefix;
 * the samples recorded before it stay, and the next simulate call starts a
 * new run from 0. */

/* Starts a new run from time 0 (also while one is in progress) and returns
 * once the initial solution is found. Fails with the engine's message. */
QVS_API int QVS_Start(int ncir);

/* Advances to the last target + interval (a run is started first when none
 * is in progress). Targets add up exactly: 1000 calls with 0.001 end at the
 * IEEE sum of the intervals; the engine time is at or just beyond it.
 * Fails with "interval < 0" (checked before the handle) or the engine's
 * message. */
QVS_API int QVS_Simulate(int ncir, double interval);

/* Advances exactly to the present engine time + interval: the engine plans
 * its steps so that the last one ends on that time. Fails with
 * "interval < 0" or the engine's message. */
QVS_API int QVS_SimulateInterval(int ncir, double interval);

/* One engine step (a run is started first when none is in progress). */
QVS_API int QVS_SimulateStep(int ncir);

/* Sets the calculation step, seconds; a run in progress continues from its
 * present state. Fails with "step <= 0". */
QVS_API int QVS_SetStep(int ncir, double step);

/* Sets the time-out of one engine call, seconds of processor time; 0 or
 * less: none. Any value is accepted. */
QVS_API int QVS_SetTimeout(int ncir, int t);

/* *t = the engine's present time while running, else 0. Fails with
 * "NULL pointer". */
QVS_API int QVS_GetSimulationTime(int ncir, double* t);

/* Every component takes its present state as its initial condition, used
 * from the next start. Fails with "simulation not running". */
QVS_API int QVS_SaveIC(int ncir);

#ifdef __cplusplus
}
#endif

#endif /* QVS_DLL_H */
