#pragma once

// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT: the handler only cuts the link to the guardian
// (which then puts the desktop back), writes one line and lets the signal end the process
// as it would have, through whatever handler was there before (a sanitizer's, or the
// default with its core dump). Nothing else is safe to do in a broken process.
void installFatalSignalHandlers();
