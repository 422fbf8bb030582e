#include "shuffle/page/ShuffleGroups.h"

#include <array>
#include <cwchar>
#include <optional>

#include "foundation/ErrorText.h"

namespace swirlo {

namespace {

constexpr wchar_t kHeader[] = L"SWIRLO-GROUPS 2";
constexpr wchar_t kHeaderNoEnds[] = L"SWIRLO-GROUPS 1";  // records without their "end" line

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

std::wstring FormatGroups(const std::vector<const SongSelection*>& groups) {
    std::wstring text = kHeader;
    text += L"\r\n";
    for (const SongSelection* g : groups) {
        const std::array<int, 6>& f = g->Frequencies();
        text += FormatW(L"group\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t", g->Kind(), f[0], f[1], f[2], f[3], f[4], f[5],
                        g->Days(), g->IgnoreRepeats() ? 1 : 0);
        text += Escape(g->Name()) + L"\r\nselect";
        for (int i : g->ListboxSelection()) text += FormatW(L"\t%d", i);
        text += L"\r\n";
        const std::vector<int>& idx = g->PlaylistIndexes();
        for (std::size_t i = 0; i < g->PlaylistNames().size(); ++i)
            text += FormatW(L"playlist\t%d\t", i < idx.size() ? idx[i] : -1) + Escape(g->PlaylistNames()[i]) + L"\r\n";
        for (const std::wstring& genre : g->GenreNames()) text += L"genre\t" + Escape(genre) + L"\r\n";
        text += L"end\r\n";
    }
    return text;
}

namespace {

// A group as it is read, before its record is made.
struct ReadGroup {
    int nKind = 1;
    std::array<int, 6> freq{};
    int nDays = 0;
    bool bIgnore = false;
    std::wstring sName;
    std::vector<int> sel, idx;
    std::vector<std::wstring> playlists, genres;
};

// A "group" line's fields into a new group; false when one of them is not understood.
bool ReadGroupLine(const std::vector<std::wstring>& f, ReadGroup& g) {
    int ignore = 0;
    bool ok = f.size() == 11 && ToInt(f[1], g.nKind) && (g.nKind == kSelectAllSongs || g.nKind == kSelectListed) &&
              ToInt(f[8], g.nDays) && ToInt(f[9], ignore);
    for (int i = 0; ok && i < 6; ++i) ok = ToInt(f[2 + i], g.freq[i]) && g.freq[i] >= (i ? 0 : -1) && g.freq[i] <= 99;
    ok = ok && g.nDays >= 0 && g.nDays <= 999;
    g.bIgnore = ignore != 0;
    if (f.size() > 10) g.sName = Unescape(f[10]);
    return ok;
}

// A line inside a group (select, playlist, genre) into the group; false when it is not understood.
bool ReadDetailLine(const std::vector<std::wstring>& f, ReadGroup& g) {
    int v = 0;
    if (f[0] == L"select") {
        bool ok = true;
        for (std::size_t i = 1; i < f.size(); ++i) {
            if (!ToInt(f[i], v)) ok = false;
            g.sel.push_back(v);
        }
        return ok;
    }
    if (f[0] == L"playlist" && f.size() == 3 && ToInt(f[1], v)) {
        g.idx.push_back(v);
        g.playlists.push_back(Unescape(f[2]));
        return true;
    }
    if (f[0] == L"genre" && f.size() == 2) {
        g.genres.push_back(Unescape(f[1]));
        return true;
    }
    return false;
}

// The records of a file, line by line after its first one.
struct GroupsReader {
    GroupsReader(bool bEnds, std::vector<std::wstring>& skippedOut) : ends(bEnds), skipped(skippedOut) {}
    bool ends;  // the file's records close with an "end" line
    std::vector<std::wstring>& skipped;
    std::vector<ReadGroup> read;
    std::optional<ReadGroup> cur;  // the record being read
    bool bad = false;
    int nLine = 1, nStart = 0;

    // A record counts when every line of it was understood and, in files that have them, its "end"
    // line came. Lines outside any record are named by the first of them.
    void Finish(bool ended) {
        if (cur && !bad && (ended || !ends)) read.push_back(std::move(*cur));
        else if (cur || bad)
            skipped.push_back(cur ? FormatW(L"\"%ls\" (line %d)", cur->sName.c_str(), nStart) : FormatW(L"line %d", nStart));
        cur.reset();
        bad = false;
    }

    // whole: the line came with its line break.
    void Take(const std::wstring& line, bool whole) {
        std::vector<std::wstring> f = Fields(line);
        if (f[0] == L"group" || (!cur && !bad)) {
            Finish(false);
            nStart = nLine;
        }
        if (!whole && line != L"end") bad = true;
        if (f[0] == L"group") {
            ReadGroup g;
            const bool ok = ReadGroupLine(f, g);
            cur = std::move(g);
            bad = bad || !ok;
        } else if (!cur) {
            bad = true;
        } else if (f[0] == L"end" && f.size() == 1 && ends) {
            Finish(true);
        } else if (!ReadDetailLine(f, *cur)) {
            bad = true;
        }
    }
};

}  // namespace

bool ParseGroups(const std::wstring& text, std::vector<std::unique_ptr<SongSelection>>& groups,
                 std::vector<std::wstring>& skipped, std::wstring& error) {
    std::size_t pos = !text.empty() && text[0] == 0xFEFF ? 1 : 0;  // as a text editor may add
    std::optional<GroupsReader> reader;  // made once the first line is known
    int nLine = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find(L'\n', pos);
        // Every line is written with its line break: a last line without one was cut short.
        const bool whole = eol != std::wstring::npos;
        std::wstring line = text.substr(pos, whole ? eol - pos : std::wstring::npos);
        pos = whole ? eol + 1 : text.size();
        ++nLine;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!reader) {
            if (!whole || (line != kHeader && line != kHeaderNoEnds)) {
                error = L"The first line of the file is not that of a song groups file";
                return false;
            }
            reader.emplace(line == kHeader, skipped);
            continue;
        }
        reader->nLine = nLine;
        if (line.empty() && whole) continue;
        reader->Take(line, whole);
    }
    if (!reader) {
        error = L"The file is empty";
        return false;
    }
    reader->Finish(false);
    groups.clear();
    for (ReadGroup& g : reader->read)
        groups.push_back(std::make_unique<SongSelection>(g.nKind, g.freq, g.nDays, g.bIgnore, std::move(g.sName),
                                                         std::move(g.sel), std::move(g.idx), std::move(g.playlists),
                                                         std::move(g.genres)));
    return true;
}

}  // namespace swirlo
