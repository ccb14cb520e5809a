// The stand-in host's application object, the page loader and the watch on posted messages.
#include "HostApp.h"

#include <JsonLine.h>

#include <PageOperations.h>
#include <StandinDevice.h>

#include "../../res/resource.h"

namespace
{
typedef CArray<CDialog*, CDialog*>* (*GETDLGARRAY)(CWnd*);

decltype(&::PostMessageW) g_pfnPostMessage = &::PostMessageW;

BOOL WINAPI WatchedPostMessage(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    StandinTrace(JsonLine("post").Add("msg", nMsg).Str().c_str());
    return g_pfnPostMessage(hWnd, nMsg, wParam, lParam);
}

// Points the module's import of user32's PostMessageW at our watch, so every message the page
// posts is reported in order with its other host calls.
void WatchPosts(HMODULE hModule)
{
    BYTE* pBase = reinterpret_cast<BYTE*>(hModule);
    IMAGE_NT_HEADERS* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        pBase + reinterpret_cast<IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
    IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* pImport =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
         imports.VirtualAddress != 0 && pImport->Name != 0; ++pImport)
    {
        if (lstrcmpiA(reinterpret_cast<char*>(pBase + pImport->Name), "user32.dll") != 0)
            continue;
        IMAGE_THUNK_DATA* pThunk = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
        for (; pThunk->u1.Function != 0; ++pThunk)
        {
            if (reinterpret_cast<void*>(pThunk->u1.Function) !=
                reinterpret_cast<void*>(g_pfnPostMessage))
                continue;
            DWORD dwOld;
            ::VirtualProtect(&pThunk->u1.Function, sizeof(pThunk->u1.Function), PAGE_READWRITE,
                             &dwOld);
            pThunk->u1.Function = reinterpret_cast<ULONG_PTR>(&WatchedPostMessage);
            ::VirtualProtect(&pThunk->u1.Function, sizeof(pThunk->u1.Function), dwOld, &dwOld);
        }
    }
}

const char* AnswerName(int nAnswer)
{
    switch (nAnswer)
    {
    case IDYES:
        return "yes";
    case IDNO:
        return "no";
    default:
        return "ok";
    }
}
// The text of the page's control, asked of the window thread from a worker: a window thread
// that serves no messages for a while (a host waiting on the worker) leaves it unread.
bool ControlText(HWND hPage, int nId, std::wstring* pText)
{
    const DWORD kMostWait = 2000;
    WCHAR sz[256] = L"";
    DWORD_PTR dwResult = 0;
    HWND hControl = ::GetDlgItem(hPage, nId);
    if (hControl == NULL ||
        !::SendMessageTimeoutW(hControl, WM_GETTEXT, sizeof sz / sizeof sz[0],
                               reinterpret_cast<LPARAM>(sz), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                               kMostWait, &dwResult))
        return false;
    *pText = sz;
    return true;
}

// The Verify's references as typed in the page's verify column, for the calibration record.
bool CALLBACK ReadReferences(StandinReferences* pReferences, void* pContext)
{
    HWND hPage = static_cast<const PageHost*>(pContext)->PageWindow();
    return hPage != NULL &&
           ControlText(hPage, IDC_EDT_VERIFY_RANGE_HIGH, &pReferences->rangeHigh) &&
           ControlText(hPage, IDC_EDT_VERIFY_RANGE_LOW, &pReferences->rangeLow) &&
           ControlText(hPage, IDC_EDT_VERIFY_PRESS, &pReferences->pressure) &&
           ControlText(hPage, IDC_EDT_VERIFY_TEMP, &pReferences->temperature);
}
} // namespace

std::string Utf8(LPCWSTR pszText)
{
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, pszText, -1, NULL, 0, NULL, NULL);
    std::string text(nBytes > 0 ? nBytes - 1 : 0, '\0');
    if (nBytes > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, pszText, -1, &text[0], nBytes, NULL, NULL);
    return text;
}

CHostApp::CHostApp() : CWinApp(L"Kestrum host"), m_bScripted(false)
{
    ::InitializeCriticalSection(&m_lock);
}

CHostApp::~CHostApp()
{
    ::DeleteCriticalSection(&m_lock);
}

void CHostApp::QueueAnswer(int nAnswer)
{
    ::EnterCriticalSection(&m_lock);
    m_answers.push_back(nAnswer);
    ::LeaveCriticalSection(&m_lock);
}

int CHostApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    int nAnswer = 0;
    bool bUnanswered = false;
    if (m_bScripted)
    {
        ::EnterCriticalSection(&m_lock);
        bUnanswered = m_answers.empty();
        if (!bUnanswered)
        {
            nAnswer = m_answers.front();
            m_answers.pop_front();
        }
        ::LeaveCriticalSection(&m_lock);
        if (bUnanswered)
            nAnswer = (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    }
    else
        nAnswer = CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    JsonLine event("box");
    event.Add("text", Utf8(lpszPrompt)).Add("flags", nType).Add("answer", AnswerName(nAnswer));
    if (bUnanswered)
        event.AddBool("unanswered", true);
    StandinTrace(event.Str().c_str());
    return nAnswer;
}

// The page's table of operations and its worker slots, read through the page's own declaration:
// the page names this class as its friend, so the compiler checks every member read here against
// the page's class.
class PageWorkerWatch
{
public:
    static_assert(CDlgKestrum::kOperationCount == kPageOperationCount, "the page's six operations");

    static PageOperation Describe(int nOperation)
    {
        const CDlgKestrum::Operation& row = CDlgKestrum::kOperations[nOperation];
        return {row.pszName, static_cast<int>(row.nButton)};
    }
    static WorkerSlot& Slot(CDlgKestrum& page, int nOperation)
    {
        return page.*CDlgKestrum::kOperations[nOperation].pSlot;
    }
};

const PageOperation& PageOperationAt(int nOperation)
{
    static const PageOperation operations[kPageOperationCount] = {
        PageWorkerWatch::Describe(0), PageWorkerWatch::Describe(1), PageWorkerWatch::Describe(2),
        PageWorkerWatch::Describe(3), PageWorkerWatch::Describe(4), PageWorkerWatch::Describe(5)};
    return operations[nOperation];
}

PageHost::~PageHost()
{
    Unload();
}

bool PageHost::Load(HWND hWndParent, std::string* pError)
{
    HMODULE hModule = ::LoadLibraryW(L"Kestrum.dll");
    if (hModule == NULL)
    {
        *pError = "Kestrum.dll could not be loaded";
        return false;
    }
    GETDLGARRAY pfnGetDlgArray = reinterpret_cast<GETDLGARRAY>(
        reinterpret_cast<void*>(::GetProcAddress(hModule, "GetDlgArray")));
    if (pfnGetDlgArray == NULL)
    {
        *pError = "Kestrum.dll exports no GetDlgArray";
        return false;
    }
    WatchPosts(hModule);
    m_parent.Attach(hWndParent);
    CArray<CDialog*, CDialog*>* pArray = pfnGetDlgArray(&m_parent);
    if (pArray->GetSize() == 1)
        m_pPage = static_cast<CDlgKestrum*>(pArray->GetAt(0));
    delete pArray;
    if (PageWindow() == NULL)
    {
        *pError = "the page has no window";
        return false;
    }
    StandinSetReferenceSource(&ReadReferences, this);
    return true;
}

void PageHost::Unload()
{
    StandinSetReferenceSource(NULL, NULL);
    if (m_pPage != NULL)
    {
        m_pPage->ReleasePage();
        delete m_pPage;
        m_pPage = NULL;
    }
    m_parent.Detach();
}

CTablePage* PageHost::Page() const
{
    return m_pPage;
}

HWND PageHost::PageWindow() const
{
    return m_pPage != NULL ? m_pPage->GetSafeHwnd() : NULL;
}

void PageHost::WorkerSlots(bool (&bSet)[kPageOperationCount]) const
{
    for (int i = 0; i < kPageOperationCount; i++)
        bSet[i] = m_pPage != NULL && PageWorkerWatch::Slot(*m_pPage, i).IsSet();
}

CWinThread** PageHost::SlotAddress(int nOperation) const
{
    return m_pPage != NULL ? PageWorkerWatch::Slot(*m_pPage, nOperation).Address() : NULL;
}

bool PageHost::AnyWorker() const
{
    bool bSet[kPageOperationCount];
    WorkerSlots(bSet);
    for (bool b : bSet)
    {
        if (b)
            return true;
    }
    return false;
}
