/* The macro interpreter library: reads a macro script, checks it against the command
 * table of the program that calls it, and runs it, calling the program back for every
 * command of the table that the script uses. The library knows nothing of the editor;
 * this header is its whole interface, in plain C so that it can sit behind a DLL.
 *
 * The language and every call are described in docs/macro-language.md. */
#ifndef VARLIN_INTERPRETER_MACROLIB_H
#define VARLIN_INTERPRETER_MACROLIB_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version: Run_Macro and Get_MacroLib_InternalFunctionList are given it. */
#define MACROLIB_VERSION 44

/* One entry of a command table; a table ends with an entry whose Name is null. */
typedef struct MacroCommand {
    const char* Name;       /* the function name in the macro language (case-sensitive) */
    int32_t ActionId;       /* passed back to the function callback */
    const char* Signature;  /* argument codes "C[]" text, "L" integer, "*L" integer out; never null */
    const char* ArgNames;   /* argument names separated by commas, or null */
} MacroCommand;

/* One argument of a call. The first two fields are the library's own; the program reads
 * only Value: a zero-terminated text for "C[]", an int32_t for "L", and an int32_t the
 * program writes for "*L". */
typedef struct OPERAND {
    int32_t Kind;           /* 0 text, 1 integer, 2 integer out */
    int32_t Index;          /* 0-based position of the argument */
    void* Value;
} OPERAND;

/* Called for every call of a command-table function; the result is the call's value. */
typedef int32_t (*MacroFunctionCallback)(int32_t actionId, OPERAND** operands, int32_t count,
                                         char* userData);
/* Asked between statements (in loops of integer statements once per few thousand
 * instructions): 1 stops the script. */
typedef int32_t (*MacroAbortCallback)(void);

/* Why a run failed. */
typedef enum MacroLibErrorKind {
    MACROLIB_NO_ERROR = 0,
    MACROLIB_FILE_ERROR = 1,     /* the script could not be read */
    MACROLIB_SYNTAX_ERROR = 2,   /* found while reading: nothing of the script ran */
    MACROLIB_RUN_ERROR = 3,      /* found while running: the statements before it ran */
    MACROLIB_ABORTED = 4         /* the abort callback said stop */
} MacroLibErrorKind;

/* The place and text of a failure. Line and Column count from 1 (bytes, a tab is one
 * column); both are 0 when the failure has no place in the script (a file error). */
typedef struct MacroLibError {
    int32_t Kind;                /* MacroLibErrorKind */
    int32_t Line;
    int32_t Column;
    char File[512];              /* the script's name as Run_Macro was given it */
    char Text[256];              /* a short English text, e.g. "unknown function 'Foo'" */
} MacroLibError;

/* The program's side of a run. It is passed as Run_Macro's first argument (the instance
 * handle), so that the argument list stays as it is; null gives the defaults noted. Every
 * pointer may be null. */
typedef struct MacroLibInstance {
    int32_t Version;             /* MACROLIB_VERSION; another value is treated as null */
    void* Context;               /* handed back to every hook */
    /* Print (Value): a line of output (default: standard output). */
    void (*Print)(void* context, const char* text);
    /* Beep (): a beep (default: nothing). */
    void (*Beep)(void* context);
    /* SendCommand (CommandId): a command to the main window given to Run_Macro; the
     * result is the call's value (default: -1). */
    int32_t (*SendCommand)(void* context, void* mainWindow, int32_t commandId);
    /* Told once when a run fails or is stopped, before Run_Macro returns: the editor shows
     * its message, batch mode prints MacroLib_FormatError's line. */
    void (*ReportError)(void* context, const MacroLibError* error);
    /* Filled in by every run (Kind 0 when it succeeded); may be null. */
    MacroLibError* Error;
} MacroLibInstance;

/* Results of the run calls. */
#define MACROLIB_OK 0          /* the script ran to its end or to exit */
#define MACROLIB_FAILED (-1)   /* a file, syntax or run error */
#define MACROLIB_STOPPED (-2)  /* stopped by the abort callback */

/* Runs the script named by commandText (the file name, usually in double quotes) with the
 * program's command table. instance is a MacroLibInstance or null; mainWindow is handed
 * to SendCommand and never touched; version must be MACROLIB_VERSION; reserved is 0. */
int32_t Run_Macro(void* instance, void* mainWindow, const char* commandText,
                  const MacroCommand* table, MacroFunctionCallback function,
                  MacroAbortCallback abort, char* userData, int32_t version, int32_t reserved);

/* The description of a script file ("Macro "Description"") into buffer (cut to fit);
 * returns its length, -1 when the file cannot be read, -2 when it has no description. */
int32_t Get_MacroHeader(const char* fileName, char* buffer, int32_t size);

/* The library's own functions in the command-table layout, ended by a null Name; null
 * for a version other than MACROLIB_VERSION. Their ActionIds (1001 and up) are the
 * library's and never reach the program. */
const MacroCommand* Get_MacroLib_InternalFunctionList(int32_t version);

/* Runs a script held in memory (it may contain any byte); name is used in errors. */
int32_t MacroLib_RunText(void* instance, void* mainWindow, const char* name, const char* text,
                         size_t length, const MacroCommand* table, MacroFunctionCallback function,
                         MacroAbortCallback abort, char* userData);

/* Only reads and checks a script held in memory; returns MACROLIB_OK or MACROLIB_FAILED
 * and fills error (may be null). */
int32_t MacroLib_Check(const char* name, const char* text, size_t length,
                       const MacroCommand* table, MacroLibError* error);

/* "FILE:LINE:COL: text" (or "FILE: text" without a place) into buffer; returns the length
 * of the full line, which was cut when it is not below size. */
int32_t MacroLib_FormatError(const MacroLibError* error, char* buffer, int32_t size);

#ifdef __cplusplus
}
#endif

#endif
