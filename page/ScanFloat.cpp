// ScanFloat: reads the number at the start of a text as the C runtime's "%f" scan does, for
// range calibration's Value field.
#include "ScanFloat.h"

#include <stdlib.h>
#include <wctype.h>

// wcstof reads the same numbers as the scan, except that it does not skip every kind of white
// space and that it takes "0x" without a hexadecimal digit as its 0.
BOOL ScanFloat(LPCWSTR pszText, float& fValue)
{
    while (iswspace(*pszText))
        ++pszText;
    LPCWSTR pszDigits = pszText;
    if (*pszDigits == L'+' || *pszDigits == L'-')
        ++pszDigits;
    if (pszDigits[0] == L'0' && (pszDigits[1] == L'x' || pszDigits[1] == L'X') &&
        !iswxdigit(pszDigits[2]) && pszDigits[2] != L'.')
        return FALSE;
    wchar_t* pszEnd = NULL;
    float fRead = wcstof(pszText, &pszEnd);
    if (pszEnd == pszText)
        return FALSE;
    fValue = fRead;
    return TRUE;
}
