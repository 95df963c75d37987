#pragma once
// The loader thread's work at program start: the textures, models, clip tables, fonts,
// sounds and music of the menus and the first map go into the content loaders'
// caches, by turns with the main thread (Classes/Loading/LoaderHandover.h), so that
// later loads by name find them there.
#include <string>

// Runs once per program, on the loader thread. Publishes LoadingProgress at each
// hand-over and, when everything is loaded, increments LoadingFinished. However it
// ends (also early: a missing service, no first map), it clears LoaderThreadHandle
// and hands the turn back to the main thread. Without a main-thread handle it runs
// straight through. A stop request (LoaderStopRequested) ends it at its next turn.
void PreloadAssets();

// The cache each named asset goes to.
enum PreloadCache {
    kPreloadWorldTexture,
    kPreloadModel,
    kPreloadClips,
    kPreloadFont,
    kPreloadInterfaceTexture,
    kPreloadSound,
    kPreloadMusic,
};
// Told each asset PreloadAssets asks its loader for, on the loader thread (the data
// check lists them); null for none.
typedef void (*PreloadObserver)(PreloadCache cache, const std::string& name);
void SetPreloadObserver(PreloadObserver observer);
