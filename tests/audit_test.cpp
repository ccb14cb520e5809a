// The calibration record and the status words of the stand-in Device.dll, on exchanges with a
// simulated transmitter.
#include <gtest/gtest.h>

#include <HostApp.h>
#include <StandinBase.h>
#include <StandinDevice.h>
#include <StandinHart.h>
#include <hartSeComm.h>

#include <Audit.h>
#include <StatusWords.h>

#include <string>

namespace
{
CHostApp theApp;

std::string FileText(const std::wstring& path)
{
    std::string text;
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD dwRead = 0;
    while (::ReadFile(hFile, buffer, sizeof buffer, &dwRead, NULL) && dwRead > 0)
        text.append(buffer, dwRead);
    ::CloseHandle(hFile);
    return text;
}

class AuditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StandinResetService();
        StandinAttachTransmitter(0);
        WCHAR szFolder[MAX_PATH], szFile[MAX_PATH];
        ASSERT_NE(::GetTempPathW(MAX_PATH, szFolder), 0u);
        ASSERT_NE(::GetTempFileNameW(szFolder, L"kat", 0, szFile), 0u);
        m_path = szFile;
    }
    void TearDown() override
    {
        ::DeleteFileW(m_path.c_str());
        StandinDetachAll();
    }

    static StandinExchange Send(WORD wCmd, std::vector<BYTE> data)
    {
        HartSendCmd(wCmd, 0, data.empty() ? NULL : data.data(), static_cast<BYTE>(data.size()));
        return StandinLastExchange();
    }

    std::wstring m_path;
};
} // namespace

TEST_F(AuditTest, AppendsOneWholeLinePerWriteAndLeavesEarlierLinesAsTheyAre)
{
    const std::string kEarlier = "{\"kind\":\"earlier\"}\n";
    HANDLE hFile = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD dwWritten;
    ::WriteFile(hFile, kEarlier.data(), static_cast<DWORD>(kEarlier.size()), &dwWritten, NULL);
    ::CloseHandle(hFile);

    audit::AuditRecord record;
    record.SetFile(m_path);
    EXPECT_TRUE(record.OnExchange(Send(43, {})).file.empty());
    EXPECT_TRUE(record.OnExchange(Send(183, {})).file.empty()) << "a read is not recorded";
    std::string afterOne = FileText(m_path);
    ASSERT_EQ(afterOne.compare(0, kEarlier.size(), kEarlier), 0);
    EXPECT_EQ(afterOne.find("{\"time\":\"", kEarlier.size()), kEarlier.size());
    EXPECT_NE(afterOne.find("\"cmd\":43,"), std::string::npos);
    EXPECT_EQ(afterOne.back(), '\n');
    EXPECT_EQ(afterOne.find('\n', kEarlier.size()), afterOne.size() - 1) << "one line";

    EXPECT_TRUE(record.OnExchange(Send(182, {1, 0x43, 0x16, 0x80, 0x00})).file.empty());
    std::string afterTwo = FileText(m_path);
    ASSERT_EQ(afterTwo.compare(0, afterOne.size(), afterOne), 0);
    EXPECT_NE(
        afterTwo.find("\"request.point\":\"upper\",\"request.value\":150.5,", afterOne.size()),
        std::string::npos);
}

TEST_F(AuditTest, AsLeftFollowsOnlyOnceAllThreeBlocksAreReadAgain)
{
    audit::AuditRecord record;
    record.SetFile(m_path);
    record.OnExchange(Send(43, {}));
    record.OnExchange(Send(223, {0}));
    record.OnExchange(Send(223, {1}));
    // A second write: the blocks read before it do not count for it.
    record.OnExchange(Send(43, {}));
    record.OnExchange(Send(223, {2}));
    record.OnExchange(Send(223, {2}));
    record.OnExchange(Send(223, {0}));
    EXPECT_EQ(FileText(m_path).find("as_left"), std::string::npos);
    record.OnExchange(Send(223, {1}));
    std::string text = FileText(m_path);
    size_t nAsLeft = text.find("\"kind\":\"as_left\",\"after\":[\"");
    ASSERT_NE(nAsLeft, std::string::npos);
    EXPECT_NE(text.find("/1\",\"", nAsLeft), std::string::npos) << "names both writes";
    EXPECT_NE(text.find("\"left.zero\":1.25,"), std::string::npos) << text;
    record.OnExchange(Send(223, {0}));
    record.OnExchange(Send(223, {1}));
    record.OnExchange(Send(223, {2}));
    EXPECT_EQ(FileText(m_path), text) << "no write since: no second as_left";
}

TEST_F(AuditTest, AnUnwritableFileIsReportedOnceAndNothingElseHappens)
{
    audit::AuditRecord record;
    record.SetFile(L"C:\\kestrum-no-such-folder\\audit.jsonl");
    audit::Failure first = record.OnExchange(Send(222, std::vector<BYTE>(11, 0)));
    EXPECT_EQ(first.file, "C:\\kestrum-no-such-folder\\audit.jsonl");
    EXPECT_EQ(first.reason, "Windows error 3");
    EXPECT_TRUE(record.OnExchange(Send(43, {})).file.empty());
    record.SetFile(L"C:\\kestrum-no-such-folder\\other.jsonl");
    EXPECT_FALSE(record.OnExchange(Send(43, {})).file.empty()) << "a new file is reported anew";
    record.SetFile(L"");
    EXPECT_TRUE(record.OnExchange(Send(43, {})).file.empty()) << "no record kept";
}

namespace
{
std::wstring g_status;
int g_nStatusReports = 0;

void CALLBACK CaptureStatus(LPCWSTR pszStatus, void*)
{
    g_status = pszStatus;
    g_nStatusReports++;
}
} // namespace

// Through Device.dll's exports, as the host uses them: the status line hears of a refused write,
// of what ProcessRspCode evaluates, and once of a file it cannot write.
TEST_F(AuditTest, TheStatusLineTellsRefusedWritesAndAnUnwritableFileInWords)
{
    StandinSetStatusSink(&CaptureStatus, NULL);
    StandinWatchExchanges(L"C:\\kestrum-no-such-folder\\audit.jsonl");
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "write_protect", "1", NULL));
    g_nStatusReports = 0;
    Send(182, {1, 0x43, 0x16, 0x80, 0x00});
    EXPECT_EQ(g_nStatusReports, 2);
    Send(182, {1, 0x43, 0x16, 0x80, 0x00});
    EXPECT_EQ(g_nStatusReports, 3) << "the file's failure only once";
    EXPECT_EQ(g_status, L"Device 0, command 182: in write-protect mode (response code 7)");
    Send(223, {0});
    FdInfo::ProcessRspCode(0, HART_RESULT_DONE, NULL);
    EXPECT_EQ(g_status, L"Device 0, command 223: success (response code 0)");
    EXPECT_EQ(g_nStatusReports, 4);
    StandinWatchExchanges(NULL);
    StandinSetStatusSink(NULL, NULL);
}

// A command's own meaning of a code wins over HART's, and codes without a name fall into their
// class.
TEST(StatusWords, ResponseCodesByTheirMeaningForEachCommand)
{
    const struct
    {
        WORD wCmd;
        BYTE byCode;
        const char* pszMeaning;
    } cases[] = {
        {223, 7, "in write-protect mode"},
        {15, 2, "invalid selection"},
        {222, 2, "invalid press type or manufacturer"},
        {43, 9, "applied process too high for a zero"},
        {223, 9, "command-specific error"},
        {223, 14, "done with a command-specific warning"},
        {223, 0xC0, "communication error in the request (parity)"},
        {223, 0x98, "communication error in the request (framing, checksum)"},
        {223, 0x80, "communication error in the request"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(devicewords::ResponseMeaning(c.wCmd, c.byCode), c.pszMeaning)
            << c.wCmd << "/" << int(c.byCode);
}

TEST(StatusWords, DeviceStatusBitsAndOutcomes)
{
    EXPECT_EQ(devicewords::DeviceStatusWords(0), "");
    EXPECT_EQ(devicewords::DeviceStatusWords(0xFF),
              "device malfunction, configuration changed, cold start, more status available, "
              "loop current fixed, loop current saturated, non-primary variable out of limits, "
              "primary variable out of limits");
    StandinExchange exchange;
    exchange.wCmd = 43;
    EXPECT_EQ(devicewords::DescribeOutcome(2, exchange, 255),
              "Device 2, command 43: no answer (result 255)");
    EXPECT_EQ(devicewords::DescribeOutcome(2, exchange, 10),
              "Device 2, command 43: applied process too low for a zero (result 10)");
    exchange.bAnswered = true;
    exchange.byResponseCode = 7;
    exchange.byDeviceStatus = 0x81;
    EXPECT_EQ(devicewords::DescribeOutcome(0, exchange, 7),
              "Device 0, command 43: in write-protect mode (response code 7); device status: "
              "device malfunction, primary variable out of limits");
}
