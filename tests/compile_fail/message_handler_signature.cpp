// Must not compile: an ON_MESSAGE handler has to be LRESULT (WPARAM, LPARAM).
#include <afxwin.h>

class CBadDlg : public CDialog
{
protected:
    void OnPing(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBadDlg, CDialog)
ON_MESSAGE(WM_APP, &CBadDlg::OnPing)
END_MESSAGE_MAP()
