// ScanFloat, the Value field's parse in range calibration, reads what swscanf's "%f" reads: the
// same texts are accepted and give the same single-precision value, and the same are refused.
#include <afx.h>

#include <gtest/gtest.h>

#include <float.h>
#include <math.h>
#include <stdio.h>

#include "../page/ScanFloat.h"

namespace
{
struct Case
{
    const wchar_t* text;
    bool read;
    float value;
};

const Case kCases[] = {
    // What range Get writes ("%.6f").
    {L"100.000000", true, 100.0f},
    {L"-0.062500", true, -0.0625f},
    {L"0.100000", true, 0.1f},
    {L"340282346638528859811704183484516925440.000000", true, FLT_MAX},
    // White space before the number, any text after it.
    {L"  \t\n1.5", true, 1.5f},
    {L"\u30002", true, 2.0f},
    {L"1.5abc", true, 1.5f},
    {L"1 2", true, 1.0f},
    {L"1,5", true, 1.0f},
    // Signs, points and exponents; an exponent without digits ends the number before it.
    {L"+1.5", true, 1.5f},
    {L"-.5", true, -0.5f},
    {L"5.", true, 5.0f},
    {L"1E+3", true, 1000.0f},
    {L"1e-2x", true, 0.01f},
    {L"1e", true, 1.0f},
    {L"1e+", true, 1.0f},
    {L"00012.5", true, 12.5f},
    // Hexadecimal numbers.
    {L"0x10", true, 16.0f},
    {L"0X1.8P1", true, 3.0f},
    {L"-0x1p-2", true, -0.25f},
    {L"0x.", true, 0.0f},
    // No number at the start.
    {L"", false, 0},
    {L"   ", false, 0},
    {L"abc", false, 0},
    {L".", false, 0},
    {L"-", false, 0},
    {L".e1", false, 0},
    {L"0x", false, 0},
    {L"-0xg", false, 0},
    {L"\uff11", false, 0},
};

TEST(ScanFloat, ReadsTheNumberAtTheStartLikeScanfF)
{
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(std::wstring(c.text)));
        float fValue = -7.0f;
        ASSERT_EQ(ScanFloat(c.text, fValue) != FALSE, c.read);
        EXPECT_EQ(fValue, c.read ? c.value : -7.0f);

        float fScanned = -7.0f;
        EXPECT_EQ(swscanf(c.text, L"%f", &fScanned) == 1, c.read);
        EXPECT_EQ(fScanned, fValue);
    }
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
