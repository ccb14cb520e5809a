// GetDlgArray, the host's way to obtain the page.
#include <afxwin.h>
#include <afxtempl.h>

#include "../page/DlgKestrum.h"
#include "../res/resource.h"

// Creates one page with its window under pParentWnd and hands it over in a new array; the array
// and the page belong to the caller. The page is returned even if its window could not be made.
extern "C" __declspec(dllexport) CArray<CDialog*, CDialog*>* GetDlgArray(CWnd* pParentWnd)
{
    CArray<CDialog*, CDialog*>* pArray = new CArray<CDialog*, CDialog*>;
    CDlgKestrum* pPage = new CDlgKestrum;
    pPage->Create(IDD_KESTRUM, pParentWnd);
    pArray->Add(pPage);
    return pArray;
}
