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

CDialog::CDialog() : m_lpszTemplateName(NULL), m_nIDHelp(0), m_pParentWnd(NULL) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd)
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
    return CreateIndirect(static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)), pParentWnd,
                          hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (m_hWnd != NULL || lpDialogTemplate == NULL)
        return FALSE;
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

// Fills the controls from the members, as MFC's base implementation does.
BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
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
