// afxwin.h - windows, dialogs, controls, message maps, data exchange, threads and the application
// object of the MFC subset.
#pragma once

#include <afx.h>
#include <commctrl.h>

class CCmdTarget;
class CWnd;
class CDataExchange;
class CWinApp;
class CWinThread;

// Message maps. A map is one dispatch function per class, built by the macros below as a chain of
// plain if statements, plus a link to the base class's map. Dispatch walks from the most derived
// map to the base maps and stops at the first entry that handles the message.
typedef BOOL (*AFX_PMSGDISPATCH)(CCmdTarget* pTarget, UINT nMsg, WPARAM wParam, LPARAM lParam,
                                 LRESULT* pResult);

struct AFX_MSGMAP
{
    const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
    AFX_PMSGDISPATCH pfnDispatch;
};

// Declares the class's map (in the class body).
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();                                           \
    virtual const AFX_MSGMAP* GetMessageMap() const;

// Opens the map of theClass, chained to the map of baseClass.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                                         \
    {                                                                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        struct Map                                                                                 \
        {                                                                                          \
            static BOOL Dispatch(CCmdTarget* _afxTarget, UINT _afxMsg, WPARAM _afxW, LPARAM _afxL, \
                                 LRESULT* _afxResult)                                              \
            {                                                                                      \
                ThisClass* _afxThis = static_cast<ThisClass*>(_afxTarget);                         \
                (void)_afxThis;                                                                    \
                (void)_afxMsg;                                                                     \
                (void)_afxW;                                                                       \
                (void)_afxL;                                                                       \
                (void)_afxResult;

// The handler names below take the standard form, &CMyDialog::OnSomething. Each entry converts
// the handler to the one pointer-to-member type that fits its entry, so a handler with another
// signature does not compile, as with MFC's own map entries; nor does a bare member name, unless
// the compiler accepts it as a Microsoft extension (GCC for Windows does unless given
// -fno-ms-extensions).

// Calls void memberFxn() for a WM_COMMAND with the control id id and the notification code code.
#define ON_CONTROL(code, id, memberFxn)                                                            \
    if (_afxMsg == WM_COMMAND && LOWORD(_afxW) == (id) && HIWORD(_afxW) == (code))                 \
    {                                                                                              \
        (_afxThis->*static_cast<void (ThisClass::*)()>(memberFxn))();                              \
        *_afxResult = 0;                                                                           \
        return TRUE;                                                                               \
    }

// Calls memberFxn() when button id is clicked.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// Calls memberFxn() when the text of edit control id has changed.
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// Calls memberFxn() for the command id (a menu item, an accelerator or IDOK/IDCANCEL).
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)

// Calls LRESULT memberFxn(WPARAM, LPARAM) for the window message message.
#define ON_MESSAGE(message, memberFxn)                                                             \
    if (_afxMsg == (message))                                                                      \
    {                                                                                              \
        *_afxResult = (_afxThis->*static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(memberFxn))( \
            _afxW, _afxL);                                                                         \
        return TRUE;                                                                               \
    }

// Closes the map.
#define END_MESSAGE_MAP()                                                                          \
    return FALSE;                                                                                  \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &Map::Dispatch};       \
    return &messageMap;                                                                            \
    }

struct AFX_CMDHANDLERINFO;

class AFX_CORE_CLASS CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    virtual ~CCmdTarget();

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    BOOL DispatchToMaps(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

public:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Control-to-member exchange.
class AFX_CORE_CLASS CDataExchange
{
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
};

class AFX_CORE_CLASS CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd;

    CWnd();
    virtual ~CWnd();

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to the window on this thread; NULL on every other thread, as MFC's
    // handle maps are per thread.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual BOOL DestroyWindow();

    void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
    {
        return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
    }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextW(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
    }

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy();
    LRESULT Default();

    WNDPROC m_pfnSuper;
    const MSG* m_pCurrentMsg;

    friend LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    friend class CDialog;

    DECLARE_MESSAGE_MAP()

private:
    CWnd(const CWnd&) = delete;
    void operator=(const CWnd&) = delete;
};

AFX_CORE_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

class AFX_CORE_CLASS CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual ~CDialog();

    // Creates the dialog modeless from its template, which is looked up through the resource
    // chain (the application, then every extension module). A NULL parent stands for the
    // application's main window (AfxGetMainWnd).
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    // lpDialogInit is dialog initialization data (the RT_DLGINIT format: control id, message,
    // length, data), which OnInitDialog applies; the subset applies its list-box and combo-box
    // strings.
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL,
                                void* lpDialogInit = NULL);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit,
                        HINSTANCE hInst);
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);

protected:
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    BOOL ExecuteDlgInit(LPVOID lpResource);

    LPCTSTR m_lpszTemplateName;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
    void* m_lpDialogInit;

    DECLARE_MESSAGE_MAP()
};

class AFX_CORE_CLASS CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)
public:
    CComboBox();
    virtual ~CComboBox();

    int GetCount() const { return (int)::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return (int)::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) { return (int)::SendMessageW(m_hWnd, CB_SETCURSEL, nSelect, 0); }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return (DWORD_PTR)::SendMessageW(m_hWnd, CB_GETITEMDATA, nIndex, 0);
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return (int)::SendMessageW(m_hWnd, CB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
    }
    int InsertString(int nIndex, LPCTSTR lpszString)
    {
        return (int)::SendMessageW(m_hWnd, CB_INSERTSTRING, nIndex, (LPARAM)lpszString);
    }
    int AddString(LPCTSTR lpszString)
    {
        return (int)::SendMessageW(m_hWnd, CB_ADDSTRING, 0, (LPARAM)lpszString);
    }
    int DeleteString(UINT nIndex)
    {
        return (int)::SendMessageW(m_hWnd, CB_DELETESTRING, nIndex, 0);
    }
    void ResetContent() { ::SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0); }
    void GetLBText(int nIndex, CString& rString) const;
};

AFX_CORE_API void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
AFX_CORE_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// Threads.
typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class AFX_CORE_CLASS CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    operator HANDLE() const { return m_hThread; }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
    virtual void Delete();
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    CWnd* m_pMainWnd;
    LPVOID m_pThreadParams;
    AFX_THREADPROC m_pfnThreadProc;
};

AFX_CORE_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                               int nPriority = THREAD_PRIORITY_NORMAL,
                                               UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                               LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
AFX_CORE_API void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// The calling thread's object: a worker's own, the application on the thread that made it, NULL on
// any other thread.
AFX_CORE_API CWinThread* AFXAPI AfxGetThread();

// The application object. The host derives from it; extension modules reach it through
// AfxGetApp, and AfxMessageBox asks its DoMessageBox, so the host decides how boxes are shown.
class AFX_CORE_CLASS CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    // Shows AfxMessageBox's box, owned by the calling thread's main window, with that window's
    // top-level window and the application's modeless state disabled while it is up.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // Disables (FALSE) or enables (TRUE) the application's modeless windows around a modal one.
    virtual void EnableModeless(BOOL bEnable);

    LPCTSTR m_pszAppName;
    HINSTANCE m_hInstance;
};

AFX_CORE_API CWinApp* AFXAPI AfxGetApp();
// The main window of the calling thread's object (AfxGetThread), or NULL.
AFX_CORE_API CWnd* AFXAPI AfxGetMainWnd();
AFX_CORE_API HINSTANCE AFXAPI AfxGetInstanceHandle();
AFX_CORE_API HINSTANCE AFXAPI AfxGetResourceHandle();
AFX_CORE_API void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
AFX_CORE_API HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
AFX_CORE_API HINSTANCE AFXAPI AfxFindStringResourceHandle(UINT nID);
AFX_CORE_API int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
AFX_CORE_API int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// The framework's global locks. CRIT_DYNLINKLIST guards the chain of extension modules;
// CRIT_THREADOBJECT is held while an auto-deleting thread object is destroyed, so whoever holds it
// may read a thread object it found through a shared pointer.
enum
{
    CRIT_DYNLINKLIST = 0,
    CRIT_THREADOBJECT = 1,
    CRIT_MAX = 2
};
AFX_CORE_API void AFXAPI AfxLockGlobals(int nLockType);
AFX_CORE_API void AFXAPI AfxUnlockGlobals(int nLockType);

#include <afxdll_.h>
