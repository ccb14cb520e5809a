// Extension modules: their records and the resource chain.
#include "state.h"

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

void AFXAPI AfxExtRawAttach()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_pClassInit = pState->m_pClassList;
    pState->m_pClassList = NULL;
}

// Records the module and takes over the run-time classes that its static constructors registered;
// the application's own list is put back. A record that is initialised already stays as it is.
BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized)
        return TRUE;
    if (hModule == NULL)
        return FALSE;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    state.hModule = hModule;
    state.hResource = hModule;
    state.pFirstSharedClass = pState->m_pClassList;
    state.pFirstSharedFactory = NULL;
    pState->m_pClassList = pState->m_pClassInit;
    pState->m_pClassInit = NULL;
    state.bInitialized = TRUE;
    return TRUE;
}

// Deletes the module's links of the resource chain: those of this module only, or with bAll every
// extension module's.
void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll)
{
    if (!state.bInitialized)
        return;
    for (;;)
    {
        CDynLinkLibrary* pFound = NULL;
        AfxLockGlobals(CRIT_DYNLINKLIST);
        for (CDynLinkLibrary* pDLL = AfxGetModuleState()->m_pFirstDLL; pDLL != NULL;
             pDLL = pDLL->m_pNextDLL)
        {
            if (bAll || pDLL->m_hModule == state.hModule)
            {
                pFound = pDLL;
                break;
            }
        }
        AfxUnlockGlobals(CRIT_DYNLINKLIST);
        if (pFound == NULL)
            break;
        delete pFound;
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pNextDLL(NULL)
{
    AfxLockGlobals(CRIT_DYNLINKLIST);
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    m_pNextDLL = pState->m_pFirstDLL;
    pState->m_pFirstDLL = this;
    AfxUnlockGlobals(CRIT_DYNLINKLIST);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    AfxLockGlobals(CRIT_DYNLINKLIST);
    for (CDynLinkLibrary** ppDLL = &AfxGetModuleState()->m_pFirstDLL; *ppDLL != NULL;
         ppDLL = &(*ppDLL)->m_pNextDLL)
    {
        if (*ppDLL == this)
        {
            *ppDLL = m_pNextDLL;
            break;
        }
    }
    AfxUnlockGlobals(CRIT_DYNLINKLIST);
}
