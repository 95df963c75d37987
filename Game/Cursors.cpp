#include "Game/Cursors.h"

#include <map>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "shell/PointerState.h"

namespace {

std::map<int, boost::shared_ptr<Graphics::Texture2D>> g_cursors;
int g_selected_cursor = -1;

}  // namespace

bool RegisterCursor(int id, const std::string& fileName) {
    typedef Content::ContentLoader<Graphics::Texture2D> TextureLoader;
    if (!Service<TextureLoader>::Exists()) return true;
    boost::shared_ptr<Graphics::Texture2D> texture = Service<TextureLoader>::Get()->Load(fileName);
    if (!texture) return false;
    g_cursors[id] = texture;
    return true;
}

bool SelectCursor(int id) {
    if (id < 0) {
        g_selected_cursor = -1;
        return true;
    }
    if (g_cursors.find(id) == g_cursors.end()) return false;
    g_selected_cursor = id;
    return true;
}

boost::shared_ptr<Graphics::Texture2D> GetSelectedCursor() {
    std::map<int, boost::shared_ptr<Graphics::Texture2D>>::const_iterator found = g_cursors.find(g_selected_cursor);
    return found == g_cursors.end() ? boost::shared_ptr<Graphics::Texture2D>() : found->second;
}

void DrawCursor() {
    const PointerState pointer = GetPointerState();
    boost::shared_ptr<Graphics::Texture2D> texture = GetSelectedCursor();
    if (!texture) return;
    // On the device's screen, where the 2D layer draws, whatever the window's size.
    Vector2 screen(1024.0f, 768.0f);
    if (Service<Graphics::GraphicsDevice>::Exists()) screen = Service<Graphics::GraphicsDevice>::Get()->GetScreenSize();
    const Vector2 at = PointerOnScreen(pointer, screen.x, screen.y);
    Graphics::Draw2D::Begin();
    Graphics::Draw2D::DrawTexture(texture, at.x, at.y);
    Graphics::Draw2D::End();
}
