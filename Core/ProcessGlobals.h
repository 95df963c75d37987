#pragma once
// Process-wide values shared by the rest of the program: the renderer bound
// after a language change, the cached computer name and command line.
#include <boost/shared_ptr.hpp>
#include <string>

namespace Graphics {
class GraphicsDevice;
class SpriteFont;
}  // namespace Graphics

// Stores the device (not owned) and a copy of the font handle.
void SetActiveRendererBinding(Graphics::GraphicsDevice* device, const boost::shared_ptr<Graphics::SpriteFont>& font);
// Releases the handle and clears the device.
void ClearActiveRendererBinding();
Graphics::GraphicsDevice* GetActiveRenderer();
const boost::shared_ptr<Graphics::SpriteFont>& GetActiveRendererFont();
// The binding's one-shot flag: the first query returns the flag and sets it
// when it was clear and a device is bound; the second returns it and clears it.
bool TestAndSetRendererBindingFlag();
bool TestAndClearRendererBindingFlag();

// The computer name, queried once (15 characters at most); empty when the
// query failed.
const std::string& GetComputerName();

// The shell's full command-line text, copied on the first call that finds
// the cache empty. The shell names where it comes from.
using CommandLineTextSource = const char* (*)();
void SetCommandLineTextSource(CommandLineTextSource source);
const std::string& GetCommandLineText();
