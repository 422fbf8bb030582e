// Win32 only: the platform mapping is what the user sees in Explorer, so keys follow it.
#include <windows.h>

#include <algorithm>

#include "albumart/LowerCase.h"

namespace swirlo {

void PlatformLowerCase(std::wstring& text) {
    // CharLowerBuffW takes a DWORD count; folder names are far below that, but a long text is
    // still converted in slices rather than cut.
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 0x10000000));
        CharLowerBuffW(text.data() + done, n);
        done += n;
    }
}

}  // namespace swirlo
