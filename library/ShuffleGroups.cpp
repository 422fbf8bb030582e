#include "library/ShuffleGroups.h"

#include <cwchar>
#include <sstream>

#include "foundation/ErrorText.h"

namespace swirlo {

std::wstring FrequencyText(const int freq[6]) {
    if (freq[0] == -1) return L"Exclude songs from output playlist";
    if (freq[0] > 0) return FormatW(L" %d  (Same for all song ratings)    ", freq[0]);
    std::wstring text = FormatW(L"%d", freq[5]);
    for (int stars = 4; stars >= 1; --stars)
        text += (freq[stars] < 10 ? L"           " : L"         ") + FormatW(L"%d", freq[stars]);
    return text;
}

namespace {

constexpr wchar_t kHeader[] = L"SWIRLO-GROUPS 1";

// Names may hold anything but the field and line separators, which are escaped.
std::wstring Escape(const std::wstring& s) {
    std::wstring out;
    for (wchar_t c : s) {
        if (c == L'\\') out += L"\\\\";
        else if (c == L'\t') out += L"\\t";
        else if (c == L'\n') out += L"\\n";
        else if (c == L'\r') out += L"\\r";
        else out += c;
    }
    return out;
}

std::wstring Unescape(const std::wstring& s) {
    std::wstring out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        wchar_t c = s[++i];
        out += c == L't' ? L'\t' : c == L'n' ? L'\n' : c == L'r' ? L'\r' : c;
    }
    return out;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> f;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find(L'\t', start);
        f.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return f;
        start = tab + 1;
    }
}

bool ToInt(const std::wstring& s, int& v) {
    if (s.empty()) return false;
    wchar_t* end = nullptr;
    long n = std::wcstol(s.c_str(), &end, 10);
    if (*end != 0 || n < -1000000 || n > 1000000) return false;
    v = static_cast<int>(n);
    return true;
}

}  // namespace

std::wstring FormatGroups(const std::vector<const ShuffleGroup*>& groups) {
    std::wstring text = kHeader;
    text += L"\r\n";
    for (const ShuffleGroup* g : groups) {
        text += FormatW(L"group\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t", g->nKind, g->freq[0], g->freq[1], g->freq[2],
                        g->freq[3], g->freq[4], g->freq[5], g->nDays, g->bIgnoreRepeats ? 1 : 0);
        text += Escape(g->sName) + L"\r\nselect";
        for (int i : g->listboxSel) text += FormatW(L"\t%d", i);
        text += L"\r\n";
        for (std::size_t i = 0; i < g->playlists.size(); ++i)
            text += FormatW(L"playlist\t%d\t", i < g->playlistIdx.size() ? g->playlistIdx[i] : -1) +
                    Escape(g->playlists[i]) + L"\r\n";
        for (const std::wstring& genre : g->genres) text += L"genre\t" + Escape(genre) + L"\r\n";
    }
    return text;
}

bool ParseGroups(const std::wstring& text, std::vector<ShuffleGroup>& groups, std::wstring& error) {
    std::vector<ShuffleGroup> out;
    std::wistringstream in(text);
    std::wstring line;
    int nLine = 0;
    auto bad = [&]() {
        error = FormatW(L"Line %d of the song groups file is not understood", nLine);
        return false;
    };
    while (std::getline(in, line)) {
        ++nLine;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (nLine == 1) {
            if (line != kHeader) return bad();
            continue;
        }
        if (line.empty()) continue;
        std::vector<std::wstring> f = Fields(line);
        if (f[0] == L"group") {
            ShuffleGroup g;
            int ignore = 0;
            bool ok = f.size() == 11 && ToInt(f[1], g.nKind) && (g.nKind == 1 || g.nKind == 2) &&
                      ToInt(f[8], g.nDays) && ToInt(f[9], ignore);
            for (int i = 0; ok && i < 6; ++i) ok = ToInt(f[2 + i], g.freq[i]);
            if (!ok) return bad();
            g.bIgnoreRepeats = ignore != 0;
            g.sName = Unescape(f[10]);
            out.push_back(std::move(g));
            continue;
        }
        if (out.empty()) return bad();
        ShuffleGroup& g = out.back();
        if (f[0] == L"select") {
            for (std::size_t i = 1; i < f.size(); ++i) {
                int v = 0;
                if (!ToInt(f[i], v)) return bad();
                g.listboxSel.push_back(v);
            }
        } else if (f[0] == L"playlist" && f.size() == 3) {
            int idx = 0;
            if (!ToInt(f[1], idx)) return bad();
            g.playlistIdx.push_back(idx);
            g.playlists.push_back(Unescape(f[2]));
        } else if (f[0] == L"genre" && f.size() == 2) {
            g.genres.push_back(Unescape(f[1]));
        } else {
            return bad();
        }
    }
    if (nLine == 0) return bad();
    groups = std::move(out);
    return true;
}

}  // namespace swirlo
