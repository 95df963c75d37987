#include "Classes/Loading/GlobalFonts.h"

#include <boost/shared_ptr.hpp>

#include "Classes/Battle/HudTables.h"
#include "Core/ContentLoader.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/SpriteFont.h"

namespace {

typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;

struct FontFiles {
    const char* large;
    const char* medium;
    const char* small;
};

const FontFiles kRussianFonts = {"ostrelle_70.fnt", "ostrelle_40.fnt", "arial_rus_15.fnt"};
const FontFiles kDefaultFonts = {"tarragon_70.fnt", "tarragon_40.fnt", "arial_15.fnt"};

void LoadSlot(FontLoader& loader, boost::shared_ptr<Graphics::SpriteFont>& slot, const char* file, bool keepFilled) {
    if (keepFilled && slot) return;
    slot = loader.Load(file);
}

}  // namespace

void LoadGlobalFonts() {
    if (!Service<FontLoader>::Exists()) return;
    FontLoader& loader = *Service<FontLoader>::Get();
    const int language = GetLanguageIndex();
    const FontFiles& files = language == kRussian ? kRussianFonts : kDefaultFonts;
    // Japanese has no fonts of its own: what is loaded stays, but a first choice of
    // Japanese must not leave the game without fonts.
    const bool keepFilled = language == kJapanese;
    LoadSlot(loader, LargeFont, files.large, keepFilled);
    LoadSlot(loader, MediumFont, files.medium, keepFilled);
    LoadSlot(loader, SmallFont, files.small, keepFilled);
}
