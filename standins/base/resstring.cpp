// Localized strings.
#include "internal.h"

// The stand-in host has no language files: every module key resolves through the string tables
// of the resource chain, so a page's own table supplies its texts.
CString GetResString(CString, int nID, CString strDefault)
{
    CString strText;
    if (nID >= 0 && nID <= 0xFFFF && strText.LoadString(static_cast<UINT>(nID)))
        return strText;
    return strDefault;
}
