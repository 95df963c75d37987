#pragma once
// The names the device dump ("-info") gives Direct3D values, and the game
// event codes that bracket a device reset.
#include "platform/d3d9/d3d9.h"

// Sent to the game just before and just after the device is reset.
const int kEventDeviceResetting = 0x10000000;
const int kEventDeviceReset = 0x10000001;

// The presentation interval of a swap-interval option: 0 immediate, 1 to 3
// that many refreshes, anything else four.
UINT PresentationIntervalFor(int swapInterval);

// The format constant's name without its prefix; "Unknown" for the others.
const char* D3DFormatName(D3DFORMAT format);
// "DEFAULT", "MANAGED", "SYSTEMMEM", "SCRATCH" or "Unknown".
const char* D3DPoolName(DWORD pool);
// "NONE", "2 Samples" to "16 Samples", else "Unknown".
const char* D3DMultiSampleName(DWORD type);
