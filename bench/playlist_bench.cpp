#include <cstdio>
#include <cwchar>
#include <numeric>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "shuffle/playlist/PlaylistWriter.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "shuffle/playlist/PlaylistText.h"
#include "bench/QuietRun.h"

using namespace swirlo;
using namespace swirlo::bench;

namespace {

#ifdef _WIN32
const std::wstring kListPath = L"swirlo_bench_playlist.m3u8";
const std::wstring kBlocksPath = L"swirlo_bench_blocks.m3u8";
using PlatformFile = Win32File;
void Unlink(const std::wstring& p) { DeleteFileW(p.c_str()); }
#else
const std::wstring kListPath = L"/tmp/swirlo_bench_playlist.m3u8";
const std::wstring kBlocksPath = L"/tmp/swirlo_bench_blocks.m3u8";
std::string Narrow(const std::wstring& p) { return std::string(p.begin(), p.end()); }
void Unlink(const std::wstring& p) { ::unlink(Narrow(p).c_str()); }

// The same system calls the baseline uses: open and write.
class PlatformFile : public ByteFile {
public:
    bool Create(const std::wstring& sPath) override {
        m_fd = ::open(Narrow(sPath).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        return m_fd >= 0;
    }
    bool Write(const char* data, std::size_t n, std::size_t& written) override {
        ssize_t r = ::write(m_fd, data, n);
        written = r > 0 ? static_cast<std::size_t>(r) : 0;
        return written == n;
    }
    void Close() override {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    bool LastErrorText(std::wstring& text) override {
        text = L"error";
        return true;
    }

private:
    int m_fd = -1;
};
#endif

// Takes the bytes and drops them: the formatting alone.
class NullFile : public ByteFile {
public:
    bool Create(const std::wstring&) override { return true; }
    bool Write(const char*, std::size_t n, std::size_t& written) override {
        written = n;
        return true;
    }
    void Close() override {}
    bool LastErrorText(std::wstring&) override { return false; }
};

bool NoAnsi(std::wstring_view, std::string&, std::wstring&) { return false; }

std::string ReadBack(const std::wstring& path) {
    std::string bytes;
    FILE* f = nullptr;
#ifdef _WIN32
    f = _wfopen(path.c_str(), L"rb");
#else
    f = std::fopen(Narrow(path).c_str(), "rb");
#endif
    char buf[1 << 16];
    for (std::size_t r; f && (r = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, r);
    if (f) std::fclose(f);
    return bytes;
}

// The same bytes, prepared beforehand, written in 1 MB blocks with the same calls.
void WriteBlocks(const std::string& bytes) {
    PlatformFile out;
    out.Create(kBlocksPath);
    std::size_t written = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 1 << 20)
        if (!out.Write(bytes.data() + at, std::min<std::size_t>(1 << 20, bytes.size() - at), written)) break;
    out.Close();
}

}  // namespace

int main() {
    const std::size_t n = 1000000;
    CSongArray songs;
    for (std::size_t i = 0; i < n; ++i)
        songs.AddSong((L"C:\\Users\\someone\\Music\\Artist " + std::to_wstring(i % 5000) + L"\\Album \u00e9\\" +
                       std::to_wstring(i) + L".mp3")
                          .c_str(),
                      1);
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    PlaylistRequest req;
    req.sPath = kListPath;
    req.pSongs = &songs;
    req.pOrder = order.data();
    req.nFormat = kFormatM3u8;

    QuietRun ctx;
    double tWriter = 1e9, tBlocks = 1e9, tFormat = 1e9, tRead = 1e9;
    std::size_t nBytes = 0, nChars = 0;
    for (int round = 0; round < 9; ++round) {  // best of nine, the runs in turn, against the noise
        // Neither run pays for replacing the previous round's file.
        Unlink(kListPath);
        Unlink(kBlocksPath);
        tWriter = std::min(tWriter, Seconds([&] {
#ifdef _WIN32
            WritePlaylist(ctx, req);
#else
            PlatformFile file;
            WritePlaylistTo(ctx, file, NoAnsi, req);
#endif
        }));
        const std::string bytes = ReadBack(kListPath);
        nBytes = bytes.size();
        tBlocks = std::min(tBlocks, Seconds([&] { WriteBlocks(bytes); }));
        NullFile null;
        tFormat = std::min(tFormat, Seconds([&] { WritePlaylistTo(ctx, null, NoAnsi, req); }));
        tRead = std::min(tRead, Seconds([&] {
            for (std::size_t i = 0; i < n; ++i) nChars += std::wcslen(songs.GetSong(order[i]));
        }));
    }
    std::printf("%zu bytes; formatting alone %.1f ms; reading every path once (%zu-byte characters) %.1f ms\n", nBytes,
                tFormat * 1000, sizeof(wchar_t), tRead * 1000);
    std::printf("Writing a %zu-entry .m3u8: %.1f ms; the same bytes in 1 MB blocks: %.1f ms; ratio %.2f (target at most 2)\n",
                n, tWriter * 1000, tBlocks * 1000, tWriter / tBlocks);
    Unlink(kListPath);
    Unlink(kBlocksPath);
    return nChars == 0;
}
