// ScanFloat, the Value field's parse in range calibration, against the runtime's own swscanf with
// "%f", taken from msvcrt.dll at run time (mingw-w64's swscanf is a replacement of its own): for
// decimal numbers the same texts are accepted and give the same single-precision value, and the
// same are refused; where msvcrt.dll reads otherwise, the difference is listed.
#include <afx.h>

#include <gtest/gtest.h>

#include <math.h>

#include "../page/ScanFloat.h"

namespace
{
struct Case
{
    const wchar_t* text;
    bool read;
    float value;
};

// What range Get writes ("%.6f"); white space before the number and any text after it; signs and
// exponents, an exponent without digits ending the number before it; hexadecimal numbers; texts
// with no number at the start.
const Case kCases[] = {
    {L"-0.062500", true, -0.0625f},
    {L"  \t\n1.5", true, 1.5f},
    {L"\u30002", true, 2.0f},
    {L"1.5abc", true, 1.5f},
    {L"+1.5", true, 1.5f},
    {L"-.5", true, -0.5f},
    {L"1e-2x", true, 0.01f},
    {L"1e+", true, 1.0f},
    {L"0x10", true, 16.0f},
    {L"-0x1p-2", true, -0.25f},
    {L"0x.", true, 0.0f},
    {L"", false, 0},
    {L"   ", false, 0},
    {L".", false, 0},
    {L"-", false, 0},
    {L"0x", false, 0},
    {L"-0xg", false, 0},
    {L"\uff11", false, 0},
};

// Where msvcrt.dll's swscanf reads otherwise: it takes no hexadecimal number (it reads the 0
// before the x) and refuses a number whose exponent has no digits. The Value text that range
// calibration reads is what Get wrote with "%.6f", which both read the same.
const Case kMsvcrtReadsOtherwise[] = {
    {L"1e+", false, 0},  {L"0x10", true, 0.0f},  {L"-0x1p-2", true, -0.0f},
    {L"0x", true, 0.0f}, {L"-0xg", true, -0.0f},
};

const Case& MsvcrtReading(const Case& c)
{
    for (const Case& other : kMsvcrtReadsOtherwise)
    {
        if (wcscmp(other.text, c.text) == 0)
            return other;
    }
    return c;
}

typedef int(__cdecl* SWSCANF)(const wchar_t*, const wchar_t*, ...);

TEST(ScanFloat, ReadsTheNumberAtTheStartLikeMsvcrtsScanfF)
{
    HMODULE hRuntime = ::LoadLibraryW(L"msvcrt.dll");
    auto pfnSwscanf =
        reinterpret_cast<SWSCANF>(reinterpret_cast<void*>(::GetProcAddress(hRuntime, "swscanf")));
    ASSERT_NE(pfnSwscanf, nullptr);
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(std::wstring(c.text)));
        float fValue = -7.0f;
        ASSERT_EQ(ScanFloat(c.text, fValue) != FALSE, c.read);
        EXPECT_EQ(fValue, c.read ? c.value : -7.0f);

        const Case& msvcrt = MsvcrtReading(c);
        float fScanned = -7.0f;
        EXPECT_EQ(pfnSwscanf(c.text, L"%f", &fScanned) == 1, msvcrt.read);
        EXPECT_EQ(fScanned, msvcrt.read ? msvcrt.value : -7.0f);
    }
    ::FreeLibrary(hRuntime);
}

// Infinities, NaNs and values beyond single precision are read; the page refuses them as not
// finite.
TEST(ScanFloat, ReadsValuesThatAreNotFinite)
{
    for (const wchar_t* pszText : {L"inf", L"-INFINITY", L"1e40", L"nan"})
    {
        float fValue = 0;
        ASSERT_TRUE(ScanFloat(pszText, fValue));
        EXPECT_FALSE(isfinite(fValue));
    }
}
} // namespace
