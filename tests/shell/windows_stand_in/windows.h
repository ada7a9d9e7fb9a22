#pragma once
// Stands in for <windows.h> where the program is not built for Windows: the names the
// desktop file uses, with the Windows API's values, and a keybd_event that only records.

#include <cstdint>
#include <vector>

using BYTE = unsigned char;
using DWORD = unsigned long;
using ULONG_PTR = std::uintptr_t;

#define VK_LWIN 0x5B
#define KEYEVENTF_KEYUP 0x0002

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
