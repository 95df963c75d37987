// dunmarch-datacheck run as a person would run it: in the game's folder on the data the
// build generated, and on broken copies of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "Classes/Battle/DataStamp.h"
#include "support/RunDunmarch.h"
#include "tools/catalogue/Sounds.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/databuilder/PngWriter.h"

namespace {

namespace fs = std::filesystem;

std::string GameDir() { return testsupport::BuildGameDir(); }

testsupport::ProgramResult Datacheck(const std::string& folder) {
    return testsupport::RunInFolder(folder, "'" + GameDir() + "/dunmarch-datacheck'");
}

// config.xml and the language files, copied into a folder of their own.
void CopyConfigAndLanguages(const std::string& to) {
    fs::copy_file(GameDir() + "/config.xml", to + "/config.xml");
    fs::create_directories(to + "/res-common");
    fs::copy(GameDir() + "/res-common/language", to + "/res-common/language", fs::copy_options::recursive);
}

// The window layouts with their images and fonts, as the build wrote them.
void CopyInterface(const std::string& to) {
    for (const char* folder : {"res-pc/ui", "res-pc/uitexture", "res-pc/fonts"}) {
        fs::create_directories(to + "/" + folder);
        fs::copy(GameDir() + "/" + folder, to + "/" + folder, fs::copy_options::recursive);
    }
}

// The lines of one check's section of the output.
std::string Section(const std::string& output, const std::string& check) {
    const size_t start = output.find("[" + check + "]\n");
    if (start == std::string::npos) return "";
    const size_t end = output.find("\n[", start + 1);
    return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

TEST(DatacheckTest, SampleDataPasses) {
    const testsupport::ProgramResult run = Datacheck(GameDir());
    EXPECT_EQ(0, run.exitCode) << run.output;
    for (const char* expected : {"[config]", "maps (1): Harrowmere", "spell firestorm", "[language]", "en.lan: ",
                                 "jp.lan: ", "[stamp]", "data checksum of the 14 of 14 files", " 0 failed", "[video]",
                                 "intro.ogv: 640 x 480, stride 640, 8.000 seconds, 200 frames, stereo 44100 Hz"})
        EXPECT_NE(std::string::npos, run.output.find(expected)) << expected << "\n" << run.output;
    // Every sound through its loader; the music lasts over a minute, and half a second more.
    for (const char* expected : {"[sounds]", "btnpress.wav: sound, 1 ch, 22050 Hz, 16 bit, 5512 frames (0.25 s)",
                                 "mainmenuogg.ogg: music, 2 ch, 44100 Hz, 16 bit, 2844450 frames (64.50 s)",
                                 "harrowmere.ogg: music, 2 ch, 44100 Hz, 16 bit, 2932650 frames (66.50 s)"})
        EXPECT_NE(std::string::npos, run.output.find(expected)) << expected << "\n" << run.output;
    EXPECT_EQ(static_cast<int>(std::size(catalogue::sounds::kEffects)), testsupport::Count(run.output, ": sound, "))
        << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("FAILED")) << run.output;
    // Each language has the eight tips of the loading screen.
    EXPECT_EQ(7, testsupport::Count(run.output, " keys, 8 tips")) << run.output;
    // The program's built-in checksum is the one of the data as the data check reads it.
    const std::string stamp = Section(run.output, "stamp");
    unsigned long long printed = 0;
    const size_t at = stamp.find("data checksum of the 14 of 14 files: ");
    ASSERT_NE(std::string::npos, at) << stamp;
    ASSERT_EQ(1, std::sscanf(stamp.c_str() + at, "data checksum of the 14 of 14 files: %llx", &printed));
    EXPECT_EQ(ShippedDataChecksum, printed);
    EXPECT_NE(std::string::npos, stamp.find("the data counts as unmodified")) << stamp;
    // The loading at start by turns: up to 100, everything it names in its cache.
    const std::string preload = Section(run.output, "preload");
    for (const char* expected : {"progress values, the last 100; ", "every asset named is in its loader's cache"})
        EXPECT_NE(std::string::npos, preload.find(expected)) << expected << "\n" << preload;
    // A unit of every attacker and defender, made as the battle makes them.
    namespace gd = catalogue::gamedata;
    std::vector<std::string> units;
    for (const char* name : {gd::kOrcWarrior, gd::kOrcArcher, gd::kOrcShaman, gd::kOrcWarlord})
        units.push_back(std::string("attacker ") + name + ": ");
    for (const char* name : gd::kPurchasableDefenders) units.push_back(std::string("defender ") + name + ": fighter");
    units.push_back(std::string("defender ") + gd::kKeeper + ": keeper, hp 900/1100/1300/1500/1700");
    units.push_back(std::string("attacker ") + gd::kOrcWarlord + ": hero, hp 700, speed 400");
    // Prices as bought, upgrade levels, and the upgrade entries that stop early.
    for (const char* name : gd::kPurchasableDefenders) units.push_back(std::string("defender ") + name + ": buy ");
    units.push_back("defender Swordman: buy 100, sell 60, heal 40; dead: sell 30, resurrect 50");
    units.push_back("defender Swordman: hit points upgrades 280 for 60, 350 for 90, 430 for 130, 520 for 180");
    units.push_back("defender Keeper: weapon upgrades offer 2 of 4 levels");
    // The missiles of a flying and a splashing weapon; the first wave as its runner sends it.
    units.push_back("missile: flies 2750 at 6000 a second, splash radius 0, value 12");
    units.push_back("missile: timed 1300 ms at the target, splash radius 550, value 26");
    units.push_back("sent: Orc Warrior at 0.033 s; Orc Warrior at 8.019 s; Orc Archer at 15.015 s;");
    // 47 rectangles and the 13 second images of the action, spell and speed buttons.
    units.push_back("ingame.xml: 60 rectangles of the 512x512 HUD texture, shift 2,2");
    for (const std::string& unit : units) EXPECT_NE(std::string::npos, run.output.find(unit)) << unit;

    // The particles section names every effect with its version.
    const std::string section = Section(run.output, "particles");
    ASSERT_FALSE(section.empty()) << run.output;
    for (const catalogue::particles::Effect& effect : catalogue::particles::kEffects) {
        const std::string line = "  " + std::string(effect.name) + " ";
        const size_t at = section.find(line);
        ASSERT_NE(std::string::npos, at) << effect.name << "\n" << section;
        EXPECT_EQ(section.find("version " + std::to_string(effect.version), at), section.find(" version ", at) + 1)
            << effect.name;
    }
    EXPECT_NE(std::string::npos, section.find("effects: 31 catalogued")) << section;

    // A line for each layout of the catalogue, the tutorial's pages with their texts.
    const std::string ui = Section(run.output, "ui");
    for (const catalogue::layouts::Window& window : catalogue::layouts::Windows())
        EXPECT_NE(std::string::npos, ui.find("\n  " + window.file + ": ")) << window.file << "\n" << ui;
    EXPECT_EQ(int(catalogue::layouts::Windows().size()), testsupport::Count(ui, "as the catalogue has it")) << ui;
    for (const char* page : {"page Viewer1 (shown first): View1_\n", "page Viewer4: View4_\n"})
        EXPECT_NE(std::string::npos, ui.find(page)) << page << "\n" << ui;
    // Every caption fits its button in every language.
    for (const char* caption : {"      caption on Continue: ", "      caption on More: ", "      caption on Credits: "})
        EXPECT_NE(std::string::npos, ui.find(caption)) << caption << "\n" << ui;
}

// A game folder without one effect, or whose game data names an effect the catalogue
// lacks, fails the particles check.
TEST(DatacheckTest, MissingOrUncataloguedEffectsFail) {
    ScratchFolder copy;
    CopyConfigAndLanguages(copy.Path());
    fs::create_directories(copy / "res-pc");
    fs::copy(GameDir() + "/res-pc/textures", copy / "res-pc/textures", fs::copy_options::recursive);
    fs::copy(GameDir() + "/res-common/particles", copy / "res-common/particles", fs::copy_options::recursive);
    fs::copy(GameDir() + "/res-common/weapons", copy / "res-common/weapons", fs::copy_options::recursive);
    fs::remove(copy / "res-common/particles/mist.prt");
    std::string weapons = ScratchFolder::Read(copy / "res-common/weapons/weapons.xml");
    weapons.replace(weapons.find("hit_blood.prt"), 13, "Hit_Gore.prt");
    copy.Write("res-common/weapons/weapons.xml", weapons);

    const testsupport::ProgramResult run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string section = Section(run.output, "particles");
    EXPECT_NE(std::string::npos, section.find("FAILED: effect mist.prt is missing")) << section;
    EXPECT_NE(std::string::npos, section.find("names the effect \"Hit_Gore.prt\", which the catalogue lacks"))
        << section;
    EXPECT_NE(std::string::npos, section.find("  torch.prt            version 2")) << section;
}

// A HUD layout without an item, or with a rectangle past the HUD texture, fails.
TEST(DatacheckTest, HudLayoutGapsFail) {
    ScratchFolder copy;
    CopyConfigAndLanguages(copy.Path());
    fs::create_directories(copy / "res-pc");
    fs::copy(GameDir() + "/res-pc/ui", copy / "res-pc/ui", fs::copy_options::recursive);
    fs::copy(GameDir() + "/res-pc/uitexture", copy / "res-pc/uitexture", fs::copy_options::recursive);
    std::string layout = ScratchFolder::Read(copy / "res-pc/ui/ingame.xml");
    const std::string sell = "name=\"Sell\"", result = "name=\"Result\" tx=\"0\"";
    layout.replace(layout.find(sell), sell.size(), "name=\"Sold\"");
    layout.replace(layout.find(result), result.size(), "name=\"Result\" tx=\"300\"");
    copy.Write("res-pc/ui/ingame.xml", layout);

    const testsupport::ProgramResult run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string section = Section(run.output, "hudlayout");
    EXPECT_NE(std::string::npos, section.find("FAILED: Sell: missing from ingame.xml")) << section;
    EXPECT_NE(std::string::npos, section.find("FAILED: Result: 300,384 384x128 lies outside the 512x512 HUD texture"))
        << section;
}

// A button's tooltip without the "%s" for its number fails the language check.
TEST(DatacheckTest, AButtonTooltipWithoutItsNumberFails) {
    ScratchFolder copy;
    CopyConfigAndLanguages(copy.Path());
    std::string english = ScratchFolder::Read(copy / "res-common/language/en.lan");
    const std::string placeholder("f\0a\0r\0 \0(\0%\0s\0)\0", 16);  // "far (%s)" in UTF-16LE
    const size_t at = english.find(placeholder);
    ASSERT_NE(std::string::npos, at);
    english[at + 12] = 'd';
    copy.Write("res-common/language/en.lan", english);

    const testsupport::ProgramResult run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string section = Section(run.output, "language");
    EXPECT_NE(std::string::npos, section.find("en.lan: TooltipArcher has no \"%s\" for the button's number"))
        << section;
    EXPECT_EQ(1, testsupport::Count(section, "for the button's number")) << section;
}

TEST(DatacheckTest, MissingOrBrokenFilesFail) {
    ScratchFolder empty;
    testsupport::ProgramResult run = Datacheck(empty.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("config.xml is missing")) << run.output;

    ScratchFolder copy;
    CopyConfigAndLanguages(copy.Path());
    fs::resize_file(copy / "res-common/language/ru.lan", 100);
    fs::remove(copy / "res-common/language/sp.lan");
    // A language file without entries: no tips for the loading screen.
    copy.Write("res-common/language/it.lan", std::string("LAN\0", 4) + std::string(8, '\0'));
    run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("ru.lan: truncated")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("sp.lan is missing")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("it.lan has no loading tips")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("sounds/btnpress.wav does not load as sound")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("res-common/anims/orccaster.xml, the data stamp's \"orccaster.xml\", "
                                                 "is missing"))
        << run.output;

    // Two files of one base name: the stamp's checksum would depend on the order of reading.
    ScratchFolder twice;
    CopyConfigAndLanguages(twice.Path());
    twice.Write("res-common/anims/archer.xml", "<animation fps=\"15\"/>");
    twice.Write("res-pc/ui/Archer.XML", "<ui/>");
    run = Datacheck(twice.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("2 files are named archer.xml")) << run.output;

    // Units made from edited game data: an attacker without hit points, a clip missing.
    ScratchFolder units;
    CopyConfigAndLanguages(units.Path());
    for (const char* folder :
         {"res-common/attackers", "res-common/defenders", "res-common/weapons", "res-common/anims", "res-pc/meshes"}) {
        fs::create_directories(units / folder);
        fs::copy(GameDir() + "/" + folder, units / folder, fs::copy_options::recursive);
    }
    std::string attackers = ScratchFolder::Read(units / "res-common/attackers/attackers.xml");
    attackers.replace(attackers.find("hp=\"110\""), 8, "hp=\"0\"");
    units.Write("res-common/attackers/attackers.xml", attackers);
    std::string clips = ScratchFolder::Read(units / "res-common/anims/orcarcher.xml");
    clips.replace(clips.find("\"walk\""), 6, "\"stroll\"");
    units.Write("res-common/anims/orcarcher.xml", clips);
    run = Datacheck(units.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("attacker Orc Warrior: 0 hit points")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("attacker Orc Archer: the clip table lacks \"walk\"")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("defender Swordman: fighter, hp 220/")) << run.output;
    // Without maps the loading still goes to its end, but the check fails and says why,
    // and names the textures it could not find.
    const std::string preload = Section(run.output, "preload");
    for (const char* expected : {"FAILED: world texture Kelmoor_LM.dds is not in its cache", "the last 100; ",
                                 "FAILED: the loading finished without a map: the first map, "})
        EXPECT_NE(std::string::npos, preload.find(expected)) << expected << "\n" << preload;
    EXPECT_EQ(std::string::npos, preload.find("ended early")) << preload;

    // A folder element ahead of its root trips the reader's assertion.
    ScratchFolder early;
    CopyConfigAndLanguages(early.Path());
    std::string xml = ScratchFolder::Read(early / "config.xml");
    xml.replace(xml.find("<config>"), 8, "<config><fonts joined=\"1\" path=\"x/\"/>");
    early.Write("config.xml", xml);
    run = Datacheck(early.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("IPHONE OR IPAD RESOURCES PATH EMPTY")) << run.output;
}

TEST(DatacheckTest, UiCheckLoadsEveryLayout) {
    ScratchFolder data;
    CopyConfigAndLanguages(data.Path());
    CopyInterface(data.Path());
    const uint8_t pixels[4 * 4 * 4] = {};
    const std::vector<uint8_t> png = pngwriter::Encode(pixels, 4, 4, pngwriter::Layout::RGBA);
    data.Write("res-pc/uitexture/face.png", std::string(png.begin(), png.end()));
    data.Write("res-pc/ui/good.xml", R"(<layout><image name="bg" file="face.png" sizex="1024" sizey="768"/>
        <button name="ok" file="face.png" posx="10" posy="20"><image name="down" file="face.png"/></button>
        <progress name="load"><image name="bar" file="FACE.png"/></progress></layout>)");
    data.Write("res-pc/ui/broken.xml", R"(<layout><image name="bg" file="gone.png"/></layout>)");
    data.Write("res-pc/ui/cut.xml", R"(<layout><image name="bg" file="face.png"/>)");
    // Texts: a sample font and key, a label without font, a table whose font is
    // missing, an area whose Russian font is missing and whose key no file has.
    data.Write("res-pc/ui/texts.xml", R"(<layout><text name="title" font="arial_15.fnt" texttr="TextTip1"/>
        <text name="bare" text="x"/><table name="scores" font="gone.fnt"/>
        <area name="tips" font="arial_15.fnt" fontRUS="gone_rus.fnt" texttr="NoSuchKey"/></layout>)");
    const testsupport::ProgramResult run = Datacheck(data.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string ui = Section(run.output, "ui");
    for (const char* expected : {"good.xml:\n    3 widgets",
                                 "  image    bg (0, 0) 1024x768 res-pc/uitexture/face.png",
                                 "  button   ok (10, 20) 4x4 res-pc/uitexture/face.png",
                                 "      pressed  down (0, 0) 4x4 res-pc/uitexture/face.png",
                                 "  progress load (0, 0) 100x100 no texture",
                                 "      bar      bar (0, 0) 4x4",
                                 "broken.xml:\n  FAILED: assertion resource.get()",
                                 "res-pc/uitexture/gone.png",
                                 "cut.xml:\n    0 widgets",
                                 "FAILED: cut.xml gives no widget",
                                 "texts.xml:\n",
                                 "    4 widgets\n    text     title (0, 0) 100x100 no texture\n"
                                 "        font arial_15.fnt, fontRUS -, texttr TextTip1\n    text     bare",
                                 "        font -, fontRUS -, texttr -\n  FAILED: texts.xml: text \"bare\" has no font",
                                 "FAILED: assertion resource.get() && \"res-pc/fonts/gone.fnt\"",
                                 "FAILED: texts.xml: table \"scores\": font gone.fnt does not load",
                                 "        font arial_15.fnt, fontRUS gone_rus.fnt, texttr NoSuchKey",
                                 "FAILED: texts.xml: area \"tips\": font gone_rus.fnt does not load",
                                 "FAILED: texts.xml: area \"tips\": en.lan lacks the key NoSuchKey",
                                 "FAILED: texts.xml: area \"tips\": ru.lan lacks the key NoSuchKey",
                                 "layouts in res-pc/ui/: 21"})
        EXPECT_NE(std::string::npos, ui.find(expected)) << expected << "\n" << ui;
    size_t failures = 0;
    for (size_t at = ui.find("FAILED"); at != std::string::npos; at = ui.find("FAILED", at + 1)) ++failures;
    EXPECT_EQ(2u + 4u + 7u, failures) << ui;
}

// Hand-edited layouts: each broken promise is one finding, and the check
// goes on to the end.
TEST(DatacheckTest, UiCheckFindsLayoutsThatBreakTheCatalogue) {
    ScratchFolder data;
    CopyConfigAndLanguages(data.Path());
    CopyInterface(data.Path());
    const struct {
        const char* file;
        const char* from;  // a part of the file, replaced by
        const char* to;
        const char* finding;
    } edits[] = {
        {"mainwindow.xml", "<button name=\"Play\"", "<button name=\"Played\"",
         "MainWindow.xml: no \"Play\": its button is missing"},
        {"scorewindow.xml", "</layout>", "<button name=\"Yes\" file=\"button.png\"/></layout>",
         "ScoreWindow.xml: \"Yes\" 2 times: one button is bound"},
        {"submitwindow.xml", "editable=\"1\" focused=\"1\" maxLen=\"24\"", "editable=\"0\" focused=\"1\" maxLen=\"24\"",
         "SubmitWindow.xml: \"Name\" is a label, not the editable label it must be"},
        {"submitwindow.xml", "name=\"SubmitInActive\" file=\"button_inactive.png\" posx=\"192\"",
         "name=\"SubmitInActive\" file=\"button_inactive.png\" posx=\"190\"",
         "SubmitWindow.xml: \"SubmitInActive\" does not lie exactly over \"Submit\""},
        // Its right edge past the field's left one.
        {"submitwindow.xml", "name=\"E-mail_caption\" posx=\"172\" posy=\"270\" sizex=\"240\"",
         "name=\"E-mail_caption\" posx=\"172\" posy=\"270\" sizex=\"300\"",
         "SubmitWindow.xml: \"E-mail_caption\" lies over \"E-mail\" and takes its presses there"},
        {"tutorialwindow.xml", "</layout>", "<image name=\"View9_\" file=\"panel.png\"/></layout>",
         "TutorialWindow.xml: \"View9_\" belongs to page 9 of 4"},
        {"helpwindow.xml", "name=\"Back\" file=\"button.png\" posx=\"352\"",
         "name=\"Back\" file=\"button.png\" posx=\"350\"",
         "HelpWindow.xml: \"Back\" at (350, 600) 320x64, the catalogue's at (352, 600) 320x64"},
        {"introwindow.xml", "sizex=\"1024\"", "sizex=\"1000\"",
         "IntroWindow.xml: the first image \"background\" does not cover the screen"},
        {"playwindow.xml", "<button name=\"_MapTest3\" file=\"map_slot.png\"", "<button name=\"_MapTest3\"",
         "PlayWindow.xml: button \"_MapTest3\" has no \"file\": it is invisible"},
        {"loadingwindow.xml", "<progress name=\"loadbar\"", "<slider name=\"loadbar\"",
         "LoadingWindow.xml: \"loadbar\" is a slider, not the progress bar it must be"},
        // Its end tag too, or the layout is not well formed and is not read at all.
        {"loadingwindow.xml", "</progress>", "</slider>",
         "LoadingWindow.xml: \"loadbar\" is a slider, not the progress bar it must be"},
        // A Russian caption in the title font: too wide for its button in Russian only.
        {"mainwindow.xml", "fontRUS=\"ostrelle_40.fnt\" texttr=\"UiContinue\"",
         "fontRUS=\"ostrelle_70.fnt\" texttr=\"UiContinue\"", "mainwindow.xml: caption \"Continue_txt\" in ru.lan is "},
    };
    for (const auto& edit : edits) {
        const std::string path = data / ("res-pc/ui/" + std::string(edit.file));
        std::string xml = ScratchFolder::Read(path);
        const size_t at = xml.find(edit.from);
        ASSERT_NE(std::string::npos, at) << edit.file << ": " << edit.from;
        data.Write("res-pc/ui/" + std::string(edit.file), xml.replace(at, std::strlen(edit.from), edit.to));
    }
    // A texture that does not load leaves both volume sliders without their thumb.
    fs::remove(data / "res-pc/uitexture/slider_thumb.png");
    fs::remove(data / "res-pc/ui/msgbox.xml");

    const testsupport::ProgramResult run = Datacheck(data.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string ui = Section(run.output, "ui");
    for (const auto& edit : edits) EXPECT_NE(std::string::npos, ui.find(edit.finding)) << edit.finding << "\n" << ui;
    EXPECT_NE(std::string::npos, ui.find(" pixels wide, wider than its button \"Continue\" leaves it (296)")) << ui;
    EXPECT_EQ(1, testsupport::Count(ui, "wider than its button")) << ui;
    for (const char* finding :
         {"MsgBox.xml (res-pc/ui/msgbox.xml) is missing", "res-pc/uitexture/slider_thumb.png",
          "SettingsWindow.xml: \"SFX_vol\" has no thumb image", "SettingsWindow.xml: \"Music_vol\" has no thumb image"})
        EXPECT_NE(std::string::npos, ui.find(finding)) << finding << "\n" << ui;
    // The windows left alone still keep their promises.
    EXPECT_NE(std::string::npos, ui.find("CreditsWindow.xml: 6 widgets, names bound: 1, as the catalogue has it"))
        << ui;
    EXPECT_EQ(int(catalogue::layouts::Windows().size()) - 10, testsupport::Count(ui, "as the catalogue has it")) << ui;
}

// The whole sample data but an interface image, a sound and a defender's model: the
// loading at start goes to its end and names each of them as not in its cache.
TEST(DatacheckTest, PreloadCheckNamesWhatTheLoadingMisses) {
    ScratchFolder copy;
    fs::copy_file(GameDir() + "/config.xml", copy / "config.xml");
    for (const char* folder : {"res-common", "res-pc"})
        fs::copy(GameDir() + "/" + folder, copy / folder, fs::copy_options::recursive);
    fs::remove(copy / "res-pc/uitexture/tutorial.png");
    fs::remove(copy / "res-common/sounds/sell.wav");
    fs::remove(copy / "res-pc/meshes/swordsman.pod");

    const testsupport::ProgramResult run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    const std::string preload = Section(run.output, "preload");
    for (const char* expected :
         {"the last 100; ", "FAILED: interface texture tutorial.png is not in its cache",
          "FAILED: sound Sell.wav is not in its cache", "FAILED: model swordsman.pod is not in its cache"})
        EXPECT_NE(std::string::npos, preload.find(expected)) << expected << "\n" << preload;
    EXPECT_EQ(std::string::npos, preload.find("ended early")) << preload;
}
