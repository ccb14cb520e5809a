// Times loading and unloading Kestrum.dll (the code-table catalogue is built at load and
// destroyed at unload) and GetDlgArray: the page with its 50 controls, captions and lists, and
// its destruction. Each has its floor measured in the same run: KestrumFloor.dll, with the same
// entry point and imports and nothing else, and a plain dialog made from the page's template
// with no captions, lists or data exchange. The host's DLLs are loaded with this program, so
// only the module's own work is timed. Prints table rows; asserts nothing.
#include "BenchTable.h"

#include <HostApp.h>

#include "../res/resource.h"

#include <string>

namespace
{
CHostApp theApp;

typedef CArray<CDialog*, CDialog*>* (*GETDLGARRAY)(CWnd*);

const int kLoadRuns = 41;
const int kPageRuns = 41;

void Row(const char* pszWhat, const std::vector<double>& runs, const char* pszUnit)
{
    char szFigure[64];
    snprintf(szFigure, sizeof(szFigure), "%.2f ms", bench::Median(runs));
    std::string how = "median of " + std::to_string(runs.size()) + " " + pszUnit;
    bench::PrintRow(pszWhat, szFigure, how.c_str());
}

// Loads and unloads the module kLoadRuns times after a first time that is not counted.
bool MeasureLoading(LPCWSTR pszModule, std::vector<double>& load, std::vector<double>& unload)
{
    for (int i = 0; i <= kLoadRuns; i++)
    {
        double start = bench::NowMs();
        HMODULE hModule = ::LoadLibraryW(pszModule);
        double loaded = bench::NowMs();
        ::FreeLibrary(hModule);
        double freed = bench::NowMs();
        if (hModule == NULL)
        {
            fprintf(stderr, "module_bench: %ls could not be loaded\n", pszModule);
            return false;
        }
        if (i == 0)
            continue;
        load.push_back(loaded - start);
        unload.push_back(freed - loaded);
    }
    return true;
}

void MeasureLoading()
{
    std::vector<double> load, unload, floorLoad, floorUnload;
    if (!MeasureLoading(L"Kestrum.dll", load, unload) ||
        !MeasureLoading(L"KestrumFloor.dll", floorLoad, floorUnload))
        return;
    Row("loading Kestrum.dll (LoadLibrary)", load, "loads");
    Row("&nbsp;&nbsp;floor: a DLL with the same entry point and imports, no catalogue", floorLoad,
        "loads");
    Row("unloading Kestrum.dll (FreeLibrary)", unload, "unloads");
    Row("&nbsp;&nbsp;floor: the same DLL", floorUnload, "unloads");
}

// Creates and destroys a plain CDialog from the page's template kPageRuns times after a first
// time that is not counted.
void MeasureBareTemplate(CWnd& parent, std::vector<double>& create, std::vector<double>& destroy)
{
    for (int i = 0; i <= kPageRuns; i++)
    {
        double start = bench::NowMs();
        CDialog* pDialog = new CDialog;
        pDialog->Create(IDD_KESTRUM, &parent);
        double created = bench::NowMs();
        pDialog->DestroyWindow();
        delete pDialog;
        double destroyed = bench::NowMs();
        if (i == 0)
            continue;
        create.push_back(created - start);
        destroy.push_back(destroyed - created);
    }
}

void MeasurePage(CWnd& parent)
{
    HMODULE hModule = ::LoadLibraryW(L"Kestrum.dll");
    GETDLGARRAY pfnGetDlgArray = reinterpret_cast<GETDLGARRAY>(
        reinterpret_cast<void*>(::GetProcAddress(hModule, "GetDlgArray")));
    if (pfnGetDlgArray == NULL)
    {
        fprintf(stderr, "module_bench: Kestrum.dll exports no GetDlgArray\n");
        return;
    }
    std::vector<double> create, destroy;
    for (int i = 0; i <= kPageRuns; i++)
    {
        double start = bench::NowMs();
        CArray<CDialog*, CDialog*>* pArray = pfnGetDlgArray(&parent);
        double created = bench::NowMs();
        CTablePage* pPage = static_cast<CTablePage*>(pArray->GetAt(0));
        delete pArray;
        pPage->ReleasePage();
        delete pPage;
        double destroyed = bench::NowMs();
        if (i == 0)
            continue;
        create.push_back(created - start);
        destroy.push_back(destroyed - created);
    }
    std::vector<double> bareCreate, bareDestroy;
    MeasureBareTemplate(parent, bareCreate, bareDestroy);
    Row("GetDlgArray: page with its 50 controls, captions and lists", create, "pages");
    Row("&nbsp;&nbsp;floor: a plain dialog from template 44443, no captions, lists or data "
        "exchange",
        bareCreate, "dialogs");
    Row("destroying the page (ReleasePage, delete)", destroy, "pages");
    Row("&nbsp;&nbsp;floor: destroying the plain dialog", bareDestroy, "dialogs");
    ::FreeLibrary(hModule);
}
} // namespace

int main()
{
    theApp.SetScripted(true);
    HWND hParent =
        ::CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 900, 600, NULL, NULL, NULL, NULL);
    CWnd parent;
    parent.Attach(hParent);
    MeasureLoading();
    MeasurePage(parent);
    parent.Detach();
    ::DestroyWindow(hParent);
    return 0;
}
