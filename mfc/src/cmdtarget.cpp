// Command targets and message-map dispatch.
#include <afxwin.h>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP messageMap = {NULL, NULL};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

// Walks the maps from this class's to the root's and lets the first entry that matches handle the
// message.
BOOL CCmdTarget::DispatchToMaps(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap != NULL ? pMap->pfnGetBaseMap() : NULL)
    {
        if (pMap->pfnDispatch != NULL && pMap->pfnDispatch(this, nMsg, wParam, lParam, pResult))
            return TRUE;
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO*)
{
    LRESULT lResult = 0;
    return DispatchToMaps(WM_COMMAND, MAKEWPARAM(nID, nCode), 0, &lResult);
}
