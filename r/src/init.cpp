// The entry points R code calls, registered so that no other symbol is looked up.
#include "interrupt_cleanup.h"

#define R_NO_REMAP
#include <R.h>
#include <R_ext/Rdynload.h>
#include <Rinternals.h>

extern "C" {

SEXP dsf2vemo_read(SEXP path, SEXP shown, SEXP decimal_separator);
SEXP dsf2vemo_convert(SEXP input, SEXP shown, SEXP output, SEXP format, SEXP list_separator,
                      SEXP decimal_separator);

void R_init_dsf2vemo(DllInfo* dll) {
    static const R_CallMethodDef calls[] = {
        {"dsf2vemo_read", reinterpret_cast<DL_FUNC>(&dsf2vemo_read), 3},
        {"dsf2vemo_convert", reinterpret_cast<DL_FUNC>(&dsf2vemo_convert), 6},
        {nullptr, nullptr, 0},
    };
    R_registerRoutines(dll, nullptr, calls, nullptr, nullptr);
    R_useDynamicSymbols(dll, FALSE);
    R_forceSymbols(dll, TRUE);
    // R handles Ctrl+C itself, and goes on after it.
    dsf2vemo::LeaveInterruptsToHost();
}

}  // extern "C"
