#pragma once
// The names the device dump ("-info") gives Direct3D values, the game event
// codes that bracket a device reset, and the screen capture of a presented
// frame (the shell's screenshots and the battle driver's).
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

// Presents the back buffer; with `capture` the device keeps a copy of the frame
// for ReadPresentedFrameRows.
void PresentFrame(IDirect3DDevice9* device, bool capture);

// The copy kept by the last capturing PresentFrame as `width` x `height` 24-bit
// rows (blue, green, red; each row padded to four bytes), bottom row first as a
// bitmap stores them. A frame of another size keeps its top-left corner in
// place; what it does not cover is left as it was. False when no frame was kept.
bool ReadPresentedFrameRows(IDirect3DDevice9* device, int width, int height, unsigned char* rows);
