// Comparison keys of album and artist folder names: Normalize at three levels and the letters-only
// AlphaNormalize. Pure functions of the text. OS-free.
//
// The keys keep Latin letters and digits. A name that leaves no Latin key (or one of digits alone)
// but holds letters or digits of another script (Cyrillic, Greek, CJK ...) gets a key of those
// instead: the level's bracket and article rules, then NFKC and lower case, keeping the letters
// (with their combining marks) and digits of every script, and nothing else.
#pragma once
#include <string>
#include <string_view>

namespace swirlo {

// Level 1 (minimal) keeps single spaces between words, level 2 (medium) runs the words together,
// level 3 (maximum) also drops bracketed blocks and folds accents. Returns false and leaves out
// untouched for any other level. A Latin key is never longer than the name (a key in another
// script can be: NFKC spells out ligatures and squared words).
bool Normalize(std::wstring_view name, int level, std::wstring& out);

// Letters a-z only, accents folded, "e" after a, o or u dropped (so "oe" spellings meet their
// umlauts); bracketed blocks are kept. Without one such letter: the letters of every script.
std::wstring AlphaNormalize(std::wstring_view name);

// The pieces, exposed for the tests of their edge cases.
wchar_t FoldAccent(wchar_t c);
// Drops one leading "the "/"a " or trailing ", the"/", a" from an already lower-cased text.
void RemoveArticle(std::wstring& text);
// Removes innermost open..close blocks as the maximum level does; unmatched openers are dropped,
// unmatched closers kept.
std::wstring RemoveBracketBlocks(std::wstring_view text, wchar_t open, wchar_t close);

}  // namespace swirlo
