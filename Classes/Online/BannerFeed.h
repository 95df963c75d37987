#pragma once
// The main menu's promotional banner: its link and image, fetched from the
// banner server once per run at the end of loading (on the loader thread), the
// image kept in "Dunmarch_DATA/cache/" under the per-user data folder so that a
// later run need not download it again. Nothing is shown or printed; whatever
// fails stays empty, and the menu then shows no banner.
//
// The fetch has two halves: the requests, which touch nothing but the network
// and the cache folder and so may run on a thread of their own while the
// loading screen goes on drawing, and the taking of what they brought (the
// image decoded once, a downloaded one then kept in the cache), which makes a
// texture and so runs on the loader's turn.
#include <boost/shared_ptr.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Graphics {
class Texture2D;
}

class BannerFeed {
public:
    // Refusal limits: a download, a fallback image, a cached file.
    static constexpr int kDownloadBufferSize = 1048576;
    static constexpr int kImageBufferSize = 327680;
    static constexpr size_t kMaxImageNameLength = 128;
    // The most the main menu shows of a banner, in texture pixels: a larger image
    // is refused from its header, before it is decoded.
    static constexpr uint32_t kMaxImagePixels = 1024 * 512;
    // The whole fetch ends within this, however slowly the server answers.
    static constexpr int kFetchTimeLimitMs = 15000;

    // What the requests brought.
    struct Replies {
        std::string link;                  // as received; empty when none came
        std::wstring cacheFile;            // where the named image is or goes; empty without a name
        std::vector<unsigned char> image;  // the bytes to show; empty for none
        bool download = false;             // the bytes are a download still to be cached
    };

    // A fetch ends within the time limit (ms).
    explicit BannerFeed(int timeLimitMs = kFetchTimeLimitMs);
    ~BannerFeed();
    BannerFeed(const BannerFeed&) = delete;
    BannerFeed& operator=(const BannerFeed&) = delete;

    // Both halves on the calling thread, which blocks for the time limit at most;
    // never the main thread.
    void Fetch();

    // The halves for a thread that must stay responsive: BeginFetch empties the
    // feed and starts the requests on a thread of their own; FetchEnded is true
    // once they have ended or the time limit has passed; EndFetch takes what they
    // brought when they have ended, and nothing otherwise (a late request then
    // ends alone, writing only into what it holds itself).
    void BeginFetch();
    bool FetchEnded() const;
    void EndFetch();

    // Empty when no image was had.
    const boost::shared_ptr<Graphics::Texture2D>& GetImage() const { return image_; }
    // As the server sent it; empty when none was received.
    const std::string& GetLink() const { return link_; }
    // The cache file the image came from; empty when it came from no cache file.
    const std::wstring& GetImagePath() const { return image_path_; }

    // An image name the cache takes: 1 to 128 of [A-Za-z0-9._-], neither "." nor "..".
    static bool IsImageName(const std::string& name);

    // The requests alone: link, image name, the cached file or the download, the
    // fallback; each within what is left of the time until the deadline.
    static void Request(Replies& replies, std::chrono::steady_clock::time_point deadline);
    // The second half, on the thread that may make textures: the image decoded once
    // within the menu's budget; a download written to the cache only once it decoded.
    // A cache file that cannot be written leaves no image.
    void Take(const Replies& replies);

private:
    class RequestThread;

    // The banner server and the request paths, made plain anew on every call.
    static std::string GetServer();
    static std::string GetLinkRequestPath();
    static std::string GetImageRequestPath(bool name);
    static std::string GetCommonQuery();

    // Empty, with the time limit starting now.
    void Restart();
    std::wstring image_path_;
    std::string link_;
    boost::shared_ptr<Graphics::Texture2D> image_;
    std::shared_ptr<RequestThread> request_;
    const int time_limit_ms_;
    std::chrono::steady_clock::time_point deadline_;
};

// The game's one feed: fetched by the loading, read by the main menu. Made on
// first use and kept to the end of the process, so that its texture never goes
// after the device at exit.
BannerFeed& TheBannerFeed();
