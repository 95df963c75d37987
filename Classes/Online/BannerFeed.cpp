#include "Classes/Online/BannerFeed.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Classes/Online/OnlineServers.h"
#include "Core/AppDataFolder.h"
#include "Core/TextHelpers.h"
#include "Graphics/Texture2D.h"
#include "Net/HttpRequest.h"
#include "Threading/Thread.h"
#include "platform/win32/WideFileApi.h"

namespace {

using Clock = std::chrono::steady_clock;

// No request starts that could not be answered in what is left of the time.
const int kShortestRequestMs = 100;

// Only a 2xx reply is the server's answer: an error page is never taken for a
// link, a name or an image.
bool Answered(int status) { return status >= 200 && status <= 299; }

// What is left until the deadline, in ms; 0 once it has passed.
int TimeLeftMs(Clock::time_point deadline) {
    const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max(0LL, std::min(left, static_cast<long long>(INT32_MAX))));
}

bool RequestText(const std::string& server, const std::string& path, std::string& text, Clock::time_point deadline) {
    const int left = TimeLeftMs(deadline);
    std::string reply;
    int status = 0;
    if (left < kShortestRequestMs ||
        !HttpRequest(server, path, std::string(), reply, nullptr, nullptr, 0, &status, left) || !Answered(status))
        return false;
    text = reply;
    return true;
}

// The bytes, empty when the request failed or the reply does not fit.
std::vector<unsigned char> RequestBytes(const std::string& server, const std::string& path, int capacity,
                                        Clock::time_point deadline) {
    const int left = TimeLeftMs(deadline);
    std::vector<unsigned char> buffer(static_cast<size_t>(capacity));
    std::string unused;
    int length = 0;
    int status = 0;
    if (left < kShortestRequestMs ||
        !HttpRequest(server, path, std::string(), unused, buffer.data(), &length, capacity, &status, left) ||
        !Answered(status))
        length = 0;
    buffer.resize(static_cast<size_t>(std::max(length, 0)));
    return buffer;
}

// A cached file too long for the image buffer is not read.
std::vector<unsigned char> ReadCached(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return bytes;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (length > 0 && length <= BannerFeed::kImageBufferSize) {
        bytes.resize(static_cast<size_t>(length));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    }
    std::fclose(file);
    return bytes;
}

bool WriteWhole(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

// The requests on a thread of their own, detached and never joined: what it brings
// is its own until it has ended.
class BannerFeed::RequestThread : public Threading::Thread {
public:
    explicit RequestThread(Clock::time_point deadline) : deadline_(deadline) {}
    void Run() override { BannerFeed::Request(replies_, deadline_); }
    const Replies& GetReplies() const { return replies_; }

private:
    const Clock::time_point deadline_;
    Replies replies_;
};

BannerFeed::BannerFeed(int timeLimitMs) : time_limit_ms_(timeLimitMs) {}

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
    Restart();
    Replies replies;
    Request(replies, deadline_);
    Take(replies);
}

void BannerFeed::BeginFetch() {
    Restart();
    request_ = std::make_shared<RequestThread>(deadline_);
    request_->Start(true);
}

void BannerFeed::Restart() {
    image_path_.clear();
    link_.clear();
    image_.reset();
    request_.reset();
    deadline_ = Clock::now() + std::chrono::milliseconds(time_limit_ms_);
}

bool BannerFeed::FetchEnded() const { return !request_ || !request_->IsRunning() || Clock::now() >= deadline_; }

void BannerFeed::EndFetch() {
    const std::shared_ptr<RequestThread> request = std::move(request_);
    if (request && !request->IsRunning()) Take(request->GetReplies());
}

void BannerFeed::Request(Replies& replies, Clock::time_point deadline) {
    // 1.
    if (!IsOnline()) return;
    const std::string server = GetServer();

    // 2. The link, also an empty one.
    RequestText(server, GetLinkRequestPath(), replies.link, deadline);

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
    const bool named = RequestText(server, GetImageRequestPath(true), name, deadline) && IsImageName(name);

    // 5, 8. A cached image is the one shown, also when it cannot be read.
    if (named) {
        replies.cacheFile = cacheFolder + ToWideString(name);
        if (PathExists(replies.cacheFile)) {
            replies.image = ReadCached(replies.cacheFile);
            return;
        }
        // Only a whole reply the cache can give back later, with the header of an
        // image the menu can show, is taken; anything else leads to the fallback.
        std::vector<unsigned char> download =
            RequestBytes(server, GetImageRequestPath(false), kDownloadBufferSize, deadline);
        if (!download.empty() && download.size() <= static_cast<size_t>(kImageBufferSize) &&
            Graphics::Texture2D::IsImageWithin(download.data(), static_cast<uint32_t>(download.size()),
                                               kMaxImagePixels)) {
            replies.image.swap(download);
            replies.download = true;
            return;
        }
        replies.cacheFile.clear();
    }

    // 6, 7. The fallback is not cached.
    replies.image =
        RequestBytes(server, ScrambleString(online::texts::kBannerFallbackPiece), kImageBufferSize, deadline);
}

void BannerFeed::Take(const Replies& replies) {
    link_ = replies.link;
    if (!replies.download) image_path_ = replies.cacheFile;
    if (replies.image.empty()) return;
    const boost::shared_ptr<Graphics::Texture2D> image = Graphics::Texture2D::LoadFromMemory(
        replies.image.data(), static_cast<uint32_t>(replies.image.size()), kMaxImagePixels);
    if (!image) return;
    if (replies.download) {
        // Written beside and renamed into place, so that no partial file is ever
        // taken for the image. The temporary name ends in a character no image
        // name holds.
        const std::wstring partial = replies.cacheFile + L"~";
        if (!WriteWhole(partial, replies.image) || !MoveFileExW(partial.c_str(), replies.cacheFile.c_str(),
                                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(partial.c_str());
            return;
        }
        image_path_ = replies.cacheFile;
    }
    image_ = image;
}

BannerFeed& TheBannerFeed() {
    static BannerFeed* feed = new BannerFeed;
    return *feed;
}
