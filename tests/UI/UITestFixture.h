#pragma once
// The widget tests' base: the 2D test device with an interface texture loader
// and a font loader over a scratch folder, the interface's globals and the
// frame's input reset around each test, layouts, images and a test font
// written to the scratch folder, one frame's pointer input, and the quads and
// texts the 2D layer drew read back from the recording device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../Graphics/Draw2DTestDevice.h"
#include "../platform/d3dx/ImageFixtures.h"
#include "Core/ContentLoader.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDeviceVertices.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"
#include "UI/UIElement.h"
#include "UI/UIGlobals.h"
#include "UI/UIWindowView.h"

namespace uitest {

// One quad of the 2D layer: where, which texels of which texture (none for a
// fill) and in which colour.
struct Quad {
    Vector2 position;
    Vector2 size;
    Vector2 sourceOrigin;  // texels
    Vector2 sourceSize;
    Color color;
    IDirect3DBaseTexture9* texture = nullptr;  // null for a fill
};

// One text draw of the 2D layer in the test font: its characters (blanks
// draw no glyph), where each glyph's pen stood, the colour and the clip.
struct Text {
    std::wstring text;
    std::vector<Vector2> pens;
    Color color;
    bool clipped = false;
    RECT scissor = {};
};

// The test font: every printable ASCII character 10 pixels wide (the blank
// too), glyphs 8 x 12, line height 20, nominal size -20.
constexpr float kAdvance = 10.0f;
constexpr int kLineHeight = 20;

class UITest : public draw2dtest::Draw2DTestDevice {
protected:
    typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Draw2DTestDevice::SetUp());
        fonts_.reset(new FontLoader(scratch.string() + "/"));
        Service<FontLoader>::Register(fonts_.get());
        ResetInterface();
    }
    void TearDown() override {
        ResetInterface();
        Service<FontLoader>::Unregister();
        fonts_.reset();
        Draw2DTestDevice::TearDown();
    }

    static void ResetInterface() {
        MessageBoxOpen = false;
        FocusedLabel = nullptr;
        CurrentRadioGroup = -1;
        UiClock = 0.0f;
        UiFrameDelta = 0.0f;
        UiPressedLastFrame = false;
        UiLastWheel = std::numeric_limits<float>::quiet_NaN();
        TouchEvents.clear();
        GetPointerState() = PointerState();
        GetFrameClock().delta = 0.0f;
    }

    // A PNG of one colour in the scratch folder, the interface textures' root.
    std::string Image(const std::string& name, int width, int height, Color color = Color(255, 255, 255, 255)) {
        const std::vector<uint8_t> pixels = texturetest::Solid(width, height, color.r, color.g, color.b, color.a);
        WriteFile(name, pngwriter::Encode(pixels.data(), width, height, pngwriter::Layout::RGBA));
        return name;
    }
    // The test font as "test.fnt" in the scratch folder; the glyph of code c
    // lies at texel (c mod 16, c / 16) x 16 of its page.
    std::string TestFont() {
        Image("testfont.png", 256, 256);
        std::string fnt =
            "info face=Test size=-20\ncommon lineHeight=20 base=10 scaleW=256 scaleH=256 pages=1\n"
            "page id=0 file=\"testfont.png\"\nchar id=32 x=0 y=0 width=0 height=0 xadvance=10\n";
        for (int c = 33; c < 127; ++c)
            fnt += "char id=" + std::to_string(c) + " x=" + std::to_string(c % 16 * 16) +
                   " y=" + std::to_string(c / 16 * 16) + " width=8 height=12 xoffset=0 yoffset=0 xadvance=10\n";
        WriteFile("test.fnt", fnt);
        return "test.fnt";
    }

    // A window of the layout body, written to the scratch folder.
    std::unique_ptr<UI::UIWindowView> Window(const std::string& body) {
        std::unique_ptr<UI::UIWindowView> window(new UI::UIWindowView);
        window->LoadLayout(Layout("window.xml", body));
        return window;
    }

    // A layout file in the scratch folder: the body inside a root element.
    std::string Layout(const std::string& name, const std::string& body) {
        WriteFile(name, "<layout>" + body + "</layout>");
        return ScratchPath(name);
    }

    // One frame's touch at a virtual-screen point, normalised as the shell does
    // for a 1024 x 768 client.
    static void Touch(int32_t phase, float x, float y, int32_t button = kTouchLeft) {
        TouchEvent event = {};
        event.position = Vector2(x / 1024.0f, y / 768.0f);
        event.phase = phase;
        event.button = button;
        TouchEvents.assign(1, event);
    }
    static void NoTouch() { TouchEvents.clear(); }
    // The pointer in client pixels of a client of the given size.
    static void PointerAt(float x, float y, float clientWidth = 1024.0f, float clientHeight = 768.0f) {
        GetPointerState().position = Vector2(x, y);
        GetPointerState().client_size = Vector2(clientWidth, clientHeight);
    }

    // The element of the window named so, or null.
    template <class T = UI::UIElement>
    static T* Find(UI::UIWindowView& window, const std::string& name) {
        for (UI::UIElement* element : window)
            if (element->name_ == name) return dynamic_cast<T*>(element);
        return nullptr;
    }

    // The element's Draw inside a 2D batch of its own.
    static void DrawAlone(UI::UIElement& element) {
        Graphics::Draw2D::Begin();
        element.Draw();
        Graphics::Draw2D::End();
    }

    static IDirect3DBaseTexture9* TextureOf(const UI::UIElement& element) {
        return element.texture_ ? element.texture_->GetTexture() : nullptr;
    }

    // The quads drawn since the log was last cleared, in order.
    std::vector<Quad> Quads() const {
        std::vector<Quad> quads;
        Color tint;
        bool colorOnly = false;
        size_t draw = 0;
        for (const std::string& line : null->Log()) {
            float r, g, b, a;
            if (std::sscanf(line.c_str(), "ID3DXEffect::SetValue(g_TintColor, [%f, %f, %f, %f])", &r, &g, &b, &a) == 4)
                tint = Color(Byte(r), Byte(g), Byte(b), Byte(a));
            if (line.rfind("ID3DXEffect::SetBool(g_ColorOnly, ", 0) == 0)
                colorOnly = line.back() == ')' && line[line.size() - 2] == '1';
            if (line.rfind("Draw", 0) != 0) continue;
            const d3d9::DrawRecord& record = null->Draws().at(draw++);
            if (record.call != "DrawPrimitiveUP" || record.type != D3DPT_TRIANGLESTRIP ||
                record.vertices.size() != 4 * sizeof(Graphics::ScreenVertex))
                continue;
            Graphics::ScreenVertex v[4];
            std::memcpy(v, record.vertices.data(), sizeof(v));
            Quad quad;
            quad.color = tint;
            // Textured quads sit half a pixel up and left.
            const float shift = colorOnly ? 0.0f : 0.5f;
            quad.position = Vector2(v[0].x + shift, v[0].y + shift);
            quad.size = Vector2(v[3].x - v[0].x, v[3].y - v[0].y);
            if (!colorOnly) {
                quad.texture = record.textures[0];
                D3DSURFACE_DESC desc = {};
                static_cast<IDirect3DTexture9*>(quad.texture)->GetLevelDesc(0, &desc);
                quad.sourceOrigin = Vector2(v[0].u * desc.Width, v[0].v * desc.Height);
                quad.sourceSize = Vector2((v[3].u - v[0].u) * desc.Width, (v[3].v - v[0].v) * desc.Height);
            }
            quads.push_back(quad);
        }
        return quads;
    }

    // The texts drawn in the test font since the log was last cleared, in order.
    std::vector<Text> Texts() const {
        std::vector<Text> texts;
        Color tint;
        size_t draw = 0;
        for (const std::string& line : null->Log()) {
            float r, g, b, a;
            if (std::sscanf(line.c_str(), "ID3DXEffect::SetValue(g_TintColor, [%f, %f, %f, %f])", &r, &g, &b, &a) == 4)
                tint = Color(Byte(r), Byte(g), Byte(b), Byte(a));
            if (line.rfind("Draw", 0) != 0) continue;
            const d3d9::DrawRecord& record = null->Draws().at(draw++);
            if (record.call != "DrawPrimitive" || record.type != D3DPT_TRIANGLELIST ||
                record.stream0Stride != sizeof(Graphics::ScreenVertex))
                continue;
            std::vector<Graphics::ScreenVertex> v(record.vertices.size() / sizeof(Graphics::ScreenVertex));
            std::memcpy(v.data(), record.vertices.data(), v.size() * sizeof(Graphics::ScreenVertex));
            Text text;
            text.color = tint;
            text.clipped = record.RenderState(D3DRS_SCISSORTESTENABLE) != FALSE;
            text.scissor = record.scissor;
            for (size_t glyph = 0; glyph + 6 <= v.size(); glyph += 6) {
                const int column = static_cast<int>(std::lround(v[glyph].u * 16));
                const int row = static_cast<int>(std::lround(v[glyph].v * 16));
                text.text += static_cast<wchar_t>(row * 16 + column);
                // Glyphs sit half a pixel up and left of the pen.
                text.pens.push_back(Vector2(v[glyph].x + 0.5f, v[glyph].y + 0.5f));
            }
            texts.push_back(text);
        }
        return texts;
    }

    std::unique_ptr<FontLoader> fonts_;

private:
    // The shader's tint is channel / 256.
    static uint8_t Byte(float channel) { return static_cast<uint8_t>(std::lround(channel * 256.0f)); }
};

// Comparable and printable forms for the expectations.
inline std::pair<float, float> XY(const Vector2& v) { return {v.x, v.y}; }
inline std::tuple<int, int, int, int> RGBA(const Color& c) { return {c.r, c.g, c.b, c.a}; }
inline std::tuple<long, long, long, long> LTRB(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace uitest
