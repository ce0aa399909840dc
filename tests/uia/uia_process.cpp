// Programs: start, attach, wait, end, processor time; install folder; waits and errors.
#include "tests/uia/uia.h"

#include <tlhelp32.h>

#include <cstdio>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia_internal.h"

namespace uia {

namespace {

constexpr DWORD kPollInterval = 10;
constexpr char kInstallPathVariable[] = "QR_INSTALL_PATH";
constexpr char kInstallPathValue[] = "InstallPath";

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

bool ReadEnvironment(const char* name, std::string& value) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return false;
    value.assign(buffer, n);
    return true;
}

}  // namespace

namespace detail {

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string StoredText(HWND w) {
    char buffer[512];
    int n = GetWindowTextA(w, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? size_t(n) : 0);
}

std::string Describe(HWND w) {
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(w));
    if (IsWindowless(w)) return std::string("windowless control ") + handle + " name " + Name(w);
    if (!IsWindow(w)) return std::string("window ") + handle + " (destroyed)";
    std::string name = Name(w);
    return std::string("window ") + handle + " " + Quote(StoredText(w)) + " class " + ClassName(w) +
           (name.empty() ? "" : " name " + name);
}

void Fail(const std::string& what) { throw Error(what); }

void FailWin32(const std::string& what) { throw Error(what + ": " + ErrorText(GetLastError())); }

}  // namespace detail

using detail::Fail;
using detail::FailWin32;
using detail::Quote;

std::string ErrorText(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n ? std::string(text, n) : std::string("unknown error");
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message + " (error " + std::to_string(code) + ")";
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        Sleep(kPollInterval);
    }
}

void Require(const std::function<bool()>& pred, const std::string& what, DWORD timeoutMs) {
    if (!WaitUntil(pred, timeoutMs))
        Fail("timed out after " + std::to_string(timeoutMs) + " ms waiting for " + what);
}

// ---------------------------------------------------------------------------

Process::~Process() {
    if (Running()) Kill();
    Close();
}

Process::Process(Process&& other) noexcept : process_(other.process_), pid_(other.pid_) {
    other.process_ = nullptr;
    other.pid_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (Running()) Kill();
        Close();
        process_ = other.process_;
        pid_ = other.pid_;
        other.process_ = nullptr;
        other.pid_ = 0;
    }
    return *this;
}

Process Process::Start(const std::string& path, const std::string& args,
                       const std::string& workDir) {
    std::string folder = workDir;
    if (folder.empty()) {
        size_t slash = path.find_last_of("\\/");
        if (slash != std::string::npos) folder = path.substr(0, slash);
    }
    std::string line = "\"" + path + "\"";
    if (!args.empty()) line += " " + args;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const auto start = [&] {
        return CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &si, &pi) != FALSE;
    };
    bool started = start();
    // Now and then, more often on a busy machine, Wine loses a new process inside its own start,
    // before the program's first instruction (the process ends before the loader reports it
    // ready, and CreateProcess says ERROR_INTERNAL_ERROR). That tells nothing of the program, so
    // it is started once more, and the output says so.
    if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
        std::fprintf(stderr, "uia: Wine lost %s in its start (error 1359); starting it once more\n",
                     Quote(path).c_str());
        started = start();
    }
    if (!started) FailWin32("cannot start " + Quote(path));
    CloseHandle(pi.hThread);
    Process p;
    p.process_ = pi.hProcess;
    p.pid_ = pi.dwProcessId;
    return p;
}

Process Process::Attach(DWORD pid) {
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!h) FailWin32("cannot open process " + std::to_string(pid));
    Process p;
    p.process_ = h;
    p.pid_ = pid;
    return p;
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs) const {
    if (!process_) return true;
    return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    if (!process_ || !GetExitCodeProcess(process_, &code))
        FailWin32("no exit code of process " + std::to_string(pid_));
    return code;
}

void Process::Kill(UINT exitCode) {
    if (!Running()) return;
    TerminateProcess(process_, exitCode);
    WaitForSingleObject(process_, kDefaultTimeout);
}

void Process::Detach() { Close(); }

void Process::Close() {
    if (process_) CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

// ---------------------------------------------------------------------------

std::string InstallFolder() {
    std::string path;
    if (ReadEnvironment(kInstallPathVariable, path) && !path.empty())
        return WithoutTrailingBackslash(path);

    const std::string key = std::string(kMakerKey) + "\\" + kModelName;
    const RegistryValue value = ReadRegistryValue(HKEY_LOCAL_MACHINE, key, kInstallPathValue);
    if (!value.exists || (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        Fail(std::string("no install folder: ") + kInstallPathVariable + " is not set and the installation record HKLM\\" +
             key + " has no string value " + kInstallPathValue);
    path.assign(value.data.c_str());
    if (path.empty()) Fail("no install folder: " + std::string(kInstallPathValue) + " is empty");
    return WithoutTrailingBackslash(path);
}

std::string InstallFile(const std::string& file) { return InstallFolder() + "\\" + file; }

std::string Environment(const char* name) {
    std::string value;
    if (!ReadEnvironment(name, value)) Fail(std::string(name) + " is not set");
    return value;
}

std::string ExeFolder() {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::vector<DWORD> ProcessIds(const std::string& exeFile) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeFile.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

void KillAll(const std::string& exeFile) {
    for (DWORD id : ProcessIds(exeFile)) Process::Attach(id).Kill();
}

}  // namespace uia
