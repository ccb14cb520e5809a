// The script interpreter.
#include "Script.h"

#include <StandinDevice.h>
#include <StandinHart.h>
#include <JsonLine.h>
#include <RecordFields.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

namespace
{
// How long `wait` pumps messages before it reports a hang.
const DWORD kWaitLimit = 30000;
const DWORD kIdleTime = 100;

class ScriptError
{
public:
    explicit ScriptError(std::string text) : m_text(std::move(text)) {}
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// A command line split at single blanks; Rest gives everything after the nth argument's blank.
class Line
{
public:
    explicit Line(const std::string& text) : m_text(text)
    {
        size_t nStart = 0;
        while (nStart <= text.size())
        {
            size_t nBlank = text.find(' ', nStart);
            if (nBlank == std::string::npos)
                nBlank = text.size();
            m_words.push_back(text.substr(nStart, nBlank - nStart));
            m_starts.push_back(nStart);
            nStart = nBlank + 1;
        }
    }
    size_t Count() const { return m_words.size(); }
    const std::string& Word(size_t n) const
    {
        if (n >= m_words.size())
            throw ScriptError("missing argument " + std::to_string(n) + " of " + m_words[0]);
        return m_words[n];
    }
    std::string Rest(size_t n) const
    {
        return n < m_starts.size() ? m_text.substr(m_starts[n]) : "";
    }
    long Number(size_t n, long nMin, long nMax) const
    {
        const std::string& word = Word(n);
        char* pEnd = NULL;
        long nValue = strtol(word.c_str(), &pEnd, 10);
        if (word.empty() || *pEnd != '\0' || nValue < nMin || nValue > nMax)
            throw ScriptError("bad number '" + word + "' for " + m_words[0]);
        return nValue;
    }

private:
    std::string m_text;
    std::vector<std::string> m_words;
    std::vector<size_t> m_starts;
};

std::string WindowText(HWND hWnd)
{
    int nLength = ::GetWindowTextLengthW(hWnd);
    std::wstring text(nLength + 1, L'\0');
    ::GetWindowTextW(hWnd, &text[0], nLength + 1);
    return Utf8(text.c_str());
}

// The page's operations a script calls; the result event carries what an operation returns (an
// empty text: no event).
struct PageCall
{
    const char* pszName;
    std::string (*pfnCall)(CTablePage& page);
};

// An operation that returns nothing: no result event.
template <void (CTablePage::*pfnOperation)()> std::string CallQuietly(CTablePage& page)
{
    (page.*pfnOperation)();
    return std::string();
}

const PageCall kPageCalls[] = {
    {"ReloadPage", [](CTablePage& page) { return std::to_string(page.ReloadPage()); }},
    {"OnDeviceChanged", [](CTablePage& page) { return std::to_string(page.OnDeviceChanged()); }},
    {"IsPageBusy",
     [](CTablePage& page) { return std::string(page.IsPageBusy() ? "true" : "false"); }},
    {"StopPage", &CallQuietly<&CTablePage::StopPage>},
    {"ReleasePage", &CallQuietly<&CTablePage::ReleasePage>},
    {"RefreshLayout", &CallQuietly<&CTablePage::RefreshLayout>},
    {"LoadCaptions", &CallQuietly<&CTablePage::LoadCaptions>},
};

class Interpreter
{
public:
    Interpreter(CHostApp& app, PageHost& host, const std::wstring& auditFile)
        : m_app(app), m_host(host), m_auditFile(auditFile)
    {
    }

    void Run(const Line& line);

    int ControlId(const Line& line) const { return static_cast<int>(line.Number(1, 0, 65535)); }

    HWND Control(const Line& line) const
    {
        HWND hWnd = ::GetDlgItem(m_host.PageWindow(), ControlId(line));
        if (hWnd == NULL)
            throw ScriptError("the page has no control " + line.Word(1));
        return hWnd;
    }

    static BOOL Choice(const Line& line, const char* pszNo, const char* pszYes)
    {
        const std::string& word = line.Word(1);
        if (word != pszNo && word != pszYes)
            throw ScriptError("expected " + std::string(pszNo) + " or " + pszYes + ", not '" +
                              word + "'");
        return word == pszYes;
    }

    static BYTE CurrentDevice()
    {
        int nDevice = FdDevice::GetCurrentDeviceIndex();
        if (nDevice < 0 || nDevice >= STANDIN_MAX_DEVICES)
            throw ScriptError("no current device");
        return static_cast<BYTE>(nDevice);
    }

    static void SetVariable(const Line& line)
    {
        std::string error;
        if (!StandinSetTransmitterVariable(CurrentDevice(), line.Word(1), line.Rest(2), &error))
            throw ScriptError(error);
    }

    // The link's own event reports what it found; the current device stays as it was.
    static void OpenLink(const Line& line)
    {
        std::string error;
        if (!StandinOpenLink(line.Rest(1), &error))
            throw ScriptError(error);
    }

    // One event per device the service has, with what it keeps of the device's identity.
    static void Devices()
    {
        for (int i = 0; i < STANDIN_MAX_DEVICES; i++)
        {
            StandinIdentity identity;
            if (!StandinGetIdentity(static_cast<BYTE>(i), &identity))
                continue;
            JsonLine event("device");
            event.Add("dev", i);
            if (identity.bTagRead)
                event.Add("tag", identity.tag);
            if (identity.nManufacturer >= 0)
                event.Add("manufacturer", Hex(identity.nManufacturer, 2));
            event.Add("type", Hex(identity.wExpandedDeviceType, 4))
                .Add("id", Hex(identity.dwDeviceId, 6))
                .Add("hart_revision", identity.byHartRevision)
                .Add("polling_address", identity.byPollingAddress)
                .Add("long_address", identity.longAddress);
            if (identity.nWriteProtect >= 0)
                event.Add("write_protect", identity.nWriteProtect);
            StandinTrace(event.AddBool("simulated", identity.bSimulated)
                             .Add("text", StandinDescribeDevice(static_cast<BYTE>(i)))
                             .Str()
                             .c_str());
        }
    }

    static std::string Hex(unsigned long ulValue, int nDigits)
    {
        char sz[16];
        snprintf(sz, sizeof sz, "%0*lX", nDigits, ulValue);
        return sz;
    }

    // "audit FILE" keeps the calibration record in FILE, "audit temp" in a new file of the
    // temporary folder, "audit none" nowhere.
    void Audit(const Line& line)
    {
        std::string where = line.Rest(1);
        if (where == "none")
            m_auditFile.clear();
        else if (where == "temp")
        {
            WCHAR szFolder[MAX_PATH], szFile[MAX_PATH];
            if (::GetTempPathW(MAX_PATH, szFolder) == 0 ||
                ::GetTempFileNameW(szFolder, L"kau", 0, szFile) == 0)
                throw ScriptError("no temporary file for the calibration record");
            m_auditFile = szFile;
        }
        else if (!where.empty())
            m_auditFile = Wide(where);
        else
            throw ScriptError("missing argument 1 of audit");
        StandinWatchExchanges(m_auditFile.c_str());
    }

    // Each line of the calibration record as an event "auditline" with the line's own fields,
    // then the count.
    void ReadAudit() const
    {
        HANDLE hFile =
            ::CreateFileW(m_auditFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile == INVALID_HANDLE_VALUE)
            throw ScriptError("the calibration record cannot be read");
        std::string text;
        char buffer[4096];
        DWORD dwRead = 0;
        while (::ReadFile(hFile, buffer, sizeof buffer, &dwRead, NULL) && dwRead > 0)
            text.append(buffer, dwRead);
        ::CloseHandle(hFile);
        int nLines = 0;
        for (size_t nStart = 0; nStart < text.size();)
        {
            size_t nEnd = text.find('\n', nStart);
            if (nEnd == std::string::npos)
                nEnd = text.size();
            std::string record = text.substr(nStart, nEnd - nStart);
            nStart = nEnd + 1;
            if (record.size() < 3 || record[0] != '{')
                continue;
            nLines++;
            StandinTrace(("{\"ev\":\"auditline\"," + record.substr(1)).c_str());
        }
        StandinTrace(JsonLine("auditfile").Add("lines", nLines).Str().c_str());
    }

    static void Poke(const Line& line)
    {
        size_t nOffset = 0;
        std::string error;
        if (!hartsim::RecordFieldOffset(line.Word(1), &nOffset, &error))
            throw ScriptError(error);
        std::vector<BYTE> bytes;
        for (size_t n = 2; n < line.Count(); n++)
        {
            const std::string& word = line.Word(n);
            char* pEnd = NULL;
            long nByte = strtol(word.c_str(), &pEnd, 16);
            if (word.size() != 2 || *pEnd != '\0')
                throw ScriptError("bad hex byte '" + word + "'");
            bytes.push_back(static_cast<BYTE>(nByte));
        }
        if (!StandinPokeRecord(CurrentDevice(), static_cast<int>(nOffset), bytes.data(),
                               static_cast<int>(bytes.size())))
            throw ScriptError("the record of the current device does not take these bytes");
    }

    static void QueueCodes(const Line& line, bool bResults)
    {
        WORD wCmd = static_cast<WORD>(line.Number(1, 0, 65535));
        std::vector<BYTE> codes;
        for (size_t n = 2; n < line.Count(); n++)
            codes.push_back(static_cast<BYTE>(line.Number(n, 0, 255)));
        if (bResults)
            StandinQueueResults(wCmd, codes.data(), static_cast<int>(codes.size()));
        else
            StandinQueueRspCodes(wCmd, codes.data(), static_cast<int>(codes.size()));
    }

    static void QueueFaults(const Line& line)
    {
        std::string error;
        WORD wCmd = static_cast<WORD>(line.Number(1, 0, 255));
        int nCount = line.Count() > 3 ? static_cast<int>(line.Number(3, 1, 1000)) : 1;
        if (!StandinQueueFaults(wCmd, line.Word(2), nCount, &error))
            throw ScriptError(error);
    }

    // Queues the answers only when every word is one, so a bad line queues nothing.
    void Answer(const Line& line)
    {
        std::vector<int> answers;
        for (size_t n = 1; n < line.Count(); n++)
        {
            const std::string& word = line.Word(n);
            if (word == "yes")
                answers.push_back(IDYES);
            else if (word == "no")
                answers.push_back(IDNO);
            else if (word == "ok")
                answers.push_back(IDOK);
            else
                throw ScriptError("expected yes, no or ok, not '" + word + "'");
        }
        for (int nAnswer : answers)
            m_app.QueueAnswer(nAnswer);
    }

    void Call(const std::string& op)
    {
        for (const PageCall& call : kPageCalls)
        {
            if (op != call.pszName)
                continue;
            std::string value = call.pfnCall(*m_host.Page());
            if (!value.empty())
                Result(op, value);
            return;
        }
        throw ScriptError("unknown operation '" + op + "'");
    }

    void Click(const Line& line) const
    {
        ::SendMessageW(m_host.PageWindow(), WM_COMMAND, MAKEWPARAM(ControlId(line), BN_CLICKED),
                       reinterpret_cast<LPARAM>(Control(line)));
    }

    static void Result(const std::string& op, const std::string& value)
    {
        StandinTrace(JsonLine("result").Add("op", op).AddRaw("value", value).Str().c_str());
    }

    // As a user would: select everything and type; the edit's own limit applies.
    void Type(const Line& line)
    {
        HWND hWnd = Control(line);
        ::SendMessageW(hWnd, EM_SETSEL, 0, -1);
        ::SendMessageW(hWnd, EM_REPLACESEL, TRUE,
                       reinterpret_cast<LPARAM>(Wide(line.Rest(2)).c_str()));
    }

    // Serves messages for dwMilliseconds, so that workers run and call on the window meanwhile.
    static void Pause(DWORD dwMilliseconds)
    {
        const ULONGLONG ullEnd = ::GetTickCount64() + dwMilliseconds;
        for (ULONGLONG now = ::GetTickCount64(); now < ullEnd; now = ::GetTickCount64())
        {
            MSG msg;
            while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, NULL, FALSE, static_cast<DWORD>(ullEnd - now),
                                        QS_ALLINPUT);
        }
    }

    // Serves messages until no worker of the page exists and none is queued.
    void Wait()
    {
        ULONGLONG ullEnd = ::GetTickCount64() + kWaitLimit;
        for (;;)
        {
            MSG msg;
            bool bQueued = false;
            while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            {
                bQueued = true;
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (::GetTickCount64() > ullEnd)
            {
                StandinTrace(
                    JsonLine("hang").Add("after_ms", static_cast<int>(kWaitLimit)).Str().c_str());
                return;
            }
            // A worker clears its slot just before its last calls on the controls: the page is
            // idle once no slot is set and nothing arrives for a while.
            bool bNoWorker = !m_host.AnyWorker();
            DWORD dwWait = ::MsgWaitForMultipleObjects(0, NULL, FALSE, kIdleTime, QS_ALLINPUT);
            if (!bQueued && bNoWorker && dwWait == WAIT_TIMEOUT)
                return;
        }
    }

    void Dump()
    {
        std::string controls = "[";
        for (HWND hWnd = ::GetWindow(m_host.PageWindow(), GW_CHILD); hWnd != NULL;
             hWnd = ::GetWindow(hWnd, GW_HWNDNEXT))
        {
            std::string item =
                "{\"id\":" + std::to_string(static_cast<short>(::GetDlgCtrlID(hWnd)));
            item += ",\"text\":" + JsonLine::QuoteText(WindowText(hWnd).c_str());
            item += std::string(",\"enabled\":") + (::IsWindowEnabled(hWnd) ? "true" : "false");
            item += std::string(",\"visible\":") +
                    ((::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE) ? "true" : "false");
            WCHAR szClass[32] = {0};
            ::GetClassNameW(hWnd, szClass, 32);
            if (lstrcmpiW(szClass, L"ComboBox") == 0)
                item += ComboContents(hWnd);
            controls += (controls.size() > 1 ? "," : "") + item + "}";
        }
        controls += "]";
        bool bSet[kPageOperationCount];
        m_host.WorkerSlots(bSet);
        std::string threads = "{";
        for (int i = 0; i < kPageOperationCount; i++)
            threads += std::string(i > 0 ? "," : "") + "\"" + PageOperationAt(i).pszName +
                       "\":" + (bSet[i] ? "true" : "false");
        threads += "}";
        StandinTrace(
            JsonLine("dump")
                .AddRaw("title", JsonLine::QuoteText(WindowText(m_host.PageWindow()).c_str()))
                .AddRaw("controls", controls)
                .AddBool("busy", m_host.Page()->IsPageBusy() != FALSE)
                .AddRaw("threads", threads)
                .Str()
                .c_str());
    }

    static std::string ComboContents(HWND hWnd)
    {
        int nCount = static_cast<int>(::SendMessageW(hWnd, CB_GETCOUNT, 0, 0));
        std::string items = "[", data = "[";
        for (int i = 0; i < nCount; i++)
        {
            int nLength = static_cast<int>(::SendMessageW(hWnd, CB_GETLBTEXTLEN, i, 0));
            std::wstring text(nLength + 1, L'\0');
            ::SendMessageW(hWnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            items += (i > 0 ? "," : "") + JsonLine::QuoteText(Utf8(text.c_str()).c_str());
            data +=
                (i > 0 ? "," : "") +
                std::to_string(static_cast<long long>(::SendMessageW(hWnd, CB_GETITEMDATA, i, 0)));
        }
        int nSel = static_cast<int>(::SendMessageW(hWnd, CB_GETCURSEL, 0, 0));
        return ",\"items\":" + items + "],\"sel\":" + std::to_string(nSel) + ",\"data\":" + data +
               "]";
    }

private:
    CHostApp& m_app;
    PageHost& m_host;
    std::wstring m_auditFile;
};

// One script command: its name, its arguments as the usage shows them, what carries it out and a
// line of help. The interpreter and the usage text both read this table.
struct Command
{
    const char* pszName;
    const char* pszArgs;
    void (*pfnRun)(Interpreter& interpreter, const Line& line);
    const char* pszHelp;
};

const Command kCommands[] = {
    {"device", "INDEX",
     [](Interpreter&, const Line& line) {
         StandinSetCurrentDevice(line.Number(1, -2147483647L, 2147483647L));
     },
     "makes the service's device INDEX the current one"},
    {"devtype", "TYPE",
     [](Interpreter&, const Line& line) {
         StandinSetDeviceType(static_cast<WORD>(line.Number(1, 0, 65535)));
     },
     "sets the device type the service reports"},
    {"xmtr", "KEY VALUE", [](Interpreter&, const Line& line) { Interpreter::SetVariable(line); },
     "sets a variable of the current device's transmitter"},
    {"poke", "FIELD[+N] BYTES...", [](Interpreter&, const Line& line) { Interpreter::Poke(line); },
     "writes hex bytes into the current device's record from a field on"},
    {"results", "CMD RESULT...",
     [](Interpreter&, const Line& line) { Interpreter::QueueCodes(line, true); },
     "the next sends of command CMD end with these results, unseen by the transmitter"},
    {"rspcodes", "CMD CODE...",
     [](Interpreter&, const Line& line) { Interpreter::QueueCodes(line, false); },
     "the next response-code evaluations for command CMD answer these"},
    {"fault", "CMD KIND [COUNT]",
     [](Interpreter&, const Line& line) { Interpreter::QueueFaults(line); },
     "the next COUNT exchanges of command CMD fail as a real line does"},
    {"timer", "MS",
     [](Interpreter&, const Line& line) { StandinSetTimerPeriod(line.Number(1, 0, 600000)); },
     "the period of every timer started from now on"},
    {"wire", "fast|real",
     [](Interpreter&, const Line& line) {
         StandinSetRealWire(Interpreter::Choice(line, "fast", "real"));
     },
     "exchanges without delay, or taking their time at 1200 bit/s"},
    {"host", "kind|plain",
     [](Interpreter&, const Line& line) {
         StandinSetPlainHost(Interpreter::Choice(line, "kind", "plain"));
     },
     "CleanThread as this host's, or as a plain host's that only waits and terminates"},
    {"lock", "free|busy",
     [](Interpreter&, const Line& line) {
         StandinSetLockBusy(Interpreter::Choice(line, "free", "busy"));
     },
     "whether another party holds the HART lock"},
    {"link", "LINK", [](Interpreter&, const Line& line) { Interpreter::OpenLink(line); },
     "opens a real link: serial COMn [rts], hart-ip [udp] ADDRESS:PORT, either [scan]"},
    {"devices", "", [](Interpreter&, const Line&) { Interpreter::Devices(); },
     "a device event for each device the service has"},
    {"audit", "FILE|temp|none",
     [](Interpreter& interpreter, const Line& line) { interpreter.Audit(line); },
     "keeps the calibration record in FILE, a new temporary file or nowhere"},
    {"readaudit", "", [](Interpreter& interpreter, const Line&) { interpreter.ReadAudit(); },
     "an auditline event for each line of the calibration record, then auditfile"},
    {"dieafterintent", "", [](Interpreter&, const Line&) { StandinEndAfterNextIntent(); },
     "ends the host at once (exit code 3) after the next write's intent is recorded"},
    {"answer", "yes|no|ok...",
     [](Interpreter& interpreter, const Line& line) { interpreter.Answer(line); },
     "queues the answers of the next message boxes"},
    {"call", "OPERATION",
     [](Interpreter& interpreter, const Line& line) { interpreter.Call(line.Word(1)); },
     "calls one of the page's operations; a result event for those that return one"},
    {"click", "ID", [](Interpreter& interpreter, const Line& line) { interpreter.Click(line); },
     "clicks the page's button ID"},
    {"type", "ID TEXT", [](Interpreter& interpreter, const Line& line) { interpreter.Type(line); },
     "types TEXT over the whole text of the page's edit ID"},
    {"settext", "ID TEXT",
     [](Interpreter& interpreter, const Line& line) {
         ::SetWindowTextW(interpreter.Control(line), Wide(line.Rest(2)).c_str());
     },
     "sets the text of the page's control ID"},
    {"select", "ID INDEX",
     [](Interpreter& interpreter, const Line& line) {
         ::SendMessageW(interpreter.Control(line), CB_SETCURSEL, line.Number(2, -1, 65535), 0);
     },
     "selects item INDEX of the page's combo box ID"},
    {"wait", "", [](Interpreter& interpreter, const Line&) { interpreter.Wait(); },
     "serves messages until the page has no worker; a hang event after 30 s"},
    {"pause", "MS",
     [](Interpreter&, const Line& line) {
         Interpreter::Pause(static_cast<DWORD>(line.Number(1, 0, kWaitLimit)));
     },
     "serves messages for MS milliseconds"},
    {"dump", "", [](Interpreter& interpreter, const Line&) { interpreter.Dump(); },
     "a dump event: the page's title, controls, busy state and worker slots"},
    {"mark", "LINE",
     [](Interpreter&, const Line& line) {
         StandinTrace(JsonLine("mark")
                          .Add("line", static_cast<int>(line.Number(1, 1, 2147483647L)))
                          .Str()
                          .c_str());
     },
     "a mark event with LINE, where a checker cuts the events into steps"},
};

void Interpreter::Run(const Line& line)
{
    const std::string& name = line.Word(0);
    for (const Command& command : kCommands)
    {
        if (name == command.pszName)
        {
            command.pfnRun(*this, line);
            return;
        }
    }
    throw ScriptError("unknown command '" + name + "'");
}
} // namespace

std::wstring Wide(const std::string& text)
{
    int nChars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, NULL, 0);
    std::wstring wide(nChars > 0 ? nChars - 1 : 0, L'\0');
    if (nChars > 1)
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], nChars);
    return wide;
}

std::string ScriptUsage()
{
    std::string usage = "script commands:\n";
    for (const Command& command : kCommands)
    {
        std::string call = std::string(command.pszName) + " " + command.pszArgs;
        call.resize(call.size() < 28 ? 28 : call.size(), ' ');
        usage += "  " + call + " " + command.pszHelp + "\n";
    }
    usage += "the page's operations for call:";
    for (const PageCall& call : kPageCalls)
        usage += std::string(" ") + call.pszName;
    return usage + "\n";
}

int RunScript(CHostApp& app, PageHost& host, std::istream& input, const std::wstring& auditFile)
{
    Interpreter interpreter(app, host, auditFile);
    std::string text;
    for (int nLine = 1; std::getline(input, text); nLine++)
    {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        size_t nFirst = text.find_first_not_of(' ');
        if (nFirst == std::string::npos || text[nFirst] == '#')
            continue;
        try
        {
            interpreter.Run(Line(text));
        }
        catch (const ScriptError& error)
        {
            StandinTrace(
                JsonLine("error").Add("line", nLine).Add("text", error.Text()).Str().c_str());
        }
    }
    return 0;
}
