// Starting, following and ending programs; the install folder.
#include "tests/uia/uia_test_target.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool ProcessEnded(DWORD pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h) return true;
    bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

TEST(ProcessTest, StartFailureNamesTheProgram) {
    std::string path = uia::ExeFolder() + "\\no_such_program.exe";
    try {
        uia::Process::Start(path);
        FAIL() << "started a program that does not exist";
    } catch (const uia::Error& e) {
        EXPECT_TRUE(Contains(e.what(), path)) << e.what();
    }
}

TEST(ProcessTest, ProgramEndsWithItsObjectUnlessDetached) {
    DWORD pid = 0;
    {
        uia::Process p = uia::Process::Start(TargetPath());
        uia::WaitForForm(target::kFormName, uia::kDefaultTimeout, p.Pid());
        pid = p.Pid();
        uia::Process moved = std::move(p);
        EXPECT_EQ(0u, p.Pid());
        EXPECT_TRUE(moved.Running());
    }
    EXPECT_TRUE(uia::WaitUntil([&] { return ProcessEnded(pid); }, 5000));

    {
        uia::Process p = uia::Process::Start(TargetPath());
        uia::WaitForForm(target::kFormName, uia::kDefaultTimeout, p.Pid());
        pid = p.Pid();
        p.Detach();
    }
    uia::Process attached = uia::Process::Attach(pid);
    EXPECT_TRUE(attached.Running());
    attached.Kill(3);
    EXPECT_FALSE(attached.Running());
    EXPECT_EQ(3u, attached.ExitCode());
}

TEST_F(TargetTest, KillEndsTheProgramWithTheGivenCode) {
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(DWORD(STILL_ACTIVE), program.ExitCode());
    EXPECT_FALSE(program.WaitForExit(100));
    program.Kill(5);
    EXPECT_FALSE(program.Running());
    EXPECT_EQ(5u, program.ExitCode());
    EXPECT_FALSE(IsWindow(form));
}

TEST(ProcessTest, ProgramsAreFoundAndEndedByTheirFileName) {
    uia::KillAll(target::kExeName);
    EXPECT_TRUE(uia::ProcessIds(target::kExeName).empty());
    uia::Process first = uia::Process::Start(TargetPath());
    uia::Process second = uia::Process::Start(TargetPath());
    std::vector<DWORD> ids = uia::ProcessIds(target::kExeName);
    std::sort(ids.begin(), ids.end());
    std::vector<DWORD> started = {first.Pid(), second.Pid()};
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, ids);
    // The file name is matched without regard to case, as the system does.
    std::string upper = target::kExeName;
    for (char& c : upper) c = char(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(2u, uia::ProcessIds(upper).size());

    uia::KillAll(target::kExeName);
    EXPECT_FALSE(first.Running());
    EXPECT_FALSE(second.Running());
    EXPECT_TRUE(uia::ProcessIds(target::kExeName).empty());
}

TEST(InstallFolderTest, EnvironmentOverridesTheRecord) {
    char saved[MAX_PATH] = {};
    bool had = GetEnvironmentVariableA("QR_INSTALL_PATH", saved, sizeof saved) > 0;
    SetEnvironmentVariableA("QR_INSTALL_PATH", "C:\\Suite Folder\\");
    EXPECT_EQ("C:\\Suite Folder", uia::InstallFolder());
    EXPECT_EQ("C:\\Suite Folder\\QRWNTPcp.exe", uia::InstallFile("QRWNTPcp.exe"));
    SetEnvironmentVariableA("QR_INSTALL_PATH", had ? saved : nullptr);
}

}  // namespace
