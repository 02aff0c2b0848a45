/* The C ABI of the extension module libploxex32.so and of the optional converter module
 * libploxfil.so. The program includes only this header and binds every export by name
 * (dlsym); the typedefs below are the pointer types it casts them to.
 *
 * Conventions: integers are int32_t, double arrays are caller-owned, texts are NUL-terminated
 * bytes (Shift-JIS or ASCII). No export throws. Window handles are the program's QWidget*,
 * passed as void* (null: no owner). */
#ifndef PLOXEX32_H
#define PLOXEX32_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(PLOXEX32_BUILDING)
#define PLOXEX_API __attribute__((visibility("default")))
#else
#define PLOXEX_API
#endif

/* Version word: low byte major, high byte minor. This module is 4.05; the program accepts
 * any module of major version 4. */
#define PLOXEX_VERSION 0x0504
#define PLOXEX_MAJOR(word) ((word)&0xFF)
#define PLOXEX_MINOR(word) (((word) >> 8) & 0xFF)

#define PLOXEX_KEY_SIZE 8         /* analysis key buffer, NUL included ("GAUSSF2") */
#define PLOXEX_MENU_TEXT_SIZE 20  /* menu text buffer, NUL included */
#define PLOXEX_MAX_ANALYSES 10    /* the program takes at most this many from the table */
#define PLOXEX_FIRST_COMMAND 681  /* command id of analysis i is 681 + i */
#define PLOXEX_FIRST_PLOT_TYPE 38 /* plot type of marker shape k is 38 + k */

/* Results of InitExternalAnalyze. */
#define PLOXEX_INIT_CURVE 0          /* set up; a curve of the series' Division points */
#define PLOXEX_INIT_FAILED (-1)      /* unknown key, cancelled dialog */
#define PLOXEX_INIT_RESULT_ONLY (-2) /* result lines only, no curve (kind 512) */
#define PLOXEX_INIT_PER_POINT (-3)   /* a curve with one point per data point */
/* any positive result: the number of curve points wanted */

/* Per-series analysis state. The module creates, resizes and interprets it; the program
 * only stores the pointer and frees it with FreeExternalAnalyze. */
typedef struct PloxexBlock PloxexBlock;

typedef struct PloxexPoint {
    int32_t x;
    int32_t y;
} PloxexPoint;

/* The drawing surface handed to ExternalPlotDrawMyDot, in the surface's own units. Shapes are drawn
 * with the pen and brush the program has selected; push_pen_color_brush selects a solid brush
 * of the current pen's colour until the matching pop_brush. Any callback may be null. */
typedef struct PloxexDrawContext {
    void* user;
    void (*polygon)(void* user, const PloxexPoint* points, int32_t count); /* outline + fill */
    void (*polyline)(void* user, const PloxexPoint* points, int32_t count);
    void (*line)(void* user, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void (*ellipse)(void* user, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void (*rectangle)(void* user, int32_t left, int32_t top, int32_t right, int32_t bottom);
    /* The closed region of the ellipse's bounding box cut by the chord from the start radial
     * point counter-clockwise to the end radial point (screen coordinates, y down). */
    void (*chord)(void* user, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t x_start, int32_t y_start, int32_t x_end, int32_t y_end);
    void (*push_pen_color_brush)(void* user);
    void (*pop_brush)(void* user);
} PloxexDrawContext;

/* Receives the result lines of EndExternalAnalyze, one call per line, without line ends. */
typedef struct PloxexListSink {
    void* user;
    void (*add_line)(void* user, const char* line);
} PloxexListSink;

/* Where SaveExternalAnalyze writes; the module writes whole lines ended by CR LF. The
 * callback returns nonzero when all bytes were written. */
typedef struct PloxexWriter {
    void* user;
    int32_t (*write)(void* user, const char* bytes, size_t length);
} PloxexWriter;

/* Version word; with show set, first shows "PloxWin Extension DLL ver.%x.%02x" in a message
 * box titled "About". */
PLOXEX_API int32_t ExternalAnalyzeAbout(void* host_instance, void* window, int32_t show);

/* Solves A x = b (A row r column c at index c + n*r). Nonzero on success; 0 when n >= 20, n < 1
 * or the matrix is singular (pivot below 1e-100). A and b are not changed. */
PLOXEX_API int32_t GaussJordan(int32_t n, const double* matrix, const double* rhs,
                               double* solution);

/* Fills key (PLOXEX_KEY_SIZE bytes) and menu_text (PLOXEX_MENU_TEXT_SIZE bytes) of analysis
 * `index` when index is in 0..5; either buffer may be null. Returns the number of analyses
 * offered in the menu (5). */
PLOXEX_API int32_t RegisterExternalAnalyze(int32_t index, char* key, char* menu_text);

/* Sets up analysis `name` for a series whose block handle is *block (null: none yet). The
 * module may free and replace *block. quiet 1: reading a document, no dialog. */
PLOXEX_API int32_t InitExternalAnalyze(void* window, const char* name, PloxexBlock** block,
                                       int32_t quiet, int32_t* has_curve, int32_t* show_result);

/* Computes the result from the series' points. name is a buffer of at least PLOXEX_KEY_SIZE
 * bytes: old keys are rewritten to the current ones. >= 0: the highest curve component to
 * draw; < 0 failed. */
PLOXEX_API int32_t SetExternalAnalyzeFirst(char* name, PloxexBlock* block, int32_t count,
                                           const double* x, const double* y);

/* Computes curve `component` into curve_y (division points; curve_x holds the positions on
 * entry and may be rewritten). Nonzero when the result is valid. */
PLOXEX_API int32_t SetExternalAnalyzeSecond(const char* name, PloxexBlock* block, int32_t component,
                                            int32_t division, double* curve_x, double* curve_y,
                                            int32_t count, const double* x, const double* y);

/* Hands the result lines to the sink. Returns 0. */
PLOXEX_API int32_t EndExternalAnalyze(const PloxexListSink* sink, const char* name,
                                      const PloxexBlock* block);

/* Writes a count line and then that many state lines. Returns 1 (0 when the writer failed). */
PLOXEX_API int32_t SaveExternalAnalyze(int32_t reserved, const PloxexWriter* file, const char* name,
                                       const PloxexBlock* block);

/* Restores state from line `line_number` (0: the first line after the count line). Malformed
 * lines leave the state as it was. Returns 1. */
PLOXEX_API int32_t LoadExternalAnalyze(int32_t reserved, const char* line, int32_t line_number,
                                       const char* name, PloxexBlock* block);

/* Releases a block made by InitExternalAnalyze (null is ignored). */
PLOXEX_API void FreeExternalAnalyze(PloxexBlock* block);

/* Index of an extra expression function (name compared without regard to case), or -1. */
PLOXEX_API int32_t ExternalFunctionNumber(const char* name);

/* Evaluates function `index` for count elements of argument into result (both arrays of count
 * doubles). 0, or -1 for an index outside the table. The two reserved pointers are unused. */
PLOXEX_API int32_t ExternalFunctionSet(int32_t index, const double* argument,
                                       const double* reserved1, const double* reserved2,
                                       double* result, int32_t count);

/* Number of extra marker shapes (15): plot types 38 to 52. */
PLOXEX_API int32_t QueryExternalPlotNum(void);

/* Draws marker shape `shape` (plot type - 38) around (x, y) with half size `size`. */
PLOXEX_API void ExternalPlotDrawMyDot(const PloxexDrawContext* dc, int32_t shape, int32_t x,
                                      int32_t y, int32_t size);

typedef int32_t (*PloxexExternalAnalyzeAboutFn)(void*, void*, int32_t);
typedef int32_t (*PloxexGaussJordanFn)(int32_t, const double*, const double*, double*);
typedef int32_t (*PloxexRegisterExternalAnalyzeFn)(int32_t, char*, char*);
typedef int32_t (*PloxexInitExternalAnalyzeFn)(void*, const char*, PloxexBlock**, int32_t, int32_t*,
                                               int32_t*);
typedef int32_t (*PloxexSetExternalAnalyzeFirstFn)(char*, PloxexBlock*, int32_t, const double*,
                                                   const double*);
typedef int32_t (*PloxexSetExternalAnalyzeSecondFn)(const char*, PloxexBlock*, int32_t, int32_t,
                                                    double*, double*, int32_t, const double*,
                                                    const double*);
typedef int32_t (*PloxexEndExternalAnalyzeFn)(const PloxexListSink*, const char*,
                                              const PloxexBlock*);
typedef int32_t (*PloxexSaveExternalAnalyzeFn)(int32_t, const PloxexWriter*, const char*,
                                               const PloxexBlock*);
typedef int32_t (*PloxexLoadExternalAnalyzeFn)(int32_t, const char*, int32_t, const char*,
                                               PloxexBlock*);
typedef void (*PloxexFreeExternalAnalyzeFn)(PloxexBlock*);
typedef int32_t (*PloxexExternalFunctionNumberFn)(const char*);
typedef int32_t (*PloxexExternalFunctionSetFn)(int32_t, const double*, const double*, const double*,
                                               double*, int32_t);
typedef int32_t (*PloxexQueryExternalPlotNumFn)(void);
typedef void (*PloxexExternalPlotDrawMyDotFn)(const PloxexDrawContext*, int32_t, int32_t, int32_t,
                                              int32_t);

/* The optional converter module libploxfil.so. Each function is looked up separately and may be
 * missing. */
#define PLOXFIL_NAME_SIZE 64

/* index 0: the number of converters; 1..count: fills name (PLOXFIL_NAME_SIZE bytes). */
typedef int32_t (*PloxfilRegisterFileConverterFn)(int32_t index, char* name);
/* Version word as for ExternalAnalyzeAbout (the program passes show 0). */
typedef int32_t (*PloxfilExternalLoadAboutFn)(void* host_instance, void* window, int32_t show);
/* Writes a plain data file at destination from source with converter `converter` (1..count);
 * nonzero on success. */
typedef int32_t (*PloxfilExtConvertFileFn)(const char* source, const char* destination,
                                           int32_t converter);
/* A document version code for a foreign first line, or -1 when not recognised. */
typedef int32_t (*PloxfilExtCheckQVPFn)(const char* first_line);

/* The exports of libploxfil.so, the converter module delivered with the program. */
#define PLOXFIL_VERSION 0x0001 /* 1.00 */
PLOXEX_API int32_t RegisterFileConverter(int32_t index, char* name);
PLOXEX_API int32_t ExternalLoadAbout(void* host_instance, void* window, int32_t show);
PLOXEX_API int32_t ExtConvertFile(const char* source, const char* destination, int32_t converter);
PLOXEX_API int32_t ExtCheckQVP(const char* first_line);

#ifdef __cplusplus
}
#endif

#endif
