// CDlgKestrum: the pressure sensor page. A service engineer reads and adjusts a HART pressure
// transmitter with it: refresh the base data, set press type, serial number and manufacturer,
// zero the primary variable, calibrate the range at a limit, and verify reference values.
//
// Every operation has a starter on the window thread and one worker thread, which runs the HART
// transaction: the host's HART lock, the page lock, the sends under the retry rule, and a tail
// that posts WM_OPERATION_DONE, on which the page redraws the device record.
#pragma once

#include <afxwin.h>
#include <atomic>

#include <base.h>

#include "DeviceRecord.h"
#include "PageRules.h"
#include "WorkerSlot.h"

// Posted by every worker at the end of its transaction; both parameters are 0.
#define WM_OPERATION_DONE (WM_USER + 1000)
// Posted by a worker that switches the page's plain controls: wParam enables them, lParam is the
// count of the window thread's own switches that the worker saw (a later one wins).
#define WM_SWITCH_CONTROLS (WM_USER + 1001)
// Posted by range Get's worker: wParam is TRUE when lParam holds the bits of the finite value it
// read for the Value field, FALSE to empty the field.
#define WM_SHOW_VALUE (WM_USER + 1002)

class CDlgKestrum : public CTablePage
{
    DECLARE_DYNAMIC(CDlgKestrum)
public:
    CDlgKestrum();
    virtual ~CDlgKestrum();

    virtual int ReloadPage();
    virtual void StopPage();
    virtual int OnDeviceChanged();
    virtual void ReleasePage();
    virtual void RefreshLayout();
    virtual BOOL IsPageBusy();
    virtual void LoadCaptions();

    // Window thread: switches the controls and the page's buttons at once.
    void EnableControls(BOOL bEnable);
    void CleanThreads();
    BOOL ResetDisplay();
    void ShowRangeCalibration();
    int FetchDeviceIndex();
    int StartRefresh();
    void UpdateDisplay();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    afx_msg LRESULT OnOperationDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSwitchControls(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowValue(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSet();
    afx_msg void OnRangeGet();
    afx_msg void OnRangeDownload();
    afx_msg void OnRefresh();
    afx_msg void OnPvZero();
    afx_msg void OnVerify();

    DECLARE_MESSAGE_MAP()

private:
    // Our test host reads the table of operations and the worker slots through this class; the
    // product defines no such class.
    friend class PageWorkerWatch;

    // The page's six operations, in the order of their rows in kOperations (PageOperations.h).
    enum OperationId
    {
        kOpRefresh,
        kOpSet,
        kOpZero,
        kOpRangeGet,
        kOpRangeDownload,
        kOpVerify,
        kOperationCount
    };

    // Who switches the page's controls off when an operation starts.
    enum ControlsOff
    {
        kStarterDisables,
        kWorkerDisables,
        kStarterAndWorkerDisable
    };

    // How a worker ends its transaction.
    enum WorkerTail
    {
        // The worker enables the controls itself (EndAndEnable): progress 100, 200 ms, progress
        // 0, enable, post, unlock HART, unlock page, clear the slot.
        kTailEnableAndPost,
        // The completion handler enables the controls (EndForRedraw): progress 100, 100 ms, post,
        // clear the slot, unlock HART, unlock page, progress 0.
        kTailPostForRedraw
    };

    // Whether IsPageBusy answers TRUE while the operation's worker runs.
    enum BusyRule
    {
        kBusyWhileRunning,
        kNeverBusy
    };

    // Whether the operation sends from the shared request (m_cmdData and m_cmdLen).
    enum RequestUse
    {
        kUsesSharedRequest,
        kOwnRequest
    };

    // When CleanThreads hands the operation's slot to the host's CleanThread.
    enum CleanUpCall
    {
        kCleanedWhenSet,
        kCleanedAlways
    };

    // One row of the table of operations.
    struct Operation
    {
        WorkerSlot CDlgKestrum::*pSlot;
        const char* pszName;
        UINT nButton; // the button whose click starts it
        BusyRule busy;
        RequestUse request;
        ControlsOff controlsOff;
        WorkerTail tail;
        CleanUpCall cleanUp;
    };
    static const Operation kOperations[kOperationCount];
    // The order of CleanThreads' calls of the host's CleanThread.
    static const OperationId kCleanUpOrder[kOperationCount];

    static UINT RefreshThread(LPVOID pParam);
    static UINT SetThread(LPVOID pParam);
    static UINT ZeroThread(LPVOID pParam);
    static UINT RangeGetThread(LPVOID pParam);
    static UINT RangeDownloadThread(LPVOID pParam);
    static UINT VerifyThread(LPVOID pParam);

    // The HART transaction (HartTransaction.h and .cpp).
    template <typename BeforeLock, typename Body>
    static UINT RunTransaction(LPVOID pParam, OperationId op, BeforeLock beforeLock, Body body);
    template <typename Body> static UINT RunTransaction(LPVOID pParam, OperationId op, Body body);
    static BOOL TakeHartLock();
    // Worker: switches the page's buttons through the host and hands the plain controls to the
    // window thread without waiting for it.
    void EnableControlsFromWorker(BOOL bEnable);
    void SwitchControls(BOOL bEnable, BOOL bPlainControls, BOOL bButtons);
    BOOL StartWorker(OperationId op, AFX_THREADPROC pfnWorker);
    BYTE SendCommand(WORD wCmd, BYTE* pData, BYTE byLength, int nMaxSends,
                     void (CDlgKestrum::*pfnBeforeSend)());
    BOOL IsAcceptedWrite(BYTE byResult);
    BOOL ReadBaseData();
    void ClearSharedRequest();
    void ShowWriteProgress();
    void EndAndEnable(WorkerSlot& slot);
    void EndForRedraw(WorkerSlot& slot);
    BOOL IsSharedRequestInUse() const;
    BYTE DeviceByte() const;

    void FillBaseDataRequest();
    BOOL WriteSharedRequest();
    void ReadPresentValue();
    void DownloadRangePoint(const DeviceRecord& record);
    BOOL MatchesReferences();
    void TakeRecord(DeviceRecord& record) const;
    int Ask(UINT nSiblingStringId);
    void Tell(const CString& strKey, UINT nStringId, UINT nType);

    WorkerSlot m_pZeroThread;
    WorkerSlot m_pRangeGetThread;
    WorkerSlot m_pRangeDownloadThread;
    std::atomic<int> m_nDevIndex;
    // The window thread's own switches of the controls, counted; a worker's switch posted before
    // the latest of them is dropped.
    std::atomic<LONG> m_nControlSwitches;
    BYTE m_cmd;
    BYTE m_cmdData[200];
    int m_cmdLen;
    int m_nFailMsgId;
    // The shared request's worker posts WM_OPERATION_DONE at its end, so that the page redraws
    // the record. The request's filler sets it; every worker whose tail enables the controls
    // posts, so no tail needs to read it.
    BOOL m_bPostDone;
    WorkerSlot m_pSetThread;
    WorkerSlot m_pRefreshThread;
    WorkerSlot m_pVerifyThread;
    CComboBox m_cmbPressType;
    CComboBox m_cmbManufacturer;
    CString m_strRangeHigh;
    CString m_strRangeLow;
    CString m_strPressVal;
    CString m_strTempVal;
    CString m_strRangeHighUnit;
    CString m_strRangeLowUnit;
    CString m_strPressValUnit;
    CComboBox m_cmbPoint;
    std::atomic<WORD> m_wDevType;
    CString m_strSerialNo;
    CString m_strZero;
    CString m_strFactorK;
    CString m_strFactorB;
    CString m_strCalUp;
    CString m_strCalDown;
    CString m_strZeroUnit;
    CString m_strCalUpUnit;
    CString m_strCalDownUnit;
    CString m_strVerifyRangeHigh;
    CString m_strVerifyRangeLow;
    CString m_strVerifyPress;
    CString m_strVerifyTemp;
    CString m_strVerifyRangeHighUnit;
    CString m_strVerifyRangeLowUnit;
    CString m_strVerifyPressUnit;

    // The Verify worker compares against these copies of the four reference texts, which OnVerify
    // takes only while no Verify worker exists; a second click rewrites the members above without
    // touching what a running worker reads.
    CString m_strRefRangeHigh;
    CString m_strRefRangeLow;
    CString m_strRefPress;
    CString m_strRefTemp;

    // The Download worker checks and sends these: the point code and the Value text, which
    // OnRangeDownload reads only while no Download worker exists.
    BYTE m_byRangePoint;
    CString m_strRangeValue;

    // The windows of the controls that the page switches besides its buttons, looked up once when
    // the page is made: a refresh switches them up to four times, and under Wine every
    // GetDlgItem is a round trip through its server. Only the window thread reads them.
    static const int kPlainControlCount = 18;
    HWND m_hPlainControls[kPlainControlCount];
};
