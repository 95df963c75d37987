#pragma once
// The particle library's image-pixel hooks, from which mask images and texture point
// lists would be built. This system has no pixel source: no image is ever given.
#include <cstdint>

// Null, and nothing written to the outputs.
uint32_t* CSLoadImagePixels(const char* name, int32_t* width, int32_t* height, bool* hasAlpha);
// Nothing to free.
void CSFreeImagePixels(uint32_t* pixels);
