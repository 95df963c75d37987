#include "particles/ParticleImagePixels.h"

uint32_t* CSLoadImagePixels(const char* /*name*/, int32_t* /*width*/, int32_t* /*height*/, bool* /*hasAlpha*/) {
    return nullptr;
}

void CSFreeImagePixels(uint32_t* /*pixels*/) {}
