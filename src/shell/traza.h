#pragma once
// The start-up trace.  With PINDEL_TRACE=1 in the environment every phase of the start-up
// prints the time it was reached, in milliseconds since main() began, to standard error:
//
//   pindel: traza:    12.3 ms  QApplication
//
// Without the variable nothing is printed, and a call costs the test of a flag.

namespace pindel {

// Starts the clock and reads PINDEL_TRACE once.  Call it first thing in main().
void iniciarTraza();

// Prints one phase when the trace is on.  `fase` names it, in a few words.
void traza(const char *fase);

// Whether the trace is on.
bool trazaActiva();

} // namespace pindel
