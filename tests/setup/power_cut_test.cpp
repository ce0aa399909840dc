// Setup's run and the uninstaller's restore of the port driver's file, over a model of the
// machine's registry and files in memory, cut off as by a power loss after each call that changes
// the model (a copy also halfway through its writing). At each cut the next start must find an
// input driver: the PS/2 port driver registered with its whole file, or the touch driver. The same
// program run again on what the cut left must then finish the job.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/BasWinDIRs.h"
#include "common/MachineCalls.h"
#include "common/PortDriverFile.h"
#include "common/SuiteNames.h"
#include "common/basOEM.h"
#include "setup/basMain.h"
#include "uninstall/basMain.h"

namespace {

struct Cut {};

using Value = std::pair<DWORD, std::vector<BYTE>>;  // type, data
using Key = std::map<std::string, Value>;

struct Model {
    std::map<std::string, Key> keys;  // full paths in lower case, "hklm\..."
    std::map<std::string, std::vector<char>> files;
    std::vector<std::string> handles;
    int changes = 0;
    int cutAt = 0;  // the change after which the power goes; 0: never
    bool halfway = false;  // a copy at the cut writes half its bytes
};
Model gModel;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(tolower(c)); });
    return text;
}

void Changed() {
    if (++gModel.changes == gModel.cutAt) throw Cut{};
}

std::string KeyPath(HKEY parent, LPCSTR sub) {
    const std::string base = parent == HKEY_LOCAL_MACHINE ? "hklm" : gModel.handles.at(size_t(parent) - 1);
    return Lower(base + "\\" + sub);
}

HKEY Handle(const std::string& path) {
    gModel.handles.push_back(path);
    return reinterpret_cast<HKEY>(gModel.handles.size());
}

LONG WINAPI ModelCreateKey(HKEY parent, LPCSTR sub, PHKEY key) {
    const std::string path = KeyPath(parent, sub);
    *key = Handle(path);
    if (gModel.keys.count(path)) return ERROR_SUCCESS;
    gModel.keys[path];
    Changed();
    return ERROR_SUCCESS;
}

LONG WINAPI ModelOpenKey(HKEY parent, LPCSTR sub, PHKEY key) {
    const std::string path = KeyPath(parent, sub);
    if (!gModel.keys.count(path)) return ERROR_FILE_NOT_FOUND;
    *key = Handle(path);
    return ERROR_SUCCESS;
}

LONG WINAPI ModelCloseKey(HKEY) { return ERROR_SUCCESS; }

LONG WINAPI ModelQuery(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    const Key& values = gModel.keys.at(gModel.handles.at(size_t(key) - 1));
    const auto found = values.find(Lower(name));
    if (found == values.end()) return ERROR_FILE_NOT_FOUND;
    const std::vector<BYTE>& bytes = found->second.second;
    if (type) *type = found->second.first;
    const DWORD room = *size;
    *size = DWORD(bytes.size());
    if (data == nullptr) return ERROR_SUCCESS;
    if (room < bytes.size()) return ERROR_MORE_DATA;
    std::copy(bytes.begin(), bytes.end(), data);
    return ERROR_SUCCESS;
}

LONG WINAPI ModelSet(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    gModel.keys.at(gModel.handles.at(size_t(key) - 1))[Lower(name)] = {type, std::vector<BYTE>(data, data + size)};
    Changed();
    return ERROR_SUCCESS;
}

DWORD WINAPI ModelAttributes(LPCSTR path) {
    if (gModel.files.count(Lower(path))) return FILE_ATTRIBUTE_ARCHIVE;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
}

BOOL WINAPI ModelSetAttributes(LPCSTR path, DWORD) {
    if (!gModel.files.count(Lower(path))) return SetLastError(ERROR_FILE_NOT_FOUND), FALSE;
    Changed();
    return TRUE;
}

BOOL WINAPI ModelCopy(LPCSTR from, LPCSTR to, BOOL) {
    const auto source = gModel.files.find(Lower(from));
    if (source == gModel.files.end()) return SetLastError(ERROR_FILE_NOT_FOUND), FALSE;
    std::vector<char>& target = gModel.files[Lower(to)];
    target = source->second;
    if (gModel.halfway && gModel.changes + 1 == gModel.cutAt) target.resize(target.size() / 2);
    Changed();
    return TRUE;
}

BOOL WINAPI ModelDelete(LPCSTR path) {
    if (!gModel.files.erase(Lower(path))) return SetLastError(ERROR_FILE_NOT_FOUND), FALSE;
    Changed();
    return TRUE;
}

// Neither run leaves anything to the restart.
BOOL WINAPI ModelMoveAtRestart(LPCSTR from, LPCSTR, DWORD) {
    ADD_FAILURE() << "a move at the restart of " << from;
    return FALSE;
}

bool ModelRead(const std::string& path, std::vector<char>& bytes) {
    const auto found = gModel.files.find(Lower(path));
    if (found == gModel.files.end()) return SetLastError(ERROR_FILE_NOT_FOUND), false;
    bytes = found->second;
    return true;
}

// The log is no part of what the next start finds.
void ModelLog(const std::string&) {}

constexpr MachineCalls kModelCalls = {ModelCreateKey, ModelOpenKey,   ModelCloseKey,      ModelQuery,
                                      ModelSet,       ModelAttributes, ModelSetAttributes, ModelCopy,
                                      ModelDelete,    ModelMoveAtRestart, ModelRead,       ModelLog};

const std::string kServices = "hklm\\system\\currentcontrolset\\services\\";

Value Dword(DWORD number) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof number)};
}
Value Text(const std::string& text) { return {REG_SZ, std::vector<BYTE>(text.begin(), text.end() + 1)}; }

// A whole program image of which any copy cut short is not whole: the bed's touch driver.
std::vector<char> WholeImage() {
    std::vector<char> bytes;
    EXPECT_TRUE(kWindowsCalls.readFile(DriversDir + kDriverFileName, bytes));
    return bytes;
}

// The machine as the installer leaves it for setup: the port driver registered with its file,
// the touch driver's file beside it, the installation record.
Model Installed() {
    static const std::vector<char> image = WholeImage();
    Model m;
    m.keys[kServices + "i8042prt"] = {{"start", Dword(1)}, {"errorcontrol", Dword(1)}};
    m.keys[kServices + "i8042prt\\parameters"] = {{"samplerate", Dword(60)}};
    m.keys["hklm\\software\\orvale\\touchscreen\\qr-k52-ps2"] = {
        {"vendername", Text("Orvale TouchScreen")}, {"installpath", Text("C:\\QR no such folder")},
        {"windowspath", Text("C:\\windows")}, {"systempath", Text("C:\\windows\\system32")},
        {"hardwareid", Text("*VXN0001")}};
    m.files[Lower(DriversDir + "i8042prt.sys")] = image;
    m.files[Lower(DriversDir + kDriverFileName)] = image;
    return m;
}

bool Registered(const Model& m, const std::string& service) {
    const auto key = m.keys.find(kServices + service);
    if (key == m.keys.end()) return false;
    const auto start = key->second.find("start"), type = key->second.find("type");
    return start != key->second.end() && start->second != Dword(SERVICE_DISABLED) &&
           (service == "i8042prt" || (type != key->second.end() && type->second == Dword(SERVICE_KERNEL_DRIVER)));
}

// Whether Windows, started now, would load a driver for the keyboard.
bool NextStartHasInputDriver() {
    return (Registered(gModel, "i8042prt") && IsWholeImage(DriversDir + "i8042prt.sys")) ||
           (Registered(gModel, "qrwntps2") && IsWholeImage(DriversDir + kDriverFileName));
}

// Refuses every message box: a run that would ask something has failed, and must not wait.
bool gAsked = false;
LRESULT CALLBACK RefuseBoxes(int code, WPARAM window, LPARAM lParam) {
    char name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(HWND(window), name, sizeof name) && !strcmp(name, "#32770")) {
        gAsked = true;
        return 1;
    }
    return CallNextHookEx(nullptr, code, window, lParam);
}

bool RunSetup() {
    HardwareID.clear();
    VenderName.clear();
    return SetUpDriver() == kSetupDone;
}
bool RunRestore() { return RestorePortDriver(DriversDir); }

// Each run starts from the installed machine, after what comes before it.
const struct {
    const char* what;
    bool (*before)();
    bool (*run)();
} kRuns[] = {
    {"setup", nullptr, RunSetup},
    {"the port driver's restore", RunSetup, RunRestore},
};

TEST(PowerCut, AtEveryChangeTheNextStartHasAnInputDriverAndARunAgainFinishes) {
    ASSERT_TRUE(GetWindowsPaths());
    Machine = &kModelCalls;
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseBoxes, nullptr, GetCurrentThreadId());
    for (const auto& run : kRuns) {
        const auto start = [&] {
            gModel = Installed();
            EXPECT_TRUE(!run.before || run.before()) << run.what;
            gModel.changes = 0;
        };
        start();
        ASSERT_TRUE(run.run()) << run.what;
        const Model finished = gModel;
        EXPECT_GE(finished.changes, 3) << run.what;
        for (int cutAt = 1; cutAt <= finished.changes; ++cutAt) {
            for (const bool halfway : {false, true}) {
                const std::string at = std::string(run.what) + ", cut at change " + std::to_string(cutAt) +
                                       (halfway ? " halfway" : "");
                start();
                gModel.cutAt = cutAt;
                gModel.halfway = halfway;
                EXPECT_THROW(run.run(), Cut) << at;
                EXPECT_TRUE(NextStartHasInputDriver()) << at;
                gModel.cutAt = 0;
                EXPECT_TRUE(run.run()) << at << ", run again";
                EXPECT_TRUE(gModel.keys == finished.keys && gModel.files == finished.files) << at << ", run again";
            }
        }
    }
    UnhookWindowsHookEx(hook);
    Machine = &kWindowsCalls;
    EXPECT_FALSE(gAsked) << "a run showed a message box";
}

}  // namespace
