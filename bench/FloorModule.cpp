// The floor of loading Kestrum.dll: the module's own entry point (ExtensionModule.cpp) with the
// same imports (the framework, the host's three DLLs, the C runtime, the system) but no page, no
// resources and no code-table catalogue. module_bench loads it beside Kestrum.dll.
#include <afxwin.h>

#include <Device.h>
#include <base.h>
#include <hartSeComm.h>

#include <string.h>

// Never called: it makes the linker import from each of the host's DLLs, the C runtime and the
// window manager.
extern "C" __declspec(dllexport) int FloorImports(HWND hWnd, BYTE* pData)
{
    memset(pData, 0, 4);
    if (!::IsWindow(hWnd) || FdLock::TryLock(1) == 0)
        return 0;
    FdLock::UnLock();
    return HartSendCmd(0, static_cast<BYTE>(FdDevice::GetCurrentDeviceIndex()), pData, 4);
}
