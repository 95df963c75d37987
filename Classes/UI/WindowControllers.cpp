#include "Classes/UI/WindowControllers.h"

#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/MenuActions.h"
#include "Core/Service.h"
#include "UI/UISlider.h"

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

bool BindVolumeSlider(UI::UIElement* element) {
    const bool sound = element->name_ == "SFX_vol";
    if (!sound && element->name_ != "Music_vol") return false;
    UI::UISlider* slider = dynamic_cast<UI::UISlider*>(element);
    if (slider == nullptr) return true;
    slider->value_ = StoredVolume(sound);
    slider->value_handler_ = sound ? UI::UISlider::ValueHandler::FromFunction<&SetSoundVolumeFromSlider>(slider)
                                   : UI::UISlider::ValueHandler::FromFunction<&SetMusicVolumeFromSlider>(slider);
    return true;
}
