#pragma once
// The mouse cursor images: a table of textures by id, one of them selected,
// drawn at the pointer after each frame's draw.
#include <boost/shared_ptr.hpp>

#include <string>

namespace Graphics {
class Texture2D;
}

// Loads the image through the world texture loader and keeps it under the id
// (replacing an earlier one). Without that loader nothing is registered and
// the answer is true; an image that does not load gives false.
bool RegisterCursor(int id, const std::string& fileName);
// A negative id hides the cursor; an unknown id gives false and keeps the
// selection.
bool SelectCursor(int id);
// Empty when no cursor is selected.
boost::shared_ptr<Graphics::Texture2D> GetSelectedCursor();
// The selected image at the pointer, in a 2D batch of its own.
void DrawCursor();
