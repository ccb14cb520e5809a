// What the parts of the stand-in base.dll share among themselves.
#pragma once

#include <StandinBase.h>

// Marks worker nThreadID as being stopped (its cancellable waits return at once), and clears
// the mark again.
void CancelThread(DWORD nThreadID);
void UncancelThread(DWORD nThreadID);

// The message-only window on the page's window thread through which workers switch buttons
// (Buttons.cpp); created once, by the first page's OnInitDialog.
void CreateButtonSwitcher();
// Switches a page's button: at once on the window thread, posted from any other thread.
void SwitchButton(HWND hButton, BOOL bEnable);

// Reports a call of CleanThread to the clean-up sink.
void ReportCleanUp(CWinThread** ppThread);

// Releases the HART lock when thread nThreadID holds it (after that thread was terminated); TRUE
// when it did.
BOOL ReleaseHartLockOf(DWORD nThreadID);
