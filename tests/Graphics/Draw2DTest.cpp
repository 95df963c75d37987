// The 2D layer on the recording null device: what each draw sends (vertices,
// primitives, states, effect parameters), glyph layout read back from the
// text vertex buffer, and the begin/end bracket.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../platform/d3dx/ImageFixtures.h"
#include "Draw2DTestDevice.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
using Graphics::ScreenVertex;

const Color kRed(255, 0, 0, 255);

std::vector<ScreenVertex> AsVertices(const std::vector<uint8_t>& bytes, size_t count) {
    std::vector<ScreenVertex> vertices(count);
    EXPECT_GE(bytes.size(), count * sizeof(ScreenVertex));
    std::memcpy(vertices.data(), bytes.data(), std::min(bytes.size(), count * sizeof(ScreenVertex)));
    return vertices;
}

void ExpectVertex(const ScreenVertex& v, float x, float y, float u, float vv, float tolerance = 1e-4f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_EQ(v.z, 1.0f);
    EXPECT_EQ(v.rhw, 1.0f);
    EXPECT_NEAR(v.u, u, 1e-6f);
    EXPECT_NEAR(v.v, vv, 1e-6f);
}

class Draw2DTest : public draw2dtest::Draw2DTestDevice {
protected:
    void TearDown() override {
        if (!HasFailure() && device != nullptr) {
            const std::vector<std::string> errors = d3d9::GetErrors(device);
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
        Draw2DTestDevice::TearDown();
    }

    boost::shared_ptr<Graphics::Texture2D> MakeTexture(int width, int height) {
        const std::vector<uint8_t> bmp = texturetest::Bmp32(width, height, [](int, int) { return 0xFFFFFFFFu; });
        auto texture = Graphics::Texture2D::LoadFromMemory(bmp.data(), uint32_t(bmp.size()));
        EXPECT_TRUE(texture);
        return texture;
    }

    // A 64 x 64 page with 'A' and 'B'; a space of width 0; default width 9.
    boost::shared_ptr<Graphics::SpriteFont> MakeFont() {
        boost::shared_ptr<Graphics::SpriteFont> font(new Graphics::SpriteFont("test"));
        font->page_texture_ = MakeTexture(64, 64);
        font->page_width_ = 64;
        font->page_height_ = 64;
        font->default_width_ = 9;
        font->line_height_ = 12;
        font->glyphs_[L'A'] = Graphics::SpriteFontGlyph{8, 16, 6, 10, 1, 2, 8, 0};
        font->glyphs_[L'B'] = Graphics::SpriteFontGlyph{32, 0, 4, 8, 0, 3, 5, 0};
        font->glyphs_[L' '] = Graphics::SpriteFontGlyph{0, 0, 0, 0, 0, 0, 4, 0};
        return font;
    }

    // The glyph quads of a text draw, read back from its vertex buffer.
    std::vector<ScreenVertex> TextVertices(const d3d9::DrawRecord& draw) {
        EXPECT_EQ(draw.call, "DrawPrimitive");
        EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.stream0Stride, sizeof(ScreenVertex));
        void* data = nullptr;
        if (draw.stream0 == nullptr || FAILED(draw.stream0->Lock(0, 0, &data, 0))) return {};
        std::vector<ScreenVertex> vertices(draw.primitiveCount * 3);
        std::memcpy(vertices.data(), data, vertices.size() * sizeof(ScreenVertex));
        draw.stream0->Unlock();
        return vertices;
    }

    // Top-left corner of glyph i of the vertices.
    static std::pair<float, float> Corner(const std::vector<ScreenVertex>& v, size_t glyph) {
        return {v[glyph * 6].x, v[glyph * 6].y};
    }
};

TEST_F(Draw2DTest, BeginAndEndBracketTheRender2DTechnique) {
    Draw2D::End();  // without Begin: harmless
    EXPECT_EQ(Graphics::GetDraw2DState().begun, 0);

    Draw2D::Begin();
    Draw2D::Begin();  // already begun: nothing
    EXPECT_EQ(null->Count("ID3DXEffect::Begin(Render2D"), 1u);
    EXPECT_EQ(Graphics::GetDraw2DState().begun, 1);
    Draw2D::End();
    EXPECT_EQ(Graphics::GetDraw2DState().begun, 0);
    EXPECT_EQ(null->Count("ID3DXEffect::End()"), 1u);

    // Nothing but a line draws once ended.
    auto texture = MakeTexture(8, 8);
    auto font = MakeFont();
    null->ClearLog();
    Draw2D::FillRect(kRed, 0, 0, 10, 10);
    Draw2D::DrawRect(kRed, 0, 0, 10, 10);
    Draw2D::FillTriangle(kRed, 0, 0, 1, 0, 0, 1);
    Draw2D::FillCircle(kRed, 5, 5, 5);
    Draw2D::DrawTexture(texture, 0, 0);
    Draw2D::DrawText(font, 0, 0, std::string("AB"));
    EXPECT_TRUE(null->Draws().empty());
    Draw2D::DrawLine(kRed, 1, 2, 30, 40);
    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& line = null->Draws()[0];
    EXPECT_EQ(line.call, "DrawPrimitiveUP");
    EXPECT_EQ(line.type, D3DPT_LINELIST);
    EXPECT_EQ(line.primitiveCount, 1u);
    EXPECT_EQ(line.declaration, graphics->GetScreenVertexDeclaration());
    const auto v = AsVertices(line.vertices, 2);
    ExpectVertex(v[0], 1, 2, 0, 0);
    ExpectVertex(v[1], 30, 40, 0, 0);
}

TEST_F(Draw2DTest, ShapesSendTheirVerticesInFillModes) {
    struct Case {
        const char* name;
        void (*draw)();
        D3DPRIMITIVETYPE type;
        UINT primitives;
        DWORD fillMode;
        std::vector<std::pair<float, float>> points;  // leading vertices to check
    } cases[] = {
        {"FillRect",
         [] { Draw2D::FillRect(kRed, 10, 20, 30, 40); },
         D3DPT_TRIANGLESTRIP,
         2,
         D3DFILL_SOLID,
         {{10, 20}, {40, 20}, {10, 60}, {40, 60}}},
        {"DrawRect",
         [] { Draw2D::DrawRect(kRed, 10, 20, 30, 40); },
         D3DPT_TRIANGLESTRIP,
         2,
         D3DFILL_WIREFRAME,
         {{10, 20}, {40, 20}, {10, 60}, {40, 60}}},
        {"FillTriangle",
         [] { Draw2D::FillTriangle(kRed, Vector2(1, 2), Vector2(3, 4), Vector2(5, 6)); },
         D3DPT_TRIANGLELIST,
         1,
         D3DFILL_SOLID,
         {{1, 2}, {3, 4}, {5, 6}}},
        {"DrawTriangle",
         [] { Draw2D::DrawTriangle(kRed, 1, 2, 3, 4, 5, 6); },
         D3DPT_TRIANGLELIST,
         1,
         D3DFILL_WIREFRAME,
         {{1, 2}, {3, 4}, {5, 6}}},
        // Rim points every 9 degrees from 0; the first is the fan's hub.
        {"FillCircle",
         [] { Draw2D::FillCircle(kRed, 100, 100, 10); },
         D3DPT_TRIANGLEFAN,
         38,
         D3DFILL_SOLID,
         {{110, 100}, {109.877f, 101.564f}, {109.511f, 103.090f}}},
        {"DrawCircle",
         [] { Draw2D::DrawCircle(kRed, Vector2(100, 100), 10); },
         D3DPT_TRIANGLEFAN,
         38,
         D3DFILL_WIREFRAME,
         {{110, 100}, {109.877f, 101.564f}}},
        {"FillEllipse",
         [] { Draw2D::FillEllipse(kRed, Vector2(50, 60), Vector2(20, 10)); },
         D3DPT_TRIANGLEFAN,
         38,
         D3DFILL_SOLID,
         {{70, 60}, {69.754f, 61.564f}}},
        {"DrawEllipse",
         [] { Draw2D::DrawEllipse(kRed, 50, 60, 20, 10); },
         D3DPT_TRIANGLEFAN,
         38,
         D3DFILL_WIREFRAME,
         {{70, 60}}},
    };
    Draw2D::Begin();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        null->ClearLog();
        const size_t before = null->Draws().size();
        c.draw();
        ASSERT_EQ(null->Draws().size(), before + 1);
        const d3d9::DrawRecord& draw = null->Draws().back();
        EXPECT_EQ(draw.call, "DrawPrimitiveUP");
        EXPECT_EQ(draw.type, c.type);
        EXPECT_EQ(draw.primitiveCount, c.primitives);
        EXPECT_EQ(draw.RenderState(D3DRS_FILLMODE), c.fillMode);
        EXPECT_EQ(null->CurrentRenderState(D3DRS_FILLMODE), DWORD(D3DFILL_SOLID));
        EXPECT_TRUE(null->Contains("ID3DXEffect::SetBool(g_ColorOnly, 1)"));
        EXPECT_TRUE(null->Contains("ID3DXEffect::SetValue(g_TintColor, [0.996094, 0, 0, 0.996094])"));
        EXPECT_EQ(null->Count("ID3DXEffect::CommitChanges()"), 1u);
        const size_t count = c.type == D3DPT_TRIANGLEFAN ? 40 : c.type == D3DPT_TRIANGLESTRIP ? 4 : 3;
        const auto v = AsVertices(draw.vertices, count);
        for (size_t i = 0; i < c.points.size(); ++i)
            ExpectVertex(v[i], c.points[i].first, c.points[i].second, 0, 0, 1e-3f);
    }
    EXPECT_EQ(Graphics::GetDraw2DState().color_only, 1);
}

TEST_F(Draw2DTest, TexturedQuadsShiftHalfAPixelAndMapTheirSource) {
    auto wide = MakeTexture(64, 32);
    auto square = MakeTexture(64, 64);
    Draw2D::Begin();
    null->ClearLog();

    Draw2D::DrawTexture(wide, 10, 20);
    Draw2D::DrawTextureRegion(square, 0, 0, 16, 16, 16, 0, 16, 16, Color(0, 128, 255, 64));
    Draw2D::DrawTexture(square, Vector2(5, 5), Vector2(32, 16));
    ASSERT_EQ(null->Draws().size(), 3u);

    const d3d9::DrawRecord& whole = null->Draws()[0];
    EXPECT_EQ(whole.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(whole.primitiveCount, 2u);
    EXPECT_EQ(whole.textures[0], wide->GetTexture());
    auto v = AsVertices(whole.vertices, 4);
    ExpectVertex(v[0], 9.5f, 19.5f, 0, 0);
    ExpectVertex(v[1], 73.5f, 19.5f, 1, 0);
    ExpectVertex(v[2], 9.5f, 51.5f, 0, 1);
    ExpectVertex(v[3], 73.5f, 51.5f, 1, 1);

    v = AsVertices(null->Draws()[1].vertices, 4);
    ExpectVertex(v[0], -0.5f, -0.5f, 0.25f, 0);
    ExpectVertex(v[3], 15.5f, 15.5f, 0.5f, 0.25f);
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetValue(g_TintColor, [0, 0.5, 0.996094, 0.25])"));

    v = AsVertices(null->Draws()[2].vertices, 4);
    ExpectVertex(v[0], 4.5f, 4.5f, 0, 0);
    ExpectVertex(v[3], 36.5f, 20.5f, 1, 1);

    EXPECT_EQ(null->Count("ID3DXEffect::SetBool(g_ColorOnly, 0)"), 3u);
    EXPECT_EQ(Graphics::GetDraw2DState().color_only, 0);
}

TEST_F(Draw2DTest, GlyphLayoutFromTheVertexBuffer) {
    auto font = MakeFont();
    Draw2D::Begin();
    null->ClearLog();
    // Carriage return: next line at the starting x, one line advance lower;
    // line feed: nothing; space (width 0): the default width.
    Draw2D::DrawText(font, 100.7f, 50.2f, std::wstring(L"AB\r\n A"), Color(10, 20, 30, 40));
    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& draw = null->Draws()[0];
    EXPECT_EQ(draw.primitiveCount, 6u);
    EXPECT_EQ(draw.declaration, graphics->GetScreenVertexDeclaration());
    EXPECT_EQ(draw.textures[0], font->page_texture_->GetTexture());
    EXPECT_EQ(draw.RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CW));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW));
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetBool(g_ColorOnly, 0)"));
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetValue(g_TintColor, [0.0390625, 0.078125, 0.117188, 0.15625])"));

    const auto v = TextVertices(draw);
    ASSERT_EQ(v.size(), 18u);
    // 'A' at pen (100, 50): offset (1, 2), size 6 x 10, texels (8, 16).
    const float a_l = 100.5f, a_t = 51.5f, a_u = 8 / 64.f, a_v = 16 / 64.f, a_u2 = 14 / 64.f, a_v2 = 26 / 64.f;
    ExpectVertex(v[0], a_l, a_t, a_u, a_v);             // top left
    ExpectVertex(v[1], a_l, a_t + 10, a_u, a_v2);       // bottom left
    ExpectVertex(v[2], a_l + 6, a_t, a_u2, a_v);        // top right
    ExpectVertex(v[3], a_l + 6, a_t, a_u2, a_v);        // top right
    ExpectVertex(v[4], a_l, a_t + 10, a_u, a_v2);       // bottom left
    ExpectVertex(v[5], a_l + 6, a_t + 10, a_u2, a_v2);  // bottom right
    // 'B' after A's advance 8 - 1: pen 107, offset (0, 3).
    ExpectVertex(v[6], 106.5f, 52.5f, 0.5f, 0);
    ExpectVertex(v[11], 110.5f, 60.5f, 0.5f + 4 / 64.f, 8 / 64.f);
    // Second line: pen (100 + 9 for the space, 80).
    ExpectVertex(v[12], 109.5f, 81.5f, a_u, a_v);
}

TEST_F(Draw2DTest, LineOffsetsAndLineAdvance) {
    auto font = MakeFont();
    Draw2D::Begin();
    Draw2D::SetLineAdvance(20);
    Draw2D::GetLineOffsets() = {5, -3};
    Draw2D::DrawText(font, 100.7f, 50, std::wstring(L"B\rB\rB"));
    EXPECT_TRUE(Draw2D::GetLineOffsets().empty());
    ASSERT_EQ(null->Draws().size(), 1u);
    const auto v = TextVertices(null->Draws()[0]);
    ASSERT_EQ(v.size(), 18u);
    // Line 0: trunc(100.7) + 5; line 1: trunc(100.7 - 3); line 2 has no offset.
    EXPECT_EQ(Corner(v, 0), std::make_pair(104.5f, 52.5f));
    EXPECT_EQ(Corner(v, 1), std::make_pair(96.5f, 72.5f));
    EXPECT_EQ(Corner(v, 2), std::make_pair(99.5f, 92.5f));

    // An empty text leaves the offsets for the next one.
    Draw2D::GetLineOffsets() = {7};
    Draw2D::DrawText(font, 0, 0, std::wstring());
    EXPECT_EQ(Draw2D::GetLineOffsets(), std::vector<int32_t>{7});
    EXPECT_EQ(Draw2D::GetLineAdvance(), 20);
}

TEST_F(Draw2DTest, TextOfBlanksDrawsNothing) {
    auto font = MakeFont();
    Graphics::ScreenVertex vertices[6];
    Draw2D::GlyphCursor cursor;
    EXPECT_EQ(Draw2D::LayoutGlyphs(*font, 0, 0, L"   ", vertices, 1, cursor), 0);
    EXPECT_TRUE(cursor.done);
    EXPECT_EQ(cursor.pen_x, 27);

    Draw2D::Begin();
    Draw2D::DrawText(font, 0, 0, std::string("   "));
    EXPECT_TRUE(null->Draws().empty());
}

TEST_F(Draw2DTest, LongTextIsDrawnInPiecesThatFitTheBuffer) {
    auto font = MakeFont();
    Draw2D::Begin();
    // 2500 glyphs with a line break in the second piece.
    std::wstring text(2500, L'B');
    text[1500] = L'\r';
    Draw2D::DrawText(font, 0, 0, text);
    const auto& draws = null->Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].primitiveCount, 2u * 1024);
    EXPECT_EQ(draws[1].primitiveCount, 2u * 1024);
    EXPECT_EQ(draws[2].primitiveCount, 2u * (2499 - 2048));
    EXPECT_EQ(null->Count("IDirect3DVertexBuffer9::Lock(0, 147456, 0x2000)"), 3u);
    // Each piece goes on where the one before stopped: glyph 2048 of the
    // text is the 548th of the second line, each glyph 5 pixels on.
    const auto last = TextVertices(draws[2]);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(Corner(last, 0), std::make_pair(548 * 5 - 0.5f, 30 + 3 - 0.5f));
}

TEST_F(Draw2DTest, FontWithoutPageDrawsNothingButMeasures) {
    auto font = MakeFont();
    font->page_texture_.reset();
    font->page_width_ = font->page_height_ = 0;
    Draw2D::Begin();
    Draw2D::GetLineOffsets() = {4};
    Draw2D::DrawText(font, 0, 0, std::wstring(L"AB"));
    Draw2D::DrawText(boost::shared_ptr<Graphics::SpriteFont>(), 0, 0, std::wstring(L"AB"));
    EXPECT_TRUE(null->Draws().empty());
    EXPECT_TRUE(Draw2D::GetLineOffsets().empty());
    EXPECT_EQ(font->MeasureString(std::wstring(L"AB")), 7 + 5);
}

TEST_F(Draw2DTest, ClearFillsTheTargetOnly) {
    Draw2D::Clear(Color(255, 128, 0, 255));
    EXPECT_TRUE(null->Contains("Clear(0, 0x1, 0xffff8000, 1, 0)"));
}

// A back buffer of 1280 x 720: the 1024 x 768 screen is stretched over it.
class StretchedScreenTest : public Draw2DTest {
protected:
    StretchedScreenTest() {
        params.BackBufferWidth = 1280;
        params.BackBufferHeight = 720;
    }
};

TEST_F(StretchedScreenTest, TheScreenFillsTheBackBufferInViewportShapesAndText) {
    EXPECT_EQ(graphics->GetScreenScale().x, 1.25f);
    EXPECT_EQ(graphics->GetScreenScale().y, 0.9375f);
    // The viewport is kept on the screen and set on the back buffer.
    const struct {
        Viewport onScreen;
        D3DVIEWPORT9 onBackBuffer;
    } viewports[] = {
        {Viewport(0, 0, 1024, 768, 0.0f, 1.0f), {0, 0, 1280, 720, 0.0f, 1.0f}},
        {Viewport(512, 384, 512, 384, 0.25f, 0.5f), {640, 360, 640, 360, 0.25f, 0.5f}},
        {Viewport(1, 1, 1021, 765, 0.0f, 1.0f), {1, 1, 1277, 717, 0.0f, 1.0f}},
    };
    for (const auto& v : viewports) {
        EXPECT_EQ(graphics->SetViewport(v.onScreen), D3D_OK);
        EXPECT_EQ(graphics->GetViewport().Width, static_cast<DWORD>(v.onScreen.width));
        D3DVIEWPORT9 set;
        device->GetViewport(&set);
        EXPECT_EQ(std::memcmp(&set, &v.onBackBuffer, sizeof set), 0)
            << set.X << ", " << set.Y << " " << set.Width << "x" << set.Height;
    }

    Draw2D::Begin();
    null->ClearLog();
    Draw2D::DrawTexture(MakeTexture(64, 32), 10, 20);
    Draw2D::FillRect(kRed, 1024 - 8, 768 - 8, 8, 8);
    Draw2D::DrawText(MakeFont(), 100, 200, "A");
    ASSERT_EQ(null->Draws().size(), 3u);
    auto quad = AsVertices(null->Draws()[0].vertices, 4);
    ExpectVertex(quad[0], 9.5f * 1.25f, 19.5f * 0.9375f, 0, 0);
    ExpectVertex(quad[3], 73.5f * 1.25f, 51.5f * 0.9375f, 1, 1);
    // The screen's far corner is the back buffer's.
    auto corner = AsVertices(null->Draws()[1].vertices, 4);
    ExpectVertex(corner[3], 1280.0f, 720.0f, 0, 0);
    // The glyph laid out on the screen (pen 100 + x offset 1, 200 + y offset 2), then placed.
    const std::vector<ScreenVertex> glyph = TextVertices(null->Draws()[2]);
    ASSERT_EQ(glyph.size(), 6u);
    EXPECT_NEAR(glyph[0].x, 100.5f * 1.25f, 1e-4f);
    EXPECT_NEAR(glyph[0].y, 201.5f * 0.9375f, 1e-4f);
    EXPECT_NEAR(glyph[5].x, 106.5f * 1.25f, 1e-4f);
    EXPECT_NEAR(glyph[5].y, 211.5f * 0.9375f, 1e-4f);
}

}  // namespace
