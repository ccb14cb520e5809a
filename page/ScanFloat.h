// Reading a number from a text as the "%f" scan conversion of the C runtime reads it.
#pragma once

#include <afx.h>

// Reads the number at the start of pszText into fValue: white space is skipped, then a decimal or
// hexadecimal floating-point number, an infinity or a NaN is read in single precision; whatever
// follows it is ignored. Returns FALSE, leaving fValue as it was, when no number starts there
// ("0x" without a hexadecimal digit is none).
BOOL ScanFloat(LPCWSTR pszText, float& fValue);
