// The platform's lower-case mapping, used by folder name normalization. The Windows build maps with
// CharLowerBuffW (LowerCaseWin.cpp); the native build, which only runs the tests, has its own
// mapping of the common alphabets (LowerCaseNative.cpp). Exactly one of the two is linked in.
// OS-free declaration.
#pragma once
#include <string>

namespace swirlo {

// Lower-cases text in place, one character for one: the length never changes.
void PlatformLowerCase(std::wstring& text);

}  // namespace swirlo
