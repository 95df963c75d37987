#include "shell/DeviceIdentity.h"

#include <cstdio>
#include <cstring>

#include "platform/d3d9/d3d9.h"
#include "platform/win32/ShellExecute.h"
#include "platform/win32/SystemInfo.h"
#include "platform/win32/Window.h"
#include "shell/ShellGlobals.h"

namespace {

std::string g_deviceIdentity;
const std::string g_blank = " ";

typedef BOOL (*MemoryStatusProc)(MEMORYSTATUSEX* record);

}  // namespace

std::string CompactBrandString(const char* brand) {
    std::string out;
    const char* c = brand;
    while (*c == ' ') {
        ++c;
    }
    for (; *c != '\0'; ++c) {
        if (*c != ' ' || out.empty() || out.back() != ' ') {
            out.push_back(*c);
        }
    }
    return out;
}

std::string MegabytesText(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof(text), "%llu", static_cast<unsigned long long>((bytes + 1047552) / 1048576));
    return text;
}

void GetProcessorIdentity(std::string& vendor, std::string& brand) {
    vendor.clear();
    brand.clear();
    if (!CpuidAvailable()) {
        return;
    }
    unsigned leaf0[4];
    Cpuid(0, leaf0);
    char vendorText[13] = {};
    char brandText[256] = {};
    unsigned features = 0;
    if (leaf0[0] >= 1) {
        std::memcpy(vendorText, &leaf0[1], 4);
        std::memcpy(vendorText + 4, &leaf0[3], 4);
        std::memcpy(vendorText + 8, &leaf0[2], 4);
        unsigned leaf1[4];
        Cpuid(1, leaf1);
        features = leaf1[3];
        unsigned extended[4];
        Cpuid(0x80000000u, extended);
        if (extended[0] >= 0x80000004u) {
            for (unsigned i = 0; i < 3; ++i) {
                unsigned registers[4];
                Cpuid(0x80000002u + i, registers);
                std::memcpy(brandText + 16 * i, registers, 16);
            }
        }
    }
    if (features != 0) {
        vendor = vendorText;
    }
    if (brandText[0] == '\0') {
        std::snprintf(brandText, sizeof(brandText), "%s", vendor.c_str());
    }
    brand = CompactBrandString(brandText);
}

void GetAdapterIdentity(std::string& description, std::string& vendorId, std::string& deviceId) {
    description.clear();
    vendorId.clear();
    deviceId.clear();
    if (g_d3d == nullptr) {
        return;
    }
    D3DADAPTER_IDENTIFIER9 identifier = {};
    if (FAILED(g_d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier))) {
        return;
    }
    if (identifier.Description[0] != '\0') {
        description.assign(identifier.Description, strnlen(identifier.Description, sizeof(identifier.Description)));
    }
    char text[16];
    std::snprintf(text, sizeof(text), "%X", static_cast<unsigned>(identifier.VendorId));
    vendorId = text;
    std::snprintf(text, sizeof(text), "%u", static_cast<unsigned>(identifier.DeviceId));
    deviceId = text;
}

void GetMemoryMegabytes(std::string& text) {
    HMODULE module = GetModuleHandleA("kernel32.dll");
    if (module == nullptr) {
        module = LoadLibraryA("kernel32.dll");
    }
    if (module == nullptr) {
        return;
    }
    uint64_t total = 0;
    FARPROC procedure = GetProcAddress(module, "GlobalMemoryStatusEx");
    if (procedure != nullptr) {
        // The 64-byte record, its size in the first field; the total is at byte 8.
        MEMORYSTATUSEX record = {};
        record.dwLength = sizeof(record);
        auto query = reinterpret_cast<MemoryStatusProc>(reinterpret_cast<void (*)()>(procedure));
        if (query(&record) == 0 || record.ullTotalPhys == 0) {
            return;
        }
        total = record.ullTotalPhys;
    } else {
        MEMORYSTATUS status = {};
        GlobalMemoryStatus(&status);
        total = status.dwTotalPhys;
    }
    text = MegabytesText(total);
}

const std::string& GetDeviceIdentityString() {
    if (g_deviceIdentity.empty()) {
        std::string vendor;
        std::string brand;
        std::string description;
        std::string vendorId;
        std::string deviceId;
        std::string memory;
        GetProcessorIdentity(vendor, brand);
        GetAdapterIdentity(description, vendorId, deviceId);
        GetMemoryMegabytes(memory);
        g_deviceIdentity = vendor + g_blank + brand + g_blank + description + g_blank + vendorId + g_blank + deviceId +
                           g_blank + memory;
    }
    return g_deviceIdentity;
}

bool OpenUrl(const std::string& address) {
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}
