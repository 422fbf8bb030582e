// UTF-16 (or, natively, UTF-32) text to UTF-8. OS-free.
#pragma once
#include <string>
#include <string_view>

namespace swirlo {

// Appends text as UTF-8. Surrogate pairs become one 4-byte sequence; a lone surrogate or a value
// that is no code point becomes U+FFFD, as the system's converter does, so this never fails.
void AppendUtf8(std::string& out, std::wstring_view text);

// The most bytes EncodeUtf8 writes for n characters.
constexpr std::size_t MaxUtf8Bytes(std::size_t n) { return n * (sizeof(wchar_t) == 2 ? 3 : 4); }

// Writes text as UTF-8 to dst, which has room for MaxUtf8Bytes(text.size()); returns the bytes written.
std::size_t EncodeUtf8(char* dst, std::wstring_view text);

inline std::string ToUtf8Text(std::wstring_view text) {
    std::string s;
    AppendUtf8(s, text);
    return s;
}

}  // namespace swirlo
