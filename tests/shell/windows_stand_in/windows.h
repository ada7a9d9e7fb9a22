#pragma once
// Stands in for <windows.h> where the program is not built for Windows: the names the
// Windows file uses, with the Windows API's values, and calls that answer as the test sets
// them up (g_windows) and record what was written and shown (g_calls).

#include <cstdint>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#define WINAPI
using BYTE = unsigned char;
using BOOL = int;
using UINT = unsigned int;
using DWORD = unsigned long;
using ULONG_PTR = std::uintptr_t;
using LPSTR = char *;
using HANDLE = void *;
#define TRUE 1
#define FALSE 0

#define VK_LWIN 0x5B
#define KEYEVENTF_KEYUP 0x0002
#define SPI_GETSCREENREADER 0x0046
#define STD_OUTPUT_HANDLE DWORD(-11)
#define STD_ERROR_HANDLE DWORD(-12)
#define INVALID_HANDLE_VALUE HANDLE(-1)
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
#define CP_UTF8 65001
#define ATTACH_PARENT_PROCESS DWORD(-1)
#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define FILE_SHARE_WRITE 0x00000002
#define OPEN_EXISTING 3
#define MB_OK 0x0
#define MB_ICONWARNING 0x30
#define MB_ICONINFORMATION 0x40
#define MB_SETFOREGROUND 0x10000

struct KeyEventCall {
    BYTE key;
    BYTE scan;
    DWORD flags;
    ULONG_PTR extra;
};

inline std::vector<KeyEventCall> g_keyEvents;

inline void keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra)
{
    g_keyEvents.push_back({key, scan, flags, extra});
}

// A handle as the stand-in system knows it.
struct StandInHandle {
    DWORD type = FILE_TYPE_UNKNOWN;
    bool console = false;    // a console this program is attached to
    bool writable = true;
    std::string name;        // as g_calls names it
};

struct StandInWindows {
    std::string systemFolder, systemFolder32;   // empty: the call fails
    UINT bufferSize = 0;                        // the size the last folder call was given
    std::map<DWORD, HANDLE> standard;           // GetStdHandle's answers; missing: none
    std::map<HANDLE, StandInHandle> handles;
    bool parentConsole = false;                 // AttachConsole(ATTACH_PARENT_PROCESS) works
};

inline StandInWindows g_windows;
inline std::vector<std::string> g_calls;

// As Windows answers: the length written, or the size it would need when the buffer is too small.
inline UINT folderAnswer(const std::string &folder, LPSTR buffer, UINT size)
{
    g_windows.bufferSize = size;
    if (folder.empty() || folder.size() >= size)
        return folder.empty() ? 0 : UINT(folder.size() + 1);
    buffer[folder.copy(buffer, folder.size())] = '\0';
    return UINT(folder.size());
}

inline UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return folderAnswer(g_windows.systemFolder, buffer, size); }
inline UINT GetSystemWow64DirectoryA(LPSTR buffer, UINT size) { return folderAnswer(g_windows.systemFolder32, buffer, size); }

// Under Wine the real one is asked (tests/app/test_lector_windows.cpp).
inline BOOL SystemParametersInfoW(UINT, UINT, void *, UINT) { return FALSE; }

inline HANDLE GetStdHandle(DWORD which)
{
    const auto found = g_windows.standard.find(which);
    return found == g_windows.standard.end() ? nullptr : found->second;
}

inline DWORD GetFileType(HANDLE handle) { return g_windows.handles[handle].type; }
inline BOOL GetConsoleMode(HANDLE handle, DWORD *) { return g_windows.handles[handle].console; }

// UTF-8 of the Latin letters the tests write (below U+0800).
inline std::string utf8(const wchar_t *text, int size)
{
    std::string bytes;
    for (int i = 0; i < size; ++i) {
        const unsigned c = unsigned(text[i]);
        bytes += c < 0x80 ? std::string(1, char(c)) : std::string{char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    }
    return bytes;
}

inline int WideCharToMultiByte(UINT, DWORD, const wchar_t *text, int size, char *out, int room, const char *, BOOL *)
{
    const std::string bytes = utf8(text, size);
    if (out)
        bytes.copy(out, std::size_t(room));
    return int(bytes.size());
}

inline BOOL WriteFile(HANDLE handle, const void *data, DWORD size, DWORD *written, void *)
{
    const StandInHandle &target = g_windows.handles[handle];
    if (!target.writable || target.console)
        return FALSE;
    g_calls.push_back("WriteFile " + target.name + " " + std::string(static_cast<const char *>(data), size));
    *written = size;
    return TRUE;
}

inline BOOL WriteConsoleW(HANDLE handle, const wchar_t *text, DWORD size, DWORD *written, void *)
{
    const StandInHandle &target = g_windows.handles[handle];
    if (!target.console)
        return FALSE;
    g_calls.push_back("WriteConsoleW " + target.name + " " + utf8(text, int(size)));
    *written = size;
    return TRUE;
}

inline BOOL AttachConsole(DWORD)
{
    if (!g_windows.parentConsole)
        return FALSE;
    g_windows.handles[HANDLE(100)] = {FILE_TYPE_CHAR, true, true, "CONOUT$"};
    return TRUE;
}

inline HANDLE CreateFileW(const wchar_t *name, DWORD, DWORD, void *, DWORD, DWORD, HANDLE)
{
    return std::wstring(name) == L"CONOUT$" && g_windows.handles.count(HANDLE(100)) ? HANDLE(100) : INVALID_HANDLE_VALUE;
}

inline BOOL CloseHandle(HANDLE) { return TRUE; }
inline BOOL FreeConsole() { return g_windows.handles.erase(HANDLE(100)) == 1; }

inline int MessageBoxW(HANDLE, const wchar_t *text, const wchar_t *title, UINT flags)
{
    g_calls.push_back("MessageBoxW " + utf8(title, int(std::wcslen(title))) + " " + std::to_string(flags) + " "
                      + utf8(text, int(std::wcslen(text))));
    return 1;
}

// The running game's sign is proven under Wine, where an installer looks for it
// (tests/packaging/test_windows_installer.py); here it only has to compile.
inline HANDLE CreateMutexW(void *, BOOL, const wchar_t *name)
{
    g_calls.push_back("CreateMutexW " + utf8(name, int(std::wcslen(name))));
    return HANDLE(200);
}
