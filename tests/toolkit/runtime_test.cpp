// Runtime services: units, DoEvents and its waits, the previous-instance flag, the clock, starting
// programs, the file services and error texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/toolkit/TestSupport.h"

namespace {

struct TwipsCase {
    double twips;
    int pixels;
};

TEST(Units, FifteenTwipsAPixelAtTheDisplaysResolution) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the test bed's display";
    EXPECT_DOUBLE_EQ(tk::TwipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(tk::TwipsPerPixelY(), 15.0);
    const TwipsCase cases[] = {{0, 0}, {15, 1}, {22, 1}, {23, 2}, {195, 13}, {480, 32}, {6645, 443}, {-15, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(tk::TwipsToPixelsX(c.twips), c.pixels) << c.twips;
        EXPECT_EQ(tk::TwipsToPixelsY(c.twips), c.pixels) << c.twips;
    }
    EXPECT_DOUBLE_EQ(tk::PixelsToTwipsX(40), 600);
    EXPECT_DOUBLE_EQ(tk::ScreenWidth(), GetSystemMetrics(SM_CXSCREEN) * 15.0);
    EXPECT_DOUBLE_EQ(tk::ScreenHeight(), GetSystemMetrics(SM_CYSCREEN) * 15.0);
}

class IdleForm : public tk::Form {
public:
    IdleForm() : tk::Form("frmIdle") { Caption("Idle"); }
};

TEST(DoEvents, APollingLoopLeavesTheProcessorAlone) {
    IdleForm form;
    form.Show();
    Pump(200);
    // A calibration-style wait: nothing but DoEvents, back to back. With nothing pending each
    // round gives the processor away for about a millisecond, so the rounds take at least half
    // a millisecond each however busy the machine is; a round that only asked the queue would
    // take some microseconds.
    constexpr DWORD kRounds = 200;
    const DWORD start = GetTickCount();
    for (DWORD round = 0; round < kRounds; ++round) tk::DoEvents();
    EXPECT_GE(GetTickCount() - start, kRounds / 2);
    form.Unload();
}

TEST(DoEvents, RunsWhatIsPendingAndRunEndsWithTheLastForm) {
    IdleForm form;
    form.Show();
    PostMessageA(form.hWnd(), WM_CLOSE, 0, 0);
    tk::DoEvents();
    EXPECT_FALSE(form.Loaded());
    // Nothing loaded: Run has nothing to wait for.
    tk::Run();
}

class ClosingForm : public tk::Form {
public:
    ClosingForm() : tk::Form("frmClosing") {
        Caption("Closing");
        CommandButton("cmdExit").At(240, 240, 1215, 375).Text("E&xit");
        Named(*this, "cmdExit").Click = [this] { Unload(); };
    }
};

TEST(Run, EndsWhenAnotherProcessOrThreadPressesExit) {
    ClosingForm form;
    form.Show();
    HWND exitButton = Named(form, "cmdExit").hWnd();
    const DWORD runner = GetCurrentThreadId();
    bool gaveUp = false;
    // A test tool's click is a sent message: it is handled inside the loop's wait for messages.
    std::thread tool([&] {
        Sleep(300);
        SendMessageA(exitButton, BM_CLICK, 0, 0);
        for (int i = 0; i < 50 && form.Loaded(); ++i) Sleep(100);
        Sleep(2000);
        gaveUp = true;
        PostThreadMessageA(runner, WM_NULL, 0, 0);
    });
    tk::Run();
    const bool endedByItself = !gaveUp;
    tool.join();
    EXPECT_TRUE(endedByItself);
    EXPECT_FALSE(form.Loaded());
}

TEST(PrevInstance, ASecondCopyOfTheProgramSeesTheFirst) {
    if (std::getenv("TK_PREV_INSTANCE_CHILD") != nullptr) {
        // The copy started below: its exit code tells what it saw.
        std::exit(tk::PrevInstance() ? 0 : 1);
    }
    EXPECT_FALSE(tk::PrevInstance());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA("TK_PREV_INSTANCE_CHILD", "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    std::string line = std::string("\"") + self + "\" --gtest_filter=PrevInstance.*";
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    SetEnvironmentVariableA("TK_PREV_INSTANCE_CHILD", nullptr);
    WaitForSingleObject(child.hProcess, 30000);
    DWORD code = 2;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(code, 0u);
}

TEST(Timer, SecondsSinceMidnight) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const double expected = now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
    const double t = tk::Timer();
    EXPECT_GE(t, 0);
    EXPECT_LT(t, 86400);
    EXPECT_NEAR(t, expected, 1.0);
    EXPECT_NE(t, std::floor(t) + 0.0001) << "has fractions";
}

TEST(Shell, StartsACommandLineAndReturnsItsProcess) {
    HANDLE process = tk::Shell("cmd.exe /c exit 3", SW_HIDE);
    ASSERT_NE(process, nullptr);
    WaitForSingleObject(process, 30000);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(tk::Shell("C:\\no\\such\\program.exe", SW_SHOWNORMAL), nullptr);
}

// Windows' own sentence, on one line, with the number a support person looks up.
TEST(ErrorText, OneLineWithTheCode) {
    const struct {
        unsigned long code;
        bool systemText;
    } cases[] = {
        {ERROR_ACCESS_DENIED, true},
        {ERROR_FILE_NOT_FOUND, true},
        {0x2000FFFFul, false},  // customer bit set: no system text
    };
    for (const auto& c : cases) {
        const std::string text = tk::ErrorText(c.code);
        const std::string end = " (error " + std::to_string(c.code) + ")";
        ASSERT_GT(text.size(), end.size() + 1) << text;
        EXPECT_EQ(text.substr(text.size() - end.size()), end) << text;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
        EXPECT_EQ(text.rfind("Unknown error.", 0) != 0, c.systemText) << text;
    }
}

}  // namespace
