// The MFC subset as the page uses it: message maps chained to the base class, dialog data
// exchange, handle maps per thread, AfxMessageBox going through the application object, the
// default box's owner and the windows it disables, and ASSERT in a debug and a release build.
#include <gtest/gtest.h>

#include <afxwin.h>
#include <afxtempl.h>

#include <algorithm>
#include <string>
#include <thread>
#include <utility>
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
        m_boxes.push_back({lpszPrompt, nType});
        return IDNO;
    }
    std::vector<std::pair<std::wstring, UINT>> m_boxes;
} theApp;

HWND NewWindow()
{
    return ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 400, 300, NULL, NULL, NULL,
                             NULL);
}

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

BEGIN_MESSAGE_MAP(CTestDlg, CBaseDlg)
ON_BN_CLICKED(kButton, &CTestDlg::OnGo)
ON_MESSAGE(WM_TEST, &CTestDlg::OnTest)
END_MESSAGE_MAP()

// A dialog on a parent window of its own.
class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent.Attach(m_hParent);
        ASSERT_TRUE(m_dlg.Create(100, &m_parent));
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        m_parent.Detach();
        ::DestroyWindow(m_hParent);
    }
    HWND m_hParent = NewWindow();
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
    EXPECT_EQ(m_dlg.m_list.GetSafeHwnd(), ::GetDlgItem(m_dlg.GetSafeHwnd(), kList))
        << "DDX_Control ran in OnInitDialog";
    m_dlg.m_strText = L"12.5 kPa";
    m_dlg.UpdateData(FALSE);
    wchar_t szText[32] = {0};
    ::GetDlgItemTextW(m_dlg.GetSafeHwnd(), kEdit, szText, 32);
    EXPECT_STREQ(szText, L"12.5 kPa");
    ::SetDlgItemTextW(m_dlg.GetSafeHwnd(), kEdit, L"typed");
    EXPECT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_strText, L"typed");
}

TEST(AssertTest, ActiveInADebugBuildOnly)
{
    theApp.m_boxes.clear();
    int nCount = 0;
    ASSERT(++nCount == 0);
    EXPECT_EQ(nCount, 0) << "a release build does not evaluate the expression";
    VERIFY(++nCount == 0);
    EXPECT_EQ(nCount, 1) << "VERIFY always evaluates it";
    EXPECT_TRUE(theApp.m_boxes.empty());

    EXPECT_EQ(AssertInADebugBuild(0), 1);
    ASSERT_EQ(theApp.m_boxes.size(), 1u);
    EXPECT_EQ(theApp.m_boxes[0].first.rfind(L"Debug Assertion Failed!\n\nFile: ", 0), 0u);
    EXPECT_NE(theApp.m_boxes[0].first.find(L"mfc_debug_test.cpp\nLine: "), std::wstring::npos);
    EXPECT_EQ(theApp.m_boxes[0].second, static_cast<UINT>(MB_ABORTRETRYIGNORE | MB_ICONHAND));
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

TEST_F(DialogTest, AMissingControlIsReportedAndStopsTheExchange)
{
    theApp.m_boxes.clear();
    CMissingControlDlg dlg;
    EXPECT_TRUE(dlg.Create(100, &m_parent));
    EXPECT_FALSE(dlg.m_bInitResult);
    EXPECT_EQ(::GetWindowLongW(dlg.GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE, 0)
        << "a failed exchange in OnInitDialog ends the dialog";
    ::SetDlgItemTextW(dlg.GetSafeHwnd(), kEdit, L"typed");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_strBefore, L"typed");
    EXPECT_EQ(dlg.m_strAfter, L"") << "nothing after the missing control is exchanged";
    ASSERT_EQ(theApp.m_boxes.size(), 2u);
    EXPECT_EQ(theApp.m_boxes[1],
              std::make_pair(std::wstring(L"An unsupported operation was attempted."),
                             UINT(MB_ICONEXCLAMATION)));
    dlg.DestroyWindow();
}

// MFC's handle maps are per thread: the thread that attached the object finds it from the handle,
// another thread does not.
TEST(HandleMapTest, OnlyTheAttachingThreadFindsTheObject)
{
    HWND hWnd = NewWindow();
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

TEST(MessageBoxTest, AfxMessageBoxAsksTheApplicationAndLoadsStringIds)
{
    theApp.m_boxes.clear();
    EXPECT_EQ(AfxMessageBox(L"Set Failed", MB_ICONERROR), IDNO);
    EXPECT_EQ(AfxMessageBox(200, MB_YESNO), IDNO);
    ASSERT_EQ(theApp.m_boxes.size(), 2u);
    EXPECT_EQ(theApp.m_boxes[0], std::make_pair(std::wstring(L"Set Failed"), UINT(MB_ICONERROR)));
    EXPECT_EQ(theApp.m_boxes[1].first, L"from the application");
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
    g_boxSeen = {NewWindow(), NULL, TRUE};
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
