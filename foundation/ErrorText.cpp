#include "foundation/ErrorText.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace swirlo {

void AppendErrorPart(std::wstring& text, std::size_t cap, std::wstring_view piece) {
    if (text.size() > cap) text.resize(cap);
    if (cap - text.size() < 2) return;
    text.append(L"\r\n");
    std::size_t room = cap - text.size();
    text.append(piece.substr(0, room));
}

void SetErrorPartsTo(std::wstring& text, std::size_t cap, std::initializer_list<const wchar_t*> parts) {
    text.clear();
    for (const wchar_t* p : parts)
        if (p) AppendErrorPart(text, cap, p);
}

std::wstring FormatW(const wchar_t* fmt, ...) {
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list ap;
        va_start(ap, fmt);
        int n = std::vswprintf(buf.data(), buf.size(), fmt, ap);
        va_end(ap);
        if (n >= 0 && static_cast<std::size_t>(n) < buf.size()) return std::wstring(buf.data(), n);
        // vswprintf reports neither the needed size nor distinguishes overflow from a bad format:
        // grow until it fits, within reason.
        if (buf.size() > (1u << 26)) return std::wstring();
        buf.resize(buf.size() * 4);
    }
}

int ErrorRecord::SetErrorParts(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3,
                               const wchar_t* p4, const wchar_t* p5, const wchar_t* p6) {
    SetErrorPartsTo(m_sText, m_cap, {p1, p2, p3, p4, p5, p6});
    return 0;
}

std::wstring ErrorRecord::Take(bool clear) {
    std::wstring s = m_sText;
    if (clear) m_sText.clear();
    return s;
}

}  // namespace swirlo
