#pragma once
// Stand-in until the online banner exists: the banner feed the loader fetches at the
// end of the loading and the menus read.
class BannerFeed {
public:
    // Stand-in: fetches nothing yet.
    static void Fetch();
};
