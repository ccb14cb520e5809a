// What the parts of the stand-in base.dll share among themselves.
#pragma once

#include <StandinBase.h>

// Marks worker nThreadID as being stopped (its cancellable waits return at once), and clears
// the mark again.
void CancelThread(DWORD nThreadID);
void UncancelThread(DWORD nThreadID);

// Reports a call of CleanThread to the clean-up sink.
void ReportCleanUp(CWinThread** ppThread);

// Releases the HART lock when thread nThreadID holds it (after that thread was terminated); TRUE
// when it did.
BOOL ReleaseHartLockOf(DWORD nThreadID);
