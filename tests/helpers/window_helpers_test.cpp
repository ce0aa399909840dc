#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/WindowHelpers.h"

namespace {

// 1024 x 768 pixels at 15 twips a pixel.
constexpr double kScreenW = 15360;
constexpr double kScreenH = 11520;

TEST(CenterPlacement, CentresInTheUpperPartOfTheScreen) {
    const FormPlacement p = CenterPlacement(kScreenW, kScreenH, 6000, 5000);
    EXPECT_EQ(p.left, 7680 - 3000);
    EXPECT_EQ(p.top, 9792 / 2 - 2500);
}

TEST(CenterPlacement, RoundsHalvesToEvenBeforeHalving) {
    // 2.5 rounds to 2 and 3.5 to 4; the halving then truncates.
    EXPECT_EQ(CenterPlacement(0, 0, 0, 2.5).top, -1);
    EXPECT_EQ(CenterPlacement(0, 0, 0, 3.5).top, -2);
    EXPECT_EQ(CenterPlacement(0, 0, 2.5, 0).left, -1);
    EXPECT_EQ(CenterPlacement(0, 0, 3.5, 0).left, -2);
    // 30 x 0.85 = 25.5 rounds to 26; 10 x 0.85 = 8.5 rounds to 8.
    EXPECT_EQ(CenterPlacement(0, 30, 0, 0).top, 13);
    EXPECT_EQ(CenterPlacement(0, 10, 0, 0).top, 4);
    // Odd widths: each half truncates on its own (7 / 2 - 3 / 2 = 3 - 1).
    EXPECT_EQ(CenterPlacement(7, 0, 3, 0).left, 2);
}

TEST(CenterPlacement, WindowTallerThanTheUpperPartGetsANegativeTop) {
    EXPECT_EQ(CenterPlacement(kScreenW, kScreenH, 1000, 12000).top, 4896 - 6000);
}

// ShowCursor(FALSE) returns the new count; one more call tells where the helpers left it.
int CursorCountAfter(void (*helper)()) {
    helper();
    const int count = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    return count;
}

TEST(MouseCursor, HelpersLoopUntilTheCountCrossesZero) {
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    EXPECT_EQ(CursorCountAfter(ShowMouseCursor), 0);

    ShowCursor(TRUE);
    ShowCursor(TRUE);
    EXPECT_EQ(CursorCountAfter(HideMouseCursor), -1);
    // The loops test after the call, so a visible cursor still gets one more count.
    ShowMouseCursor();
    EXPECT_EQ(CursorCountAfter(ShowMouseCursor), 1);
}

class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        folder = dir;
        path = folder + "qr_file_exists_" + std::to_string(GetCurrentProcessId()) + ".txt";
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        CloseHandle(f);
    }
    void TearDown() override { DeleteFileA(path.c_str()); }
    std::string folder;
    std::string path;
};

TEST_F(FileExistsTest, OnlyAReadableFileCounts) {
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(path + ".missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(FileExists(folder.substr(0, folder.size() - 1))) << "folder without its backslash";
}

TEST_F(FileExistsTest, LockedFileDoesNotCount) {
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(path));
    CloseHandle(lock);
    EXPECT_TRUE(FileExists(path));
}

// What the failure boxes of this thread showed, each answered with OK as soon as it appears.
std::vector<std::string> gShown;
std::vector<std::string> gLogged;
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    // Once the box has set itself up, its text is there.
    if (code == HC_ACTION && call.message == WM_INITDIALOG) {
        char text[512] = {};
        GetDlgItemTextA(call.hwnd, 0xFFFF, text, sizeof text);
        gShown.push_back(text);
        PostMessageA(call.hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ShowErrorBox, ShowsAndLogsTheTextThenTheCause) {
    const struct {
        FailureBox look;
        DWORD cause;
        std::string expected;
    } cases[] = {
        {FailureBox::Stop, ERROR_SUCCESS, "Fail to open it!"},
        {FailureBox::SystemExclamation, ERROR_ACCESS_DENIED, "Fail to open it!\r\n\r\n" + tk::ErrorText(ERROR_ACCESS_DENIED)},
    };
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AnswerBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    LogFailuresWith([](const std::string& text) { gLogged.push_back(text); });
    for (const auto& c : cases) {
        gShown.clear();
        gLogged.clear();
        EXPECT_EQ(ShowErrorBox("Fail to open it!", "Test", c.look, c.cause), IDOK);
        EXPECT_EQ(gShown, std::vector<std::string>{c.expected});
        EXPECT_EQ(gLogged, std::vector<std::string>{c.expected});
    }
    LogFailuresWith(nullptr);
    UnhookWindowsHookEx(hook);
}

class FindRunningInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        caption = " Running Instance Test " + std::to_string(GetCurrentProcessId());
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QrFindInstanceTest";
        RegisterClassA(&wc);
    }
    void TearDown() override {
        for (HWND w : windows) DestroyWindow(w);
    }
    HWND Make(const std::string& text, DWORD style, HWND parent) {
        HWND w = CreateWindowExA(0, "QrFindInstanceTest", text.c_str(), style, 0, 0, 50, 50, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        windows.push_back(w);
        return w;
    }
    std::string caption;
    std::vector<HWND> windows;
};

TEST_F(FindRunningInstanceTest, FindsAnotherTopLevelWindowWithTheExactCaption) {
    HWND own = Make(caption, WS_OVERLAPPEDWINDOW, nullptr);
    EXPECT_EQ(FindRunningInstance(own, caption), nullptr) << "the own window is skipped";
    HWND other = Make(caption, WS_OVERLAPPEDWINDOW, nullptr);
    EXPECT_EQ(FindRunningInstance(own, caption), other);
    EXPECT_EQ(FindRunningInstance(own, caption.substr(1)), nullptr) << "the caption must match exactly";
}

TEST_F(FindRunningInstanceTest, SkipsChildAndOwnedWindows) {
    HWND own = Make("owner " + caption, WS_OVERLAPPEDWINDOW, nullptr);
    Make(caption, WS_CHILD, own);
    Make(caption, WS_POPUP, own);  // owned: GetParent names the owner
    EXPECT_EQ(FindRunningInstance(own, caption), nullptr);
}

}  // namespace
