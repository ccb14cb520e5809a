// Must not compile: a button handler has to be void (), not void (UINT).
#include <afxwin.h>

class CBadDlg : public CDialog
{
protected:
    void OnGo(UINT nId);
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBadDlg, CDialog)
ON_BN_CLICKED(1, &CBadDlg::OnGo)
END_MESSAGE_MAP()
