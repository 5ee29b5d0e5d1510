// The program's globals start fresh only with the process; the unit tests and
// the fuzz targets run many documents in one process, so they put every
// mutable global back to its value at process start before each.
#ifndef INKWARDEN_PROGRAM_RESET_H
#define INKWARDEN_PROGRAM_RESET_H

void ResetProgramGlobals(void);

#endif
