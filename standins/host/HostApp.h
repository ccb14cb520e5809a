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
    void QueueAnswer(int nAnswer);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

private:
    CRITICAL_SECTION m_lock;
    std::deque<int> m_answers;
    bool m_bScripted;
};

// UTF-8 of a wide text, for the events.
std::string Utf8(LPCWSTR pszText);

// Loads Kestrum.dll, watches what it posts, and creates its page under hWndParent.
class PageHost
{
public:
    bool Load(HWND hWndParent, std::string* pError);
    CTablePage* Page() const { return m_pPage; }
    HWND PageWindow() const { return m_pPage != NULL ? m_pPage->GetSafeHwnd() : NULL; }
    // Whether each of the page's six worker slots is set, in the order refresh, set, zero, verify,
    // range_get, range_download.
    void WorkerSlots(bool (&bSet)[6]) const;
    bool AnyWorker() const;

private:
    CTablePage* m_pPage = NULL;
};
