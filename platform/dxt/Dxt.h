#pragma once
// The DXT block codec (libsquish), run on the calling thread only. Every use of the
// library goes through here. The library spreads each image over OpenMP workers that
// spin while they wait for the next one: on a loaded machine the spinning starved the
// rest (the sample-data builder took ten times as long), and waiting passively costs
// more than the work itself for the small images of this game. The OpenMP thread count
// is a setting of each thread, so it is made on every call.
#include <squish.h>

extern "C" void omp_set_num_threads(int);

namespace dxt {

inline void CompressImage(const squish::u8* rgba, int width, int height, void* blocks, int flags) {
    omp_set_num_threads(1);
    squish::CompressImage(rgba, width, height, blocks, flags);
}

inline void DecompressImage(squish::u8* rgba, int width, int height, const void* blocks, int flags) {
    omp_set_num_threads(1);
    squish::DecompressImage(rgba, width, height, blocks, flags);
}

}  // namespace dxt
