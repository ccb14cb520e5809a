// The stand-in host's application object and its view of the page it drives.
#pragma once

#include <afxwin.h>
#include <afxtempl.h>

#include <StandinBase.h>

#include <deque>
#include <string>

// Decides how message boxes are answered: in script mode from a queue of answers (a box with no
// answer left gets No or OK), otherwise with a real box. Every box is reported as an event.
class CHostApp : public CWinApp
{
public:
    CHostApp();
    virtual ~CHostApp();

    void SetScripted(bool bScripted) { m_bScripted = bScripted; }
    bool IsScripted() const { return m_bScripted; }
    void QueueAnswer(int nAnswer);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

private:
    CRITICAL_SECTION m_lock;
    std::deque<int> m_answers;
    bool m_bScripted;
};

// UTF-8 of a wide text, for the events.
std::string Utf8(LPCWSTR pszText);

class CDlgKestrum;

// One of the page's six operations, as the page's own table of operations describes it.
struct PageOperation
{
    const char* pszName;
    int nButton;
};
const int kPageOperationCount = 6;
// The page's operations in the order of its table.
const PageOperation& PageOperationAt(int nOperation);

// Loads Kestrum.dll, watches what it posts, and creates its page under hWndParent; Unload lets
// the page go as the host does: ReleasePage, then the page is destroyed. The module stays loaded.
// The page exists from a successful Load until Unload; Page() is null outside that time.
class PageHost
{
public:
    PageHost() = default;
    ~PageHost();

    bool Load(HWND hWndParent, std::string* pError);
    void Unload();
    CTablePage* Page() const;
    HWND PageWindow() const;
    // Whether each of the page's six worker slots is set, in the order of PageOperationAt; none
    // without a page.
    void WorkerSlots(bool (&bSet)[kPageOperationCount]) const;
    // The address of an operation's slot, as the page hands it to CleanThread; null without a page.
    CWinThread** SlotAddress(int nOperation) const;
    bool AnyWorker() const;

private:
    PageHost(const PageHost&) = delete;
    void operator=(const PageHost&) = delete;

    CWnd m_parent;
    CDlgKestrum* m_pPage = NULL;
};
