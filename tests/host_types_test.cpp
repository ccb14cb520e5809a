// The host's types as the module carries them: the device table's layout, and Kestrum.dll exports
// nothing of the host's types (a host has their inline members and constants from its own headers
// and DLLs).
#include <gtest/gtest.h>

#include <base.h>
#include <Device.h>

#include <string>
#include <type_traits>
#include <vector>

namespace
{
static_assert(sizeof(FdDeviceMgr().m_dwDevices[0]) == 4, "32-bit words");
static_assert(std::is_same<decltype(FdDeviceMgr().m_nCount), int>::value, "an int first");
static_assert(std::is_same<decltype(FdDeviceMgr().m_nCurrent), int>::value, "an int third");

// The names in a loaded module's export table.
std::vector<std::string> ExportNames(HMODULE hModule)
{
    const BYTE* pBase = reinterpret_cast<const BYTE*>(hModule);
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (directory.Size == 0)
        return names;
    const IMAGE_EXPORT_DIRECTORY* pExports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(pBase + directory.VirtualAddress);
    const DWORD* pNames = reinterpret_cast<const DWORD*>(pBase + pExports->AddressOfNames);
    for (DWORD i = 0; i < pExports->NumberOfNames; i++)
        names.push_back(reinterpret_cast<const char*>(pBase + pNames[i]));
    return names;
}

TEST(HostTypesTest, TheModuleExportsNoMemberOfTheHostsTypes)
{
    HMODULE hModule = ::LoadLibraryW(L"Kestrum.dll");
    ASSERT_NE(hModule, nullptr);
    std::vector<std::string> names = ExportNames(hModule);
    bool bEntry = false;
    for (const std::string& name : names)
    {
        bEntry = bEntry || name == "GetDlgArray";
        for (const char* pszType : {"CTablePage", "XTimer", "FdLock", "FdInfo", "FdDevice"})
            EXPECT_EQ(name.find(pszType), std::string::npos) << name;
    }
    EXPECT_TRUE(bEntry) << "the export table was read";
    ::FreeLibrary(hModule);
}
} // namespace
