// Setup's run and the whole removal, over a model of the machine's registry and files in memory,
// cut off as by a power loss after each call that changes the model (a copy also halfway through
// its writing). What was not written to the disk is lost at the cut: a file copied since it was
// last flushed keeps half its bytes, and the registry is as its last flush left it, while deletes
// are on the disk at once. At each cut the next start, after the renames and deletions it has
// pending, must find an input driver: the PS/2 port driver registered with its whole file, or the
// touch driver registered to start at boot with its whole file. The same run again on what the
// cut left must then finish the job. The removal starts from every state that setup leaves, cut
// off or not, and from an update whose driver waits for the restart.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/BasWinDIRs.h"
#include "common/MachineCalls.h"
#include "common/PortDriverFile.h"
#include "common/SuiteNames.h"
#include "common/basOEM.h"
#include "setup/basMain.h"

namespace {

struct Cut {};

using Value = std::pair<DWORD, std::vector<BYTE>>;  // type, data
using Key = std::map<std::string, Value>;

struct Model {
    std::map<std::string, Key> keys;  // full paths in lower case, "hklm\..."
    std::map<std::string, Key> keysOnDisk;  // as the last flushes left them
    std::map<std::string, std::vector<char>> files;
    std::set<std::string> filesNotOnDisk;  // copied since their last flush
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
    gModel.filesNotOnDisk.insert(Lower(to));
    Changed();
    return TRUE;
}

BOOL WINAPI ModelDelete(LPCSTR path) {
    if (!gModel.files.erase(Lower(path))) return SetLastError(ERROR_FILE_NOT_FOUND), FALSE;
    gModel.filesNotOnDisk.erase(Lower(path));
    Changed();
    return TRUE;
}

// No run of the table leaves anything to the restart.
BOOL WINAPI ModelMoveAtRestart(LPCSTR from, LPCSTR, DWORD) {
    ADD_FAILURE() << "a move at the restart of " << from;
    return FALSE;
}

Outcome ModelFlushFile(const std::string& path) {
    if (!gModel.files.count(Lower(path))) return Outcome::Failed(ERROR_FILE_NOT_FOUND);
    gModel.filesNotOnDisk.erase(Lower(path));
    return Outcome();
}

bool Below(const std::string& path, const std::string& top) {
    return path == top || path.compare(0, top.size() + 1, top + "\\") == 0;
}

// As Windows' RegFlushKey writes a key's hive: the key and every key below it.
LONG WINAPI ModelFlushKey(HKEY key) {
    const std::string top = gModel.handles.at(size_t(key) - 1);
    for (auto it = gModel.keysOnDisk.begin(); it != gModel.keysOnDisk.end();)
        it = Below(it->first, top) ? gModel.keysOnDisk.erase(it) : std::next(it);
    for (const auto& [path, values] : gModel.keys)
        if (Below(path, top)) gModel.keysOnDisk[path] = values;
    return ERROR_SUCCESS;
}

// The power goes: what was not on the disk is lost.
void LoseWhatIsNotOnTheDisk() {
    gModel.keys = gModel.keysOnDisk;
    for (const std::string& path : gModel.filesNotOnDisk) {
        std::vector<char>& bytes = gModel.files.at(path);
        bytes.resize(bytes.size() / 2);
    }
    gModel.filesNotOnDisk.clear();
}

// Where Windows keeps the renames and deletions of the next start: pairs of "\??\" and a path.
const std::string kSessionManager = "hklm\\system\\currentcontrolset\\control\\session manager";
constexpr char kPendingValue[] = "pendingfilerenameoperations";

void SetPending(Model& m, const std::vector<std::pair<std::string, std::string>>& operations) {
    std::vector<BYTE> list;
    for (const auto& [from, to] : operations)
        for (const std::string& path : {"\\??\\" + from, to.empty() ? to : "\\??\\" + to})
            list.insert(list.end(), path.c_str(), path.c_str() + path.size() + 1);
    list.push_back(0);
    m.keys[kSessionManager][kPendingValue] = {REG_MULTI_SZ, list};
}

// The files as the next start finds them, once it has done what was pending.
std::map<std::string, std::vector<char>> FilesAtTheNextStart(const Model& m) {
    std::map<std::string, std::vector<char>> files = m.files;
    const auto key = m.keys.find(kSessionManager);
    if (key == m.keys.end() || !key->second.count(kPendingValue)) return files;
    const std::vector<BYTE>& list = key->second.at(kPendingValue).second;
    std::vector<std::string> paths;
    for (size_t at = 0; at < list.size() && list[at] != 0;) {
        paths.emplace_back(reinterpret_cast<const char*>(&list[at]));
        at += paths.back().size() + 1;
        paths.emplace_back(at < list.size() ? reinterpret_cast<const char*>(&list[at]) : "");
        at += paths.back().size() + 1;
    }
    for (size_t i = 0; i + 1 < paths.size(); i += 2) {
        const std::string from = Lower(paths[i].substr(4)), to = paths[i + 1].empty() ? "" : Lower(paths[i + 1].substr(4));
        const auto found = files.find(from);
        if (found == files.end()) continue;
        if (!to.empty()) files[to] = found->second;
        files.erase(from);
    }
    return files;
}

Outcome ModelRead(const std::string& path, std::vector<char>& bytes) {
    const auto found = gModel.files.find(Lower(path));
    if (found == gModel.files.end()) return Outcome::Failed(ERROR_FILE_NOT_FOUND);
    bytes = found->second;
    return Outcome();
}

// The log is no part of what the next start finds.
void ModelLog(const std::string&) {}

// The real calls but for those of the model: nothing of the model restarts or awaits anything.
MachineCalls ModelCalls() {
    MachineCalls calls = kWindowsCalls;
    calls.regCreateKey = ModelCreateKey;
    calls.regOpenKey = ModelOpenKey;
    calls.regCloseKey = ModelCloseKey;
    calls.regQueryValueEx = ModelQuery;
    calls.regSetValueEx = ModelSet;
    calls.getFileAttributes = ModelAttributes;
    calls.setFileAttributes = ModelSetAttributes;
    calls.copyFile = ModelCopy;
    calls.deleteFile = ModelDelete;
    calls.moveFileEx = ModelMoveAtRestart;
    calls.regFlushKey = ModelFlushKey;
    calls.readFile = ModelRead;
    calls.flushFile = ModelFlushFile;
    calls.appendLog = ModelLog;
    return calls;
}

const std::string kServices = "hklm\\system\\currentcontrolset\\services\\";
// Where the installation record says the suite lies: no folder the model has.
const std::string kInstallPath = "C:\\QR no such folder";

Value Dword(DWORD number) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof number)};
}
Value Text(const std::string& text) { return {REG_SZ, std::vector<BYTE>(text.begin(), text.end() + 1)}; }

// A whole program image of which any copy cut short is not whole: the bed's touch driver.
std::vector<char> WholeImage() {
    std::vector<char> bytes;
    EXPECT_TRUE(kWindowsCalls.readFile(DriversDir + kDriverFileName, bytes)) << DriversDir + kDriverFileName;
    return bytes;
}

// The machine as the installer leaves it for setup, all of it on the disk: the port driver
// registered with its file, the touch driver's file beside it, the installation record.
Model Installed() {
    static const std::vector<char> image = WholeImage();
    Model m;
    m.keys[kServices.substr(0, kServices.size() - 1)];
    m.keys[kSessionManager];
    m.keys[kServices + "i8042prt"] = {{"start", Dword(1)}, {"errorcontrol", Dword(1)}};
    m.keys[kServices + "i8042prt\\parameters"] = {{"samplerate", Dword(60)}};
    m.keys["hklm\\software\\orvale\\touchscreen\\qr-k52-ps2"] = {
        {"vendername", Text("Orvale TouchScreen")}, {"installpath", Text(kInstallPath)},
        {"windowspath", Text("C:\\windows")}, {"systempath", Text("C:\\windows\\system32")},
        {"hardwareid", Text("*VXN0001")}};
    m.files[Lower(DriversDir + "i8042prt.sys")] = image;
    m.files[Lower(DriversDir + kDriverFileName)] = image;
    m.keysOnDisk = m.keys;
    return m;
}

// Whether the next start loads the service's driver: the port driver unless it is disabled, the
// touch driver only as a kernel driver that starts at boot.
bool Registered(const Model& m, const std::string& service) {
    const auto key = m.keys.find(kServices + service);
    if (key == m.keys.end()) return false;
    const auto start = key->second.find("start"), type = key->second.find("type");
    if (start == key->second.end()) return false;
    if (service == "i8042prt") return start->second != Dword(SERVICE_DISABLED);
    return type != key->second.end() && type->second == Dword(SERVICE_KERNEL_DRIVER) &&
           (start->second == Dword(SERVICE_BOOT_START) || start->second == Dword(SERVICE_SYSTEM_START));
}

// Whether Windows, started now, would load a driver for the keyboard.
bool NextStartHasInputDriver() {
    Model next = gModel;
    next.files = FilesAtTheNextStart(gModel);
    std::swap(gModel, next);
    const bool has = (Registered(gModel, "i8042prt") && IsWholeImage(DriversDir + "i8042prt.sys")) ||
                     (Registered(gModel, "qrwntps2") && IsWholeImage(DriversDir + kDriverFileName));
    std::swap(gModel, next);
    return has;
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

// What the uninstall program's script deletes of what the next start reads, after it has put the
// port driver's file back with the uninstaller's own code.
void DeleteTheTouchDriver() {
    for (const std::string& file : {DriversDir + kDriverFileName, DriversDir + kDriverBaseName + ".new"})
        Machine->deleteFile(file.c_str());
    const std::string service = kServices + "qrwntps2";
    bool deleted = false;
    for (auto it = gModel.keys.begin(); it != gModel.keys.end();) {
        deleted = deleted || Below(it->first, service);
        it = Below(it->first, service) ? gModel.keys.erase(it) : std::next(it);
    }
    if (deleted) Changed();
}

// The whole removal as it runs: the uninstall program, then the uninstaller's own look at the
// port driver's file, with the same code.
bool RunRemoval() {
    if (RestorePortDriverFile(DriversDir) != ERROR_SUCCESS) return false;
    DeleteTheTouchDriver();
    return RestorePortDriverFile(DriversDir) == ERROR_SUCCESS;
}

struct Start {
    std::string what;
    Model model;
};

// Runs run from start, then cut off after each change of that run (a copy also halfway), checks
// the next start and a second run each time. Returns what each run left: the starts of the runs
// that may follow.
std::vector<Start> CutAtEveryChange(const std::string& what, const Start& start, bool (*run)()) {
    gModel = start.model;
    EXPECT_TRUE(run()) << what << " from " << start.what;
    const Model finished = gModel;
    EXPECT_TRUE(NextStartHasInputDriver()) << what << " from " << start.what;
    std::vector<Start> left;
    for (int cutAt = 1; cutAt <= finished.changes; ++cutAt) {
        for (const bool halfway : {false, true}) {
            const std::string at = what + " from " + start.what + ", cut at change " + std::to_string(cutAt) +
                                   (halfway ? " halfway" : "");
            gModel = start.model;
            gModel.cutAt = cutAt;
            gModel.halfway = halfway;
            EXPECT_THROW(run(), Cut) << at;
            LoseWhatIsNotOnTheDisk();
            EXPECT_TRUE(NextStartHasInputDriver()) << at;
            gModel.cutAt = 0;
            gModel.changes = 0;
            left.push_back({at, gModel});
            EXPECT_TRUE(run()) << at << ", run again";
            EXPECT_TRUE(gModel.keys == finished.keys && gModel.files == finished.files) << at << ", run again";
        }
    }
    gModel = finished;
    gModel.changes = 0;
    left.push_back({what + " from " + start.what, gModel});
    return left;
}

TEST(PowerCut, AtEveryChangeTheNextStartHasAnInputDriverAndARunAgainFinishes) {
    ASSERT_TRUE(GetWindowsPaths());
    // Made here, after the real calls' table: its entries are known only once the program runs.
    const MachineCalls calls = ModelCalls();
    MachineInUse model(calls);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseBoxes, nullptr, GetCurrentThreadId());

    // A removal not yet followed by its restart has left the deletions of what it could not
    // delete at once; the installation written since must survive them.
    Start notRestarted = {"a removal not yet restarted", Installed()};
    SetPending(notRestarted.model, {{kInstallPath + "\\unins000.exe", ""},
                                    {WindowsDir + kUninstallerFile, ""},
                                    {DriversDir + kDriverFileName, ""},
                                    {kInstallPath, ""}});
    notRestarted.model.keysOnDisk = notRestarted.model.keys;
    CutAtEveryChange("setup", notRestarted, RunSetup);

    std::vector<Start> removalStarts = CutAtEveryChange("setup", {"the installation", Installed()}, RunSetup);
    EXPECT_GE(removalStarts.size(), 7u);
    // An update over the running driver: the new file takes its place at the restart.
    Start update = {"an update waiting for the restart", removalStarts.back().model};
    update.model.files[Lower(DriversDir + kDriverBaseName + ".new")] = WholeImage();
    SetPending(update.model, {{DriversDir + kDriverBaseName + ".new", DriversDir + kDriverFileName}});
    update.model.keysOnDisk = update.model.keys;
    removalStarts.push_back(update);
    for (const Start& start : removalStarts) CutAtEveryChange("the removal", start, RunRemoval);

    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(gAsked) << "a run showed a message box";
}

}  // namespace
