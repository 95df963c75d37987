#pragma once
// The main menu's promotional banner: its link and image, fetched from the
// banner server once per run at the end of loading (on the loader thread), the
// image kept in "Dunmarch_DATA/cache/" under the per-user data folder so that a
// later run need not download it again. Nothing is shown or printed; whatever
// fails stays empty, and the menu then shows no banner.
#include <boost/shared_ptr.hpp>

#include <string>

namespace Graphics {
class Texture2D;
}

class BannerFeed {
public:
    // Refusal limits: a download, a fallback image, a cached file.
    static constexpr int kDownloadBufferSize = 1048576;
    static constexpr int kImageBufferSize = 327680;
    static constexpr size_t kMaxImageNameLength = 128;

    BannerFeed();
    ~BannerFeed();
    BannerFeed(const BannerFeed&) = delete;
    BannerFeed& operator=(const BannerFeed&) = delete;

    // Blocks for up to four requests in a row; never on the main thread.
    void Fetch();

    // Empty when no image was had.
    const boost::shared_ptr<Graphics::Texture2D>& GetImage() const { return image_; }
    // As the server sent it; empty when none was received.
    const std::string& GetLink() const { return link_; }
    // The cache file the image came from; empty when it came from no cache file.
    const std::wstring& GetImagePath() const { return image_path_; }

    // An image name the cache takes: 1 to 128 of [A-Za-z0-9._-], neither "." nor "..".
    static bool IsImageName(const std::string& name);

private:
    // The banner server and the request paths, made plain anew on every call.
    static std::string GetServer();
    static std::string GetLinkRequestPath();
    static std::string GetImageRequestPath(bool name);
    static std::string GetCommonQuery();

    // The image download into the cache file; false when that file cannot be
    // written (the fetch then ends without an image).
    bool Download(const std::string& server, const std::wstring& cacheFile);

    std::wstring image_path_;
    std::string link_;
    boost::shared_ptr<Graphics::Texture2D> image_;
};

// The game's one feed: fetched by the loading, read by the main menu. Made on
// first use and kept to the end of the process, so that its texture never goes
// after the device at exit.
BannerFeed& TheBannerFeed();
