#include "Classes/UI/WindowControllers.h"

#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"

void LoadWindowLayout(UI::UIWindowView& window, const char* file) {
    const std::string folder = Service<Config>::Exists() ? Service<Config>::Get()->Paths.UiPath : std::string();
    window.LoadLayout(folder + file);
}
