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

#include <fstream>
#include <iterator>
#include <string>

namespace
{
CHostApp theApp;

std::string FileText(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The text of the field's value in the last line of the kind; "absent" when it has none.
std::string Value(const std::string& text, const char* pszKind, const std::string& key)
{
    size_t nLine = text.rfind(std::string("\"kind\":\"") + pszKind + "\"");
    size_t nAt = text.find("\"" + key + "\":", nLine);
    if (nLine == std::string::npos || nAt == std::string::npos || nAt > text.find('\n', nLine))
        return "absent";
    nAt += key.size() + 3;
    return text.substr(nAt, text.find_first_of(",}", nAt) - nAt);
}

std::wstring g_status;

void CALLBACK CaptureStatus(LPCWSTR pszStatus, void*)
{
    g_status = pszStatus;
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
        for (const wchar_t* pszSuffix : {L"", L".0000000001", L".0000000002"})
            ::DeleteFileW((m_path + pszSuffix).c_str());
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

// Every line chains to the one before it, also a line left torn in the middle of the file, which
// stays a line of its own; earlier lines are never touched.
TEST_F(AuditTest, AnIntentBeforeTheWriteAndItsResultAfterChainedToTheLineBefore)
{
    EXPECT_EQ(audit::Sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(audit::Sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string kEarlier = "{\"seq\":41,\"kind\":\"result\"}\n{\"seq\":42,\"kind\":\"in";
    std::ofstream(m_path.c_str(), std::ios::binary) << kEarlier;

    audit::AuditRecord record;
    record.SetFile(m_path);
    StandinExchange range;
    range.wCmd = 182;
    range.request = {1, 0x43, 0x16, 0x80, 0x00};
    EXPECT_TRUE(record.BeforeSend(range).file.empty());
    std::string text = FileText(m_path);
    ASSERT_EQ(text.compare(0, kEarlier.size() + 1, kEarlier + "\n"), 0);
    const std::string kIntent = "{\"seq\":43,\"prev\":\"" +
                                audit::Sha256Hex("{\"seq\":42,\"kind\":\"in") + "\",\"time\":\"";
    EXPECT_EQ(text.find(kIntent), kEarlier.size() + 1) << text;
    EXPECT_NE(text.find("\"kind\":\"intent\",\"user\":\""), std::string::npos);
    EXPECT_NE(text.find("\"request.point\":\"upper\",\"request.value\":150.5,"), std::string::npos);
    EXPECT_TRUE(record.OnExchange(Send(182, range.request)).file.empty());
    std::string after = FileText(m_path);
    ASSERT_EQ(after.compare(0, text.size(), text), 0);
    std::string intent = text.substr(kEarlier.size() + 1, text.size() - kEarlier.size() - 2);
    EXPECT_EQ(after.find("{\"seq\":44,\"prev\":\"" + audit::Sha256Hex(intent) + "\""), text.size());
    EXPECT_NE(after.find("\"outcome\":\"done\",\"rc\":0,\"meaning\":\"success\",\"status\":64,"
                         "\"status_words\":\"configuration changed\"}\n",
                         text.size()),
              std::string::npos)
        << after;
    EXPECT_TRUE(record.OnExchange(Send(183, {})).file.empty()) << "a read is not recorded";
    EXPECT_EQ(FileText(m_path), after);
}

// A file that would grow past its size is renamed after its last sequence number; the chain goes
// on in a new file.
TEST_F(AuditTest, AFullFileGoesOnInANewOneCarryingTheChain)
{
    audit::AuditRecord record;
    record.SetFile(m_path, 400);
    StandinExchange zero;
    zero.wCmd = 43;
    EXPECT_TRUE(record.BeforeSend(zero).file.empty());
    EXPECT_TRUE(record.OnExchange(Send(43, {})).file.empty());
    const std::string first = FileText(m_path + L".0000000001");
    const std::string second = FileText(m_path + L".0000000002");
    ASSERT_EQ(first.find("{\"seq\":1,"), 0u) << first;
    ASSERT_EQ(second.find("{\"seq\":2,\"prev\":\"" +
                          audit::Sha256Hex(first.substr(0, first.size() - 1)) + "\""),
              0u)
        << second;
    const std::string text = FileText(m_path);
    EXPECT_EQ(text.find("{\"seq\":3,\"prev\":\"" +
                        audit::Sha256Hex(second.substr(0, second.size() - 1)) + "\""),
              0u)
        << text;
}

// The outcome follows what the device answered, not whether the service could use the answer.
TEST_F(AuditTest, DoneRefusedOrUnknownByTheAnswer)
{
    audit::AuditRecord record;
    record.SetFile(m_path);
    const struct
    {
        bool bAnswered;
        BYTE byResponseCode;
        BYTE byResult;
        const char* pszOutcome;
    } cases[] = {
        {true, 0, 0xFF, "\"outcome\":\"done\",\"rc\":0,\"meaning\":\"success\""},
        {true, 8, 0xF0, "\"outcome\":\"done\",\"rc\":8,\"meaning\":\"done with a"},
        {true, 7, 7, "\"outcome\":\"refused\",\"rc\":7,\"meaning\":\"in write-protect mode\""},
        {true, 0x88, 0xFF,
         "\"outcome\":\"refused\",\"rc\":136,\"meaning\":\"communication "
         "error in the request (checksum)\"}"},
        {false, 0, 0xFF, "\"outcome\":\"unknown\",\"meaning\":\"no answer\"}"},
        // A result scripted in place of an exchange stands for the answer.
        {false, 0, 0xF0, "\"outcome\":\"done\""},
        {false, 0, 5, "\"outcome\":\"refused\""},
    };
    for (const auto& c : cases)
    {
        StandinExchange exchange;
        exchange.wCmd = 43;
        exchange.bAnswered = c.bAnswered;
        exchange.byResponseCode = c.byResponseCode;
        exchange.byResult = c.byResult;
        exchange.byDeviceStatus = 0x40;
        record.BeforeSend(exchange);
        record.OnExchange(exchange);
        std::string text = FileText(m_path);
        EXPECT_NE(text.find(c.pszOutcome, text.rfind("\"kind\":\"result\"")), std::string::npos)
            << text;
    }
}

// As found is what the device last reported, never older than the last write to the field: the
// read back after the first write, with its time. The record reads what it does not hold itself.
TEST_F(AuditTest, AsFoundAndAsLeftOfOneFieldAcrossTwoWritesAndOfARangePoint)
{
    audit::AuditRecord record;
    record.SetFile(m_path);
    auto write = [&record](WORD wCmd, std::vector<BYTE> data) {
        StandinExchange exchange;
        exchange.wCmd = wCmd;
        exchange.request = data;
        EXPECT_TRUE(record.BeforeSend(exchange).file.empty());
        EXPECT_TRUE(record.OnExchange(Send(wCmd, data)).file.empty());
    };
    record.OnExchange(Send(223, {0}));
    write(222, {0, 'A', 'B', '-', '7', '7', 0, 0, 0, 0, 0});
    std::string text = FileText(m_path);
    EXPECT_EQ(Value(text, "intent", "found.serial"), "\"KS0001234\"");
    EXPECT_EQ(Value(text, "intent", "found.read"), "absent") << "the page's read serves";
    EXPECT_EQ(Value(text, "intent", "found.pressure"), "absent") << "only the fields written";
    EXPECT_EQ(Value(text, "as_left", "left.serial"), "\"AB-77\"");
    const std::string firstLeft = Value(text, "as_left", "left.serial.time");
    write(222, {1, 'C', 'D', 0, 0, 0, 0, 0, 0, 0, 1});
    text = FileText(m_path);
    EXPECT_EQ(Value(text, "intent", "found.serial"), "\"AB-77\"");
    EXPECT_EQ(Value(text, "intent", "found.serial.time"), firstLeft);
    EXPECT_EQ(Value(text, "intent", "found.manufacturer"), "0");
    EXPECT_EQ(Value(text, "as_left", "left.serial"), "\"CD\"");
    EXPECT_EQ(Value(text, "as_left", "left.manufacturer"), "1");
    write(182, {0, 0x41, 0x20, 0x00, 0x00});
    text = FileText(m_path);
    EXPECT_EQ(Value(text, "intent", "found.lrv"), "0");
    EXPECT_EQ(Value(text, "intent", "found.read"), "\"by the record before the write\"");
    EXPECT_EQ(Value(text, "intent", "found.urv"), "absent");
    EXPECT_EQ(Value(text, "as_left", "left.lrv"), "10");
    StandinDetachAll();
    write(43, {});
    text = FileText(m_path);
    EXPECT_EQ(Value(text, "intent", "found.zero"), "\"not read\"");
    EXPECT_EQ(Value(text, "as_left", "left.zero"), "\"not read back\"");
}

// Through Device.dll's exports, as the host uses them: the status line hears of a refused write
// and of what ProcessRspCode evaluates; a write whose intent cannot be recorded is not sent, each
// time, and the status line says why. The record's state for the window follows.
TEST_F(AuditTest, TheStatusLineTellsRefusedWritesAndWritesNotSentForWantOfARecord)
{
    StandinSetStatusSink(&CaptureStatus, NULL);
    StandinWatchExchanges(m_path.c_str());
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "write_protect", "1", NULL));
    Send(182, {1, 0x43, 0x16, 0x80, 0x00});
    EXPECT_EQ(g_status, L"Device 0, command 182: in write-protect mode (response code 7)");
    EXPECT_EQ(StandinRecordState(), L"calibration record " + m_path + L", line 3");
    Send(223, {0});
    FdInfo::ProcessRspCode(0, HART_RESULT_DONE, NULL);
    EXPECT_EQ(g_status, L"Device 0, command 223: success (response code 0)");
    ASSERT_TRUE(StandinSetTransmitterVariable(0, "write_protect", "0", NULL));
    StandinWatchExchanges(L"C:\\kestrum-no-such-folder\\audit.jsonl");
    for (int i = 0; i < 2; i++)
    {
        g_status.clear();
        EXPECT_EQ(Send(182, {1, 0x43, 0x16, 0x80, 0x00}).byResult, 0xFF);
        EXPECT_EQ(g_status, L"The calibration record cannot be written to "
                            L"C:\\kestrum-no-such-folder\\audit.jsonl (Windows error 3): the "
                            L"write was not sent.");
    }
    EXPECT_EQ(StandinRecordState(), L"calibration record C:\\kestrum-no-such-folder\\audit.jsonl "
                                    L"cannot be written (Windows error 3)");
    Send(15, {});
    BYTE answer[HART_MAX_RSP_DATA];
    ASSERT_GE(HartGetRspData(answer), 7);
    EXPECT_EQ(answer[3], 0x43) << "the upper range value is as it was";
    EXPECT_EQ(answer[4], 0x48);
    StandinWatchExchanges(NULL);
    EXPECT_EQ(StandinRecordState(), L"no calibration record");
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
    const char* kBits[] = {"primary variable out of limits", "non-primary variable out of limits",
                           "loop current saturated",         "loop current fixed",
                           "more status available",          "cold start",
                           "configuration changed",          "device malfunction"};
    for (int nBit = 0; nBit < 8; nBit++)
        EXPECT_EQ(devicewords::DeviceStatusWords(static_cast<BYTE>(1 << nBit)), kBits[nBit]);
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
