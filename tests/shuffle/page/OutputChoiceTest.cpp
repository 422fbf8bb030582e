// The playlist file choice when the Save As dialog refuses the proposed name: the page says so and
// asks again with only the extension in the name box.
#include <gtest/gtest.h>

#include <windows.h>
#include <cderr.h>

#include "foundation/IniSettings.h"
#include "framework/ZWin.h"
#include "shuffle/page/OutputFileChoice.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {
std::vector<std::wstring> g_asked;
std::wstring g_answer;
BOOL RefuseTheFirstName(OPENFILENAMEW* ofn) {
    g_asked.push_back(ofn->lpstrFile);
    if (g_asked.size() == 1) {
        SetSaveAsError(FNERR_INVALIDFILENAME);
        return FALSE;
    }
    lstrcpynW(ofn->lpstrFile, g_answer.c_str(), static_cast<int>(ofn->nMaxFile));
    return TRUE;
}
}  // namespace

TEST(OutputChoice, RefusedDefaultNameIsAskedAgainAsStarDotExtension) {
    TempDir dir;
    IniSettings settings;
    settings.InitSettings(dir.Path().c_str());
    settings.ConvertWpl = 0;
    MessageBoxRecorder boxes;
    g_answer = dir / (std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e') + L"\\weekly.wpl");  // past MAX_PATH
    SetSaveAsHandler(RefuseTheFirstName);
    ZDialog page(nullptr, L"Shuffle", nullptr, nullptr, nullptr);
    OutputChoice out;
    const int got = ChooseOutputFile(page, settings, PlaylistsFolder{}, L"vxq Rock:0305.wpl", false, out);
    SetSaveAsHandler(nullptr);
    ASSERT_EQ(got, 1);
    EXPECT_EQ(g_asked, (std::vector<std::wstring>{L"vxq Rock:0305.wpl", L"*.wpl"}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"Non-fatal error, illegal default save name:\r\nvxq Rock:0305.wpl\r\n"
                                   L"Retrying without default save name\r\n");
    EXPECT_EQ(out.sPath, g_answer);
    EXPECT_EQ(out.nFormat, 0);
}
