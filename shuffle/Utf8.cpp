#include "shuffle/Utf8.h"

#include <cstdint>

namespace swirlo {

namespace {
void PutCodePoint(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
}  // namespace

void AppendUtf8(std::string& out, std::wstring_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    // Plain ASCII, the common case for paths, straight into the string.
    const std::size_t start = out.size();
    out.resize(start + n);
    char* p = out.data() + start;
    for (; i < n && static_cast<std::uint32_t>(text[i]) < 0x80; ++i) p[i] = static_cast<char>(text[i]);
    out.resize(start + i);
    for (; i < n; ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
            std::uint32_t d = static_cast<std::uint32_t>(text[i + 1]);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                PutCodePoint(out, 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        PutCodePoint(out, c);
    }
}

}  // namespace swirlo
