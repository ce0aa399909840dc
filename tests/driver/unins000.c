/* Test bed stand-in for the suite's outside uninstall program: notes its command line in
 * unins000.log beside itself, waits QR_UNINS000_DELAY_MS milliseconds when that is set (so
 * that tests can check who waits for it), and ends. */
#include <windows.h>

#include <stdlib.h>
#include <string.h>

int main(void)
{
    char path[MAX_PATH], delay[16];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH - 8), written;
    const char *line = GetCommandLineA();
    char *slash;
    HANDLE log;

    if (length == 0 || length >= MAX_PATH - 8)
        return 1;
    slash = strrchr(path, '\\');
    strcpy(slash ? slash + 1 : path, "unins000.log");
    log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log != INVALID_HANDLE_VALUE) {
        WriteFile(log, line, (DWORD)strlen(line), &written, NULL);
        WriteFile(log, "\r\n", 2, &written, NULL);
        CloseHandle(log);
    }
    if (GetEnvironmentVariableA("QR_UNINS000_DELAY_MS", delay, sizeof delay) && delay[0])
        Sleep((DWORD)strtoul(delay, NULL, 10));
    return 0;
}
