// The uninstaller's steps that decide something: the wait for the uninstall program and what its
// exit code means, the window's layout, and whether and how the port driver's file is put back.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "common/MachineCalls.h"
#include "common/PortDriverFile.h"
#include "tests/uia/uia.h"
#include "uninstall/basMain.h"
#include "uninstall/frmMain.h"

namespace {

// The wait's answers in turn (time-outs after the last), and the window events run before each.
std::vector<DWORD> gAnswers;
std::vector<int> gEventsAtWait;
int gEvents = 0;
DWORD WINAPI ScriptedWait(HANDLE, DWORD ms) {
    EXPECT_EQ(ms, 1000u);
    gEventsAtWait.push_back(gEvents);
    const DWORD answer = gEventsAtWait.size() <= gAnswers.size() ? gAnswers[gEventsAtWait.size() - 1] : WAIT_TIMEOUT;
    if (answer == WAIT_FAILED) SetLastError(ERROR_INVALID_HANDLE);
    return answer;
}
void CountEvents() { ++gEvents; }

TEST(WaitForUninstallTest, TenWaitsOfASecondEachAfterTheWindowEvents) {
    const struct {
        size_t timeouts;
        DWORD then;
        const char* result;
        DWORD cause;
        int waits;
    } cases[] = {
        {8, WAIT_OBJECT_0, "", 0, 9},
        {9, WAIT_OBJECT_0, "", 0, 10},
        {10, WAIT_OBJECT_0, "Fail to remove files! (WAIT_TIMEOUT)", 0, 10},
        {2, WAIT_FAILED, "Fail to remove files! (WAIT_FAILED)", ERROR_INVALID_HANDLE, 3},
        {0, WAIT_ABANDONED, "Fail to remove files! (WAIT_ABANDONED)", 0, 1},
    };
    for (const auto& c : cases) {
        gAnswers.assign(c.timeouts, WAIT_TIMEOUT);
        gAnswers.push_back(c.then);
        gEventsAtWait.clear();
        gEvents = 0;
        MachineCalls scripted = kWindowsCalls;
        scripted.waitForSingleObject = ScriptedWait;
        scripted.doEvents = CountEvents;
        MachineInUse use(scripted);
        const Failure failure = WaitForUninstall(nullptr);
        EXPECT_EQ(failure.text, c.result) << c.timeouts;
        EXPECT_EQ(failure.cause, c.cause) << c.timeouts;
        std::vector<int> once(c.waits);
        std::iota(once.begin(), once.end(), 1);
        EXPECT_EQ(gEventsAtWait, once) << c.timeouts;
    }
}

TEST(LayOutRemovalTest, WidensForTheCaptionAndCentresFrameAndButtons) {
    // 6645 - 1.5 x 1215 - 1215 = 3607.5 rounds to the even 3608. A caption of 5000.25 asks for
    // 7430; then 7340 - 5685 = 1655 halves to 827, and 7340 - 3037.5 = 4302.5 rounds to 4302.
    const RemovalLayout fits = LayOutRemoval({6735, 90, 1800, 1215, 1215, 2955, 375, 5685});
    const RemovalLayout wider = LayOutRemoval({6735, 90, 5000.25, 1215, 1215, 2955, 377, 5685});
    const auto row = [](const RemovalLayout& l) {
        return std::vector<double>{l.formWidth, l.shapeLeft, l.yesLeft, l.noLeft, double(l.ruleX), double(l.ruleY),
                                   double(l.ruleLength)};
    };
    EXPECT_EQ(row(fits), (std::vector<double>{6735, 480, 1804, 3626.5, 430, 2768, 5785}));
    EXPECT_EQ(row(wider), (std::vector<double>{7430, 827, 2151, 3973.5, 777, 2767, 5785}));
}

// A whole file in place stays, a whole copy aside goes back over a file that is not whole, and
// the copy aside goes only then; a copy aside that is not whole is never copied. Whatever stands
// in the way is named before anything is removed, and the restore then changes nothing.
TEST(PortDriverRestoreTest, KeepsOrPutsBackAWholeFileOrNamesWhatStandsInTheWay) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qr_restore_" + std::to_string(GetCurrentProcessId()) + "\\";
    const std::string sys = folder + "i8042prt.sys", off = folder + "i8042prt.off";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string aside = uia::PortDriverImage("aside"), inUse = uia::PortDriverImage("in use");
    const std::string halfAside = aside.substr(0, aside.size() / 2), halfInUse = inUse.substr(0, inUse.size() / 2);
    enum Kind { kNone, kWhole, kHalf, kFolder, kHeld };
    const struct {
        const char* what;
        Kind off, sys;
        const char* named;  // nullptr: restored
    } cases[] = {
        {"as setup left it", kWhole, kNone, nullptr},
        {"setup cut off while it copied", kHalf, kWhole, nullptr},
        {"setup cut off before it deleted", kWhole, kWhole, nullptr},
        {"already back", kNone, kWhole, nullptr},
        {"a restore cut off while it copied", kWhole, kHalf, nullptr},
        {"neither there", kNone, kNone, "Neither"},
        {"only a copy aside cut short", kHalf, kNone, "i8042prt.off"},
        {"a copy aside cut short over a file cut short", kHalf, kHalf, "i8042prt.off"},
        {"copy aside is a folder", kFolder, kHalf, "i8042prt.off"},
        {"copy aside held open", kHeld, kHalf, "i8042prt.off"},
        {"file in use held open", kWhole, kHeld, "i8042prt.sys"},
    };
    for (const auto& c : cases) {
        HANDLE held = INVALID_HANDLE_VALUE;
        for (const auto& [path, kind, whole, half] :
             {std::tuple{off, c.off, aside, halfAside}, std::tuple{sys, c.sys, inUse, halfInUse}}) {
            RemoveDirectoryA(path.c_str());
            DeleteFileA(path.c_str());
            if (kind == kFolder) CreateDirectoryA(path.c_str(), nullptr);
            if (kind == kWhole) uia::WriteFileText(path, whole);
            if (kind == kHalf || kind == kHeld) uia::WriteFileText(path, half);
            if (kind == kHeld) held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        }
        const auto laidOut = [](Kind kind, const std::string& whole, const std::string& half) {
            return kind == kWhole ? whole : kind == kHalf || kind == kHeld ? half : "";
        };
        const std::string problem = PortDriverRestoreProblem(folder);
        if (c.named) {
            EXPECT_NE(problem.find(c.named), std::string::npos) << c.what << ": " << problem;
            EXPECT_NE(RestorePortDriverFile(folder), DWORD(ERROR_SUCCESS)) << c.what;
            if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
            EXPECT_EQ(uia::Exists(off), c.off != kNone) << c.what;
            EXPECT_EQ(uia::Exists(sys), c.sys != kNone) << c.what << ": a file was left behind";
            EXPECT_EQ(uia::Contents(off), laidOut(c.off, aside, halfAside)) << c.what;
            EXPECT_EQ(uia::Contents(sys), laidOut(c.sys, inUse, halfInUse)) << c.what;
        } else {
            EXPECT_EQ(problem, "") << c.what;
            EXPECT_EQ(uia::Exists(sys), c.sys != kNone) << c.what << ": the check left a file behind";
            EXPECT_EQ(RestorePortDriverFile(folder), DWORD(ERROR_SUCCESS)) << c.what;
            EXPECT_EQ(uia::Contents(sys), c.sys == kWhole ? inUse : aside) << c.what;
            EXPECT_FALSE(uia::Exists(off)) << c.what;
        }
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    }
    for (const std::string& path : {off, sys}) RemoveDirectoryA(path.c_str()), DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
