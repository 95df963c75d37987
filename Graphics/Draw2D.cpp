#include "Graphics/Draw2D.h"

#include <cmath>
#include <cstring>

#include "Core/TextHelpers.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"

namespace Graphics {

namespace {

Draw2DState g_state;

const float kHalfPixel = 0.5f;
const float kDegreesToRadians = 0.017453292f;
const int kRimPoints = 40;

const Color kWhite(255, 255, 255, 255);

bool Bound() { return g_state.d3d_device != nullptr && g_state.device != nullptr && g_state.effect; }

// A vertex at screen position (x, y), placed on the back buffer.
ScreenVertex Vertex(float x, float y, float u = 0.0f, float v = 0.0f) {
    return ScreenVertex{x * g_state.scale_x, y * g_state.scale_y, 1.0f, 1.0f, u, v};
}

// The set-up every draw shares: declaration, colour-only flag, tint, texture
// (textured draws only), commit.
void SetUp(const Color& color, bool colorOnly, IDirect3DBaseTexture9* texture) {
    GDEffect& effect = *g_state.effect;
    g_state.d3d_device->SetVertexDeclaration(g_state.device->GetScreenVertexDeclaration());
    g_state.color_only = colorOnly ? 1 : 0;
    effect.effect_->SetBool(effect.color_only_, g_state.color_only);
    float tint[4];
    std::memcpy(tint, color.ToFloat4(), sizeof(tint));
    effect.effect_->SetValue(effect.tint_color_, tint, sizeof(tint));
    if (!colorOnly) {
        effect.effect_->SetTexture(effect.tex_diffuse_, texture);
    }
    effect.CommitChanges();
}

void DrawUserVertices(D3DPRIMITIVETYPE type, UINT primitives, const ScreenVertex* vertices) {
    g_state.d3d_device->DrawPrimitiveUP(type, primitives, vertices, sizeof(ScreenVertex));
}

void DrawFilled(bool wireframe, D3DPRIMITIVETYPE type, UINT primitives, const ScreenVertex* vertices) {
    g_state.d3d_device->SetRenderState(D3DRS_FILLMODE, wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    DrawUserVertices(type, primitives, vertices);
    if (wireframe) {
        g_state.d3d_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    }
}

void Triangle(bool wireframe, const Color& color, float x1, float y1, float x2, float y2, float x3, float y3) {
    if (!g_state.begun || !Bound()) {
        return;
    }
    const ScreenVertex vertices[3] = {Vertex(x1, y1), Vertex(x2, y2), Vertex(x3, y3)};
    SetUp(color, true, nullptr);
    DrawFilled(wireframe, D3DPT_TRIANGLELIST, 1, vertices);
}

void Rect(bool wireframe, const Color& color, float x, float y, float width, float height) {
    if (!g_state.begun || !Bound()) {
        return;
    }
    const ScreenVertex vertices[4] = {Vertex(x, y), Vertex(x + width, y), Vertex(x, y + height),
                                      Vertex(x + width, y + height)};
    SetUp(color, true, nullptr);
    DrawFilled(wireframe, D3DPT_TRIANGLESTRIP, 2, vertices);
}

void Ellipse(bool wireframe, const Color& color, float x, float y, float radiusX, float radiusY) {
    if (!g_state.begun || !Bound()) {
        return;
    }
    int count = 0;
    for (float degrees = 0.0f; degrees < 360.0f && count < kRimPoints; degrees += 9.0f) {
        const float radians = degrees * kDegreesToRadians;
        g_state.circle_vertices[count++] = Vertex(x + radiusX * std::cos(radians), y + radiusY * std::sin(radians));
    }
    SetUp(color, true, nullptr);
    // A fan over the rim with the first rim point as hub.
    DrawFilled(wireframe, D3DPT_TRIANGLEFAN, static_cast<UINT>(count - 2), g_state.circle_vertices);
}

bool HasPage(const SpriteFont& font) {
    return font.page_texture_ && font.page_texture_->GetTexture() != nullptr && font.page_width_ != 0 &&
           font.page_height_ != 0;
}

}  // namespace

Draw2DState& GetDraw2DState() { return g_state; }

namespace Draw2D {

void Init(GraphicsDevice* device) {
    IDirect3DDevice9* d3dDevice = device != nullptr ? device->GetDevice() : nullptr;
    // A buffer made on another device cannot serve this one.
    if (g_state.text_buffer != nullptr && d3dDevice != g_state.d3d_device) {
        g_state.text_buffer->Release();
        g_state.text_buffer = nullptr;
    }
    g_state.device = device;
    g_state.d3d_device = d3dDevice;
    g_state.effect = device != nullptr ? device->GetEffect() : boost::shared_ptr<GDEffect>();
    const Vector2 scale = device != nullptr ? device->GetScreenScale() : Vector2(1.0f, 1.0f);
    g_state.scale_x = scale.x;
    g_state.scale_y = scale.y;
}

void Shutdown() {
    if (g_state.text_buffer != nullptr) {
        g_state.text_buffer->Release();
        g_state.text_buffer = nullptr;
    }
    g_state.effect.reset();
    g_state.device = nullptr;
    g_state.d3d_device = nullptr;
    g_state.begun = 0;
    g_state.scale_x = g_state.scale_y = 1.0f;
}

void Begin() {
    if (g_state.begun || !Bound()) {
        return;
    }
    g_state.effect->technique_ = g_state.effect->render_2d_technique_;
    g_state.effect->Begin();
    g_state.begun = 1;
}

void End() {
    if (g_state.effect) {
        g_state.effect->End();
    }
    g_state.begun = 0;
}

void Clear(const Color& color) {
    if (g_state.d3d_device == nullptr) {
        return;
    }
    g_state.d3d_device->Clear(0, nullptr, D3DCLEAR_TARGET, color.ToARGB(), 1.0f, 0);
}

void SetLineAdvance(int32_t pixels) { g_state.line_advance = pixels; }

int32_t GetLineAdvance() { return g_state.line_advance; }

std::vector<int32_t>& GetLineOffsets() { return g_state.line_offsets; }

void DrawLine(const Color& color, float x1, float y1, float x2, float y2) {
    // Lines draw even outside Begin and End.
    if (!Bound()) {
        return;
    }
    const ScreenVertex vertices[2] = {Vertex(x1, y1), Vertex(x2, y2)};
    SetUp(color, true, nullptr);
    DrawUserVertices(D3DPT_LINELIST, 1, vertices);
}

void DrawLine(const Color& color, const Vector2& from, const Vector2& to) {
    DrawLine(color, from.x, from.y, to.x, to.y);
}

void DrawTriangle(const Color& color, float x1, float y1, float x2, float y2, float x3, float y3) {
    Triangle(true, color, x1, y1, x2, y2, x3, y3);
}

void DrawTriangle(const Color& color, const Vector2& a, const Vector2& b, const Vector2& c) {
    Triangle(true, color, a.x, a.y, b.x, b.y, c.x, c.y);
}

void FillTriangle(const Color& color, float x1, float y1, float x2, float y2, float x3, float y3) {
    Triangle(false, color, x1, y1, x2, y2, x3, y3);
}

void FillTriangle(const Color& color, const Vector2& a, const Vector2& b, const Vector2& c) {
    Triangle(false, color, a.x, a.y, b.x, b.y, c.x, c.y);
}

void DrawRect(const Color& color, float x, float y, float width, float height) {
    Rect(true, color, x, y, width, height);
}

void FillRect(const Color& color, float x, float y, float width, float height) {
    Rect(false, color, x, y, width, height);
}

void DrawCircle(const Color& color, float x, float y, float radius) { Ellipse(true, color, x, y, radius, radius); }

void DrawCircle(const Color& color, const Vector2& centre, float radius) {
    Ellipse(true, color, centre.x, centre.y, radius, radius);
}

void FillCircle(const Color& color, float x, float y, float radius) { Ellipse(false, color, x, y, radius, radius); }

void FillCircle(const Color& color, const Vector2& centre, float radius) {
    Ellipse(false, color, centre.x, centre.y, radius, radius);
}

void DrawEllipse(const Color& color, float x, float y, float radiusX, float radiusY) {
    Ellipse(true, color, x, y, radiusX, radiusY);
}

void DrawEllipse(const Color& color, const Vector2& centre, const Vector2& radii) {
    Ellipse(true, color, centre.x, centre.y, radii.x, radii.y);
}

void FillEllipse(const Color& color, float x, float y, float radiusX, float radiusY) {
    Ellipse(false, color, x, y, radiusX, radiusY);
}

void FillEllipse(const Color& color, const Vector2& centre, const Vector2& radii) {
    Ellipse(false, color, centre.x, centre.y, radii.x, radii.y);
}

void DrawTexturedQuad(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                      float sourceX, float sourceY, float sourceWidth, float sourceHeight, const Color& color) {
    if (!g_state.begun || !Bound() || !texture || texture->GetWidth() <= 0.0f || texture->GetHeight() <= 0.0f) {
        return;
    }
    const float textureWidth = texture->GetWidth();
    const float textureHeight = texture->GetHeight();
    const float left = x - kHalfPixel;
    const float top = y - kHalfPixel;
    const float right = left + width;
    const float bottom = top + height;
    const float leftU = sourceX / textureWidth;
    const float topV = sourceY / textureHeight;
    const float rightU = leftU + sourceWidth / textureWidth;
    const float bottomV = topV + sourceHeight / textureHeight;
    const ScreenVertex vertices[4] = {Vertex(left, top, leftU, topV), Vertex(right, top, rightU, topV),
                                      Vertex(left, bottom, leftU, bottomV), Vertex(right, bottom, rightU, bottomV)};
    SetUp(color, false, texture->GetTexture());
    DrawUserVertices(D3DPT_TRIANGLESTRIP, 2, vertices);
}

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y) { DrawTexture(texture, x, y, kWhite); }

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, const Color& color) {
    if (!texture) {
        return;
    }
    DrawTexture(texture, x, y, texture->GetWidth(), texture->GetHeight(), color);
}

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height) {
    DrawTexture(texture, x, y, width, height, kWhite);
}

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                 const Color& color) {
    if (!texture) {
        return;
    }
    DrawTexturedQuad(texture, x, y, width, height, 0.0f, 0.0f, texture->GetWidth(), texture->GetHeight(), color);
}

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size) {
    DrawTexture(texture, position.x, position.y, size.x, size.y, kWhite);
}

void DrawTexture(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                 const Color& color) {
    DrawTexture(texture, position.x, position.y, size.x, size.y, color);
}

void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                       float sourceX, float sourceY, float sourceWidth, float sourceHeight) {
    DrawTexturedQuad(texture, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight, kWhite);
}

void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                       float sourceX, float sourceY, float sourceWidth, float sourceHeight, const Color& color) {
    DrawTexturedQuad(texture, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight, color);
}

void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                       const Vector2& sourcePosition, const Vector2& sourceSize) {
    DrawTexturedQuad(texture, position.x, position.y, size.x, size.y, sourcePosition.x, sourcePosition.y, sourceSize.x,
                     sourceSize.y, kWhite);
}

void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                       const Vector2& sourcePosition, const Vector2& sourceSize, const Color& color) {
    DrawTexturedQuad(texture, position.x, position.y, size.x, size.y, sourcePosition.x, sourcePosition.y, sourceSize.x,
                     sourceSize.y, color);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::string& text) {
    DrawTextCore(font, x, y, ToWideString(text), kWhite);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::string& text,
              const Color& color) {
    DrawTextCore(font, x, y, ToWideString(text), color);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::string& text) {
    DrawTextCore(font, position.x, position.y, ToWideString(text), kWhite);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::string& text,
              const Color& color) {
    DrawTextCore(font, position.x, position.y, ToWideString(text), color);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text) {
    DrawTextCore(font, x, y, text, kWhite);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text,
              const Color& color) {
    DrawTextCore(font, x, y, text, color);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::wstring& text) {
    DrawTextCore(font, position.x, position.y, text, kWhite);
}

void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::wstring& text,
              const Color& color) {
    DrawTextCore(font, position.x, position.y, text, color);
}

void DrawTextCore(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text,
                  const Color& color) {
    if (!g_state.begun || text.empty() || !Bound()) {
        return;
    }
    IDirect3DDevice9* device = g_state.d3d_device;
    if (font && HasPage(*font) && g_state.text_buffer == nullptr) {
        IDirect3DVertexBuffer9* buffer = nullptr;
        if (SUCCEEDED(device->CreateVertexBuffer(kTextBufferBytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0,
                                                 D3DPOOL_DEFAULT, &buffer, nullptr))) {
            g_state.text_buffer = buffer;
        }
    }
    // Without page texture or buffer nothing is drawn; the offsets were
    // meant for this text all the same.
    if (!font || !HasPage(*font) || g_state.text_buffer == nullptr) {
        g_state.line_offsets.clear();
        return;
    }

    GDEffect& effect = *g_state.effect;
    GlyphCursor cursor;
    while (!cursor.done) {
        void* data = nullptr;
        if (FAILED(g_state.text_buffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) || data == nullptr) {
            break;
        }
        const int glyphs = LayoutGlyphs(*font, x, y, text, static_cast<ScreenVertex*>(data), kTextBufferGlyphs, cursor);
        g_state.text_buffer->Unlock();
        if (glyphs == 0) {
            continue;
        }
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        device->SetVertexDeclaration(g_state.device->GetScreenVertexDeclaration());
        device->SetStreamSource(0, g_state.text_buffer, 0, sizeof(ScreenVertex));
        g_state.color_only = 0;
        effect.effect_->SetBool(effect.color_only_, FALSE);
        float tint[4];
        std::memcpy(tint, color.ToFloat4(), sizeof(tint));
        effect.effect_->SetValue(effect.tint_color_, tint, sizeof(tint));
        effect.effect_->SetTexture(effect.tex_diffuse_, font->page_texture_->GetTexture());
        effect.CommitChanges();
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(glyphs * 2));
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    // Also when a lock failed part way.
    g_state.line_offsets.clear();
}

int LayoutGlyphs(SpriteFont& font, float x, float y, const std::wstring& text, ScreenVertex* vertices, int maxGlyphs,
                 GlyphCursor& cursor) {
    std::vector<int32_t>& offsets = g_state.line_offsets;
    if (!cursor.started) {
        cursor.started = true;
        cursor.next = 0;
        cursor.line = 0;
        cursor.pen_x = static_cast<int32_t>(x);
        cursor.pen_y = static_cast<int32_t>(y);
        if (!offsets.empty()) {
            cursor.pen_x += offsets[0];
        }
    }
    const float pageWidth = font.page_width_ != 0 ? float(font.page_width_) : 1.0f;
    const float pageHeight = font.page_height_ != 0 ? float(font.page_height_) : 1.0f;

    int count = 0;
    for (; cursor.next < text.size(); ++cursor.next) {
        const wchar_t character = text[cursor.next];
        if (character == 13) {
            ++cursor.line;
            cursor.pen_x = static_cast<size_t>(cursor.line) < offsets.size()
                               ? static_cast<int32_t>(x + static_cast<float>(offsets[cursor.line]))
                               : static_cast<int32_t>(x);
            cursor.pen_y += g_state.line_advance;
            continue;
        }
        if (character == 10) {
            continue;
        }
        const SpriteFontGlyph& glyph = font.FindGlyph(static_cast<uint16_t>(character));
        if (glyph.width == 0) {
            cursor.pen_x += font.default_width_;
            continue;
        }
        if (count >= maxGlyphs) {
            // This glyph starts the next piece.
            return count;
        }
        const float left = static_cast<float>(cursor.pen_x + glyph.xoffset) - kHalfPixel;
        const float top = static_cast<float>(cursor.pen_y + glyph.yoffset) - kHalfPixel;
        const float right = left + glyph.width;
        const float bottom = top + glyph.height;
        const float leftU = glyph.x / pageWidth;
        const float topV = glyph.y / pageHeight;
        const float rightU = leftU + glyph.width / pageWidth;
        const float bottomV = topV + glyph.height / pageHeight;
        ScreenVertex* out = vertices + count * 6;
        out[0] = Vertex(left, top, leftU, topV);
        out[1] = Vertex(left, bottom, leftU, bottomV);
        out[2] = Vertex(right, top, rightU, topV);
        out[3] = Vertex(right, top, rightU, topV);
        out[4] = Vertex(left, bottom, leftU, bottomV);
        out[5] = Vertex(right, bottom, rightU, bottomV);
        cursor.pen_x += int32_t(glyph.xadvance) - int32_t(glyph.xoffset);
        ++count;
    }
    cursor.done = true;
    offsets.clear();
    return count;
}

}  // namespace Draw2D
}  // namespace Graphics
