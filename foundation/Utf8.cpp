#include "foundation/Utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swirlo {

namespace {
char* PutCodePoint(char* p, std::uint32_t c) {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}
// Sixteen ASCII characters to sixteen bytes; false (nothing written) when one is not ASCII.
inline bool Ascii16(const wchar_t* t, char* p) {
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi32(static_cast<int>(0xFFFFFF80u));
    const __m128i zero = _mm_setzero_si128();
    if constexpr (sizeof(wchar_t) == 4) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 4));
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 8));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 12));
        __m128i any = _mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, high), zero)) != 0xFFFF) return false;
        __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bytes);
        return true;
    } else if constexpr (sizeof(wchar_t) == 2) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 8));
        __m128i any = _mm_or_si128(a, b);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(any, _mm_set1_epi16(static_cast<short>(0xFF80))), zero)) != 0xFFFF)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(a, b));
        return true;
    }
#endif
    std::uint32_t any = 0;
    for (int k = 0; k < 16; ++k) any |= static_cast<std::uint32_t>(t[k]);
    if (any >= 0x80) return false;
    for (int k = 0; k < 16; ++k) p[k] = static_cast<char>(t[k]);
    return true;
}

// The same for eight characters (the tail of a path).
inline bool Ascii8(const wchar_t* t, char* p) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    if constexpr (sizeof(wchar_t) == 4) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 4));
        const __m128i high = _mm_set1_epi32(static_cast<int>(0xFFFFFF80u));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(_mm_or_si128(a, b), high), zero)) != 0xFFFF) return false;
        __m128i words = _mm_packs_epi32(a, b);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(words, words));
        return true;
    } else if constexpr (sizeof(wchar_t) == 2) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(a, _mm_set1_epi16(static_cast<short>(0xFF80))), zero)) != 0xFFFF)
            return false;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(a, a));
        return true;
    }
#endif
    std::uint32_t any = 0;
    for (int k = 0; k < 8; ++k) any |= static_cast<std::uint32_t>(t[k]);
    if (any >= 0x80) return false;
    for (int k = 0; k < 8; ++k) p[k] = static_cast<char>(t[k]);
    return true;
}

}  // namespace

std::size_t EncodeUtf8(char* dst, std::wstring_view text) {
    char* p = dst;
    const std::size_t n = text.size();
    const wchar_t* t = text.data();
    std::size_t i = 0;
    std::size_t nAsciiBefore = 0;  // the characters just before i, each written as its one byte
    while (i < n) {
        // Paths are mostly ASCII: sixteen characters at a time while they are.
        const int width = i + 16 <= n ? 16 : i + 8 <= n ? 8 : 0;
        if (width) {
            if (width == 16 ? Ascii16(t + i, p) : Ascii8(t + i, p)) {
                p += width;
                i += width;
                nAsciiBefore += width;
                continue;
            }
            // The ASCII run before the chunk's first other character.
            while (static_cast<std::uint32_t>(t[i]) < 0x80) *p++ = static_cast<char>(t[i++]);
        } else if (nAsciiBefore + (n - i) >= 16) {
            // The last few characters: the last sixteen again, the ones before i rewritten
            // with the bytes they already have.
            const std::size_t back = 16 - (n - i);
            if (Ascii16(t + n - 16, p - back)) {
                p += n - i;
                break;
            }
        }
        nAsciiBefore = 0;
        std::uint32_t c = static_cast<std::uint32_t>(t[i++]);
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
            nAsciiBefore = 1;
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i < n) {
            std::uint32_t d = static_cast<std::uint32_t>(t[i]);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                p = PutCodePoint(p, 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        p = PutCodePoint(p, c);
    }
    return static_cast<std::size_t>(p - dst);
}

void AppendUtf8(std::string& out, std::wstring_view text) {
    const std::size_t start = out.size();
    out.resize(start + MaxUtf8Bytes(text.size()));
    out.resize(start + EncodeUtf8(out.data() + start, text));
}

}  // namespace swirlo
