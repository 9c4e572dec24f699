/* Starts the rest of its own command line as a Windows program with CREATE_NO_WINDOW, as scheduled
 * tasks and programs' export hooks start tools: with a console of its own that has no window and
 * nobody to type into it. Waits for it and ends with its exit status (127 when it cannot start). */
#include <windows.h>

#include <wchar.h>

int wmain(void)
{
    const wchar_t *rest = GetCommandLineW();
    int quoted = 0;
    for (; *rest && (quoted || (*rest != L' ' && *rest != L'\t')); ++rest)
        if (*rest == L'"')
            quoted = !quoted;
    while (*rest == L' ' || *rest == L'\t')
        ++rest;

    wchar_t *command = _wcsdup(rest);
    STARTUPINFOW startup = {.cb = sizeof startup};
    PROCESS_INFORMATION process;
    if (!command || !CreateProcessW(NULL, command, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process))
        return 127;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(process.hProcess, &status);
    return (int)status;
}
