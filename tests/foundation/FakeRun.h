// Test doubles for the run context, its log and a file: they record what the core did with them
// and can stop or fail it on demand.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/ByteFile.h"
#include "foundation/RunContext.h"

namespace swirlo::testing {

class FakeLog : public LogSink {
public:
    bool bOpen = true;
    std::vector<std::wstring> lines;  // stamped lines start with "T ", unstamped with "  "
    bool IsOpen() const override { return bOpen; }
    int LogLine(const wchar_t* a, const wchar_t* b, const wchar_t* c) override { return Add(L"T ", a, b, c); }
    int LogLineNoTime(const wchar_t* a, const wchar_t* b, const wchar_t* c) override { return Add(L"  ", a, b, c); }
    int WriteLogText(const wchar_t* t, bool) override { lines.push_back(std::wstring(L"R ") + t); return 1; }
    bool Has(const std::wstring& piece) const {
        return std::any_of(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.find(piece) != std::wstring::npos; });
    }

private:
    int Add(const wchar_t* mark, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
        if (!bOpen) return 0;
        lines.push_back(mark + std::wstring(a));
        if (b) lines.push_back(L"  " + std::wstring(b));
        if (c) lines.push_back(L"  " + std::wstring(c));
        return 1;
    }
};

class FakeRun : public RunContext {
public:
    int nProg = 0;
    std::vector<int> sent;        // positions sent to the bar
    long nPumps = 0;
    long nCancelAtPump = -1;      // the pump at which the user presses Stop
    bool bCancelled = false;
    unsigned long nTicks = 12345;
    ErrorRecord error;
    FakeLog log;
    bool bWithLog = false;
    std::vector<std::wstring> statuses;

    int GetProgress() const override { return nProg; }
    void SetProgress(int pos) override {
        if (pos != nProg || sent.empty()) sent.push_back(pos);
        nProg = pos;
    }
    void PumpMessages() override {
        ++nPumps;
        if (nPumps == nCancelAtPump) bCancelled = true;
    }
    bool IsCancelled() const override { return bCancelled; }
    ErrorRecord& Error() override { return error; }
    LogSink* Log() override { return bWithLog ? &log : nullptr; }
    unsigned long TickCount() const override { return nTicks; }
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
};

// A file in memory. failCreate / failAfterBytes make the next calls fail like a missing folder or
// a full disk.
class MemoryFile : public ByteFile {
public:
    std::wstring sPath;
    std::string bytes;
    int nCreates = 0, nWrites = 0;
    bool bOpen = false, bFailCreate = false;
    std::size_t nFailAfterBytes = static_cast<std::size_t>(-1);
    std::wstring sErrorText = L"There is not enough space on the disk.";
    bool bHasErrorText = true;

    bool Create(const std::wstring& path) override {
        ++nCreates;
        if (bFailCreate) return false;
        sPath = path;
        bytes.clear();
        bOpen = true;
        return true;
    }
    bool Write(const char* data, std::size_t n, std::size_t& written) override {
        ++nWrites;
        std::size_t room = nFailAfterBytes > bytes.size() ? nFailAfterBytes - bytes.size() : 0;
        written = n < room ? n : room;
        bytes.append(data, written);
        return written == n;
    }
    void Close() override { bOpen = false; }
    bool LastErrorText(std::wstring& text) override {
        text = bHasErrorText ? sErrorText : L"Error attempting to retrieve Windows' error message.";
        return bHasErrorText;
    }
};

}  // namespace swirlo::testing
