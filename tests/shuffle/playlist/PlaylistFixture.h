// Songs in their listed order, and a request to write them as a playlist.
#pragma once
#include <numeric>
#include <string>
#include <vector>

#include "shuffle/playlist/PlaylistText.h"

namespace swirlo::testing {

struct Playlist {
    explicit Playlist(const std::vector<std::wstring>& paths) : order(paths.size()) {
        for (const auto& s : paths) songs.AddSong(s.c_str(), 1);
        std::iota(order.begin(), order.end(), 0u);
    }
    CSongArray songs;
    std::vector<std::uint32_t> order;
    PlaylistRequest Request(int format, int limit = -1, const std::wstring& path = L"C:\\out\\list.m3u8") {
        PlaylistRequest r;
        r.sPath = path;
        r.pSongs = &songs;
        r.pOrder = order.data();
        r.nFormat = format;
        r.nLimit = limit;
        r.sTitle = L"Mix";
        r.sVersion = L"3.21";
        return r;
    }
};

}  // namespace swirlo::testing
