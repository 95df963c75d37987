// Every window layout the build wrote, loaded by the window's own loader in
// English and in Russian and drawn plainly (no controller) on the OpenGL
// device: it keeps the catalogue's promises, the first image paints the whole
// screen (a box: its frame), every element draws something inside its own
// rectangle, and the Russian backgrounds replace the others. The pictures are
// kept as $DM_BUILD_DIR/screenshots/layout-<window>-<language>.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "Core/Language.h"
#include "Graphics/Draw2D.h"
#include "Graphics/Texture2D.h"
#include "UI/gl/UIPixelFixture.h"
#include "support/Screenshot.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Layouts.h"
#include "tools/datacheck/LayoutContract.h"
#include "UI/ScissorClip.h"
#include "UI/UIElement.h"
#include "UI/UIWindowView.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
namespace cfg = catalogue::config;
namespace layouts = catalogue::layouts;

using uipixel::kHeight;
using uipixel::kWidth;
// Nothing of the sample art is this colour: what stays so was not drawn.
const DWORD kUndrawn = 0x00FF00FF;
const Color kUndrawnColor(255, 0, 255, 255);

struct Language {
    int code;
    const char* file;
    const char* name;
};
const Language kEnglish{0, "en.lan", "en"};
const Language kRussian{5, "ru.lan", "ru"};

class LayoutsPixelTest : public uipixel::UIPixelTest {
protected:
    LayoutsPixelTest() : UIPixelTest("layouts", cfg::kUiTexture.Path(), cfg::kFonts.Path()) {}

    // One frame on the undrawn colour; draw() paints it between Begin and End.
    template <typename Paint>
    void Frame(Paint paint) {
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        Draw2D::Clear(kUndrawnColor);
        paint();
        device->EndScene();
        ReadBack();
    }

    // Pixels of the rectangle (within the screen) that were drawn, counted up to enough.
    int DrawnIn(int x0, int y0, int x1, int y1, int enough = kWidth * kHeight) const {
        int drawn = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x)
                if (At(x, y) != kUndrawn && ++drawn >= enough) return drawn;
        return drawn;
    }

    void DrawsEveryElement(const layouts::Window& expected, const Language& language);

    // Whether two elements' rectangles share a whole pixel.
    static bool Overlap(const UI::UIElement& a, const UI::UIElement& b) {
        auto apart = [](float a0, float a1, float b0, float b1) { return int(a1) <= int(b0) || int(b1) <= int(a0); };
        return !apart(a.position_.x, a.position_.x + a.size_.x, b.position_.x, b.position_.x + b.size_.x) &&
               !apart(a.position_.y, a.position_.y + a.size_.y, b.position_.y, b.position_.y + b.size_.y);
    }
};

void LayoutsPixelTest::DrawsEveryElement(const layouts::Window& expected, const Language& language) {
    SCOPED_TRACE(expected.file + " in " + language.file);
    ASSERT_TRUE(LoadLanguageFile(language.code, cfg::kLanguage.Path() + language.file));
    ASSERT_EQ(language.code, GetLanguageIndex());

    UI::UIWindowView window;
    window.LoadLayout(cfg::kUi.Path() + expected.file);  // as the game names it: the loader lower-cases
    ASSERT_FALSE(window.empty());
    for (const std::string& problem : datacheck::CheckLayout(expected, window).problems) ADD_FAILURE() << problem;

    // Where a Russian background exists, it alone is taken in Russian.
    if (expected.Find("backgroundRUS") != nullptr) {
        const bool russian = language.code == kRussian.code;
        const UI::UIElement& first = *window.front();
        EXPECT_EQ(russian ? "backgroundRUS" : "background", first.name_);
        ASSERT_TRUE(first.texture_);
        EXPECT_EQ(russian ? expected.Find("backgroundRUS")->file : expected.Find("background")->file,
                  std::filesystem::path(first.texture_->GetName()).filename().string());
        for (const UI::UIElement* element : window) EXPECT_NE(russian ? "background" : "backgroundRUS", element->name_);
    }

    // The whole window at full alpha: a menu frame is painted all over, a
    // box all over its frame.
    window.alpha_ = 255;
    ASSERT_NO_FATAL_FAILURE(Frame([&] { window.Draw(); }));
    std::string stem = expected.DiskName();
    stem = stem.substr(0, stem.find('.'));
    testsupport::SaveScreenshot(pixels, kWidth, kHeight, "layout-" + stem + "-" + language.name + ".png");
    const layouts::Rect cover = expected.box ? expected.elements.front().rect : layouts::Rect{0, 0, kWidth, kHeight};
    EXPECT_EQ(DrawnIn(cover.x, cover.y, cover.x + cover.w, cover.y + cover.h), cover.w * cover.h);

    // Each element alone in its own rectangle, hidden ones shown for it.
    // Elements whose rectangles do not meet share a frame, each clipped to its
    // rectangle, so whatever is drawn inside one is its own.
    std::vector<std::vector<UI::UIElement*>> frames;
    for (UI::UIElement* element : window) {
        auto apart = [&](const UI::UIElement* other) { return !Overlap(*element, *other); };
        const auto frame = std::find_if(frames.begin(), frames.end(), [&](const auto& members) {
            return std::all_of(members.begin(), members.end(), apart);
        });
        if (frame != frames.end()) frame->push_back(element);
        else frames.push_back({element});
    }
    for (const std::vector<UI::UIElement*>& members : frames) {
        ASSERT_NO_FATAL_FAILURE(Frame([&] {
            for (UI::UIElement* element : members) {
                const bool visible = element->visible_;
                element->visible_ = true;
                const UI::ScissorClip clip(element->position_.x, element->position_.y,
                                           element->position_.x + element->size_.x,
                                           element->position_.y + element->size_.y);
                Draw2D::Begin();
                element->Draw();
                Draw2D::End();
                element->visible_ = visible;
            }
        }));
        for (const UI::UIElement* element : members) {
            const int x0 = int(element->position_.x), y0 = int(element->position_.y);
            EXPECT_GT(DrawnIn(x0, y0, x0 + int(element->size_.x), y0 + int(element->size_.y), 1), 0)
                << element->name_ << " draws nothing inside its rectangle";
        }
    }
}

TEST_F(LayoutsPixelTest, English) {
    for (const layouts::Window& window : layouts::Windows()) DrawsEveryElement(window, kEnglish);
}

TEST_F(LayoutsPixelTest, Russian) {
    for (const layouts::Window& window : layouts::Windows()) DrawsEveryElement(window, kRussian);
}

}  // namespace
