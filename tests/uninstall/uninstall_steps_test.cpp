// The uninstaller's steps that decide something: the wait for the uninstall program, its command
// line, the window's layout, and whether and how the port driver's file is put back.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "uninstall/basMain.h"
#include "uninstall/frmMain.h"

namespace {

// The wait's answers in turn, and what the loop did before each wait.
struct ScriptedWait {
    static std::vector<DWORD> answers;
    static std::vector<DWORD> timeouts;
    static int events;
    static std::vector<int> eventsBeforeWait;
    static DWORD WINAPI Wait(HANDLE, DWORD ms) {
        timeouts.push_back(ms);
        eventsBeforeWait.push_back(events);
        const size_t i = timeouts.size() - 1;
        return i < answers.size() ? answers[i] : WAIT_TIMEOUT;
    }
    static void DoEvents() { ++events; }
};
std::vector<DWORD> ScriptedWait::answers;
std::vector<DWORD> ScriptedWait::timeouts;
int ScriptedWait::events = 0;
std::vector<int> ScriptedWait::eventsBeforeWait;

// Time-outs, then one other answer.
std::vector<DWORD> After(size_t timeouts, DWORD last) {
    std::vector<DWORD> answers(timeouts, WAIT_TIMEOUT);
    answers.push_back(last);
    return answers;
}

TEST(WaitForUninstallTest, TenWaitsOfASecondEachAfterTheWindowEvents) {
    struct Case {
        const char* what;
        std::vector<DWORD> answers;
        const char* result;
        size_t waits;
    } cases[] = {
        {"finished at once", After(0, WAIT_OBJECT_0), "", 1},
        {"finished in the 9th wait", After(8, WAIT_OBJECT_0), "", 9},
        {"finished in the 10th wait", After(9, WAIT_OBJECT_0), "", 10},
        {"would finish in the 11th wait", After(10, WAIT_OBJECT_0), "Fail to remove files! (WAIT_TIMEOUT)", 10},
        {"wait failed", After(2, WAIT_FAILED), "Fail to remove files! (WAIT_FAILED)", 3},
        {"wait abandoned", After(0, WAIT_ABANDONED), "Fail to remove files! (WAIT_ABANDONED)", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedWait::answers = c.answers;
        ScriptedWait::timeouts.clear();
        ScriptedWait::eventsBeforeWait.clear();
        ScriptedWait::events = 0;
        EXPECT_EQ(WaitForUninstall(nullptr, {&ScriptedWait::Wait, &ScriptedWait::DoEvents}), c.result);
        EXPECT_EQ(ScriptedWait::timeouts, std::vector<DWORD>(c.waits, 1000));
        std::vector<int> expectedEvents;
        for (size_t i = 1; i <= c.waits; ++i) expectedEvents.push_back(int(i));
        EXPECT_EQ(ScriptedWait::eventsBeforeWait, expectedEvents) << "window events run before each wait";
    }
}

TEST(UninstallCommandLineTest, TheProgramIsQuotedSoThatBlanksInTheFolderDoNotSplitIt) {
    EXPECT_EQ(UninstallCommandLine("C:\\Program Files\\TouchScreen"),
              "\"C:\\Program Files\\TouchScreen\\unins000.exe\" /SILENT");
}

TEST(LayOutRemovalTest, WidensForTheCaptionAndCentresFrameAndButtons) {
    struct Case {
        const char* what;
        RemovalMeasures in;
        RemovalLayout out;
    } cases[] = {
        // 6645 - 1.5 x 1215 - 1215 = 3607.5 rounds to the even 3608.
        {"caption fits", {6735, 90, 1800, 1215, 1215, 2955, 375, 5685}, {6735, 480, 1804, 3626.5, 430, 2768, 5785}},
        // 2 x 1215 + 5000.25 = 7430.25: wider than the window. 7340 - 5685 = 1655 halves to 827;
        // 7340 - 3037.5 = 4302.5 rounds to the even 4302.
        {"caption wider", {6735, 90, 5000.25, 1215, 1215, 2955, 377, 5685}, {7430, 827, 2151, 3973.5, 777, 2767, 5785}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RemovalLayout l = LayOutRemoval(c.in);
        EXPECT_EQ(l.formWidth, c.out.formWidth);
        EXPECT_EQ(l.shapeLeft, c.out.shapeLeft);
        EXPECT_EQ(l.yesLeft, c.out.yesLeft);
        EXPECT_EQ(l.noLeft, c.out.noLeft);
        EXPECT_EQ(l.ruleX, c.out.ruleX);
        EXPECT_EQ(l.ruleY, c.out.ruleY);
        EXPECT_EQ(l.ruleLength, c.out.ruleLength);
    }
}

// A drivers folder of its own, in the temp folder.
class PortDriverRestore : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qr_restore_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        sys = folder + "i8042prt.sys";
        off = folder + "i8042prt.off";
    }
    void TearDown() override {
        for (const std::string& f : {sys, off}) {
            RemoveDirectoryA(f.c_str());
            DeleteFileA(f.c_str());
        }
        RemoveDirectoryA(folder.c_str());
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string folder, sys, off;
};

TEST_F(PortDriverRestore, TheCopyAsideGoesBackAndIsDeletedOnlyOnceTheFileIsWhole) {
    struct Case {
        const char* what;
        const char* offText;  // nullptr: no copy aside
        const char* sysText;  // nullptr: no file in use
        bool restored;
        const char* sysAfter;
    } cases[] = {
        {"as setup left it", "port driver", nullptr, true, "port driver"},
        {"both there", "port driver", "something else", true, "port driver"},
        {"already back", nullptr, "port driver", true, "port driver"},
        {"neither there", nullptr, nullptr, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(sys.c_str());
        DeleteFileA(off.c_str());
        if (c.offText) Write(off, c.offText);
        if (c.sysText) Write(sys, c.sysText);
        EXPECT_EQ(PortDriverRestoreProblem(folder).empty(), c.restored) << PortDriverRestoreProblem(folder);
        EXPECT_EQ(RestorePortDriver(folder), c.restored);
        EXPECT_FALSE(Exists(off));
        if (c.sysAfter) EXPECT_EQ(Read(sys), c.sysAfter);
        else EXPECT_FALSE(Exists(sys));
    }
}

// What stops the restore is named before anything is removed, and leaves every file as it was.
TEST_F(PortDriverRestore, AFileThatCannotBeReadOrWrittenIsNamedAndNothingMoves) {
    struct Case {
        const char* what;
        bool offFolder;     // a folder in the copy's place
        bool holdOff;       // the copy held open without sharing
        bool holdSys;       // the file in use held open without sharing
        const char* named;  // the file the problem names
    } cases[] = {
        {"copy aside is a folder", true, false, false, "i8042prt.off"},
        {"copy aside held open", false, true, false, "i8042prt.off"},
        {"file in use held open", false, false, true, "i8042prt.sys"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(sys, "old");
        if (c.offFolder) {
            DeleteFileA(off.c_str());
            ASSERT_TRUE(CreateDirectoryA(off.c_str(), nullptr));
        } else {
            Write(off, "port driver");
        }
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.holdOff || c.holdSys)
            held = CreateFileA((c.holdOff ? off : sys).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        const std::string problem = PortDriverRestoreProblem(folder);
        EXPECT_NE(problem.find(c.named), std::string::npos) << problem;
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(Read(sys), "old");
        EXPECT_TRUE(Exists(off));
        RemoveDirectoryA(off.c_str());
    }
}

// Without a file in use the check must not leave one behind.
TEST_F(PortDriverRestore, TheCheckCreatesNoFile) {
    Write(off, "port driver");
    EXPECT_EQ(PortDriverRestoreProblem(folder), "");
    EXPECT_FALSE(Exists(sys));
}

}  // namespace
