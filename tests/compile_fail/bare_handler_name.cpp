// Must not compile: a map entry names its handler as &CBadDlg::OnGo, not as a bare OnGo.
#include <afxwin.h>

class CBadDlg : public CDialog
{
protected:
    void OnGo();
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBadDlg, CDialog)
ON_BN_CLICKED(1, OnGo)
END_MESSAGE_MAP()
