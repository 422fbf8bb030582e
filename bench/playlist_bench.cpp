#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#include <numeric>
#include <string>
#include <vector>

#include "tests/shuffle/QuietRun.h"
#include "library/PlaylistText.h"

using namespace swirlo;
using namespace swirlo::bench;

namespace {

// The same system calls the baseline uses: open and write.
class PosixFile : public ByteFile {
public:
    bool Create(const std::wstring& sPath) override {
        std::string p(sPath.begin(), sPath.end());
        m_fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

// Takes the bytes and drops them: the formatting alone.
class NullFile : public ByteFile {
public:
    bool Create(const std::wstring&) override { return true; }
    bool Write(const char*, std::size_t n, std::size_t& written) override {
        written = n;
        return true;
    }
    void Close() override {}
    bool LastErrorText(std::wstring& text) override { return false; }
};

bool NoAnsi(std::wstring_view, std::string&, std::wstring&) { return false; }

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
    req.sPath = L"/tmp/swirlo_bench_playlist.m3u8";
    req.pSongs = &songs;
    req.pOrder = order.data();
    req.nFormat = kFormatM3u8;

    QuietRun ctx;
    PosixFile file;
    double tWriter = 0, tBlocks = 0;
    for (int round = 0; round < 5; ++round) {  // best of five against the noise
        // Neither run pays for truncating the previous round's file.
        ::unlink("/tmp/swirlo_bench_playlist.m3u8");
        ::unlink("/tmp/swirlo_bench_blocks.m3u8");
        double t = Seconds([&] { WritePlaylistTo(ctx, file, NoAnsi, req); });
        tWriter = round ? std::min(tWriter, t) : t;

        // The same bytes, prepared beforehand, written in 1 MB blocks.
        std::string bytes;
        int fd = ::open("/tmp/swirlo_bench_playlist.m3u8", O_RDONLY);
        char buf[1 << 16];
        for (ssize_t r; (r = ::read(fd, buf, sizeof buf)) > 0;) bytes.append(buf, r);
        ::close(fd);
        t = Seconds([&] {
            int out = ::open("/tmp/swirlo_bench_blocks.m3u8", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            for (std::size_t at = 0; at < bytes.size(); at += 1 << 20)
                if (::write(out, bytes.data() + at, std::min<std::size_t>(1 << 20, bytes.size() - at)) < 0) break;
            ::close(out);
        });
        tBlocks = round ? std::min(tBlocks, t) : t;
        if (round == 4) std::printf("%zu bytes\n", bytes.size());
    }
    NullFile null;
    double tFormat = 0;
    for (int round = 0; round < 5; ++round) {
        double t = Seconds([&] { WritePlaylistTo(ctx, null, NoAnsi, req); });
        tFormat = round ? std::min(tFormat, t) : t;
    }
    double tRead = 0;
    std::size_t nChars = 0;
    for (int round = 0; round < 5; ++round) {
        double t = Seconds([&] {
            for (std::size_t i = 0; i < n; ++i) nChars += std::wcslen(songs.GetSong(order[i]));
        });
        tRead = round ? std::min(tRead, t) : t;
    }
    std::printf("Formatting alone: %.1f ms; reading every path once (%zu-byte characters): %.1f ms (%zu)\n",
                tFormat * 1000, sizeof(wchar_t), tRead * 1000, nChars / 5);
    std::printf("Writing a %zu-entry .m3u8: %.1f ms; the same bytes in 1 MB blocks: %.1f ms; ratio %.2f (target at most 2)\n",
                n, tWriter * 1000, tBlocks * 1000, tWriter / tBlocks);
    ::unlink("/tmp/swirlo_bench_playlist.m3u8");
    ::unlink("/tmp/swirlo_bench_blocks.m3u8");
    return 0;
}
