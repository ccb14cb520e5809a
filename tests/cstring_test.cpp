// The MFC subset's CString: sharing, independence of copies, formatting and trimming.
#include <gtest/gtest.h>

#include <afxwin.h>

TEST(CStringTest, CopiesShareUntilOneChangesAndSelfAssignmentKeepsTheText)
{
    CString original(L"kPa");
    CString copy(original);
    EXPECT_EQ(static_cast<LPCWSTR>(copy), static_cast<LPCWSTR>(original));
    copy += L"!";
    EXPECT_EQ(original, L"kPa");
    EXPECT_EQ(copy, L"kPa!");
    LPWSTR pBuffer = original.GetBuffer(10);
    pBuffer[0] = L'M';
    original.ReleaseBuffer();
    EXPECT_EQ(original, L"MPa");
    EXPECT_EQ(copy, L"kPa!");

    // Assignments from itself and from its own text keep the text.
    CString s(L"serial");
    s = s;
    EXPECT_EQ(s, L"serial");
    s = static_cast<LPCWSTR>(s) + 2;
    EXPECT_EQ(s, L"rial");
    s += s;
    EXPECT_EQ(s, L"rialrial");
}

TEST(CStringTest, FormatTrimAndCompareBehaveAsMfcDocuments)
{
    CString s;
    s.Format(L"%.3f|%s|%d", 1.5, L"wide", -2);
    EXPECT_EQ(s, L"1.500|wide|-2");
    CString padded(L"  AB 12 \t");
    padded.Trim();
    EXPECT_EQ(padded, L"AB 12");
    EXPECT_LT(CString(L"PSI").Compare(L"psi"), 0);
    EXPECT_EQ(CString(L"PSI").CompareNoCase(L"psi"), 0);
    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(CString("ansi").GetLength(), 4);
}
