// The module's load and unload notifications, which register the module with the framework as an
// extension module.
#include <afxwin.h>
#include <afxdllx.h>

namespace
{
AFX_EXTENSION_MODULE g_extensionModule = {FALSE, NULL, NULL, NULL, NULL};
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        if (!AfxInitExtensionModule(g_extensionModule, hInstance))
            return FALSE;
        // Puts the module into the host's resource chain, where the framework finds the page's
        // dialog template and strings. The framework owns the object from now on.
        new CDynLinkLibrary(g_extensionModule);
    }
    else if (dwReason == DLL_PROCESS_DETACH)
    {
        AfxTermExtensionModule(g_extensionModule);
    }
    return TRUE;
}
