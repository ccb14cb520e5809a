// The framework's process-wide state, shared by the host and every extension module: the
// application object, the resource chain and the global locks.
#pragma once

#include <afxwin.h>

struct AFX_MODULE_STATE
{
    CWinApp* m_pCurrentWinApp;
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    CDynLinkLibrary* m_pFirstDLL;
    CRuntimeClass* m_pClassList;
    CRuntimeClass* m_pClassInit;
};

AFX_MODULE_STATE* AfxGetModuleState();
