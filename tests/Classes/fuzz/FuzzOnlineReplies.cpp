// Any bytes as each reply of the online servers, through what the game does with it:
// the score server's replies to a submission and to a high-score request, and the
// banner server's link, image name and image (as a download, the fallback and a cached
// file: checked from its header, then decoded once within the menu's budget on the
// null device and, a download, written to the cache). A text reply ends at its first
// zero byte, as the request hands it over.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Classes/Battle/GameWindow.h"
#include "Classes/Battle/HighscoreTable.h"
#include "Classes/Online/BannerFeed.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "support/FuzzDevice.h"
#include "support/FuzzInput.h"

namespace {

Graphics::GraphicsDevice* TheDevice() {
    static Graphics::GraphicsDevice* graphics = [] {
        IDirect3D9* d3d = nullptr;
        IDirect3DDevice9* device = fuzzinput::NullDevice(64, 48, &d3d);
        Graphics::GraphicsDevice* made = new Graphics::GraphicsDevice(d3d, device);
        Service<Graphics::GraphicsDevice>::Register(made);
        return made;
    }();
    return graphics;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TheDevice();
    fuzzinput::AddSeed("accepted.xml", "<response result=\"1\" info=\"Score received\"/>");
    fuzzinput::AddSeed("highscores.xml",
                       "<response result=\"1\" showmsgboxtext=\"0\" msgboxtext=\"\">"
                       "<highscore login=\"Keeper\" score=\"1200\"/><ownhighscore pos=\"3\" login=\"Me\" score=\"9\"/>"
                       "</response>");
    fuzzinput::AddSeed("link.txt", "https://www.dunmarch.invalid/news");
    fuzzinput::AddSeed("name.txt", "banner.png");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));

    Morvane::GameWindow::ParseSubmitReply(true, text);
    std::vector<HighscoreEntry> list;
    HighscoreEntry own;
    Morvane::GameWindow::ParseHighscoreReply(true, text, list, own);

    // The banner: the bytes as the link, the name and the image of one fetch.
    TheDevice();
    const std::string cache = fuzzinput::ScratchFolder() + "/cache/";
    std::filesystem::create_directories(cache);
    const bool named = BannerFeed::IsImageName(text);
    const bool image =
        Graphics::Texture2D::IsImageWithin(data, static_cast<uint32_t>(size), BannerFeed::kMaxImagePixels);
    for (int source = 0; source < 3; ++source) {
        BannerFeed::Replies replies;
        replies.link = text;
        replies.image.assign(data, data + size);
        if (source == 0 && named && image) {
            replies.cacheFile = ToWideString(cache + text);
            replies.download = true;
        } else if (source == 2 && named) {
            replies.cacheFile = ToWideString(cache + text);
        }
        BannerFeed feed;
        feed.Take(replies);
    }
    std::filesystem::remove_all(cache);
    return 0;
}
