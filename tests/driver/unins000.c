/* Test bed stand-in for the suite's outside uninstall program: notes its command line in
 * unins000.log beside itself, waits QR_UNINS000_DELAY_MS milliseconds when that is set (so
 * that tests can check who waits for it), and ends with QR_UNINS000_EXIT_CODE when that is set,
 * else 0.
 *
 * With QR_UNINS000_GATE set it notes nothing and is a gate in front of the real program, unins000.gated.exe
 * beside it: it waits until the event of that name is set, then runs that program with its own
 * arguments and ends with its exit code. A test so holds the real program back for as long as
 * it likes. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int RunGated(const char *folder, const char *gate, const char *arguments)
{
    char command[2 * MAX_PATH];
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD code = 1;
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, gate);

    if (!event || WaitForSingleObject(event, INFINITE) != WAIT_OBJECT_0)
        return 1;
    CloseHandle(event);
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    snprintf(command, sizeof command, "\"%sunins000.gated.exe\" %s", folder, arguments);
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (int)code;
}

/* What follows the program's name on a command line. */
static const char *Arguments(const char *line)
{
    if (*line == '"') {
        line = strchr(line + 1, '"');
        line = line ? line + 1 : "";
    } else {
        while (*line && *line != ' ')
            line++;
    }
    while (*line == ' ')
        line++;
    return line;
}

int main(void)
{
    char path[MAX_PATH], delay[16], gate[64], code[16];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH - 8), written;
    const char *line = GetCommandLineA();
    char *slash;
    HANDLE log;

    if (length == 0 || length >= MAX_PATH - 8)
        return 1;
    slash = strrchr(path, '\\');
    if (GetEnvironmentVariableA("QR_UNINS000_GATE", gate, sizeof gate) && gate[0]) {
        if (slash)
            slash[1] = '\0';
        return RunGated(slash ? path : "", gate, Arguments(line));
    }
    strcpy(slash ? slash + 1 : path, "unins000.log");
    log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        WriteFile(log, line, (DWORD)strlen(line), &written, NULL);
        WriteFile(log, "\r\n", 2, &written, NULL);
        CloseHandle(log);
    }
    if (GetEnvironmentVariableA("QR_UNINS000_DELAY_MS", delay, sizeof delay) && delay[0])
        Sleep((DWORD)strtoul(delay, NULL, 10));
    if (GetEnvironmentVariableA("QR_UNINS000_EXIT_CODE", code, sizeof code) && code[0])
        return (int)strtoul(code, NULL, 10);
    return 0;
}
