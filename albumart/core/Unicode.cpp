#include "albumart/core/Unicode.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace swirlo {

namespace {

struct LowerRun {
    char32_t first, last;
    std::int32_t delta;
    std::uint8_t stride;  // every stride-th code point from first maps, none in between
};
struct ClassRun {
    char32_t first, last;
    std::uint8_t value;
};
struct Decomposition {
    char32_t cp;
    std::uint16_t offset;
    std::uint8_t length;
};
struct Composition {
    char32_t first, second, composite;
};

#include "albumart/core/UnicodeTables.inc"

// The run of a sorted table that may hold c: the last one starting at or before it.
template <class Run, std::size_t N>
const Run* RunOf(const Run (&table)[N], char32_t c) {
    auto it = std::upper_bound(std::begin(table), std::end(table), c,
                               [](char32_t v, const Run& r) { return v < r.first; });
    if (it == std::begin(table)) return nullptr;
    --it;
    return c <= it->last ? &*it : nullptr;
}

std::uint8_t CombiningClass(char32_t c) {
    const ClassRun* r = RunOf(kCombiningRuns, c);
    return r ? r->value : 0;
}

// Hangul syllables decompose and compose by arithmetic rather than by table.
constexpr char32_t kSBase = 0xAC00, kLBase = 0x1100, kVBase = 0x1161, kTBase = 0x11A7;
constexpr char32_t kLCount = 19, kVCount = 21, kTCount = 28, kNCount = kVCount * kTCount, kSCount = kLCount * kNCount;

void Decompose(char32_t c, std::u32string& out) {
    if (c >= kSBase && c < kSBase + kSCount) {
        char32_t s = c - kSBase;
        out += kLBase + s / kNCount;
        out += kVBase + s % kNCount / kTCount;
        if (s % kTCount) out += kTBase + s % kTCount;
        return;
    }
    auto it = std::lower_bound(std::begin(kDecompositions), std::end(kDecompositions), c,
                               [](const Decomposition& d, char32_t v) { return d.cp < v; });
    if (it != std::end(kDecompositions) && it->cp == c) out.append(kDecompositionPool + it->offset, it->length);
    else out += c;
}

// The primary composite of two code points, or 0.
char32_t Compose(char32_t a, char32_t b) {
    if (a >= kLBase && a < kLBase + kLCount && b >= kVBase && b < kVBase + kVCount)
        return kSBase + ((a - kLBase) * kVCount + (b - kVBase)) * kTCount;
    if (a >= kSBase && a < kSBase + kSCount && (a - kSBase) % kTCount == 0 && b > kTBase && b < kTBase + kTCount)
        return a + (b - kTBase);
    auto it = std::lower_bound(std::begin(kCompositions), std::end(kCompositions), Composition{a, b, 0},
                               [](const Composition& x, const Composition& y) {
                                   return x.first != y.first ? x.first < y.first : x.second < y.second;
                               });
    return it != std::end(kCompositions) && it->first == a && it->second == b ? it->composite : 0;
}

}  // namespace

char32_t SimpleLowerCase(char32_t c) {
    if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + 32 : c;  // most names, without a search
    const LowerRun* r = RunOf(kLowerRuns, c);
    if (!r || (c - r->first) % r->stride) return c;
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + r->delta);
}

void LowerCase(std::wstring& text) {
    for (wchar_t& w : text) {
        char32_t c = static_cast<char32_t>(w);
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        w = static_cast<wchar_t>(SimpleLowerCase(c));
    }
}

CharClass ClassOf(char32_t c) {
    const ClassRun* r = RunOf(kClassRuns, c);
    return r ? static_cast<CharClass>(r->value) : CharClass::kOther;
}

std::u32string ToCodePoints(std::wstring_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        out += c;
    }
    return out;
}

std::wstring FromCodePoints(std::u32string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::u32string Nfkc(std::u32string_view text) {
    std::u32string d;
    d.reserve(text.size());
    for (char32_t c : text) Decompose(c, d);
    // Canonical order: each run of non-starters sorted by combining class, equal classes kept in order.
    for (std::size_t i = 0; i < d.size();) {
        std::size_t j = i;
        while (j < d.size() && CombiningClass(d[j])) ++j;
        std::stable_sort(d.begin() + static_cast<std::ptrdiff_t>(i), d.begin() + static_cast<std::ptrdiff_t>(j),
                         [](char32_t a, char32_t b) { return CombiningClass(a) < CombiningClass(b); });
        i = j + 1;
    }
    if (d.empty()) return d;
    // Composition: a character joins the last starter unless a character of the same or a higher
    // class stands between them.
    std::size_t starter = 0, out = 1;
    int last = CombiningClass(d[0]) ? 256 : 0;
    for (std::size_t i = 1; i < d.size(); ++i) {
        char32_t c = d[i];
        int cc = CombiningClass(c);
        char32_t composite = Compose(d[starter], c);
        if (composite && (last < cc || last == 0)) {
            d[starter] = composite;
            continue;
        }
        if (cc == 0) starter = out;
        last = cc;
        d[out++] = c;
    }
    d.resize(out);
    return d;
}

}  // namespace swirlo
