// What the end-to-end tests expect of a written playlist, worked out from the library file on its
// own terms (never through the program's code): the library file read here, the plays each song
// must have, the groups file as the page writes it, and the entries of a written playlist.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>
#include <wrl/client.h>

#include <ctime>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/ProgramDriver.h"
#include "tests/foundation/WinTestSupport.h"

namespace swirlo::test {

inline std::wstring Wide(const std::string& s, UINT cp = CP_UTF8) {
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<std::size_t>(MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()))));
    return w;
}

// The library file, read here on its own terms.
struct Song { std::wstring path, genre; int rating = 0, added = 0; };
// The songs and each playlist's title with the song indexes of its entries.
struct Library { std::vector<Song> songs; std::map<std::wstring, std::vector<int>> playlists; };
inline Library ReadLibrary(const std::string& text) {
    Library lib;
    std::istringstream in(text);
    std::string line;
    std::vector<int>* current = nullptr;
    while (std::getline(in, line)) {
        std::vector<std::wstring> f;
        std::wistringstream fields(Wide(line));
        for (std::wstring field; std::getline(fields, field, L'\t');) f.push_back(field);
        f.resize(6);  // empty trailing fields
        if (f[0] == L"song") lib.songs.push_back({f[1], f[3], _wtoi(f[4].c_str()), _wtoi(f[5].c_str())});
        if (f[0] == L"playlist") current = &lib.playlists[f[1]];
        if (f[0] == L"entry" && current) current->push_back(_wtoi(f[1].c_str()) - 1);
    }
    return lib;
}

// A group: same-for-all count (0 by rating, -1 exclusion), counts by stars, days, ignore-repeats and
// what it holds.
struct Group { int same; int freq[6]; int days; bool ignore; std::vector<std::wstring> genres, playlists; };

// The plays every song must have: ratings to stars, the date filter, the merge, the exclusion.
inline std::map<std::wstring, int> ExpectedPlays(const Library& lib, const std::vector<Group>& groups) {
    std::map<std::wstring, int> work;
    std::set<std::wstring> excluded;
    for (const Group& g : groups) {
        std::time_t back = std::time(nullptr) - static_cast<std::time_t>(g.days) * 86400;
        std::tm* t = std::localtime(&back);
        int minDate = g.days ? (t->tm_year + 1900) * 10000 + (t->tm_mon + 1) * 100 + t->tm_mday : 0;
        std::vector<Song> items = g.genres.empty() && g.playlists.empty() ? lib.songs : std::vector<Song>();
        for (const std::wstring& genre : g.genres)
            for (const Song& s : lib.songs)
                if (s.genre == genre) items.push_back(s);
        for (const std::wstring& p : g.playlists)
            for (int i : lib.playlists.at(p)) items.push_back(lib.songs[static_cast<std::size_t>(i)]);
        std::map<std::wstring, int> mine;
        for (const Song& s : items) {
            if (s.added < minDate) continue;
            if (g.same < 0) {
                excluded.insert(s.path);
                continue;
            }
            int r = s.rating, stars = r == 0 ? 2 : r <= 12 ? 1 : r <= 37 ? 2 : r <= 62 ? 3 : r <= 86 ? 4 : 5;
            int c = g.same > 0 ? g.same : g.freq[stars];
            if (c == 0 || (mine.count(s.path) && g.ignore)) continue;
            if (mine[s.path] + c <= 255) mine[s.path] += c;
        }
        for (auto& [p, c] : mine)
            if (work[p] + c <= 255) work[p] += c;
    }
    for (const std::wstring& p : excluded) work.erase(p);
    return work;
}

// The groups file the page keeps between runs, written as the page writes it.
inline void SeedGroups(const std::vector<Group>& groups) {
    std::wstring t = L"SWIRLO-GROUPS 1\r\n";
    for (const Group& g : groups) {
        wchar_t head[200];
        swprintf(head, 200, L"group\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\tgroup\r\nselect\r\n",
                 g.genres.empty() && g.playlists.empty() ? 1 : 2, g.same, g.freq[1], g.freq[2], g.freq[3], g.freq[4],
                 g.freq[5], g.days, g.ignore ? 1 : 0);
        t += head;
        for (const std::wstring& p : g.playlists) t += L"playlist\t0\t" + p + L"\r\n";
        for (const std::wstring& genre : g.genres) t += L"genre\t" + genre + L"\r\n";
    }
    WriteBytes(ProgramDriver::ConfigDir() + L"shuffle groups.txt", std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2));
}

// The entries of a written playlist, as UTF-16 paths.
inline std::vector<std::wstring> Entries(const std::wstring& path, int format) {
    std::vector<std::wstring> out;
    if (format == 0) {  // .wpl through the system's XML parser
        Microsoft::WRL::ComPtr<IXMLDOMDocument> doc;
        Microsoft::WRL::ComPtr<IXMLDOMNodeList> nodes;
        Microsoft::WRL::ComPtr<IXMLDOMNode> n;
        VARIANT_BOOL ok = VARIANT_FALSE;
        VARIANT file{};
        file.vt = VT_BSTR;
        file.bstrVal = SysAllocString(path.c_str());
        CLSID clsid{};
        if (SUCCEEDED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &clsid)) &&
            SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, reinterpret_cast<void**>(doc.GetAddressOf()))))
            doc->load(file, &ok);
        VariantClear(&file);
        EXPECT_EQ(ok, VARIANT_TRUE) << "not well-formed XML";
        swirlo::UniqueBstr xpath(SysAllocString(L"/smil/body/seq/media/@src"));
        if (ok == VARIANT_TRUE && SUCCEEDED(doc->selectNodes(xpath.Get(), &nodes)))
            for (BSTR v = nullptr; nodes->nextNode(&n) == S_OK && n && SUCCEEDED(n->get_text(&v)); n.Reset(), SysFreeString(v)) out.push_back(v);
        return out;
    }
    std::istringstream in(ReadBytes(path));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "#EXTM3U\r");
    while (std::getline(in, line)) out.push_back(Wide(line.substr(0, line.size() - 1), format == 1 ? CP_ACP : CP_UTF8));
    return out;
}

// Every song's plays as many times as expected, and the spacing the method promises: no two plays of
// a song closer than minSep (method 0: min(N, segment / 3)) unless the notice counted them.
inline void CheckPlaylist(const std::vector<std::wstring>& list, std::map<std::wstring, int> expected, int format, int nSep,
                   int shortfalls, bool even = true) {
    if (format == 1)  // the ANSI file holds what the code page holds of each path
        for (auto it = expected.begin(); it != expected.end();) {
            char buf[1024];
            int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, it->first.c_str(), -1, buf, 1024, nullptr, nullptr);
            std::wstring ansi = Wide(std::string(buf, static_cast<std::size_t>(n > 0 ? n - 1 : 0)), CP_ACP);
            int c = it->second;
            it = expected.erase(it);
            expected[ansi] += c;
        }
    std::map<std::wstring, std::vector<int>> at;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) at[list[static_cast<std::size_t>(i)]].push_back(i);
    ASSERT_EQ(at.size(), expected.size()) << list.size() << " entries";
    int close = 0;
    for (auto& [p, pos] : at) {
        ASSERT_EQ(static_cast<int>(pos.size()), expected[p]) << p;
        int minSep = even ? std::min(nSep, static_cast<int>(list.size() / pos.size()) / 3) : nSep;
        for (std::size_t k = 1; k < pos.size(); ++k) close += pos[k] - pos[k - 1] <= minSep ? 1 : 0;
    }
    EXPECT_LE(close, shortfalls);
}

}  // namespace swirlo::test
