#include "Core/ProcessGlobals.h"

#include "platform/win32/Process.h"

namespace {

struct RendererBinding {
    Graphics::GraphicsDevice* device = nullptr;
    boost::shared_ptr<Graphics::SpriteFont> font;
    bool flag = false;
};

RendererBinding& Binding() {
    static RendererBinding binding;
    return binding;
}

CommandLineTextSource g_commandLineSource = nullptr;

}  // namespace

void SetActiveRendererBinding(Graphics::GraphicsDevice* device, const boost::shared_ptr<Graphics::SpriteFont>& font) {
    Binding().device = device;
    Binding().font = font;
}

void ClearActiveRendererBinding() {
    Binding().font.reset();
    Binding().device = nullptr;
}

Graphics::GraphicsDevice* GetActiveRenderer() { return Binding().device; }

const boost::shared_ptr<Graphics::SpriteFont>& GetActiveRendererFont() { return Binding().font; }

bool TestAndSetRendererBindingFlag() {
    bool was = Binding().flag;
    if (!was && Binding().device != nullptr) Binding().flag = true;
    return was;
}

bool TestAndClearRendererBindingFlag() {
    bool was = Binding().flag;
    Binding().flag = false;
    return was;
}

const std::string& GetComputerName() {
    static std::string name;
    if (name.empty()) {
        char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = sizeof(buffer);
        if (GetComputerNameA(buffer, &size)) name.assign(buffer, size);
    }
    return name;
}

void SetCommandLineTextSource(CommandLineTextSource source) { g_commandLineSource = source; }

const std::string& GetCommandLineText() {
    static std::string text;
    if (text.empty() && g_commandLineSource != nullptr) {
        const char* source = g_commandLineSource();
        if (source != nullptr) text = source;
    }
    return text;
}
