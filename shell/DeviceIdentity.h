#pragma once
// The text that identifies the player's machine in a score submission
// (processor, display adapter, memory), built once per process, and opening
// a web address in the user's browser.
#include <cstdint>
#include <string>

// Vendor, brand, adapter description, adapter vendor id, device id and memory
// in megabytes, joined by single blanks; undetermined parts are empty.
const std::string& GetDeviceIdentityString();

void GetProcessorIdentity(std::string& vendor, std::string& brand);
// Empty parts without a Direct3D object.
void GetAdapterIdentity(std::string& description, std::string& vendorId, std::string& deviceId);
// Left as it was when the memory size cannot be read.
void GetMemoryMegabytes(std::string& text);

// True when the browser was started; only http:// and https:// addresses are opened.
bool OpenUrl(const std::string& address);

// Steps of the above. The brand without leading blanks and with every run of
// blanks made one (a trailing blank stays).
std::string CompactBrandString(const char* brand);
// Whole megabytes, rounded up when more than 1023 bytes are left over.
std::string MegabytesText(uint64_t bytes);
