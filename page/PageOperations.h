// The page's six operations, described once: every list of them in the page (IsPageBusy,
// IsSharedRequestInUse, CleanThreads, the starters and the transaction's frame) reads this table.
//
// The orders differ because they answer different questions:
// - The rows run refresh, Set, PV zero, range Get, range Download, Verify: the refresh first, as
//   the operation the host's ReloadPage and OnDeviceChanged start, then the page's buttons. The
//   page reaps the ended workers in this order; by then the host has ended every one of them, so
//   the order of the waits changes nothing.
// - kCleanUpOrder is the order of CleanThreads' calls of the host's CleanThread, which the host
//   sees: Set and the refresh first, each only when its slot is set, then range Download,
//   range Get, PV zero and Verify as they are. The host's CleanThread accepts a cleared slot, so
//   the tests change only which calls the host sees; the host expects exactly these calls in this
//   order, and they stay as they are.
// - The members that hold the slots keep the places the page's class has always given them.
//
// The columns:
// - Busy: IsPageBusy answers TRUE while the worker runs (kBusyWhileRunning). The range-calibration
//   workers do not count: the host may switch pages while they run.
// - Request: Set, Verify and the refresh send from m_cmdData and m_cmdLen (kUsesSharedRequest), so
//   none of them starts while a worker of one of them exists.
// - Who disables the controls: the refresh's starter disables them and its worker again (the
//   worker also runs after a host's ReloadPage); Set and Verify leave it to their workers; PV zero
//   and range calibration disable them in the starter, before the worker exists.
// - The tail: workers that disable the controls themselves enable them again at their end; the
//   others leave that to the completion handler, which redraws the record first.
// - Clean-up: CleanThreads hands Set's and the refresh's slots to the host only when they are set
//   (kCleanedWhenSet), the others always.
#pragma once

#include "DlgKestrum.h"

#include "../res/resource.h"

inline const CDlgKestrum::Operation CDlgKestrum::kOperations[CDlgKestrum::kOperationCount] = {
    {&CDlgKestrum::m_pRefreshThread, "refresh", IDC_BTN_REFRESH, kBusyWhileRunning,
     kUsesSharedRequest, kStarterAndWorkerDisable, kTailEnableAndPost, kCleanedWhenSet},
    {&CDlgKestrum::m_pSetThread, "set", IDC_BTN_SET, kBusyWhileRunning, kUsesSharedRequest,
     kWorkerDisables, kTailEnableAndPost, kCleanedWhenSet},
    {&CDlgKestrum::m_pZeroThread, "zero", IDC_BTN_PV_ZERO, kBusyWhileRunning, kOwnRequest,
     kStarterDisables, kTailPostForRedraw, kCleanedAlways},
    {&CDlgKestrum::m_pRangeGetThread, "range_get", IDC_BTN_RANGE_GET, kNeverBusy, kOwnRequest,
     kStarterDisables, kTailPostForRedraw, kCleanedAlways},
    {&CDlgKestrum::m_pRangeDownloadThread, "range_download", IDC_BTN_RANGE_DOWNLOAD, kNeverBusy,
     kOwnRequest, kStarterDisables, kTailPostForRedraw, kCleanedAlways},
    {&CDlgKestrum::m_pVerifyThread, "verify", IDC_BTN_VERIFY, kBusyWhileRunning, kUsesSharedRequest,
     kWorkerDisables, kTailEnableAndPost, kCleanedAlways},
};

inline const CDlgKestrum::OperationId CDlgKestrum::kCleanUpOrder[CDlgKestrum::kOperationCount] = {
    kOpSet, kOpRefresh, kOpRangeDownload, kOpRangeGet, kOpZero, kOpVerify};
