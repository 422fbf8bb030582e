#include "shuffle/page/SongSelection.h"

#include <algorithm>

#include "foundation/ErrorText.h"

namespace swirlo {

namespace {

// One part of a tooltip (the playlists or the genres): its heading and its items, each on a line.
struct TipPart {
    std::wstring heading;
    const std::vector<std::wstring>* items;
    const wchar_t* noteFormat;

    std::size_t ItemLength(std::size_t i) const { return 2 + (*items)[i].size(); }
    std::wstring Note(std::size_t left) const { return FormatW(noteFormat, static_cast<int>(left)); }
    std::size_t Whole() const {
        std::size_t n = heading.size();
        for (std::size_t i = 0; i < items->size(); ++i) n += ItemLength(i);
        return n;
    }
    // The shortest form: the heading, the first item and, when more follow, their note.
    std::size_t Least() const {
        if (items->empty()) return 0;
        return heading.size() + ItemLength(0) + (items->size() > 1 ? Note(items->size() - 1).size() : 0);
    }
    // As many items as fit in budget characters, the rest counted in the note. The first item is
    // always shown: the caller has made room for the shortest form.
    std::wstring Build(std::size_t budget) const {
        std::wstring text = heading;
        if (items->empty()) return std::wstring();
        if (Whole() <= budget) {
            for (const std::wstring& s : *items) text += L"\r\n" + s;
            return text;
        }
        std::size_t used = heading.size(), shown = 0;
        for (std::size_t k = 0; k < items->size(); ++k) {
            if (used + ItemLength(k) + Note(items->size() - k - 1).size() > budget) break;
            used += ItemLength(k);
            shown = k + 1;
        }
        shown = std::max<std::size_t>(shown, 1);
        for (std::size_t k = 0; k < shown; ++k) text += L"\r\n" + (*items)[k];
        return text + Note(items->size() - shown);
    }
};

}  // namespace

std::wstring SelectionName(int kind, int days, bool ignoreRepeats, bool exclusion,
                           const std::vector<std::wstring>& playlists, const std::vector<std::wstring>& genres) {
    std::wstring name;
    if (kind == kSelectAllSongs) {
        name = L"ALL SONGS";
        if (days != 0) name += FormatW(L" (New added in last %d days)", days);
        return name.substr(0, kSelectionNameMax);
    }
    const int P = static_cast<int>(playlists.size()), G = static_cast<int>(genres.size());
    const bool single = P + G == 1;
    if (single) {
        name = P ? playlists[0] : genres[0];
    } else {
        if (P > 0) name += FormatW(L"%d Playlist%ls", P, P > 1 ? L"s" : L"");
        if (P > 0 && G > 0) name += L" and ";
        if (G > 0) name += FormatW(L"%d Genre%ls", G, G > 1 ? L"s" : L"");
    }
    const bool deduped = ignoreRepeats && !exclusion;
    if (days != 0 || deduped) {
        name += L" (";
        if (days != 0) name += FormatW(L"last %d days", days);
        if (days != 0 && deduped) name += L", ";
        if (deduped) name += L"deduped";
        name += L")";
    }
    if (single) name += P ? L" <Playlist>" : L" <Genre>";
    return name.substr(0, kSelectionNameMax);
}

std::wstring BuildSelectionTooltip(const std::wstring& name, const std::vector<std::wstring>& playlists,
                                   const std::vector<std::wstring>& genres, int maxChars) {
    const bool both = !playlists.empty() && !genres.empty();
    TipPart pl{both ? L"\r\n\r\nPlaylists:" : L"\r\n", &playlists, L"\r\n[and %d playlists not shown]"};
    TipPart ge{both ? L"\r\n\r\nGenres:" : L"\r\n", &genres, L"\r\n[and %d genres not shown]"};
    if (playlists.empty()) pl.heading.clear();
    if (genres.empty()) ge.heading.clear();
    const std::size_t max = maxChars > 0 ? static_cast<std::size_t>(maxChars) : 0;
    if (name.size() + pl.Whole() + ge.Whole() <= max) return name + pl.Build(max) + ge.Build(max);
    if (name.size() + pl.Least() + ge.Least() > max) return std::wstring();
    // The playlists take at most 60% when the genres need 40% or more, else what the genres leave;
    // either way no less than their shortest form and no more than the genres' shortest form allows.
    std::size_t plLimit = ge.Whole() * 10 >= max * 4 ? max * 6 / 10 : max - std::min(max, ge.Whole());
    plLimit = std::max(plLimit, name.size() + pl.Least());
    plLimit = std::min(plLimit, max - ge.Least());
    std::wstring text = name + pl.Build(plLimit - name.size());
    return text + ge.Build(max - text.size());
}

SongSelection::SongSelection(int kind, const std::array<int, 6>& frequencies, int days, bool ignoreRepeats,
                             std::wstring name, std::vector<int> listboxSelection, std::vector<int> playlistIndexes,
                             std::vector<std::wstring> playlistNames, std::vector<std::wstring> genreNames)
    : m_nKind(kind),
      m_freq(frequencies),
      m_nDays(days),
      m_bIgnoreRepeats(ignoreRepeats),
      m_sName(std::move(name)),
      m_listboxSel(std::move(listboxSelection)),
      m_playlistIdx(std::move(playlistIndexes)),
      m_playlists(std::move(playlistNames)),
      m_genres(std::move(genreNames)) {
    if (m_sName.size() > static_cast<std::size_t>(kSelectionNameMax)) m_sName.resize(kSelectionNameMax);
    if (ChosenCount() >= 2) m_sTooltip = BuildSelectionTooltip(m_sName, m_playlists, m_genres, kTooltipMaxChars);
}

const std::wstring& SongSelection::Tooltip(int maxChars) {
    static const std::wstring kNone;
    if (ChosenCount() < 2) return kNone;
    if (maxChars >= kTooltipMaxChars) return m_sTooltip;
    if (maxChars != m_nShortMax) {
        m_sShortTooltip = BuildSelectionTooltip(m_sName, m_playlists, m_genres, maxChars);
        m_nShortMax = maxChars;
    }
    return m_sShortTooltip;
}

std::wstring SongSelection::FrequencyText() const {
    if (IsExclusion()) return L"Exclude songs from output playlist";
    if (m_freq[0] > 0) return FormatW(L" %d  (Same for all song ratings)    ", m_freq[0]);
    std::wstring text = FormatW(L"%d", m_freq[5]);
    for (int stars = 4; stars >= 1; --stars)
        text += std::wstring(m_freq[stars] < 10 ? 11 : 9, L' ') + FormatW(L"%d", m_freq[stars]);
    return text;
}

}  // namespace swirlo
