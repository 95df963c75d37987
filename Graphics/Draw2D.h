#pragma once
// The 2D layer: lines, triangles, rectangles, circles and ellipses, textured
// quads and sprite-font text, all in pixels of the device's virtual screen,
// with pre-transformed vertices (ScreenVertex, in back-buffer pixels: the
// positions are stretched by the device's screen scale) through the uber
// effect's "Render2D" technique.
//
// One process-wide state, bound to the graphics device once by Init. Callers
// bracket their drawing with Begin and End inside the device's scene; outside
// them every draw but DrawLine and Clear does nothing. Main thread only.
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Graphics/GraphicsDeviceVertices.h"
#include "Maths/Color.h"
#include "Maths/Vector2.h"
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class GDEffect;
class GraphicsDevice;
class SpriteFont;
class Texture2D;

struct Draw2DState {
    GraphicsDevice* device = nullptr;
    IDirect3DDevice9* d3d_device = nullptr;
    int32_t color_only = 0;  // 1 after an untextured draw; "g_ColorOnly"
    int32_t begun = 0;
    boost::shared_ptr<GDEffect> effect;
    // Made on the first text draw: room for kTextBufferGlyphs glyphs.
    IDirect3DVertexBuffer9* text_buffer = nullptr;
    ScreenVertex circle_vertices[40];
    // Horizontal offsets of the lines of the next text draw, one per line;
    // every text draw empties it.
    std::vector<int32_t> line_offsets;
    // How far a carriage return moves the pen down.
    int32_t line_advance = 30;
    // Back-buffer pixels per screen pixel (the bound device's screen scale).
    float scale_x = 1.0f;
    float scale_y = 1.0f;
};

// The one state (for the text users that fill the line offsets, and tests).
Draw2DState& GetDraw2DState();

namespace Draw2D {

const int kTextBufferGlyphs = 1024;
const UINT kTextBufferBytes = 0x24000;  // 6 vertices of 24 bytes per glyph

// Binds the layer to the device, its Direct3D device and its uber effect.
void Init(GraphicsDevice* device);
// Forgets the device and the effect, and releases the text vertex buffer.
void Shutdown();

// "Render2D" with its first pass; nothing while already begun.
void Begin();
// Ends the pass and the effect and clears the begun flag (no nesting count).
void End();

// The render target only, depth 1.0, stencil 0.
void Clear(const Color& color);

// The line advance of carriage returns (30 at start); it stays as set.
void SetLineAdvance(int32_t pixels);
int32_t GetLineAdvance();
// The per-line offsets of the next text draw.
std::vector<int32_t>& GetLineOffsets();

void DrawLine(const Color& color, float x1, float y1, float x2, float y2);
void DrawLine(const Color& color, const Vector2& from, const Vector2& to);
void DrawTriangle(const Color& color, float x1, float y1, float x2, float y2, float x3, float y3);
void DrawTriangle(const Color& color, const Vector2& a, const Vector2& b, const Vector2& c);
void FillTriangle(const Color& color, float x1, float y1, float x2, float y2, float x3, float y3);
void FillTriangle(const Color& color, const Vector2& a, const Vector2& b, const Vector2& c);
// The outline is the two-triangle strip in wireframe, diagonal included.
void DrawRect(const Color& color, float x, float y, float width, float height);
void FillRect(const Color& color, float x, float y, float width, float height);
void DrawCircle(const Color& color, float x, float y, float radius);
void DrawCircle(const Color& color, const Vector2& centre, float radius);
void FillCircle(const Color& color, float x, float y, float radius);
void FillCircle(const Color& color, const Vector2& centre, float radius);
void DrawEllipse(const Color& color, float x, float y, float radiusX, float radiusY);
void DrawEllipse(const Color& color, const Vector2& centre, const Vector2& radii);
void FillEllipse(const Color& color, float x, float y, float radiusX, float radiusY);
void FillEllipse(const Color& color, const Vector2& centre, const Vector2& radii);

// The source rectangle in texels of the texture, drawn half a pixel up and
// left of (x, y) so texels land on pixels.
void DrawTexturedQuad(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                      float sourceX, float sourceY, float sourceWidth, float sourceHeight, const Color& color);
// The whole texture at its own size.
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y);
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, const Color& color);
// The whole texture stretched.
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height);
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                 const Color& color);
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size);
void DrawTexture(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                 const Color& color);
void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                       float sourceX, float sourceY, float sourceWidth, float sourceHeight);
void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, float x, float y, float width, float height,
                       float sourceX, float sourceY, float sourceWidth, float sourceHeight, const Color& color);
void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                       const Vector2& sourcePosition, const Vector2& sourceSize);
void DrawTextureRegion(const boost::shared_ptr<Texture2D>& texture, const Vector2& position, const Vector2& size,
                       const Vector2& sourcePosition, const Vector2& sourceSize, const Color& color);

// Text with its top-left at (x, y): a carriage return starts the next line
// one line advance lower (shifted by that line's offset), a line feed is
// skipped. Narrow text widens byte by byte with sign extension. A text longer
// than the vertex buffer is drawn in several draws. A font without page
// texture draws nothing.
void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::string& text);
void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::string& text, const Color& color);
void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::string& text);
void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::string& text,
              const Color& color);
void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text);
void DrawText(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text,
              const Color& color);
void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::wstring& text);
void DrawText(const boost::shared_ptr<SpriteFont>& font, const Vector2& position, const std::wstring& text,
              const Color& color);
void DrawTextCore(const boost::shared_ptr<SpriteFont>& font, float x, float y, const std::wstring& text,
                  const Color& color);

// Where glyph layout stands in a text: the next character and the pen. A
// text is laid out in pieces of at most the buffer's glyphs by passing the
// same cursor again until it is done.
struct GlyphCursor {
    size_t next = 0;
    int32_t pen_x = 0;
    int32_t pen_y = 0;
    int32_t line = 0;
    bool started = false;
    bool done = false;
};

// Six vertices per drawn glyph into `vertices` (room for maxGlyphs glyphs),
// stopping before the glyph that would not fit. Returns the glyphs written.
// Empties the line offsets when the text is finished.
int LayoutGlyphs(SpriteFont& font, float x, float y, const std::wstring& text, ScreenVertex* vertices, int maxGlyphs,
                 GlyphCursor& cursor);

}  // namespace Draw2D
}  // namespace Graphics
