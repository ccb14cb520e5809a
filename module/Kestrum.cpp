// The module's entry points: the load and unload notifications, which register the module with
// the framework as an extension module, and GetDlgArray, the host's way to obtain the page.
#include <afxwin.h>
#include <afxtempl.h>
#include <afxdllx.h>

#include "../page/DlgKestrum.h"
#include "../res/resource.h"

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

// Creates one page with its window under pParentWnd and hands it over in a new array; the array
// and the page belong to the caller. The page is returned even if its window could not be made.
extern "C" __declspec(dllexport) CArray<CDialog*, CDialog*>* GetDlgArray(CWnd* pParentWnd)
{
    CArray<CDialog*, CDialog*>* pArray = new CArray<CDialog*, CDialog*>;
    CDlgKestrum* pPage = new CDlgKestrum;
    pPage->Create(IDD_KESTRUM, pParentWnd);
    pArray->Add(pPage);
    return pArray;
}
