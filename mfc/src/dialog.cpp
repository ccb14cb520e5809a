// Dialogs: creation from a template found through the resource chain, and the dialog procedure.
#include <afxwin.h>

namespace
{
// While a dialog is being created on this thread, the CBT hook attaches the first window created
// to it, so the object sees every message from the very first one.
thread_local CWnd* t_pWndInit = NULL;
thread_local HHOOK t_hHookCreate = NULL;

LRESULT CALLBACK CreateHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pWndInit != NULL)
    {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = NULL;
        pWnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(t_hHookCreate, nCode, wParam, lParam);
}

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
} // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_nIDHelp(0), m_pParentWnd(NULL), m_lpDialogInit(NULL)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd), m_lpDialogInit(NULL)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceW(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource != NULL ? ::LoadResource(hInst, hResource) : NULL;
    if (hTemplate == NULL)
        return FALSE;
    return CreateIndirect(static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)), pParentWnd, NULL,
                          hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    return CreateIndirect(lpDialogTemplate, pParentWnd, lpDialogInit, NULL);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit,
                             HINSTANCE hInst)
{
    if (m_hWnd != NULL || lpDialogTemplate == NULL)
        return FALSE;
    m_lpDialogInit = lpDialogInit;
    if (pParentWnd == NULL)
        pParentWnd = AfxGetMainWnd();
    if (hInst == NULL)
        hInst = AfxGetResourceHandle();
    t_pWndInit = this;
    t_hHookCreate = ::SetWindowsHookExW(WH_CBT, &CreateHookProc, NULL, ::GetCurrentThreadId());
    HWND hWndParent = pParentWnd != NULL ? pParentWnd->m_hWnd : NULL;
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpDialogTemplate, hWndParent, &AfxDlgProc, 0);
    ::UnhookWindowsHookEx(t_hHookCreate);
    t_hHookCreate = NULL;
    t_pWndInit = NULL;
    if (hWnd == NULL && m_hWnd != NULL)
        Detach();
    return hWnd != NULL;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    return OnInitDialog();
}

// Applies the dialog's initialization data, then fills the controls from the members, as MFC's
// base implementation does; initialization data a control refuses, or an exchange that fails
// (UpdateData has reported it), ends the dialog with -1.
BOOL CDialog::OnInitDialog()
{
    if (m_lpDialogInit != NULL && !ExecuteDlgInit(m_lpDialogInit))
    {
        ::OutputDebugStringW(L"Warning: ExecuteDlgInit failed during dialog init.\n");
        EndDialog(-1);
        return FALSE;
    }
    if (!UpdateData(FALSE))
    {
        ::OutputDebugStringW(L"Warning: UpdateData failed during dialog init.\n");
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

// Initialization data is a run of entries ended by a zero control id: the control's id and a
// message (a word each), the data's length (a double word) and the data. The list-box and
// combo-box messages carry Win16 numbers and an ANSI string; other entries are skipped.
BOOL CDialog::ExecuteDlgInit(LPVOID lpResource)
{
    const UINT kWin16LbAddString = 0x0401, kWin16CbAddString = 0x0403;
    const BYTE* pEntry = static_cast<const BYTE*>(lpResource);
    for (;;)
    {
        WORD nIDC, nMsg;
        DWORD dwLength;
        ::CopyMemory(&nIDC, pEntry, sizeof nIDC);
        if (nIDC == 0)
            return TRUE;
        ::CopyMemory(&nMsg, pEntry + 2, sizeof nMsg);
        ::CopyMemory(&dwLength, pEntry + 4, sizeof dwLength);
        const BYTE* pData = pEntry + 8;
        UINT nAdd = nMsg == kWin16LbAddString   ? LB_ADDSTRING
                    : nMsg == kWin16CbAddString ? CB_ADDSTRING
                                                : 0;
        if (nAdd != 0 &&
            ::SendDlgItemMessageA(m_hWnd, nIDC, nAdd, 0, reinterpret_cast<LPARAM>(pData)) < 0)
            return FALSE;
        pEntry = pData + dwLength;
    }
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
