// The character data of every script that folder-name keys need: simple lower case, letters,
// digits and marks, and NFKC. From our own tables (albumart/core/UnicodeTables.inc, Unicode 14.0), so
// that the keys are the same on every system and in every build. OS-free.
#pragma once
#include <string>
#include <string_view>

namespace swirlo {

// The simple (one character for one) lower-case mapping.
char32_t SimpleLowerCase(char32_t c);
// Lower-cases text in place, one code unit for one: the length never changes. Surrogates stay as
// they are (no mapping of the basic plane leaves it).
void LowerCase(std::wstring& text);

enum class CharClass { kOther, kLetter, kDigit, kMark };
// Letters (general categories L*), decimal digits (Nd) and combining marks (Mn, Mc) other than the
// variation selectors and joiners.
CharClass ClassOf(char32_t c);

// Code points of a wide text and back; a lone surrogate becomes U+FFFD.
std::u32string ToCodePoints(std::wstring_view text);
std::wstring FromCodePoints(std::u32string_view text);

// Normalization form KC: compatibility decomposition, canonical order, canonical composition.
std::u32string Nfkc(std::u32string_view text);

}  // namespace swirlo
