// Times loading and unloading Kestrum.dll (the code-table catalogue is built at load and
// destroyed at unload) and GetDlgArray: the page with its 50 controls, captions and lists, and
// its destruction. Each alternates with its floor: KestrumFloor.dll, with the same
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

// Loads and unloads the module once; false when it cannot be loaded.
bool TimeOneLoad(LPCWSTR pszModule, double* pLoadMs, double* pUnloadMs)
{
    double start = bench::NowMs();
    HMODULE hModule = ::LoadLibraryW(pszModule);
    double loaded = bench::NowMs();
    if (hModule == NULL)
    {
        fprintf(stderr, "module_bench: %ls could not be loaded\n", pszModule);
        return false;
    }
    ::FreeLibrary(hModule);
    *pLoadMs = loaded - start;
    *pUnloadMs = bench::NowMs() - loaded;
    return true;
}

// Kestrum.dll and its floor alternate, after a first time that is not counted.
void MeasureLoading()
{
    std::vector<double> load, unload, floorLoad, floorUnload;
    for (int i = 0; i <= kLoadRuns; i++)
    {
        double loadMs, unloadMs, floorLoadMs, floorUnloadMs;
        if (!TimeOneLoad(L"Kestrum.dll", &loadMs, &unloadMs) ||
            !TimeOneLoad(L"KestrumFloor.dll", &floorLoadMs, &floorUnloadMs))
            return;
        if (i == 0)
            continue;
        load.push_back(loadMs);
        unload.push_back(unloadMs);
        floorLoad.push_back(floorLoadMs);
        floorUnload.push_back(floorUnloadMs);
    }
    Row("loading Kestrum.dll (LoadLibrary)", load, "loads");
    Row("&nbsp;&nbsp;floor: a DLL with the same entry point and imports, no catalogue", floorLoad,
        "loads");
    Row("unloading Kestrum.dll (FreeLibrary)", unload, "unloads");
    Row("&nbsp;&nbsp;floor: the same DLL", floorUnload, "unloads");
}

// Times one page from GetDlgArray, or a plain CDialog from the page's template when
// pfnGetDlgArray is null: its creation and its destruction.
void TimeOnePage(CWnd& parent, GETDLGARRAY pfnGetDlgArray, double* pCreateMs, double* pDestroyMs)
{
    double start = bench::NowMs();
    CDialog* pDialog = NULL;
    if (pfnGetDlgArray != NULL)
    {
        CArray<CDialog*, CDialog*>* pArray = pfnGetDlgArray(&parent);
        pDialog = pArray->GetAt(0);
        delete pArray;
    }
    else
    {
        pDialog = new CDialog;
        pDialog->Create(IDD_KESTRUM, &parent);
    }
    double created = bench::NowMs();
    if (pfnGetDlgArray != NULL)
        static_cast<CTablePage*>(pDialog)->ReleasePage();
    else
        pDialog->DestroyWindow();
    delete pDialog;
    *pCreateMs = created - start;
    *pDestroyMs = bench::NowMs() - created;
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
    // The page and its floor alternate, so that both meet the same state of the machine; the
    // first of each is not counted.
    std::vector<double> create, destroy, bareCreate, bareDestroy;
    for (int i = 0; i <= kPageRuns; i++)
    {
        double createMs, destroyMs, bareCreateMs, bareDestroyMs;
        TimeOnePage(parent, pfnGetDlgArray, &createMs, &destroyMs);
        TimeOnePage(parent, NULL, &bareCreateMs, &bareDestroyMs);
        if (i == 0)
            continue;
        create.push_back(createMs);
        destroy.push_back(destroyMs);
        bareCreate.push_back(bareCreateMs);
        bareDestroy.push_back(bareDestroyMs);
    }
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
