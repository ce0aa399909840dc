/* Test bed stand-in for Wine's wineboot.exe, in front of the real one. Wine's ExitWindowsEx runs
 * "wineboot --end-session", which then does the pending file renames while the session's driver
 * host still has the touch driver loaded, so the driver's file cannot go. Windows does those
 * renames at the next start, before any driver loads. Here an end-session only closes the
 * session's windows (--shutdown); the bed's restart ends the session, and the next session's
 * "wineboot --init" does the renames before it starts the services. Every other call is passed
 * on as it is to the real wineboot, Wine's builtin one. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

/* Wine names its folder of builtin programs, e.g. \??\Z:\usr\lib\x86_64-linux-gnu\wine. */
#define DOS_DEVICES "\\??\\"
#ifdef _WIN64
#define BUILTIN_FOLDER "x86_64-windows"
#else
#define BUILTIN_FOLDER "i386-windows"
#endif

/* Wine's ExitWindowsEx passes long options only. */
static int HasOption(const char *arguments, const char *name)
{
    const char *at = strstr(arguments, name);
    size_t length = strlen(name);
    return at != NULL && (at[length] == '\0' || at[length] == ' ');
}

int main(void)
{
    const char *line = GetCommandLineA(), *arguments = line;
    char folder[MAX_PATH], command[4096], program[MAX_PATH];
    STARTUPINFOA start;
    PROCESS_INFORMATION process;
    DWORD code = 1, length;
    int deferRenames;

    /* The arguments follow the program's name, quoted or not. */
    if (*arguments == '"') {
        arguments = strchr(arguments + 1, '"');
        arguments = arguments ? arguments + 1 : line + strlen(line);
    } else {
        while (*arguments && *arguments != ' ') ++arguments;
    }
    deferRenames = HasOption(arguments, "--end-session") && !HasOption(arguments, "--kill") &&
                   !HasOption(arguments, "--shutdown");

    ZeroMemory(&start, sizeof start);
    start.cb = sizeof start;
    /* The real one, by its own path: the name in the system folder is this file's. */
    length = GetEnvironmentVariableA("WINEDLLDIR0", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return 1;
    if (snprintf(program, sizeof program, "%s\\%s\\wineboot.exe",
                 strncmp(folder, DOS_DEVICES, strlen(DOS_DEVICES)) == 0 ? folder + strlen(DOS_DEVICES) : folder,
                 BUILTIN_FOLDER) >= (int)sizeof program)
        return 1;
    if (snprintf(command, sizeof command, "\"%s\"%s%s", program, arguments, deferRenames ? " --shutdown" : "") >=
        (int)sizeof command)
        return 1;
    if (!CreateProcessA(program, command, NULL, NULL, FALSE, 0, NULL, NULL, &start, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}
