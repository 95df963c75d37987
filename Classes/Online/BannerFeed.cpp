#include "Classes/Online/BannerFeed.h"

#include <cstdio>
#include <vector>

#include "Classes/Online/OnlineServers.h"
#include "Core/AppDataFolder.h"
#include "Core/TextHelpers.h"
#include "Graphics/Texture2D.h"
#include "Net/HttpRequest.h"
#include "platform/win32/WideFileApi.h"

namespace {

// Only a 2xx reply is the server's answer: an error page is never taken for a
// link, a name or an image.
bool Answered(int status) { return status >= 200 && status <= 299; }

bool RequestText(const std::string& server, const std::string& path, std::string& text) {
    std::string reply;
    int status = 0;
    if (!HttpRequest(server, path, std::string(), reply, nullptr, nullptr, 0, &status) || !Answered(status))
        return false;
    text = reply;
    return true;
}

// The byte count, 0 when the request failed or the reply does not fit.
int RequestBytes(const std::string& server, const std::string& path, unsigned char* buffer, int capacity) {
    std::string unused;
    int length = 0;
    int status = 0;
    if (!HttpRequest(server, path, std::string(), unused, buffer, &length, capacity, &status) || !Answered(status))
        return 0;
    return length;
}

bool WriteWhole(const std::wstring& path, const unsigned char* bytes, int length) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes, 1, static_cast<size_t>(length), file) == static_cast<size_t>(length);
    return std::fclose(file) == 0 && written;
}

}  // namespace

BannerFeed::BannerFeed() = default;

BannerFeed::~BannerFeed() {
    image_.reset();
    link_.clear();
    image_path_.clear();
}

bool BannerFeed::IsImageName(const std::string& name) {
    if (name.empty() || name.size() > kMaxImageNameLength || name == "." || name == "..") return false;
    for (char c : name) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                             c == '_' || c == '-';
        if (!allowed) return false;
    }
    return true;
}

std::string BannerFeed::GetServer() { return ScrambleString(online::texts::kBannerEndpoint); }

std::string BannerFeed::GetCommonQuery() { return ScrambleString(online::texts::kBannerCommonQuery); }

std::string BannerFeed::GetLinkRequestPath() {
    return ScrambleString(online::texts::kBannerLinkPiece) + "?" + GetCommonQuery();
}

std::string BannerFeed::GetImageRequestPath(bool name) {
    std::string path = ScrambleString(online::texts::kBannerImagePiece) + "?" + GetCommonQuery();
    if (name) path += "&" + ScrambleString(online::texts::kBannerNamePiece);
    return path;
}

void BannerFeed::Fetch() {
    image_path_.clear();
    link_.clear();
    image_.reset();

    // 1.
    if (!IsOnline()) return;
    const std::string server = GetServer();

    // 2. The link, also an empty one.
    RequestText(server, GetLinkRequestPath(), link_);

    // 3. Without a per-user data folder nothing is created or written, and
    // there is no image.
    std::wstring appData;
    if (!GetLocalAppDataFolder(appData) || appData.empty()) return;
    const std::wstring dataFolder = appData + ToWideString("/Dunmarch_DATA/");
    const std::wstring cacheFolder = appData + ToWideString("/Dunmarch_DATA/cache/");
    for (const std::wstring& folder : {dataFolder, cacheFolder})
        if (!PathExists(folder)) CreateFolder(folder);

    // 4. A name that is no plain file name counts as no name.
    std::string name;
    const bool named = RequestText(server, GetImageRequestPath(true), name) && IsImageName(name);

    // 5.
    if (named) {
        const std::wstring cacheFile = cacheFolder + ToWideString(name);
        if (PathExists(cacheFile)) image_path_ = cacheFile;
        else if (!Download(server, cacheFile)) return;
    }

    // 6.
    std::vector<unsigned char> imageBuffer(kImageBufferSize, 0);

    // 7. The fallback is not cached.
    if (image_path_.empty()) {
        const int length = RequestBytes(server, ScrambleString(online::texts::kBannerFallbackPiece), imageBuffer.data(),
                                        kImageBufferSize);
        if (length > 0) image_ = Graphics::Texture2D::LoadFromMemory(imageBuffer.data(), static_cast<uint32_t>(length));
        return;
    }

    // 8. A cached file too long for the buffer is not read.
    FILE* file = _wfopen(image_path_.c_str(), L"rb");
    if (file == nullptr) return;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (length > 0 && length <= kImageBufferSize &&
        std::fread(imageBuffer.data(), 1, static_cast<size_t>(length), file) == static_cast<size_t>(length))
        image_ = Graphics::Texture2D::LoadFromMemory(imageBuffer.data(), static_cast<uint32_t>(length));
    std::fclose(file);
}

bool BannerFeed::Download(const std::string& server, const std::wstring& cacheFile) {
    std::vector<unsigned char> buffer(kDownloadBufferSize);
    const int length = RequestBytes(server, GetImageRequestPath(false), buffer.data(), kDownloadBufferSize);
    // Only a whole reply that is an image the cache can give back later is
    // kept; anything else leads to the fallback.
    if (length <= 0 || length > kImageBufferSize) return true;
    if (!Graphics::Texture2D::LoadFromMemory(buffer.data(), static_cast<uint32_t>(length))) return true;

    // Written beside and renamed into place, so that no partial file is ever
    // taken for the image. The temporary name ends in a character no image
    // name holds.
    const std::wstring partial = cacheFile + L"~";
    if (!WriteWhole(partial, buffer.data(), length) ||
        !MoveFileExW(partial.c_str(), cacheFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    image_path_ = cacheFile;
    return true;
}

BannerFeed& TheBannerFeed() {
    static BannerFeed* feed = new BannerFeed;
    return *feed;
}
