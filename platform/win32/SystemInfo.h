#pragma once
// Processor identification, memory status and the run-time lookup of a
// system procedure, as the device identity asks for them.
#include "platform/win32/Process.h"
#include "platform/win32/Types.h"

typedef uint64_t DWORDLONG;
typedef intptr_t (*FARPROC)();

// Whether the processor answers CPUID; false on other processors.
bool CpuidAvailable();
// EAX, EBX, ECX, EDX of CPUID for the leaf (all 0 without CPUID).
void Cpuid(unsigned leaf, unsigned registers[4]);

// What a 32-bit program sees: totals of 4 GB and more read as 0xFFFFFFFF.
struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

// 64 bytes; dwLength must hold that size.
struct MEMORYSTATUSEX {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status);

// The one system module that exists here, "kernel32.dll" (any case), which
// exports GlobalMemoryStatusEx and GlobalMemoryStatus. Other names: null.
HMODULE GetModuleHandleA(LPCSTR name);
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
