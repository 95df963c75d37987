#pragma once
// The intro video of the sample data, in the "videos" folder that config.xml names (under
// the graphics root): Theora 4:2:0 with the picture equal to the frame, and a Vorbis sting.
#include "tools/catalogue/Config.h"

#include <string>

namespace catalogue {
namespace videos {

inline constexpr const char kIntro[] = "intro.ogv";
inline std::string IntroPath() { return config::kVideos.Path() + kIntro; }

inline constexpr int kIntroWidth = 640;
inline constexpr int kIntroHeight = 480;
inline constexpr int kIntroFps = 25;
inline constexpr int kIntroSeconds = 8;
inline constexpr int kIntroFrames = kIntroFps * kIntroSeconds;
inline constexpr int kIntroChannels = 2;
inline constexpr long kIntroRate = 44100;

// The game's name as the title shows it.
inline constexpr const char kTitle[] = "DUNMARCH";
inline constexpr const char kSubtitle[] = "LITE";

}  // namespace videos
}  // namespace catalogue
