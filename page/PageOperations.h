// The page's six operations, described once: every list of them in the page (IsPageBusy,
// IsSharedRequestInUse, CleanThreads, the starters and the transaction's frame) reads this table.
//
// The orders differ because they answer different questions:
// - The rows run refresh, Set, PV zero, range Get, range Download, Verify: the refresh first, as
//   the operation the host's ReloadPage and OnDeviceChanged start, then the page's buttons. The
//   page reaps the ended workers in this order; by then the host has ended every one of them, so
//   the order of the waits changes nothing.
// - The clean-up place is the order of CleanThreads' calls of the host's CleanThread, which the
//   host sees: Set and the refresh first, each only when its slot is set, then range Download,
//   range Get, PV zero and Verify as they are. The host's CleanThread accepts a cleared slot, so
//   the tests change only which calls the host sees; the host expects exactly these calls in this
//   order, and they stay as they are.
// - The members that hold the slots keep the places the page's class has always given them.
//
// The columns:
// - Counts as busy: IsPageBusy answers TRUE while the worker runs. The range-calibration workers
//   do not count: the host may switch pages while they run.
// - Uses the shared request: Set, Verify and the refresh send from m_cmdData and m_cmdLen, so none
//   of them starts while a worker of one of them exists.
// - Who disables the controls: the refresh's starter disables them and its worker again (the
//   worker also runs after a host's ReloadPage); Set and Verify leave it to their workers; PV zero
//   and range calibration disable them in the starter, before the worker exists.
// - The tail: workers that disable the controls themselves enable them again at their end; the
//   others leave that to the completion handler, which redraws the record first.
#pragma once

#include "DlgKestrum.h"

#include "../res/resource.h"

inline const CDlgKestrum::Operation CDlgKestrum::kOperations[CDlgKestrum::kOperationCount] = {
    {&CDlgKestrum::m_pRefreshThread, "refresh", IDC_BTN_REFRESH, true, true,
     kStarterAndWorkerDisable, kTailEnableAndPost, 1, true},
    {&CDlgKestrum::m_pSetThread, "set", IDC_BTN_SET, true, true, kWorkerDisables,
     kTailEnableAndPost, 0, true},
    {&CDlgKestrum::m_pZeroThread, "zero", IDC_BTN_PV_ZERO, true, false, kStarterDisables,
     kTailPostForRedraw, 4, false},
    {&CDlgKestrum::m_pRangeGetThread, "range_get", IDC_BTN_RANGE_GET, false, false,
     kStarterDisables, kTailPostForRedraw, 3, false},
    {&CDlgKestrum::m_pRangeDownloadThread, "range_download", IDC_BTN_RANGE_DOWNLOAD, false, false,
     kStarterDisables, kTailPostForRedraw, 2, false},
    {&CDlgKestrum::m_pVerifyThread, "verify", IDC_BTN_VERIFY, true, true, kWorkerDisables,
     kTailEnableAndPost, 5, false},
};
