// The calls that Windows NT 4.0 lacks and the fallbacks that stand in for them there: both must
// give the same answers, here where both can run.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "toolkit/SystemCalls.h"

namespace {

struct Window {
    HWND hwnd;
    explicit Window(HWND owner, DWORD style = WS_OVERLAPPEDWINDOW)
        : hwnd(CreateWindowExA(0, "STATIC", "", style, 0, 0, 50, 50, owner, nullptr, nullptr, nullptr)) {}
    ~Window() { DestroyWindow(hwnd); }
};

TEST(SystemCallsTest, RootWindowIsTheTopLevelHolderAndNeverTheOwner) {
    Window top(nullptr);
    Window child(top.hwnd, WS_CHILD);
    Window grandchild(child.hwnd, WS_CHILD);
    Window owned(top.hwnd, WS_POPUP);
    struct Case {
        const char* what;
        HWND window;
        HWND root;
    } const cases[] = {
        {"top-level", top.hwnd, top.hwnd},
        {"child", child.hwnd, top.hwnd},
        {"grandchild", grandchild.hwnd, top.hwnd},
        {"owned popup", owned.hwnd, owned.hwnd},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tk::RootWindow(c.window), c.root) << c.what;
        EXPECT_EQ(tk::fallback::RootWindow(c.window), c.root) << c.what;
    }
}

TEST(SystemCallsTest, WaitForQueueInputSeesInputAlreadyPeekedAt) {
    using Wait = bool (*)(DWORD);
    for (Wait wait : {&tk::WaitForQueueInput, &tk::fallback::WaitForQueueInput}) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        EXPECT_FALSE(wait(1));
        PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_TRUE(wait(INFINITE));
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    }
}

TEST(SystemCallsTest, ProcessFileNameFromBothProcessLists) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string own = std::string(path).substr(std::string(path).find_last_of('\\') + 1);
    // Process IDs are multiples of four on Windows NT: 3 is nobody's.
    constexpr DWORD kNoProcess = 3;
    using Lookup = std::string (*)(DWORD);
    for (Lookup lookup : {&tk::ProcessFileName, &tk::fallback::ProcessFileName}) {
        EXPECT_STRCASEEQ(lookup(GetCurrentProcessId()).c_str(), own.c_str());
        EXPECT_EQ(lookup(kNoProcess), "");
    }
}

}  // namespace
