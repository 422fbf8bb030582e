// Song array speed: 1,000,000 distinct paths of about 80 characters added, then each looked up
// once, against std::unordered_map<std::wstring,int> doing the same in the same run.
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "shuffle/core/SongArray.h"

using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

int main() {
    const int n = 1000000;
    std::vector<std::wstring> paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i) {
        std::wstring artist = L"Artist Name " + std::to_wstring(i % 4099);
        std::wstring album = L"Album Title " + std::to_wstring(i % 97);
        paths.push_back(L"C:\\Users\\listener\\Music\\" + artist + L"\\" + album + L"\\" +
                        std::to_wstring(i % 23) + L" Track " + std::to_wstring(i) + L".mp3");
    }
    double best[2] = {1e9, 1e9};
    long long check = 0;
    for (int round = 0; round < 3; ++round) {
        auto t0 = Clock::now();
        {
            swirlo::CSongArray a;
            for (const auto& p : paths) a.AddOrIncrement(p.c_str(), 1);
            for (const auto& p : paths) check += a.FindSong(p.c_str());
        }
        auto t1 = Clock::now();
        {
            std::unordered_map<std::wstring, int> m;
            for (int i = 0; i < n; ++i) {
                auto it = m.find(paths[i]);
                if (it == m.end()) m.emplace(paths[i], i);
            }
            for (const auto& p : paths) check += m.find(p)->second;
        }
        auto t2 = Clock::now();
        best[0] = std::min(best[0], Seconds(t0, t1));
        best[1] = std::min(best[1], Seconds(t1, t2));
    }
    std::printf("song array: add+lookup of %d paths %.3f s; unordered_map %.3f s; ratio %.2fx (target <= 1.5x) [%lld]\n",
                n, best[0], best[1], best[0] / best[1], check % 7);
    return 0;
}
