#pragma once
// The widget tests' base: the 2D test device with an interface texture loader
// over a scratch folder, the interface's globals and the frame's input reset
// around each test, layouts and images written to the scratch folder, one
// frame's pointer input, and the quads the 2D layer drew read back from the
// recording device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../Graphics/Draw2DTestDevice.h"
#include "../platform/d3dx/ImageFixtures.h"
#include "Core/FrameClock.h"
#include "Graphics/GraphicsDeviceVertices.h"
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

class UITest : public draw2dtest::Draw2DTestDevice {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Draw2DTestDevice::SetUp());
        ResetInterface();
    }
    void TearDown() override {
        ResetInterface();
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

private:
    // The shader's tint is channel / 256.
    static uint8_t Byte(float channel) { return static_cast<uint8_t>(std::lround(channel * 256.0f)); }
};

// Comparable and printable forms for the expectations.
inline std::pair<float, float> XY(const Vector2& v) { return {v.x, v.y}; }
inline std::tuple<int, int, int, int> RGBA(const Color& c) { return {c.r, c.g, c.b, c.a}; }

}  // namespace uitest
