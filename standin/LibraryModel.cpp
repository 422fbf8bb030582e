#include "standin/LibraryModel.h"

#include <cwctype>
#include <unordered_set>

namespace swirlo::standin {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// A whole decimal number of at most digits characters; empty text gives 0.
bool ParseNumber(std::string_view s, int maxDigits, long& out) {
    out = 0;
    if (s.size() > static_cast<std::size_t>(maxDigits)) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

bool ValidDate(long n) {
    long month = (n / 100) % 100, day = n % 100, year = n / 10000;
    return year >= 1900 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

// Each record's reader: null when the record is taken into the model, else why it is refused.
// entries holds the song numbers of each playlist, checked once all songs are known.
using Fields = std::vector<std::string_view>;

const char* ReadSong(const Fields& f, LibraryModel& model) {
    if (f.size() != 6) return "a song needs 5 fields: path, title, genre, rating, added";
    LibraryItem item;
    long rating = 0, added = 0;
    if (!DecodeUtf8(f[1], item.sPath) || !DecodeUtf8(f[2], item.sTitle) || !DecodeUtf8(f[3], item.sGenre))
        return "text is not UTF-8";
    if (item.sPath.empty()) return "a song needs a path";
    if (!ParseNumber(f[4], 2, rating)) return "rating must be a number from 0 to 99";
    if (!ParseNumber(f[5], 8, added) || (!f[5].empty() && !ValidDate(added))) return "added must be a date yyyymmdd";
    DecodeUtf8(f[4], item.sRating);
    item.nAdded = static_cast<int>(added);
    model.items.push_back(std::move(item));
    return nullptr;
}

const char* ReadPlaylist(const Fields& f, LibraryModel& model, std::vector<std::vector<long>>& entries) {
    if (f.size() != 4) return "a playlist needs 3 fields: title, static or auto, file path";
    if (f[2] != "static" && f[2] != "auto") return "playlist type must be static or auto";
    LibraryPlaylist pl;
    if (!DecodeUtf8(f[1], pl.sTitle) || !DecodeUtf8(f[3], pl.sFile)) return "text is not UTF-8";
    pl.bAuto = f[2] == "auto";
    model.playlists.push_back(std::move(pl));
    entries.emplace_back();
    return nullptr;
}

const char* ReadRecord(const Fields& f, LibraryModel& model, std::vector<std::vector<long>>& entries) {
    if (f[0] == "song") return ReadSong(f, model);
    if (f[0] == "playlist") return ReadPlaylist(f, model, entries);
    if (f[0] == "entry") {
        long n = 0;
        if (model.playlists.empty()) return "an entry must follow a playlist";
        if (f.size() != 2 || f[1].empty() || !ParseNumber(f[1], 9, n) || n < 1)
            return "an entry needs one song number from 1";
        entries.back().push_back(n);
        return nullptr;
    }
    if (f[0] == "fail") {
        std::wstring call;
        bool known = false;
        if (f.size() == 2 && DecodeUtf8(f[1], call))
            for (const wchar_t* c : kFailingCalls) known = known || call == c;
        if (!known) return "fail needs one call name the stand-in knows";
        model.failing.push_back(call);
        return nullptr;
    }
    if (f[0] == "delay") {
        std::wstring call;
        long ms = 0;
        const bool wellFormed = f.size() == 3 && DecodeUtf8(f[1], call) && !f[2].empty() && ParseNumber(f[2], 6, ms);
        bool known = call == L"*";
        for (const wchar_t* c : kFailingCalls) known = known || call == c;
        if (!wellFormed || !known)
            return "delay needs a call name the stand-in knows (or *) and a number of milliseconds";
        model.delays.emplace_back(call, static_cast<unsigned>(ms));
        return nullptr;
    }
    return "unknown record (song, playlist, entry, fail or delay expected)";
}

// Gives each playlist its songs and each playlist with a file its library item. Empty text, or why
// a playlist names a song that does not exist.
std::string LinkPlaylists(LibraryModel& model, const std::vector<std::vector<long>>& entries) {
    const std::size_t songs = model.items.size();
    for (std::size_t p = 0; p < model.playlists.size(); ++p) {
        LibraryPlaylist& pl = model.playlists[p];
        for (long n : entries[p]) {
            if (static_cast<std::size_t>(n) > songs)
                return "playlist " + std::to_string(p + 1) + " names song " + std::to_string(n) + " of " +
                       std::to_string(songs);
            pl.items.push_back(static_cast<std::uint32_t>(n - 1));
        }
        if (!pl.sFile.empty()) {
            LibraryItem file;
            file.sPath = pl.sFile;
            file.sTitle = pl.sTitle;
            file.bPlaylistFile = true;
            model.items.push_back(std::move(file));
        }
    }
    return {};
}

}  // namespace

bool DecodeUtf8(std::string_view in, std::wstring& out) {
    out.clear();
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp;
        int more;
        if (c < 0x80) { cp = c; more = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; more = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; more = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; more = 3; }
        else return false;
        for (int k = 1; k <= more; ++k) {
            if (i + k >= in.size()) return false;
            unsigned char t = static_cast<unsigned char>(in[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(more) + 1;
        if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    }
    return true;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
    return true;
}

void LibraryModel::Clear() {
    failing.clear();
    delays.clear();
    items.clear();
    playlists.clear();
    m_audio.clear();
    m_genres.clear();
}

int LibraryModel::Parse(std::string_view text) {
    Clear();
    sReason.clear();
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::vector<long>> entries;  // song numbers per playlist, checked at the end
    std::size_t lineNo = 0, pos = 0;
    bool sawHeader = false;
    auto fail = [&](const std::string& why, const std::wstring& where) {
        Clear();
        std::wstring w;
        DecodeUtf8(why, w);
        sReason = where + w;
        return 0;
    };
    auto failAtLine = [&](const std::string& why) {
        return fail(why, L"Library file line " + std::to_wstring(lineNo) + L": ");
    };
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        if (!sawHeader) {
            if (line != "SWIRLO-LIBRARY 1") return failAtLine("the first record must be \"SWIRLO-LIBRARY 1\"");
            sawHeader = true;
            continue;
        }
        if (const char* why = ReadRecord(SplitTabs(line), *this, entries)) return failAtLine(why);
    }
    if (!sawHeader) {
        lineNo = 1;
        return failAtLine("the file is empty");
    }
    const std::size_t songs = items.size();
    const std::string why = LinkPlaylists(*this, entries);
    if (!why.empty()) return fail(why, L"Library file: ");
    Index();
    sReason = std::to_wstring(songs) + L" songs and " + std::to_wstring(playlists.size()) + L" playlists";
    return 1;
}

bool LibraryModel::Fails(std::wstring_view call) const {
    for (const auto& c : failing)
        if (c == call) return true;
    return false;
}

unsigned LibraryModel::DelayOf(std::wstring_view call) const {
    unsigned ms = 0;
    for (const auto& [name, delay] : delays)
        if (name == L"*" || name == call) ms += delay;
    return ms;
}

void LibraryModel::Index() {
    std::unordered_set<std::wstring> seen;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (items[i].bPlaylistFile) continue;
        m_audio.push_back(i);
        if (seen.insert(Lower(items[i].sGenre)).second) m_genres.push_back(items[i].sGenre);
    }
}

std::vector<std::uint32_t> LibraryModel::ByGenre(std::wstring_view genre) const {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i : m_audio)
        if (EqualNoCase(items[i].sGenre, genre)) out.push_back(i);
    return out;
}

std::vector<std::uint32_t> LibraryModel::ByName(std::wstring_view name) const {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < items.size(); ++i)
        if (EqualNoCase(items[i].sTitle, name)) out.push_back(i);
    return out;
}

std::wstring LibraryModel::ItemInfo(const LibraryItem& it, std::wstring_view name) {
    auto datePart = [&](int div, int mod) {
        return it.nAdded ? std::to_wstring((it.nAdded / div) % mod) : std::wstring();
    };
    if (EqualNoCase(name, L"SourceURL")) return it.sPath;
    if (EqualNoCase(name, L"MediaType")) return it.bPlaylistFile ? L"playlist" : L"audio";
    if (EqualNoCase(name, L"Title") || EqualNoCase(name, L"Name")) return it.sTitle;
    if (it.bPlaylistFile) return std::wstring();
    if (EqualNoCase(name, L"UserRating")) return it.sRating;
    if (EqualNoCase(name, L"WM/Genre") || EqualNoCase(name, L"Genre")) return it.sGenre;
    if (EqualNoCase(name, L"AcquisitionTimeYear")) return datePart(10000, 100000);
    if (EqualNoCase(name, L"AcquisitionTimeMonth")) return datePart(100, 100);
    if (EqualNoCase(name, L"AcquisitionTimeDay")) return datePart(1, 100);
    return std::wstring();
}

}  // namespace swirlo::standin
