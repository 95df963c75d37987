// "ingame.xml" read into the HUD's tables as a battle's set-up reads it: every button,
// information box and named sheet rectangle must be given, inside the HUD texture, and so
// must the second images of the action, spell and speed buttons at their offsets.
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "IO/File.h"
#include "tools/catalogue/Textures.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/NullGraphics.h"

namespace {

namespace tex = catalogue::textures;

struct Rectangle {
    std::string name;
    int32_t tx, ty, tw, th;
};

void CheckRectangle(datacheck::Report& report, const Rectangle& r, float width, float height) {
    if (r.tw <= 0 || r.th <= 0) {
        report.Fail("%s: missing from %s", r.name.c_str(), tex::kHudLayout);
        return;
    }
    if (r.tx < 0 || r.ty < 0 || static_cast<float>(r.tx + r.tw) > width || static_cast<float>(r.ty + r.th) > height)
        report.Fail("%s: %d,%d %dx%d lies outside the %gx%g HUD texture", r.name.c_str(), r.tx, r.ty, r.tw, r.th, width,
                    height);
}

template <class Row>
void Add(std::vector<Rectangle>& all, Row* rows, int count, const char* const* names) {
    for (int i = 0; i < count; ++i) {
        all.push_back({names != nullptr ? names[i] : rows[i].unitId, rows[i].tx, rows[i].ty, rows[i].tw, rows[i].th});
    }
}

}  // namespace

DATACHECK(hudlayout, 40) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration (the config check registers it)");
        return;
    }
    const Config& config = *Service<Config>::Get();
    if (!IO::FileExists(config.Paths.UiPath + tex::kHudLayout)) {
        report.Fail("%s: not there", tex::kHudLayout);
        return;
    }
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null Direct3D device for the HUD texture");
        return;
    }
    UITextureLoader loader(config.Paths.UiTexturePath);
    const boost::shared_ptr<Graphics::Texture2D> texture = loader.Load(config.Interface.first);
    if (!texture) {
        report.Fail("%s: the HUD texture does not load", config.Interface.first.c_str());
        return;
    }

    // Empty tables first: what the file leaves out stays empty.
    for (HudButton& b : DefenderButtons) b.tx = b.ty = b.tw = b.th = 0;
    for (HudButton& b : ActionButtons) b.tx = b.ty = b.tw = b.th = b.ox = b.oy = 0;
    for (HudButton& b : SpellButtons) b.tx = b.ty = b.tw = b.th = b.ox = b.oy = 0;
    for (HudButton& b : SpeedButtons) b.tx = b.ty = b.tw = b.th = b.ox = b.oy = 0;
    for (HudInfoItem& i : InfoItems) i.tx = i.ty = i.tw = i.th = 0;
    for (HudCoords& c : HudCoordsTable) c = HudCoords();
    CDunmarchGame("").ReadHudLayout();

    std::vector<Rectangle> all;
    Add(all, DefenderButtons, kPurchaseButtonCount, nullptr);
    Add(all, ActionButtons, kActionButtonCount, ActionButtonItems);
    Add(all, SpellButtons, kSpellButtonCount, SpellButtonItems);
    Add(all, SpeedButtons, kSpeedButtonCount, SpeedButtonItems);
    const auto second = [&](const HudButton* rows, int count, const char* const* names) {
        for (int i = 0; i < count; ++i)
            all.push_back({std::string(names[i]) + " (second image)", rows[i].tx + rows[i].ox, rows[i].ty + rows[i].oy,
                           rows[i].tw, rows[i].th});
    };
    second(ActionButtons, kActionButtonCount, ActionButtonItems);
    second(SpellButtons, kSpellButtonCount, SpellButtonItems);
    second(SpeedButtons, kSpeedButtonCount, SpeedButtonItems);
    for (int i = 0; i < kInfoItemCount; ++i)
        all.push_back({InfoItemItems[i], InfoItems[i].tx, InfoItems[i].ty, InfoItems[i].tw, InfoItems[i].th});
    for (int i = 0; i < kHudCoordsCount; ++i)
        all.push_back({HudCoordsNames[i], HudCoordsTable[i].tx, HudCoordsTable[i].ty, HudCoordsTable[i].tw,
                       HudCoordsTable[i].th});
    for (const Rectangle& r : all) CheckRectangle(report, r, texture->GetWidth(), texture->GetHeight());
    report.Line("%s: %zu rectangles of the %gx%g HUD texture, shift %d,%d", tex::kHudLayout, all.size(),
                texture->GetWidth(), texture->GetHeight(), HudShift.ox, HudShift.oy);
}
