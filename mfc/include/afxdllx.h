// afxdllx.h - the raw entry of an extension module. Include it in exactly one source file of the
// module. At process attach, before the module's static constructors run, it sets aside the
// application's list of run-time classes, so that AfxInitExtensionModule can tell which classes
// the module itself registered.
#pragma once

#include <afxwin.h>

extern "C" BOOL WINAPI ExtRawDllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        AfxExtRawAttach();
    return TRUE;
}

#if defined(_MSC_VER)
extern "C" BOOL(WINAPI* const _pRawDllMain)(HINSTANCE, DWORD, LPVOID) = &ExtRawDllMain;
#else
// The mingw-w64 runtime has no raw entry hook: run the entry as the first static constructor.
__attribute__((constructor(101))) static void AfxRunExtRawDllMain()
{
    ExtRawDllMain(NULL, DLL_PROCESS_ATTACH, NULL);
}
#endif
