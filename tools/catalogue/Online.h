#pragma once
// The plain texts of the online requests. The game holds each only scrambled
// and makes it plain when it uses it; the tests check each scrambled form
// against these, and the test server serves these paths. The hosts lie under
// ".invalid", so nothing leaves the machine unless a test redirects it.
namespace catalogue {
namespace online {

// The request layer.
inline constexpr const char kSecurePrefix[] = "https://";
inline constexpr const char kPlainPrefix[] = "http://";
inline constexpr const char kAgentName[] = "Dunmarch Lite";
inline constexpr const char kHeaders[] = "Content-Type: text/plain; charset=us-ascii\r\n";
inline constexpr const char kVerb[] = "POST";

// The score server.
inline constexpr const char kScoreEndpoint[] = "http://scores.dunmarch.invalid";
inline constexpr const char kScorePath[] = "/dunmarch/submit";

// The banner server: the link, the image name, the image and the fallback image.
inline constexpr const char kBannerEndpoint[] = "http://banner.dunmarch.invalid";
inline constexpr const char kBannerLinkPiece[] = "/dunmarch/banner/link";
inline constexpr const char kBannerImagePiece[] = "/dunmarch/banner/image";
inline constexpr const char kBannerFallbackPiece[] = "/dunmarch/banner/fallback.png";
inline constexpr const char kBannerCommonQuery[] = "game=dunmarch-lite";
inline constexpr const char kBannerNamePiece[] = "name=1";

// The two images the test servers serve, written by the data builder beside the
// game folder (paths from the game folder): the banner and the fallback image.
inline constexpr const char kServedBannerFile[] = "../Data/Online/banner.png";
inline constexpr const char kServedFallbackFile[] = "../Data/Online/fallback.png";
inline constexpr int kServedImageWidth = 256, kServedImageHeight = 64;
// The served banner's field colour (red, green, blue), which neither the fallback
// nor the menu's own banner picture shows: a screenshot finds the banner by it.
inline constexpr int kServedBannerField[3] = {24, 120, 72};

}  // namespace online
}  // namespace catalogue
