// The seven language files through the game's .lan reader: each must read to its end,
// carry every key of the catalogue and have loading tips (counted as the loading screen
// counts them); the tooltip of a purchase, action or spell button must hold a "%s" for
// the button's number; the English file must also load as the game loads it.
#include <memory>
#include <string>
#include <vector>

#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/LoadingTips.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "IO/File.h"
#include "tools/catalogue/LanguageKeys.h"
#include "tools/datacheck/Check.h"

namespace {

// The tooltip keys of the buttons that show their number.
std::vector<std::string> NumberedTooltipKeys() {
    std::vector<std::string> keys;
    for (const HudButton& b : DefenderButtons) keys.push_back(b.tooltipKey);
    for (const HudButton& b : ActionButtons) keys.push_back(b.tooltipKey);
    for (const HudButton& b : SpellButtons) keys.push_back(b.tooltipKey);
    return keys;
}

}  // namespace

DATACHECK(language, 10) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const std::string folder = Service<Config>::Get()->Paths.LanguagePath;
    for (int code = kEnglish; code <= kJapanese; ++code) {
        const LanguageInfo* info = FindLanguage(code);
        const std::string path = folder + info->file;
        std::unique_ptr<IO::File> file(IO::File::OpenRead(path.c_str()));
        if (!file) {
            report.Fail("%s is missing", path.c_str());
            continue;
        }
        LanguageTable table;
        const LanguageReadResult result = ReadLanguageEntries(*file, table);
        if (result != kLanguageReadOk) {
            report.Fail("%s: %s", path.c_str(), result == kLanguageReadBadMagic ? "not a language file" : "truncated");
            continue;
        }
        int missing = 0, empty = 0;
        for (const char* key : catalogue::lang::kAllKeys) {
            const auto it = table.find(key);
            if (it == table.end()) ++missing;
            else if (it->second.empty()) ++empty;
        }
        const int tips = CountLoadingTips([&](const std::string& key) { return table.count(key) != 0; });
        report.Line("%s: %zu keys, %d tips", path.c_str(), table.size(), tips);
        if (tips == 0) report.Fail("%s has no loading tips", path.c_str());
        if (missing) report.Fail("%s lacks %d catalogue keys", path.c_str(), missing);
        if (empty) report.Fail("%s has %d empty texts", path.c_str(), empty);
        for (const std::string& key : NumberedTooltipKeys()) {
            const auto it = table.find(key);
            if (it != table.end() && it->second.find(L"%s") == std::wstring::npos)
                report.Fail("%s: %s has no \"%%s\" for the button's number", path.c_str(), key.c_str());
        }
    }

    if (!LoadLanguageFile(kEnglish, folder + FindLanguage(kEnglish)->file) || GetLanguageIndex() != kEnglish ||
        !HasLocalizedText("TextTip1"))
        report.Fail("the English file does not load as the game loads it");
}
