// Starting, following and ending programs; their processor time; the install folder.
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
    // Wine keeps no processor time of an ended program; a made-up zero would pass any
    // "idle enough" check.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        EXPECT_THROW(program.CpuSeconds(), uia::Error);
    }
}

TEST_F(TargetTest, ProcessorTimeTellsIdleFromBusy) {
    double before = program.CpuSeconds();
    Sleep(1000);
    double idle = program.CpuSeconds() - before;
    EXPECT_LT(idle, 0.15);
    before = program.CpuSeconds();
    uia::Click(Ctl(target::kSpin.name));
    double busy = program.CpuSeconds() - before;
    // The program counts its own time a little differently; what matters is that a busy
    // program is told from an idle one.
    EXPECT_GE(busy, target::kSpinSeconds / 2);
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
    // The system counts processor time in clock ticks: a program just started may have none yet.
    EXPECT_TRUE(uia::WaitUntil([&] { return uia::ThreadCpuSeconds(first.Pid()) > 0.0; }));

    uia::KillAll(target::kExeName);
    EXPECT_FALSE(first.Running());
    EXPECT_FALSE(second.Running());
    EXPECT_TRUE(uia::ProcessIds(target::kExeName).empty());
    EXPECT_EQ(0.0, uia::ThreadCpuSeconds(first.Pid()));
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
