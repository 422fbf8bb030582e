// Native builds only: a fixed mapping independent of the process locale, so that the sanitizer
// tests give the same keys on every machine. Covers ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic capitals; anything else is left as it is.
#include "albumart/LowerCase.h"

namespace swirlo {

namespace {

wchar_t LowerOne(wchar_t c) {
    unsigned u = static_cast<unsigned>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<wchar_t>(u + 32);
    if (u < 0xC0) return c;
    if (u <= 0xDE) return u == 0xD7 ? c : static_cast<wchar_t>(u + 32);
    if (u >= 0x100 && u <= 0x17F) {
        if (u == 0x130) return L'i';
        if (u == 0x178) return static_cast<wchar_t>(0xFF);
        bool evenUpper = (u <= 0x137) || (u >= 0x14A && u <= 0x177);
        bool oddUpper = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        if (evenUpper && u % 2 == 0) return static_cast<wchar_t>(u + 1);
        if (oddUpper && u % 2 == 1) return static_cast<wchar_t>(u + 1);
        return c;
    }
    if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return static_cast<wchar_t>(u + 32);
    if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 32);
    if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 80);
    return c;
}

}  // namespace

void PlatformLowerCase(std::wstring& text) {
    for (wchar_t& c : text) c = LowerOne(c);
}

}  // namespace swirlo
