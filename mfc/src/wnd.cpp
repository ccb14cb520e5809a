// Windows: the handle-to-object link, subclassing, the window procedure and data exchange.
#include <afxwin.h>

namespace
{
// A window that a CWnd owns carries a pointer to it in this property, and in the second the id of
// the thread that attached it. MFC keeps the link in a handle map of that thread, so only that
// thread finds the object from the handle; the properties give the same answers without a shared
// table.
const WCHAR kWndProperty[] = L"MfcSubCWnd";
const WCHAR kThreadProperty[] = L"MfcSubCWndThread";

HANDLE CurrentThreadTag()
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(::GetCurrentThreadId()));
}

// The object attached to the window, whichever thread attached it.
CWnd* LinkedObject(HWND hWnd)
{
    return hWnd != NULL ? static_cast<CWnd*>(::GetPropW(hWnd, kWndProperty)) : NULL;
}

// Set when the data exchange running on this thread met a control that its dialog lacks.
thread_local BOOL t_bExchangeFailed = FALSE;

// The window whose data exchange runs on this thread: the notifications its controls send while
// the exchange sets them are not the user's doing, so the window does not dispatch them.
thread_local HWND t_hLockoutNotifyWindow = NULL;
} // namespace

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_pCurrentMsg(NULL) {}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && LinkedObject(m_hWnd) == this)
    {
        // A window that outlives its object would call into freed memory: take it down first.
        if (m_pfnSuper != NULL)
            DestroyWindow();
        else
            Detach();
    }
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    CWnd* pWnd = LinkedObject(hWnd);
    return pWnd != NULL && ::GetPropW(hWnd, kThreadProperty) == CurrentThreadTag() ? pWnd : NULL;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL)
        return FALSE;
    m_hWnd = hWndNew;
    ::SetPropW(hWndNew, kWndProperty, this);
    ::SetPropW(hWndNew, kThreadProperty, CurrentThreadTag());
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && LinkedObject(hWnd) == this)
    {
        ::RemovePropW(hWnd, kWndProperty);
        ::RemovePropW(hWnd, kThreadProperty);
    }
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper != NULL)
    {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = NULL;
    }
    return Detach();
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLength = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(nLength), nLength + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    int nLength = ::GetWindowTextLengthW(hWnd);
    ::GetWindowTextW(hWnd, rString.GetBufferSetLength(nLength), nLength + 1);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

// An exchange with a control that the dialog lacks is reported in a message box, and UpdateData
// answers FALSE, as MFC does. MFC gets there by throwing CNotSupportedException from PrepareCtrl
// through the caller's DoDataExchange; the subset does not unwind through the caller's module
// (the i686 build links every module with its own unwinder, which cannot unwind another
// module's frames), so PrepareCtrl marks the exchange failed instead and the rest of the
// exchange is skipped.
BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    BOOL bOuterFailed = t_bExchangeFailed;
    t_bExchangeFailed = FALSE;
    HWND hWndOldLockout = t_hLockoutNotifyWindow;
    t_hLockoutNotifyWindow = m_hWnd;
    DoDataExchange(&dx);
    t_hLockoutNotifyWindow = hWndOldLockout;
    BOOL bFailed = t_bExchangeFailed;
    t_bExchangeFailed = bOuterFailed;
    if (bFailed)
    {
        CNotSupportedException e;
        e.ReportError(MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    MSG msg = {hWnd, nMsg, wParam, lParam, 0, {0, 0}};
    const MSG* pOldMsg = pWnd->m_pCurrentMsg;
    pWnd->m_pCurrentMsg = &msg;
    LRESULT lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    pWnd->m_pCurrentMsg = pOldMsg;
    if (nMsg == WM_NCDESTROY)
    {
        // The window is gone: unhook the object from it and let the class clean up.
        WNDPROC pfnSuper = pWnd->m_pfnSuper;
        pWnd->m_pfnSuper = NULL;
        if (pfnSuper != NULL &&
            ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc))
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnSuper));
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, pResult);
    return DispatchToMaps(message, wParam, lParam, pResult);
}

// A control's notification during this window's data exchange counts as handled and goes
// nowhere (see t_hLockoutNotifyWindow).
BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0 && t_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (t_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    return DispatchToMaps(WM_NOTIFY, wParam, lParam, pResult);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    if (m_pCurrentMsg == NULL)
        return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

void CWnd::PostNcDestroy() {}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL)
{
}

// A control id that the dialog does not have is an error in the program: it is traced and fails
// the exchange (see UpdateData).
HWND CDataExchange::PrepareCtrl(int nIDC)
{
    if (t_bExchangeFailed)
        return NULL;
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (hWndCtrl == NULL)
    {
        WCHAR szTrace[64];
        wsprintfW(szTrace, L"Error: no data exchange control with ID 0x%04X.\n", nIDC);
        ::OutputDebugStringW(szTrace);
        t_bExchangeFailed = TRUE;
        return NULL;
    }
    m_hWndLastControl = hWndCtrl;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    return PrepareCtrl(nIDC);
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl != NULL)
        rControl.SubclassWindow(hWndCtrl);
}

// Moves text between the control and the member. Setting a text that the control already shows
// is skipped, as MFC does, so the control does not flicker.
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (hWndCtrl == NULL)
        return;
    int nLength = ::GetWindowTextLengthW(hWndCtrl);
    CString current;
    ::GetWindowTextW(hWndCtrl, current.GetBufferSetLength(nLength), nLength + 1);
    current.ReleaseBuffer();
    if (pDX->m_bSaveAndValidate)
        value = current;
    else if (current != value)
        ::SetWindowTextW(hWndCtrl, value);
}

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

CComboBox::CComboBox() = default;

CComboBox::~CComboBox()
{
    DestroyWindow();
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLength = (int)::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, nIndex, 0);
    if (nLength == CB_ERR)
    {
        rString.Empty();
        return;
    }
    ::SendMessageW(m_hWnd, CB_GETLBTEXT, nIndex, (LPARAM)rString.GetBufferSetLength(nLength));
    rString.ReleaseBuffer();
}
