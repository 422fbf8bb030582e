// Error texts of the program: pieces appended after a line break, cut at the text's capacity.
// OS-free.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace swirlo {

// Capacities in characters of content (the terminator of the original fixed buffers not counted).
constexpr std::size_t kWindowErrorCap = 8191;  // window, array, log and album error texts
constexpr std::size_t kGlobalErrorCap = 2047;  // gsErrorText
constexpr std::size_t kIniErrorCap = 1023;     // the settings object's error text

// Appends "\r\n" and then the piece to text, as far as they fit in cap characters. The line break
// is added only if both of its characters fit; the piece is cut to what is left.
void AppendErrorPart(std::wstring& text, std::size_t cap, std::wstring_view piece);

// Empties text and appends every non-null part.
void SetErrorPartsTo(std::wstring& text, std::size_t cap, std::initializer_list<const wchar_t*> parts);

// printf-style formatting into a std::wstring of any length (no fixed buffer to overrun).
std::wstring FormatW(const wchar_t* fmt, ...);

// The accumulated error text of a window, an array or a log (up to 8,191 characters).
class ErrorRecord {
public:
    explicit ErrorRecord(std::size_t cap = kWindowErrorCap) : m_cap(cap) {}

    // Empties the text, then appends each given part after a line break. Returns 0, so that
    // callers can return it as their failure.
    int SetErrorParts(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                      const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr,
                      const wchar_t* p6 = nullptr);
    void Append(std::wstring_view piece) { AppendErrorPart(m_sText, m_cap, piece); }
    // Copies the text out and, with clear set, empties it.
    std::wstring Take(bool clear);
    const std::wstring& Text() const { return m_sText; }
    void Clear() { m_sText.clear(); }
    bool Empty() const { return m_sText.empty(); }
    std::size_t Capacity() const { return m_cap; }

private:
    std::wstring m_sText;
    std::size_t m_cap;
};

}  // namespace swirlo
