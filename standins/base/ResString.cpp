// Localized strings.
#include "Internal.h"

namespace
{
// The strings the page shares with its sibling module live in that module's language file; all
// others a page takes from its own.
const int kFirstSharedString = 5002;
const int kLastSharedString = 5055;
} // namespace

// The stand-in host has no language files: a string resolves through the string tables of the
// resource chain, but only under the key of the module that owns it, as a real language file would
// answer. A shared string (5002-5055) is owned by "Tamblin", every other one by "Kestrum"; under
// any other key, or for an id that no table holds, the fallback comes back.
CString GetResString(CString strModule, int nID, CString strDefault)
{
    bool bShared = nID >= kFirstSharedString && nID <= kLastSharedString;
    if (strModule != (bShared ? L"Tamblin" : L"Kestrum"))
        return strDefault;
    CString strText;
    if (nID >= 0 && nID <= 0xFFFF && strText.LoadString(static_cast<UINT>(nID)))
        return strText;
    return strDefault;
}
