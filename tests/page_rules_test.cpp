// The page's rules without windows, by case tables: retry rule, serial number bytes, names of
// values that are not finite, the range calibration's bias check and Verify's tolerances.
#include "PageRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST(RetryRule, BusyAndResultsWithAllRetryBitsSendAgainEverythingElseIsFinal)
{
    const struct
    {
        std::uint8_t byResult;
        bool bRetry;
    } cases[] = {{240, false}, {254, true}, {13, true}, {255, true}, {12, false},
                 {5, false},   {253, true}, {0, false}, {2, false},  {9, false}};
    for (const auto& c : cases)
        EXPECT_EQ(PageRules::IsRetryResult(c.byResult), c.bRetry) << int(c.byResult);
}

TEST(SerialNumber, TextEndsAtTheFirstBlankOrZeroAndKeepsEveryOtherByte)
{
    const struct
    {
        const char bytes[9];
        const char* pszText;
    } cases[] = {
        {{'A', 'B', '1', '2', ' ', '3', '4', '5', '6'}, "AB12"},
        {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, "123456789"},
        {{'X', 'Y', '\0', '9', '9', '9', '9', '9', '9'}, "XY"},
        {{'X', '\0', 'Z', ' ', '9', '9', '9', '9', '9'}, "X"},
        {{' ', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}, ""},
        {{'\0', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}, ""},
        {{'A', '\t', 'B', '\x7f', 'C', '\x1f', 'D', '\x01', 'E'},
         "A\tB\x7f"
         "C\x1f"
         "D\x01"
         "E"},
        {{'\xb0', '\xa1', 'Z', ' ', ' ', ' ', ' ', ' ', ' '}, "\xb0\xa1Z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageRules::SerialNumberText(c.bytes), c.pszText) << c.pszText;
}

TEST(SerialNumber, RequestTakesAtMostOneByteForEachCharacterAndPadsWithZeros)
{
    const struct
    {
        const char* pszAnsi;
        std::size_t nChars;
        const char field[9];
    } cases[] = {
        {"XY9", 3, {'X', 'Y', '9', 0, 0, 0, 0, 0, 0}},
        {"123456789", 9, {'1', '2', '3', '4', '5', '6', '7', '8', '9'}},
        // Two double-byte characters: four bytes, of which only two fit the two characters.
        {"\xb0\xa1\xb0\xa2", 2, {'\xb0', '\xa1', 0, 0, 0, 0, 0, 0, 0}},
        {"", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases)
    {
        std::uint8_t field[9];
        std::memset(field, 0xAA, sizeof(field));
        PageRules::PutSerialNumber(c.pszAnsi, std::strlen(c.pszAnsi), c.nChars, field);
        EXPECT_EQ(std::memcmp(field, c.field, sizeof(field)), 0) << c.pszAnsi;
    }
}

TEST(ValueNames, OnlyValuesThatAreNotFiniteHaveANameOfTheirOwn)
{
    EXPECT_STREQ(PageRules::NonFiniteName(-kNaN), "NaN");
    EXPECT_STREQ(PageRules::NonFiniteName(kInf), "+Inf");
    EXPECT_STREQ(PageRules::NonFiniteName(-kInf), "-Inf");
    for (float fValue : {0.0f, -0.0f, 1.5f, -0.25f, std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::denorm_min()})
        EXPECT_EQ(PageRules::NonFiniteName(fValue), nullptr) << fValue;
}

TEST(BiasCheck, OnePercentOfTheSpanFromTheLimitPassesAnythingFurtherIsRefused)
{
    const struct
    {
        float fValue, fLow, fUp;
        bool bLowTooBig, bUpTooBig;
    } cases[] = {
        // Range 0 to 100: 1.0 from the limit is exactly 1 %.
        {1.0f, 0.0f, 100.0f, false, true},
        {1.5f, 0.0f, 100.0f, true, true},
        {99.0f, 0.0f, 100.0f, true, false},
        {98.9f, 0.0f, 100.0f, true, true},
        {-1.0f, 0.0f, 100.0f, false, true},
        // A reversed range has the same span.
        {1.0f, 0.0f, -100.0f, false, true},
        // Equal limits: only the limit itself passes.
        {5.0f, 5.0f, 5.0f, false, false},
        {5.001f, 5.0f, 5.0f, true, true},
        // A limit that is not a number refuses every value; an infinite span passes any value at
        // the finite limit, and none at the infinite one.
        {1.0f, kNaN, 100.0f, true, true},
        {1.0f, 0.0f, kInf, false, true},
    };
    for (const auto& c : cases)
    {
        float fSpan = PageRules::RangeSpan(c.fLow, c.fUp);
        EXPECT_EQ(PageRules::IsBiasTooBig(c.fValue, c.fLow, fSpan), c.bLowTooBig)
            << c.fValue << " at low " << c.fLow << " of " << c.fLow << ".." << c.fUp;
        EXPECT_EQ(PageRules::IsBiasTooBig(c.fValue, c.fUp, fSpan), c.bUpTooBig)
            << c.fValue << " at up " << c.fUp << " of " << c.fLow << ".." << c.fUp;
    }
}

TEST(BiasCheck, TheSpanIsTakenInSinglePrecision)
{
    // 1e8 + 1 is 1e8 in single precision: the difference is 0, not 1.
    EXPECT_EQ(PageRules::RangeSpan(1e8f, 1e8f + 1.0f), 0.0f);
    EXPECT_EQ(PageRules::RangeSpan(100.0f, 0.0f), 100.0f);
    EXPECT_TRUE(std::isinf(PageRules::RangeSpan(-3e38f, 3e38f)));
}

TEST(VerifyTolerances, PressureWithinSeventyFiveThousandthsOfAPercentOfTheSpan)
{
    const struct
    {
        float fDevice, fReference, fHigh, fLow;
        bool bWithin;
    } cases[] = {
        {50.0f, 50.07485f, 100.0f, 0.0f, true},
        {50.0f, 50.08f, 100.0f, 0.0f, false},
        {50.0f, 49.93f, 100.0f, 0.0f, true},
        {50.0f, 49.92f, 100.0f, 0.0f, false},
        {50.0f, 50.07f, 0.0f, 100.0f, true},
        // Equal range limits: only an exact match passes.
        {50.0f, 50.0f, 7.0f, 7.0f, true},
        {50.0f, 50.001f, 7.0f, 7.0f, false},
        // A reference that did not convert counts as 0.
        {0.0f, 0.0f, 100.0f, 0.0f, true},
        {1.0f, 0.0f, 100.0f, 0.0f, false},
        // Nothing that is not finite passes, not even against an infinite span.
        {kNaN, 50.0f, 100.0f, 0.0f, false},
        {50.0f, 50.0f, kInf, 0.0f, false},
        {50.0f, kInf, 100.0f, 0.0f, false},
        {50.0f, 50.0f, 100.0f, kNaN, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageRules::IsPressureWithinTolerance(c.fDevice, c.fReference, c.fHigh, c.fLow),
                  c.bWithin)
            << c.fDevice << " vs " << c.fReference << " over " << c.fLow << ".." << c.fHigh;
}

TEST(VerifyTolerances, TemperatureWithinJustUnderFiveDegrees)
{
    const struct
    {
        float fDevice, fReference;
        bool bWithin;
    } cases[] = {
        {23.5f, 28.4f, true},
        {23.5f, 28.5f, false},
        {23.5f, 18.6f, true},
        {23.5f, 18.5f, false},
        {0.0f, 4.9999985f, true},
        // 4.999999 in single precision lies just above the tolerance.
        {0.0f, 4.999999f, false},
        {0.0f, 5.0f, false},
        {kNaN, 0.0f, false},
        {kInf, kInf, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageRules::IsTemperatureWithinTolerance(c.fDevice, c.fReference), c.bWithin)
            << c.fDevice << " vs " << c.fReference;
}
} // namespace
