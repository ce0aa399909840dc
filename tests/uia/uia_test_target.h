// The fixture of the library's own tests: a fresh copy of the target program per test.
#ifndef TESTS_UIA_UIA_TEST_TARGET_H
#define TESTS_UIA_UIA_TEST_TARGET_H

#include <gtest/gtest.h>

#include <string>

#include "tests/uia/uia.h"
#include "tests/uia/uia_target.h"

// The target program is built beside the test executable.
inline std::string TargetPath() { return uia::ExeFolder() + "\\" + target::kExeName; }

class TargetTest : public ::testing::Test {
protected:
    // How long the target may take to record what it was sent.
    static constexpr DWORD kSettle = 3000;

    void SetUp() override {
        program = uia::Process::Start(TargetPath());
        form = uia::WaitForForm(target::kFormName, uia::kDefaultTimeout, program.Pid());
        log = uia::Control(form, target::kLog.name);
        uia::WaitForPainted(form);
    }

    HWND Ctl(const std::string& name) { return uia::Control(form, name); }

    void ClearLog() { SendMessageA(log, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }

    // Waits for the target's record to read exactly expected, then checks it.
    void ExpectLog(const std::string& expected) {
        uia::WaitUntil([&] { return uia::Text(log) == expected; }, kSettle);
        EXPECT_EQ(expected, uia::Text(log));
    }

    uia::Process program;
    HWND form = nullptr;
    HWND log = nullptr;
};

// Whether text contains part, for checking failure messages.
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

#endif
