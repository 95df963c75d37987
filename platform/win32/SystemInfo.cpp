#include "platform/win32/SystemInfo.h"

#include <strings.h>
#include <sys/sysinfo.h>

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool CpuidAvailable() {
#if defined(__i386__) || defined(__x86_64__)
    // Tests the ID flag on 32-bit processors; a maximum leaf of 0 means none here.
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

void Cpuid(unsigned leaf, unsigned registers[4]) {
    registers[0] = registers[1] = registers[2] = registers[3] = 0;
#if defined(__i386__) || defined(__x86_64__)
    if (CpuidAvailable()) {
        __cpuid(leaf, registers[0], registers[1], registers[2], registers[3]);
    }
#endif
}

namespace {

bool Query(struct sysinfo* info) { return sysinfo(info) == 0; }

DWORD Clamp32(DWORDLONG value) { return value >= 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value); }

DWORD Load(DWORDLONG total, DWORDLONG available) {
    return total == 0 ? 0 : static_cast<DWORD>((total - available) * 100 / total);
}

// Stands for the kernel32 module; only its address matters.
char g_kernel32;

}  // namespace

BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
    struct sysinfo info;
    if (status == nullptr || status->dwLength != sizeof(MEMORYSTATUSEX) || !Query(&info)) {
        return FALSE;
    }
    DWORDLONG unit = info.mem_unit == 0 ? 1 : info.mem_unit;
    status->ullTotalPhys = info.totalram * unit;
    status->ullAvailPhys = (info.freeram + info.bufferram) * unit;
    status->ullTotalPageFile = (info.totalram + info.totalswap) * unit;
    status->ullAvailPageFile = (info.freeram + info.bufferram + info.freeswap) * unit;
    status->ullTotalVirtual = status->ullTotalPageFile;
    status->ullAvailVirtual = status->ullAvailPageFile;
    status->ullAvailExtendedVirtual = 0;
    status->dwMemoryLoad = Load(status->ullTotalPhys, status->ullAvailPhys);
    return TRUE;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (status == nullptr) {
        return;
    }
    MEMORYSTATUSEX full = {};
    full.dwLength = sizeof(full);
    if (!GlobalMemoryStatusEx(&full)) {
        std::memset(status, 0, sizeof(*status));
        status->dwLength = sizeof(*status);
        return;
    }
    status->dwLength = sizeof(*status);
    status->dwMemoryLoad = full.dwMemoryLoad;
    status->dwTotalPhys = Clamp32(full.ullTotalPhys);
    status->dwAvailPhys = Clamp32(full.ullAvailPhys);
    status->dwTotalPageFile = Clamp32(full.ullTotalPageFile);
    status->dwAvailPageFile = Clamp32(full.ullAvailPageFile);
    status->dwTotalVirtual = Clamp32(full.ullTotalVirtual);
    status->dwAvailVirtual = Clamp32(full.ullAvailVirtual);
}

HMODULE GetModuleHandleA(LPCSTR name) {
    if (name == nullptr || strcasecmp(name, "kernel32.dll") != 0) {
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&g_kernel32);
}

HMODULE LoadLibraryA(LPCSTR name) { return GetModuleHandleA(name); }

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (module != reinterpret_cast<HMODULE>(&g_kernel32) || name == nullptr) {
        return nullptr;
    }
    if (std::strcmp(name, "GlobalMemoryStatusEx") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&GlobalMemoryStatusEx));
    }
    if (std::strcmp(name, "GlobalMemoryStatus") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&GlobalMemoryStatus));
    }
    return nullptr;
}
