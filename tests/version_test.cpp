// Kestrum.dll's version resource as Windows reads it for the file's Properties.
#include <gtest/gtest.h>

#include <windows.h>

#include "../res/version.h"

#include <string>
#include <vector>

namespace
{
std::wstring QueryText(std::vector<BYTE>& info, const wchar_t* pszName)
{
    std::wstring path = std::wstring(L"\\StringFileInfo\\000004b0\\") + pszName;
    LPVOID pValue = NULL;
    UINT nLength = 0;
    if (!::VerQueryValueW(info.data(), path.c_str(), &pValue, &nLength))
        return L"(missing)";
    return nLength == 0 ? L"" : std::wstring(static_cast<const wchar_t*>(pValue));
}

TEST(VersionResourceTest, NamesTheVersionTheDescriptionAndLeavesTheCompanyEmpty)
{
    HMODULE hModule = ::LoadLibraryW(L"Kestrum.dll");
    ASSERT_NE(hModule, nullptr);
    wchar_t szPath[MAX_PATH];
    ::GetModuleFileNameW(hModule, szPath, MAX_PATH);
    DWORD dwHandle = 0;
    DWORD dwSize = ::GetFileVersionInfoSizeW(szPath, &dwHandle);
    ASSERT_GT(dwSize, 0u);
    std::vector<BYTE> info(dwSize);
    ASSERT_TRUE(::GetFileVersionInfoW(szPath, 0, dwSize, info.data()));

    VS_FIXEDFILEINFO* pFixed = NULL;
    UINT nLength = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<LPVOID*>(&pFixed), &nLength));
    const WORD expected[] = {KESTRUM_VERSION_NUMBERS};
    EXPECT_EQ(pFixed->dwFileVersionMS, DWORD(MAKELONG(expected[1], expected[0])));
    EXPECT_EQ(pFixed->dwFileVersionLS, DWORD(MAKELONG(expected[3], expected[2])));
    EXPECT_EQ(pFixed->dwProductVersionMS, pFixed->dwFileVersionMS);
    EXPECT_EQ(pFixed->dwFileType, DWORD(VFT_DLL));

    const std::wstring version(KESTRUM_VERSION_TEXT,
                               KESTRUM_VERSION_TEXT + strlen(KESTRUM_VERSION_TEXT));
    const struct
    {
        const wchar_t* pszName;
        std::wstring expected;
    } texts[] = {
        {L"FileVersion", version},    {L"ProductVersion", version},
        {L"ProductName", L"Kestrum"}, {L"OriginalFilename", L"Kestrum.dll"},
        {L"CompanyName", L""},
    };
    for (const auto& text : texts)
        EXPECT_EQ(QueryText(info, text.pszName), text.expected) << text.pszName;
    EXPECT_NE(QueryText(info, L"FileDescription").find(L"HART pressure transmitter page"),
              std::wstring::npos);
    ::FreeLibrary(hModule);
}
} // namespace
