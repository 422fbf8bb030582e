#include "albumart/core/Normalize.h"

#include <algorithm>
#include <vector>

#include "albumart/core/Unicode.h"

namespace swirlo {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }

bool StartsWith(const std::wstring& s, std::wstring_view p) {
    return s.size() >= p.size() && std::wstring_view(s).substr(0, p.size()) == p;
}
bool EndsWith(const std::wstring& s, std::wstring_view p) {
    return s.size() >= p.size() && std::wstring_view(s).substr(s.size() - p.size()) == p;
}

void TrimSpaces(std::wstring& s) {
    std::size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring::npos) {
        s.clear();
        return;
    }
    std::size_t e = s.find_last_not_of(L' ');
    s = s.substr(b, e - b + 1);
}

// Index of the first c at or after each position (n when none), so that a run of opening brackets
// costs one pass instead of one search per bracket.
std::vector<std::size_t> NextIndexOf(std::wstring_view text, wchar_t c) {
    std::vector<std::size_t> next(text.size() + 1, text.size());
    for (std::size_t i = text.size(); i-- > 0;) next[i] = text[i] == c ? i : next[i + 1];
    return next;
}

bool BeyondAscii(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return static_cast<unsigned>(c) > 0x7F; });
}

struct ArticleSpan {
    std::size_t from = 0, count = 0;
};

// Where one leading "the "/"a " or trailing ", the"/", a" stands in a lower-cased text.
ArticleSpan FindArticle(const std::wstring& text) {
    std::size_t n = text.size();
    if (n > 4 && StartsWith(text, L"the ")) return {0, 4};
    if (n > 2 && StartsWith(text, L"a ")) return {0, 2};
    if (n > 5 && EndsWith(text, L", the")) return {n - 5, 5};
    if (n > 5 && EndsWith(text, L", a")) return {n - 3, 3};
    return {};
}

// The key of a name whose Latin key is empty, from the text left by the level's bracket and
// article rules: NFKC, then lower case, keeping the letters (with their marks) and, unless
// lettersOnly, the digits of every script. Greek final sigma counts as sigma, so that a name and
// its capitals give one key. hasLetter tells whether the key holds a letter.
std::wstring ScriptKey(std::wstring_view text, bool lettersOnly, bool& hasLetter) {
    std::u32string key;
    bool afterLetter = false;
    hasLetter = false;
    for (char32_t c : Nfkc(ToCodePoints(text))) {
        c = SimpleLowerCase(c);
        if (c == U'\u03c2') c = U'\u03c3';
        CharClass k = ClassOf(c);
        bool keep = k == CharClass::kLetter || (k == CharClass::kDigit && !lettersOnly) ||
                    (k == CharClass::kMark && afterLetter);
        if (keep) key += c;
        afterLetter = keep && k != CharClass::kDigit;
        hasLetter = hasLetter || k == CharClass::kLetter;
    }
    return FromCodePoints(key);
}

}  // namespace

wchar_t FoldAccent(wchar_t c) {
    // U+00E0 to U+00FF; 0 means "not in the table".
    static const char kFold[32] = {
        'a', 'a', 0,   'a', 'a', 0,   'a', 'c',  // E0-E7
        'e', 'e', 0,   'e', 'i', 'i', 0,   'i',  // E8-EF
        0,   'n', 'o', 'o', 0,   'o', 'o', 0,    // F0-F7
        'o', 'u', 'u', 0,   'u', 0,   0,   'y',  // F8-FF
    };
    unsigned u = static_cast<unsigned>(c);
    if (u < 0xE0 || u > 0xFF) return c;
    char f = kFold[u - 0xE0];
    return f ? static_cast<wchar_t>(f) : c;
}

void RemoveArticle(std::wstring& text) {
    ArticleSpan a = FindArticle(text);
    text.erase(a.from, a.count);
}

std::wstring RemoveBracketBlocks(std::wstring_view text, wchar_t open, wchar_t close) {
    if (text.find(open) == std::wstring_view::npos) return std::wstring(text);
    std::vector<std::size_t> nextOpen = NextIndexOf(text, open);
    std::vector<std::size_t> nextClose = NextIndexOf(text, close);
    const std::size_t n = text.size();
    std::wstring out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        std::size_t p = nextOpen[i];
        out.append(text.substr(i, p - i));
        if (p == n) break;
        std::size_t c = nextClose[p + 1];
        if (c == n) {  // no closing bracket: keep the rest, drop only the opener
            out.append(text.substr(p + 1));
            break;
        }
        // Another opener before the closer: the block is nested, only its inner part goes.
        i = nextOpen[p + 1] < c ? p + 1 : c + 1;
    }
    return out;
}

bool Normalize(std::wstring_view name, int level, std::wstring& out) {
    if (level < 1 || level > 3) return false;
    std::wstring text(name);
    if (level == 3) {
        text = RemoveBracketBlocks(RemoveBracketBlocks(text, L'[', L']'), L'(', L')');
        TrimSpaces(text);
    }
    // Only a name beyond ASCII can have an empty Latin key and letters of another script; its cased
    // text is kept for that key.
    std::wstring cased;
    if (BeyondAscii(text)) cased = text;
    LowerCase(text);
    ArticleSpan article = FindArticle(text);
    text.erase(article.from, article.count);

    // Only the copy is read from here on, so out may be the caller's previous key (or the name):
    // its buffer is reused.
    std::wstring& key = out;
    key.clear();
    key.reserve(text.size());
    bool prevGaveDigit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = level == 3 ? FoldAccent(text[i]) : text[i];
        bool candidate = IsLetter(c) || IsDigit(c) ||
                         (c == L' ' && level == 1 && !key.empty() && key.back() != L' ');
        bool gave = false;
        if (candidate) {
            // Leading zeros of a number carry no meaning in folder names ("Disc 01" = "Disc 1").
            bool leadingZero = c == L'0' && !prevGaveDigit && i + 1 < text.size() && IsDigit(text[i + 1]);
            if (!leadingZero) {
                key.push_back(c);
                gave = true;
            }
        }
        prevGaveDigit = gave && IsDigit(c);
    }
    // A Latin key of digits alone (a Cyrillic album name and its year give the year) would make
    // strangers equal: the letters of the other script go into the key with them.
    if (!cased.empty() && std::none_of(key.begin(), key.end(), IsLetter)) {
        bool hasLetter = false;
        std::wstring script = ScriptKey(cased.erase(article.from, article.count), false, hasLetter);
        if (hasLetter || key.empty()) key = std::move(script);
    }
    return true;
}

std::wstring AlphaNormalize(std::wstring_view name) {
    std::wstring text(name);
    LowerCase(text);
    ArticleSpan article = FindArticle(text);
    text.erase(article.from, article.count);
    std::wstring key;
    key.reserve(text.size());
    wchar_t last = L'x';
    for (wchar_t raw : text) {
        wchar_t c = FoldAccent(raw);
        if (!IsLetter(c)) continue;
        if (c == L'e' && (last == L'a' || last == L'o' || last == L'u')) continue;
        key.push_back(c);
        last = c;
    }
    if (key.empty() && BeyondAscii(name)) {
        std::wstring cased(name);
        bool hasLetter = false;
        key = ScriptKey(cased.erase(article.from, article.count), true, hasLetter);
    }
    return key;
}

}  // namespace swirlo
