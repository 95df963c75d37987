// Stand-in until the online banner exists (see BannerFeed.h).
#include "Classes/Online/BannerFeed.h"

void BannerFeed::Fetch() {}
