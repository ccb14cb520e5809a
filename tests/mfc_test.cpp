// The MFC subset as the page uses it: message maps chained to the base class, dialog data
// exchange, handle maps per thread, a modeless dialog from the application's resources, run-time
// class information, CArray, AfxMessageBox going through the application object, the default box's
// owner and the windows it disables, and ASSERT in a debug and a release build.
#include <gtest/gtest.h>

#include <afxwin.h>
#include <afxtempl.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

// Defined in mfc_debug_test.cpp, which is built with _DEBUG: ASSERT(++nCount == 0).
int AssertInADebugBuild(int nCount);

namespace
{
// Records the boxes AfxMessageBox asks for and answers them with No.
class CTestApp : public CWinApp
{
public:
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
    {
        m_boxes.push_back(lpszPrompt);
        m_types.push_back(nType);
        return IDNO;
    }
    void ForgetBoxes()
    {
        m_boxes.clear();
        m_types.clear();
    }
    std::vector<std::wstring> m_boxes;
    std::vector<UINT> m_types;
} theApp;

const UINT kEdit = 10, kButton = 11, kList = 12, WM_TEST_BASE = WM_APP + 1, WM_TEST = WM_APP + 2;

class CBaseDlg : public CDialog
{
public:
    CBaseDlg() : CDialog(100) {}
    std::vector<std::string> m_calls;

protected:
    void OnGo() { m_calls.push_back("base:go"); }
    LRESULT OnBaseMessage(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
ON_BN_CLICKED(kButton, &CBaseDlg::OnGo)
ON_MESSAGE(WM_TEST_BASE, &CBaseDlg::OnBaseMessage)
END_MESSAGE_MAP()

class CTestDlg : public CBaseDlg
{
    DECLARE_DYNAMIC(CTestDlg)
public:
    CString m_strText;
    CComboBox m_list;

protected:
    virtual void DoDataExchange(CDataExchange* pDX)
    {
        DDX_Control(pDX, kList, m_list);
        DDX_Text(pDX, kEdit, m_strText);
    }
    void OnGo() { m_calls.push_back("derived:go"); }
    LRESULT OnTest(WPARAM, LPARAM lParam) { return lParam * 2; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(CTestDlg, CBaseDlg)

BEGIN_MESSAGE_MAP(CTestDlg, CBaseDlg)
ON_BN_CLICKED(kButton, &CTestDlg::OnGo)
ON_MESSAGE(WM_TEST, &CTestDlg::OnTest)
END_MESSAGE_MAP()

// Counts the calls of its Create, to see that CDialog's Create is virtual.
class CCountingDlg : public CDialog
{
public:
    CCountingDlg() : CDialog(100) {}
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd) override
    {
        ++m_nCreates;
        return CDialog::Create(nIDTemplate, pParentWnd);
    }
    int m_nCreates = 0;
};

TEST(DialogCreate, IsVirtualAndANullParentMeansTheMainWindow)
{
    HWND hMain =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    CWnd mainWnd;
    mainWnd.Attach(hMain);
    theApp.m_pMainWnd = &mainWnd;
    CCountingDlg dlg;
    CDialog* pDialog = &dlg;
    EXPECT_TRUE(pDialog->Create(100, NULL));
    EXPECT_EQ(dlg.m_nCreates, 1);
    EXPECT_EQ(::GetParent(dlg.GetSafeHwnd()), hMain);
    dlg.DestroyWindow();
    theApp.m_pMainWnd = NULL;
    mainWnd.Detach();
    ::DestroyWindow(hMain);
}

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hParent = ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL,
                                      NULL, NULL);
        m_parent.Attach(m_hParent);
        ASSERT_TRUE(m_dlg.Create(100, &m_parent));
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        m_parent.Detach();
        ::DestroyWindow(m_hParent);
    }
    HWND m_hParent = NULL;
    CWnd m_parent;
    CTestDlg m_dlg;
};

TEST_F(DialogTest, TheMostDerivedMapHandlesAMessageFirstAndBaseEntriesStillApply)
{
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(m_dlg.GetSafeHwnd(), kButton)));
    EXPECT_EQ(m_dlg.m_calls, std::vector<std::string>({"derived:go"}));
    EXPECT_EQ(m_dlg.SendMessage(WM_TEST, 0, 21), 42);
    EXPECT_EQ(m_dlg.SendMessage(WM_TEST_BASE, 6, 0), 7) << "an entry only the base map has";
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kButton, BN_SETFOCUS), 0);
    EXPECT_EQ(m_dlg.m_calls.size(), 1u) << "another notification code is not a click";
}

TEST_F(DialogTest, UpdateDataMovesTextBothWaysAndDdxControlAttachesTheList)
{
    EXPECT_EQ(::GetParent(m_dlg.GetSafeHwnd()), m_hParent);
    ASSERT_NE(m_dlg.m_list.GetSafeHwnd(), nullptr) << "DDX_Control ran in OnInitDialog";
    EXPECT_EQ(m_dlg.m_list.AddString(L"b"), 0);
    m_dlg.m_list.InsertString(0, L"a");
    m_dlg.m_list.SetItemData(1, 77);
    m_dlg.m_list.SetCurSel(1);
    CString strItem;
    m_dlg.m_list.GetLBText(1, strItem);
    EXPECT_EQ(strItem, L"b");
    EXPECT_EQ(m_dlg.m_list.GetItemData(m_dlg.m_list.GetCurSel()), 77u);

    m_dlg.m_strText = L"12.5 kPa";
    m_dlg.UpdateData(FALSE);
    wchar_t szText[32] = {0};
    ::GetDlgItemTextW(m_dlg.GetSafeHwnd(), kEdit, szText, 32);
    EXPECT_STREQ(szText, L"12.5 kPa");
    ::SetDlgItemTextW(m_dlg.GetSafeHwnd(), kEdit, L"typed");
    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_strText, L"typed");
}

// Counts the edit control's change notifications that reach the map.
class CNotifiedDlg : public CDialog
{
public:
    CNotifiedDlg() : CDialog(100) {}
    CString m_strText;
    int m_nChanges = 0;

protected:
    virtual void DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, kEdit, m_strText); }
    void OnEditChange() { ++m_nChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifiedDlg, CDialog)
ON_EN_CHANGE(kEdit, &CNotifiedDlg::OnEditChange)
END_MESSAGE_MAP()

TEST(DataExchangeTest, ControlNotificationsDuringTheExchangeAreLockedOut)
{
    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    CWnd parent;
    parent.Attach(hParent);
    CNotifiedDlg dlg;
    ASSERT_TRUE(dlg.Create(100, &parent));
    dlg.m_strText = L"set by the program";
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.GetDlgItemText(kEdit, dlg.m_strText), 18);
    EXPECT_EQ(dlg.m_nChanges, 0) << "the exchange's own change is not dispatched";
    ::SetDlgItemTextW(dlg.GetSafeHwnd(), kEdit, L"typed");
    EXPECT_EQ(dlg.m_nChanges, 1) << "a change outside the exchange is";
    dlg.DestroyWindow();
    parent.Detach();
    ::DestroyWindow(hParent);
}

// The third parameter of CreateIndirect is the dialog's initialization data, as in MFC; the
// resource compiler's list entries carry the Win16 CB_ADDSTRING (0x0403) and an ANSI string.
TEST(DialogCreate, CreateIndirectAppliesTheInitializationData)
{
    BOOL (CDialog::*pfnCreate)(LPCDLGTEMPLATE, CWnd*, void*) = &CDialog::CreateIndirect;
    BOOL(CDialog::*pfnCreateIn)
    (LPCDLGTEMPLATE, CWnd*, void*, HINSTANCE) = &CDialog::CreateIndirect;
    EXPECT_NE(pfnCreate, nullptr);
    EXPECT_NE(pfnCreateIn, nullptr);

    HRSRC hResource = ::FindResourceW(NULL, MAKEINTRESOURCEW(100), RT_DIALOG);
    ASSERT_NE(hResource, nullptr);
    auto lpTemplate = static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(NULL, hResource)));
    std::vector<BYTE> init;
    auto add = [&init](WORD nIDC, WORD nMsg, const char* pszText) {
        DWORD dwLength = static_cast<DWORD>(strlen(pszText) + 1);
        const BYTE* pHeader[] = {reinterpret_cast<const BYTE*>(&nIDC),
                                 reinterpret_cast<const BYTE*>(&nMsg),
                                 reinterpret_cast<const BYTE*>(&dwLength)};
        init.insert(init.end(), pHeader[0], pHeader[0] + 2);
        init.insert(init.end(), pHeader[1], pHeader[1] + 2);
        init.insert(init.end(), pHeader[2], pHeader[2] + 4);
        init.insert(init.end(), pszText, pszText + dwLength);
    };
    add(kList, 0x0403, "kPa");
    add(kList, 0x0403, "MPa");
    add(kEdit, 0x0111, "an entry the subset skips");
    init.insert(init.end(), {0, 0});

    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    CWnd parent;
    parent.Attach(hParent);
    CTestDlg dlg;
    EXPECT_TRUE(dlg.CreateIndirect(lpTemplate, &parent, init.data()));
    EXPECT_EQ(dlg.m_list.GetCount(), 2);
    CString strItem;
    dlg.m_list.GetLBText(1, strItem);
    EXPECT_EQ(strItem, L"MPa");
    dlg.DestroyWindow();
    parent.Detach();
    ::DestroyWindow(hParent);
}

TEST(AssertTest, ActiveInADebugBuildOnly)
{
    theApp.ForgetBoxes();
    int nCount = 0;
    ASSERT(++nCount == 0);
    EXPECT_EQ(nCount, 0) << "a release build does not evaluate the expression";
    VERIFY(++nCount == 0);
    EXPECT_EQ(nCount, 1) << "VERIFY always evaluates it";
    EXPECT_TRUE(theApp.m_boxes.empty());

    EXPECT_EQ(AssertInADebugBuild(0), 1);
    ASSERT_EQ(theApp.m_boxes.size(), 1u);
    EXPECT_EQ(theApp.m_boxes[0].rfind(L"Debug Assertion Failed!\n\nFile: ", 0), 0u);
    EXPECT_NE(theApp.m_boxes[0].find(L"mfc_debug_test.cpp\nLine: "), std::wstring::npos);
    EXPECT_EQ(theApp.m_types[0], static_cast<UINT>(MB_ABORTRETRYIGNORE | MB_ICONHAND));
    EXPECT_EQ(AssertInADebugBuild(-1), 0) << "a true assertion reports nothing";
    EXPECT_EQ(theApp.m_boxes.size(), 1u);
}

// Exchanges with a control the template does not have, between two that it has. It shows itself
// before the base's OnInitDialog, to see whether that ends it.
class CMissingControlDlg : public CDialog
{
public:
    CMissingControlDlg() : CDialog(100) {}
    CString m_strBefore, m_strAfter;
    BOOL m_bInitResult = TRUE;

protected:
    BOOL OnInitDialog() override
    {
        ShowWindow(SW_SHOW);
        m_bInitResult = CDialog::OnInitDialog();
        return m_bInitResult;
    }
    virtual void DoDataExchange(CDataExchange* pDX)
    {
        DDX_Text(pDX, kEdit, m_strBefore);
        DDX_Text(pDX, 999, m_strAfter);
        DDX_Text(pDX, kEdit, m_strAfter);
    }
};

TEST(DataExchangeTest, AMissingControlIsReportedAndStopsTheExchange)
{
    theApp.ForgetBoxes();
    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    CWnd parent;
    parent.Attach(hParent);
    CMissingControlDlg dlg;
    EXPECT_TRUE(dlg.Create(100, &parent));
    EXPECT_FALSE(dlg.m_bInitResult);
    EXPECT_EQ(::GetWindowLongW(dlg.GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE, 0)
        << "a failed exchange in OnInitDialog ends the dialog";
    ::SetDlgItemTextW(dlg.GetSafeHwnd(), kEdit, L"typed");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_strBefore, L"typed");
    EXPECT_EQ(dlg.m_strAfter, L"") << "nothing after the missing control is exchanged";
    ASSERT_EQ(theApp.m_boxes.size(), 2u);
    EXPECT_EQ(theApp.m_boxes[1], L"An unsupported operation was attempted.");
    EXPECT_EQ(theApp.m_types[1], static_cast<UINT>(MB_ICONEXCLAMATION));
    dlg.DestroyWindow();
    parent.Detach();
    ::DestroyWindow(hParent);
}

// MFC's handle maps are per thread: the thread that attached the object finds it from the handle,
// another thread does not.
TEST(HandleMapTest, OnlyTheAttachingThreadFindsTheObject)
{
    HWND hWnd =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    CWnd* pFound = &wnd;
    std::thread other([&pFound, hWnd] { pFound = CWnd::FromHandlePermanent(hWnd); });
    other.join();
    EXPECT_EQ(pFound, nullptr);
    wnd.Detach();
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    ::DestroyWindow(hWnd);
}

TEST(RuntimeClassTest, IsKindOfFollowsTheDeclaredChain)
{
    CTestDlg dlg;
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(dlg.IsKindOf(RUNTIME_CLASS(CComboBox)));
    EXPECT_STREQ(dlg.GetRuntimeClass()->m_lpszClassName, "CTestDlg");
}

TEST(CArrayTest, KeepsOrderThroughGrowthInsertionAndRemoval)
{
    CArray<int, int> values;
    for (int i = 0; i < 100; i++)
        values.Add(i);
    values.RemoveAt(10, 80);
    ASSERT_EQ(values.GetSize(), 20);
    EXPECT_EQ(values[9], 9);
    EXPECT_EQ(values[10], 90);
    values.SetSize(25);
    EXPECT_EQ(values[24], 0) << "new elements are value-initialized";
    values.RemoveAll();
    EXPECT_TRUE(values.IsEmpty());
}

TEST(MessageBoxTest, AfxMessageBoxAsksTheApplicationAndLoadsStringIds)
{
    theApp.ForgetBoxes();
    EXPECT_EQ(AfxMessageBox(L"Set Failed", MB_ICONERROR), IDNO);
    EXPECT_EQ(AfxMessageBox(200, MB_YESNO), IDNO);
    ASSERT_EQ(theApp.m_boxes.size(), 2u);
    EXPECT_EQ(theApp.m_boxes[0], L"Set Failed");
    EXPECT_EQ(theApp.m_types[0], UINT(MB_ICONERROR));
    EXPECT_EQ(theApp.m_boxes[1], L"from the application");
}

// The main window of the box test: records its WM_ENABLE and the framework's own messages (those
// from 0x0360 to 0x037F, which carry the modeless state), each with its wParam, and whether one
// came to another thread than the window's.
class CMainWnd : public CWnd
{
public:
    std::vector<std::string> m_seen;
    DWORD m_nWindowThread = ::GetCurrentThreadId();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const char* pszName = message == WM_ENABLE                     ? "enable "
                              : message >= 0x0360 && message <= 0x037F ? "modeless "
                                                                       : NULL;
        if (pszName != NULL)
            m_seen.push_back(pszName + std::to_string(wParam) +
                             (::GetCurrentThreadId() == m_nWindowThread ? "" : " elsewhere"));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// What the worker's box saw while it was up.
struct BoxSeen
{
    HWND hMain, hOwner;
    BOOL bMainEnabled;
} g_boxSeen;

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
{
    WCHAR szClass[16];
    if (::GetClassNameW(hWnd, szClass, 16) == 0 || lstrcmpW(szClass, L"#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

// Runs in the box's own message loop on the worker: notes what the box sees and closes it.
void CALLBACK CloseBox(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    HWND hBox = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox == NULL)
        return;
    ::KillTimer(NULL, nIDEvent);
    g_boxSeen.hOwner = ::GetWindow(hBox, GW_OWNER);
    g_boxSeen.bMainEnabled = ::IsWindowEnabled(g_boxSeen.hMain);
    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
}

UINT ShowDefaultBox(LPVOID)
{
    ::SetTimer(NULL, 0, 20, &CloseBox);
    return static_cast<UINT>(theApp.CWinApp::DoMessageBox(L"from a worker", MB_OK, 0));
}

// A worker's box, as MFC shows it: owned by the application's main window, which a worker started
// by AfxBeginThread has too, with that window and the modeless state disabled while it is up. The
// worker's calls are sent to the window thread, so the worker waits while that thread does not
// serve sent messages.
TEST(MessageBoxTest, AWorkersDefaultBoxDisablesTheMainWindowThroughTheWindowThread)
{
    g_boxSeen = {
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL, NULL),
        NULL, TRUE};
    CMainWnd mainWnd;
    ASSERT_TRUE(mainWnd.SubclassWindow(g_boxSeen.hMain));
    theApp.m_pMainWnd = &mainWnd;
    CWinThread* pThread =
        AfxBeginThread(&ShowDefaultBox, NULL, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 300), WAIT_TIMEOUT);
    EXPECT_TRUE(mainWnd.m_seen.empty());
    while (::MsgWaitForMultipleObjects(1, &pThread->m_hThread, FALSE, 10000, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1)
    {
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    DWORD nExitCode = 0;
    ::GetExitCodeThread(pThread->m_hThread, &nExitCode);
    EXPECT_EQ(nExitCode, static_cast<DWORD>(IDOK));
    EXPECT_EQ(g_boxSeen.hOwner, g_boxSeen.hMain);
    EXPECT_FALSE(g_boxSeen.bMainEnabled);
    // The box's own end may enable its owner before the modeless state is back.
    if (mainWnd.m_seen.size() == 4)
        std::sort(mainWnd.m_seen.begin() + 2, mainWnd.m_seen.end());
    EXPECT_EQ(mainWnd.m_seen,
              (std::vector<std::string>{"enable 0", "modeless 0", "enable 1", "modeless 1"}));
    EXPECT_TRUE(::IsWindowEnabled(g_boxSeen.hMain));
    delete pThread;
    theApp.m_pMainWnd = NULL;
    mainWnd.DestroyWindow();
}
} // namespace
