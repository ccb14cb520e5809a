// The campaign's crash report: where the crash happened, on which thread, what it touched, and the
// code addresses on the crashed thread's stack, each as module and offset for addr2line.
#include "StressHost.h"

#include <stdio.h>

namespace stress
{
namespace
{
// The module that holds pAddress, its file name and the offset of pAddress in it; NULL outside
// every module, leaving the name and offset as they were.
HMODULE Locate(const void* pAddress, char (&szModule)[MAX_PATH], unsigned long long* pOffset)
{
    HMODULE hModule = NULL;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(pAddress), &hModule) ||
        ::GetModuleFileNameA(hModule, szModule, MAX_PATH) == 0)
        return NULL;
    *pOffset = static_cast<unsigned long long>(static_cast<const BYTE*>(pAddress) -
                                               reinterpret_cast<const BYTE*>(hModule));
    return hModule;
}

// True when the offset lies in an executable section of the module.
bool IsCode(HMODULE hModule, unsigned long long ullOffset)
{
    const BYTE* pBase = reinterpret_cast<const BYTE*>(hModule);
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        pBase + reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    const IMAGE_SECTION_HEADER* pSection = IMAGE_FIRST_SECTION(pNt);
    for (WORD i = 0; i < pNt->FileHeader.NumberOfSections; i++, pSection++)
    {
        if ((pSection->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0 &&
            ullOffset >= pSection->VirtualAddress &&
            ullOffset < pSection->VirtualAddress + pSection->Misc.VirtualSize)
            return true;
    }
    return false;
}

// The filter runs on the crashed thread's stack, below the crashed frames: every word from here
// to the stack's base that points into code is a return address of a live or an earlier call.
// Frames of the program's own modules are printed, newest first; the scan cannot tell a live
// frame from a stale word, so the list is a set of candidates that starts at the crash.
void PrintCodeAddressesOnStack()
{
    // The committed stack from here up to its base is one region of the same protection.
    MEMORY_BASIC_INFORMATION region = {};
    ::VirtualQuery(&region, &region, sizeof(region));
    const ULONG_PTR* pWord = reinterpret_cast<const ULONG_PTR*>(&region + 1);
    const ULONG_PTR* pBase = reinterpret_cast<const ULONG_PTR*>(
        static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize);
    char szWindows[MAX_PATH] = "";
    UINT nWindows = ::GetWindowsDirectoryA(szWindows, MAX_PATH);
    int nShown = 0;
    printf("  code addresses on the stack (module+offset, newest first):\n");
    for (; pWord < pBase && nShown < 60; pWord++)
    {
        char szModule[MAX_PATH];
        unsigned long long ullOffset = 0;
        HMODULE hModule = Locate(reinterpret_cast<const void*>(*pWord), szModule, &ullOffset);
        if (hModule == NULL || _strnicmp(szModule, szWindows, nWindows) == 0 ||
            !IsCode(hModule, ullOffset))
            continue;
        const char* pszName = strrchr(szModule, '\\');
        printf("    %s+0x%llx\n", pszName != NULL ? pszName + 1 : szModule, ullOffset);
        nShown++;
    }
    fflush(stdout);
}
} // namespace

// Names the crash: its code, the module and offset where it happened, the thread it happened on
// and, for an access violation, the address that was touched; then the code addresses that the
// crashed thread's stack holds.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* pInfo)
{
    const EXCEPTION_RECORD* pRecord = pInfo->ExceptionRecord;
    // A crash outside every module (a call through a broken pointer) shows its plain address.
    char szModule[MAX_PATH] = "?";
    unsigned long long ullOffset = reinterpret_cast<ULONG_PTR>(pRecord->ExceptionAddress);
    Locate(pRecord->ExceptionAddress, szModule, &ullOffset);
    char szWhat[MAX_PATH + 200];
    int nLength = sprintf(szWhat, "crash, exception 0x%08lx at %s+0x%llx on the %s thread",
                          static_cast<unsigned long>(pRecord->ExceptionCode), szModule, ullOffset,
                          ::GetCurrentThreadId() == theApp.m_nWindowThread ? "window" : "worker");
    if (pRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && pRecord->NumberParameters >= 2)
        sprintf(szWhat + nLength, ", %s address 0x%llx",
                pRecord->ExceptionInformation[0] == 0 ? "reading" : "writing",
                static_cast<unsigned long long>(pRecord->ExceptionInformation[1]));
    g.counts.nCrashes++;
    Report(szWhat);
    PrintCodeAddressesOnStack();
    PrintSummary();
    ::ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace stress
