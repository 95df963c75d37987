#include "Classes/UI/WindowControllers.h"

#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"

int TutorialOverlayPage(const std::string& name) {
    if (name.compare(0, 4, "View") != 0) return 0;
    int page = 0;
    for (size_t i = 4; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        page = page * 10 + (name[i] - '0');
        // Past any page the list can hold: no page's overlay.
        if (page > 1000) return 0;
    }
    return page;
}

void LoadWindowLayout(UI::UIWindowView& window, const char* file) {
    const std::string folder = Service<Config>::Exists() ? Service<Config>::Get()->Paths.UiPath : std::string();
    window.LoadLayout(folder + file);
}
