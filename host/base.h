// base.h - the host's page framework (base.dll): the page base class, the timer, the global HART
// lock and the localized string lookup.
#pragma once

#include <afxwin.h>

#ifdef BASE_EXPORTS
#define BASE_API __declspec(dllexport)
#else
#define BASE_API __declspec(dllimport)
#endif

// A page of the host. The host embeds the page's window and drives it through the virtual page
// operations; a page reports through the lock, progress and button functions.
class BASE_API CTablePage : public CDialog
{
    DECLARE_DYNAMIC(CTablePage)
public:
    explicit CTablePage(UINT nIDTemplate, CWnd* pParent = NULL);
    virtual ~CTablePage();

    virtual int ReloadPage();
    virtual void StopPage();
    virtual int OnDeviceChanged();
    virtual void OnPageSelected();
    virtual void ReleasePage();
    virtual void RefreshLayout();
    virtual void OnPageOpenFile(LPCTSTR lpszPath);
    virtual BOOL IsPageBusy();
    virtual void LoadCaptions();
    virtual void DoActive();
    virtual void BeginActive();
    virtual void EndActive();
    virtual void PreActive();
    virtual void DoSetData();
    virtual void BeginSetData();
    virtual void EndSetData();
    virtual void PreSetData();

    // Marks the page busy towards the host, and free again; PageUnLock may come without PageLock.
    void PageLock();
    void PageUnLock();
    int IsLock();
    // Percent of the running operation; 0 when it ends.
    void SetProgress(int nPercent);
    // Enables or disables one of the page's buttons.
    void EnableButton(int nID, int bEnable);
    // Ends the worker whose pointer *ppThread holds (which may be null) and sets it to null.
    void CleanThread(CWinThread** ppThread);

    void EnableRouteCommand(bool bRoute) { m_bRouteCommand = bRoute; }
    bool IsRouteCommand() const { return m_bRouteCommand; }
    void EnableRouteCmdMsg(bool bRoute) { m_bRouteCmdMsg = bRoute; }
    bool IsRouteCmdMsg() const { return m_bRouteCmdMsg; }
    void EnableRouteNotify(bool bRoute) { m_bRouteNotify = bRoute; }
    bool IsRouteNotify() const { return m_bRouteNotify; }

protected:
    virtual BOOL OnInitDialog();
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    bool m_bRouteCommand;
    bool m_bRouteCmdMsg;
    bool m_bRouteNotify;
    volatile LONG m_nLock;
};

// A timer for a worker's send loop: Begin starts it, IsOverTime tells whether its period, which
// the host sets, has run out.
class BASE_API XTimer
{
public:
    XTimer();
    BOOL Begin();
    bool IsOverTime();

private:
    LONGLONG m_llStart;
    LONGLONG m_llFrequency;
    DWORD m_dwPeriod;
    BOOL m_bStarted;
};

// The host's one lock for HART traffic, shared by all pages.
class BASE_API FdLock
{
public:
    // Takes the lock for the calling thread; nTries bounds the attempts. 0 when it stays busy.
    static int TryLock(int nTries);
    static void UnLock();
};

// The localized text of string nID of the language module strModule; strDefault when there is
// none.
BASE_API CString GetResString(CString strModule, int nID, CString strDefault);
