#pragma once
// The window layouts of the "ui" folder: per window its file and every element
// with its tag, name, kind, rectangle, texture, fonts, text key and nested
// images, and the names its controller binds with the kind each must have.
// The data builder writes the layouts from this list, the data check holds the
// files on disk against it, and tests take click positions from it.
//
// Rectangles are in the 1024 x 768 virtual screen. Buttons, images, sliders
// and areas show exactly there; a label's rectangle is the box its text is
// aligned in (its text may reach beyond it).
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/LanguageKeys.h"
#include "tools/catalogue/Textures.h"

namespace catalogue {
namespace layouts {

inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

// At most this many tutorial pages ("Viewer" elements) are held.
inline constexpr int kMaxTutorialPages = 64;

// An editable label is an "EditField"; both are written as "text".
enum class Kind { Image, Button, Slider, Progress, Label, EditField, Area, Table };

inline const char* TagOf(Kind kind) {
    switch (kind) {
        case Kind::Image: return "image";
        case Kind::Button: return "button";
        case Kind::Slider: return "slider";
        case Kind::Progress: return "progress";
        case Kind::Label:
        case Kind::EditField: return "text";
        case Kind::Area: return "area";
        case Kind::Table: return "table";
    }
    return "?";
}

// What the data check calls a kind in its reports.
inline const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Image: return "image";
        case Kind::Button: return "button";
        case Kind::Slider: return "slider";
        case Kind::Progress: return "progress bar";
        case Kind::Label: return "label";
        case Kind::EditField: return "editable label";
        case Kind::Area: return "text area";
        case Kind::Table: return "table";
    }
    return "?";
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    // Where a test clicks the element.
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};

// A rectangle of texels of the texture (its size rounded up to powers of two).
struct Source {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// An image nested in a button ("state" 0 pressed, 1 pointer over), a slider or
// progress bar ("type" 0 bar, 1 thumb) or an area ("type" 0 track, 1 thumb).
struct Nested {
    std::string name;
    int selector = 0;
    std::string file;
    Rect rect;  // a thumb's position is the owner's business; its size counts
};

struct Element {
    Kind kind = Kind::Image;
    std::string name;
    Rect rect;
    std::string file;  // texture in "uitexture"; empty: none
    Source source;     // empty: the whole texture
    std::string font, fontRus;
    std::string texttr;  // language key of the text
    std::string text;    // literal text
    bool visible = true;
    std::string attributes;  // further attributes, as written ("halign=\"center\"")
    std::vector<Nested> images;

    const char* Tag() const { return TagOf(kind); }
};

// A name the window's controller (or a message box) looks for, with the kind
// it needs there.
struct Bound {
    std::string name;
    Kind kind;
};

// A greyed look laid over the element it greys, exactly.
struct Cover {
    std::string cover, covered;
};

struct Window {
    std::string file;  // as the game names it
    bool box = false;  // a message box: its first element is the frame
    std::vector<Element> elements;
    std::vector<Bound> bound;
    std::vector<Cover> covers;

    // The loader lower-cases the path, so the file is written so.
    std::string DiskName() const {
        std::string lower = file;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return lower;
    }
    const Element* Find(const std::string& name) const {
        for (const Element& element : elements)
            if (element.name == name) return &element;
        return nullptr;
    }
    // The rectangle of a named element; the test's own failure when absent.
    Rect At(const std::string& name) const {
        const Element* element = Find(name);
        return element != nullptr ? element->rect : Rect{};
    }
};

// ---- the interface images ("uitexture"); sizes in pixels ----
namespace images {
inline constexpr const char kBlack[] = "black.png";  // 4 x 4
inline constexpr const char kMenuBackground[] = "menu_background.png";
inline constexpr const char kLoadingBackground[] = "loading_background.png";
inline constexpr const char kLoadingBackgroundRus[] = "loading_background_rus.png";
inline constexpr const char kMainBackground[] = "main_background.png";
inline constexpr const char kMainBackgroundRus[] = "main_background_rus.png";
inline constexpr const char kControls[] = "controls.png";
inline constexpr int kBackgroundSize = 512;  // stretched over the screen
inline constexpr const char kButton[] = "button.png";
inline constexpr const char kButtonPressed[] = "button_pressed.png";
inline constexpr const char kButtonOver[] = "button_over.png";
inline constexpr const char kButtonInactive[] = "button_inactive.png";
inline constexpr int kButtonWidth = 256, kButtonHeight = 64;
inline constexpr const char kSliderFrame[] = "slider_frame.png";
inline constexpr const char kSliderBar[] = "slider_bar.png";
inline constexpr const char kSliderThumb[] = "slider_thumb.png";
inline constexpr const char kProgressFrame[] = "progress_frame.png";
inline constexpr const char kProgressBar[] = "progress_bar.png";
inline constexpr const char kProgressThumb[] = "progress_thumb.png";
inline constexpr const char* kBusyFrames[4] = {"busy1.png", "busy2.png", "busy3.png", "busy4.png"};
inline constexpr const char kEditField[] = "edit_field.png";
inline constexpr const char kPanel[] = "panel.png";
inline constexpr const char kBoxFrame[] = "box_frame.png";
inline constexpr const char kBanner[] = "banner.png";
inline constexpr const char kScrollTrack[] = "scroll_track.png";
inline constexpr const char kScrollThumb[] = "scroll_thumb.png";
inline constexpr const char kMapSlot[] = "map_slot.png";

// The seven language buttons: element name, language file, image, the
// language's own name painted on it.
struct LanguageButton {
    const char* name;
    const char* lan;
    const char* file;
    const char* caption;
};
inline constexpr LanguageButton kLanguageButtons[] = {
    {"ENGUnPressed", "en.lan", "lang_en.png", "English"},  {"FRAUnPressed", "fr.lan", "lang_fr.png", "Français"},
    {"ITAUnPressed", "it.lan", "lang_it.png", "Italiano"}, {"GERUnPressed", "ge.lan", "lang_ge.png", "Deutsch"},
    {"SPAUnPressed", "sp.lan", "lang_sp.png", "Español"},  {"RUSUnPressed", "ru.lan", "lang_ru.png", "Русский"},
    {"JAPPressed", "jp.lan", "lang_jp.png", "Nihongo"},
};
inline constexpr int kLanguageButtonWidth = 256, kLanguageButtonHeight = 128;
// The language window's heading, "choose your language" in every language (in the
// order of the language codes), painted: the window shows before any language file
// is loaded, when no keyed text can show. Shown as painted, over the buttons.
inline constexpr const char kLanguageHeading[] = "lang_heading.png";
inline constexpr int kLanguageHeadingWidth = 1024, kLanguageHeadingHeight = 256;
inline constexpr const char* kChooseLanguage[] = {
    "Choose your language", "Choisissez votre langue", "Scegli la lingua",       "Wähle deine Sprache",
    "Elige tu idioma",      "Выберите язык",           "Gengo wo erande kudasai"};

// The tutorial's pages are the four quarters of "tutorial.png" (640 x 480,
// a 1024 x 512 texture), in texels.
inline constexpr Source kTutorialPages[lang::kTutorialPageCount] = {
    {0, 0, 512, 256}, {512, 0, 1024, 256}, {0, 256, 512, 512}, {512, 256, 1024, 512}};
}  // namespace images

// ---- the windows, by the file the game opens ----
inline constexpr const char kIntroWindow[] = "IntroWindow.xml";
inline constexpr const char kLanguageWindow[] = "LanguageWindow.xml";
inline constexpr const char kLoadingWindow[] = "LoadingWindow.xml";
inline constexpr const char kMainWindow[] = "MainWindow.xml";
inline constexpr const char kControlsWindow[] = "ControlsWindow.xml";
inline constexpr const char kScoreWindow[] = "ScoreWindow.xml";
inline constexpr const char kSubmitWindow[] = "SubmitWindow.xml";
inline constexpr const char kInGameQuitWindow[] = "INGameQuitWindow.xml";
inline constexpr const char kSettingsWindow[] = "SettingsWindow.xml";
inline constexpr const char kHelpWindow[] = "HelpWindow.xml";
inline constexpr const char kTutorialWindow[] = "TutorialWindow.xml";
inline constexpr const char kCreditsWindow[] = "CreditsWindow.xml";
inline constexpr const char kTournamentWindow[] = "TournamentWindow.xml";
inline constexpr const char kPlayWindow[] = "PlayWindow.xml";
inline constexpr const char kMsgBox[] = "MsgBox.xml";
inline constexpr const char kSummaryWindow[] = "SummaryWindow.xml";
inline constexpr const char kWarningWindow[] = "WarningWindow.xml";

namespace detail {

inline Window Empty(const char* file, bool box = false) {
    Window w;
    w.file = file;
    w.box = box;
    return w;
}

inline Element Picture(const std::string& name, const char* file, Rect rect, bool visible = true) {
    Element e;
    e.kind = Kind::Image;
    e.name = name;
    e.rect = rect;
    e.file = file;
    e.visible = visible;
    return e;
}

inline Element FullScreen(const std::string& name, const char* file) {
    return Picture(name, file, {0, 0, kScreenWidth, kScreenHeight});
}

inline Element Text(Kind kind, const std::string& name, Rect rect, const fonts::Font& font, const fonts::Font& fontRus,
                    const std::string& key, const std::string& attributes, bool visible = true) {
    Element e;
    e.kind = kind;
    e.name = name;
    e.rect = rect;
    e.font = font.file;
    e.fontRus = fontRus.file;
    e.texttr = key;
    // A label holds 50 characters unless told more; the longest texts need more.
    e.attributes = kind == Kind::Label ? attributes + (attributes.empty() ? "" : " ") + "maxLen=\"160\"" : attributes;
    e.visible = visible;
    return e;
}

// One line in the main font, centred in its box.
inline Element Caption(const std::string& name, Rect rect, const std::string& key, bool visible = true) {
    return Text(Kind::Label, name, rect, fonts::kMain, fonts::kMainRus, key, "halign=\"center\"", visible);
}

inline Element Title(const std::string& key, int y = 40) {
    return Text(Kind::Label, "Title", {0, y, kScreenWidth, 82}, fonts::kTitle, fonts::kTitleRus, key,
                "halign=\"center\"");
}

inline Element SmallLine(const std::string& name, Rect rect, const std::string& key, bool visible = true) {
    return Text(Kind::Label, name, rect, fonts::kSmall, fonts::kSmallRus, key, "halign=\"center\"", visible);
}

inline Element Area(const std::string& name, Rect rect, const fonts::Font& font, const fonts::Font& fontRus,
                    const std::string& key) {
    return Text(Kind::Area, name, rect, font, fontRus, key, "halign=\"center\" valign=\"center\"");
}

// A button with its pressed and pointer-over faces.
inline Element Button(const std::string& name, Rect rect, bool visible = true) {
    Element e = Picture(name, images::kButton, rect, visible);
    e.kind = Kind::Button;
    e.images = {{name + "_pressed", 0, images::kButtonPressed, rect}, {name + "_over", 1, images::kButtonOver, rect}};
    return e;
}

// A button and, after it, its caption "<caption>" centred on it (the caption
// lies over the button, which takes the touch first).
inline void AddButton(std::vector<Element>& elements, const std::string& name, Rect rect, const std::string& key,
                      const std::string& caption, bool visible = true) {
    elements.push_back(Button(name, rect, visible));
    elements.push_back(Caption(caption, {rect.x, rect.y + (rect.h - 48) / 2, rect.w, 48}, key, visible));
}
inline void AddButton(std::vector<Element>& elements, const std::string& name, Rect rect, const std::string& key) {
    AddButton(elements, name, rect, key, name + "_txt");
}

inline Element Slider(Kind kind, const std::string& name, Rect rect, const char* frame, const char* bar,
                      const char* thumb, int thumbWidth, int thumbHeight) {
    Element e = Picture(name, frame, rect);
    e.kind = kind;
    e.images = {{name + "_bar", 0, bar, rect}, {name + "_thumb", 1, thumb, {rect.x, rect.y, thumbWidth, thumbHeight}}};
    return e;
}

inline Window IntroWindow() {
    Window w = Empty(kIntroWindow);
    // Black under the clip (640 x 480, drawn into "Video"), which the window's fade does not dim.
    w.elements = {FullScreen("background", images::kBlack), Picture("Video", images::kBlack, {192, 144, 640, 480})};
    w.bound = {{"Video", Kind::Image}};
    return w;
}

inline Window LanguageWindow() {
    Window w = Empty(kLanguageWindow);
    w.elements = {FullScreen("background", images::kMenuBackground),
                  Picture("Heading", images::kLanguageHeading,
                          {0, 20, images::kLanguageHeadingWidth, images::kLanguageHeadingHeight})};
    // Four buttons, then three, each row centred.
    const int width = 208, height = 104, gap = 24;
    int index = 0;
    for (const images::LanguageButton& button : images::kLanguageButtons) {
        const int row = index < 4 ? 0 : 1, column = index < 4 ? index : index - 4, count = row == 0 ? 4 : 3;
        const int x0 = (kScreenWidth - count * width - (count - 1) * gap) / 2;
        Element e = Picture(button.name, button.file, {x0 + column * (width + gap), 280 + row * 160, width, height});
        e.kind = Kind::Button;
        e.attributes = "tintPress=\"170 170 170\" tintOver=\"255 235 190\"";
        w.elements.push_back(e);
        w.bound.push_back({button.name, Kind::Button});
        ++index;
    }
    return w;
}

inline Window LoadingWindow() {
    Window w = Empty(kLoadingWindow);
    // "backgroundRUS" first: in Russian it replaces "background".
    w.elements = {FullScreen("backgroundRUS", images::kLoadingBackgroundRus),
                  FullScreen("background", images::kLoadingBackground),
                  Caption("Loading_txt", {0, 470, kScreenWidth, 48}, lang::kUiLoading),
                  Slider(Kind::Progress, "loadbar", {212, 536, 600, 32}, images::kProgressFrame, images::kProgressBar,
                         images::kProgressThumb, 32, 48),
                  Picture("TipPanel", images::kPanel, {162, 600, 700, 120}),
                  Area("TextTip1", {182, 610, 660, 100}, fonts::kSmall, fonts::kSmallRus, lang::kTips[0])};
    // Where the bar was, shown once loading is over.
    AddButton(w.elements, "Start", {352, 520, 320, 64}, lang::kUiStart, "Start_txt", false);
    w.bound = {
        {"loadbar", Kind::Progress}, {"Start", Kind::Button}, {"Start_txt", Kind::Label}, {"TextTip1", Kind::Area}};
    return w;
}

inline Window MainWindow() {
    Window w = Empty(kMainWindow);
    w.elements = {FullScreen("backgroundRUS", images::kMainBackgroundRus),
                  FullScreen("background", images::kMainBackground)};
    const int x = 352, width = 320, height = 64;
    AddButton(w.elements, "Play", {x, 280, width, height}, lang::kUiPlay);
    AddButton(w.elements, "Continue", {x, 360, width, height}, lang::kUiContinue);
    // The inactive look of "Continue", hidden while a savegame exists.
    w.elements.push_back(Picture("ContinueInActive_in", images::kButtonInactive, {x, 360, width, height}));
    AddButton(w.elements, "Settings", {x, 440, width, height}, lang::kUiSettings);
    AddButton(w.elements, "Info", {x, 520, width, height}, lang::kUiInfo);
    AddButton(w.elements, "Quit", {x, 620, width, height}, lang::kUiQuit);
    AddButton(w.elements, "More", {40, 684, 320, 56}, lang::kUiMore);
    Element banner = Picture("Banner", images::kBanner, {728, 676, 256, 64});
    banner.kind = Kind::Button;
    w.elements.push_back(banner);
    for (const char* name : {"Play", "Continue", "Settings", "Info", "More", "Banner", "Quit"})
        w.bound.push_back({name, Kind::Button});
    w.bound.push_back({"ContinueInActive_in", Kind::Image});
    w.covers = {{"ContinueInActive_in", "Continue"}};
    return w;
}

inline Window ControlsWindow() {
    Window w = Empty(kControlsWindow);
    // The whole picture starts the battle when touched.
    w.elements = {FullScreen("background", images::kControls), Title(lang::kUiControlsTitle, 24),
                  Area("ControlsText", {112, 560, 800, 90}, fonts::kSmall, fonts::kSmallRus, lang::kUiControlsText),
                  Caption("ClickToStart", {0, 680, kScreenWidth, 48}, lang::kUiClickToStart)};
    w.elements.back().attributes += " alphaSpeed=\"3\" alphaRange=\"0.6\"";
    w.bound = {{"background", Kind::Image}};
    return w;
}

inline Window ScoreWindow() {
    Window w = Empty(kScoreWindow);
    w.elements = {FullScreen("background", images::kMenuBackground),
                  Caption("Question", {0, 280, kScreenWidth, 48}, lang::kUiScoreQuestion)};
    AddButton(w.elements, "Yes", {192, 420, 280, 64}, lang::kUiYes);
    AddButton(w.elements, "No", {552, 420, 280, 64}, lang::kUiNo);
    w.bound = {{"Yes", Kind::Button}, {"No", Kind::Button}};
    return w;
}

inline Window SubmitWindow() {
    Window w = Empty(kSubmitWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiSubmitTitle)};
    const int fieldX = 432, fieldW = 420, fieldH = 48;
    w.elements.push_back(Text(Kind::Label, "Name_caption", {172, 200, 240, 48}, fonts::kMain, fonts::kMainRus,
                              lang::kUiName, "halign=\"right\""));
    Element name = Text(Kind::EditField, "Name", {fieldX, 200, fieldW, fieldH}, fonts::kMain, fonts::kMainRus, "",
                        "editable=\"1\" focused=\"1\" maxLen=\"24\" ofsx=\"10\"");
    name.file = images::kEditField;
    w.elements.push_back(name);
    w.elements.push_back(Text(Kind::Label, "E-mail_caption", {172, 270, 240, 48}, fonts::kMain, fonts::kMainRus,
                              lang::kUiEmail, "halign=\"right\""));
    Element mail = Text(Kind::EditField, "E-mail", {fieldX, 270, fieldW, fieldH}, fonts::kMain, fonts::kMainRus, "",
                        "editable=\"1\" maxLen=\"64\" ofsx=\"10\"");
    mail.file = images::kEditField;
    w.elements.push_back(mail);
    w.elements.push_back(SmallLine("Text use only", {112, 345, 800, 20}, lang::kUiTextUseOnly));
    // The form's messages share one place; the controller shows one at a time.
    const Rect status{112, 380, 800, 48};
    const std::pair<const char*, const char*> messages[] = {{"Sending_score", lang::kUiSendingScore},
                                                            {"Score_sent_successfully", lang::kUiScoreSent},
                                                            {"Sending_score_failure", lang::kUiSendingFailure},
                                                            {"Incorrect mail", lang::kUiIncorrectMail},
                                                            {"Incorrect user data", lang::kUiIncorrectUserData}};
    for (const auto& message : messages) w.elements.push_back(Caption(message.first, status, message.second, false));
    w.elements.push_back(SmallLine("NoConnection", {112, 436, 800, 20}, lang::kUiNoConnection, false));
    for (int k = 0; k < 4; ++k)
        w.elements.push_back(
            Picture("Dunmarch_" + std::to_string(k + 1), images::kBusyFrames[k], {480, 480, 64, 64}, false));
    const Rect submit{192, 600, 280, 64}, cancel{552, 600, 280, 64}, ok{372, 600, 280, 64};
    AddButton(w.elements, "Submit", submit, lang::kUiSubmit);
    AddButton(w.elements, "Cancel", cancel, lang::kUiCancel);
    AddButton(w.elements, "OK", ok, lang::kUiOK, "OK_txt", false);
    // Greyed looks over "Submit" and "Cancel" while the score is being sent.
    w.elements.push_back(Picture("SubmitInActive", images::kButtonInactive, submit, false));
    w.elements.push_back(Picture("CancelInActive", images::kButtonInactive, cancel, false));
    w.bound = {{"Name", Kind::EditField},
               {"E-mail", Kind::EditField},
               {"Sending_score", Kind::Label},
               {"Score_sent_successfully", Kind::Label},
               {"Sending_score_failure", Kind::Label},
               {"Incorrect mail", Kind::Label},
               {"Incorrect user data", Kind::Label},
               {"Dunmarch_1", Kind::Image},
               {"Dunmarch_2", Kind::Image},
               {"Dunmarch_3", Kind::Image},
               {"Dunmarch_4", Kind::Image},
               {"Submit", Kind::Button},
               {"Cancel", Kind::Button},
               {"OK", Kind::Button},
               {"SubmitInActive", Kind::Image},
               {"CancelInActive", Kind::Image},
               {"Submit_txt", Kind::Label},
               {"Cancel_txt", Kind::Label},
               {"OK_txt", Kind::Label},
               {"NoConnection", Kind::Label},
               {"Text use only", Kind::Label}};
    w.covers = {{"SubmitInActive", "Submit"}, {"CancelInActive", "Cancel"}};
    return w;
}

inline Window InGameQuitWindow() {
    Window w = Empty(kInGameQuitWindow);
    w.elements = {FullScreen("background", images::kMenuBackground),
                  Caption("Question", {0, 220, kScreenWidth, 48}, lang::kUiQuitQuestion),
                  Picture("background_text", images::kPanel, {212, 310, 600, 80}),
                  SmallLine("NoSubmitionAfterExiting_txt", {232, 340, 560, 20}, lang::kUiNoSubmissionAfterExiting)};
    AddButton(w.elements, "Yes", {192, 460, 280, 64}, lang::kUiYes);
    AddButton(w.elements, "No", {552, 460, 280, 64}, lang::kUiNo);
    w.bound = {{"Yes", Kind::Button},
               {"No", Kind::Button},
               {"NoSubmitionAfterExiting_txt", Kind::Label},
               {"background_text", Kind::Image}};
    return w;
}

inline Window SettingsWindow() {
    Window w = Empty(kSettingsWindow);
    w.elements = {FullScreen("background", images::kMenuBackground),
                  Title(lang::kUiSettingsTitle),
                  Caption("SFX_txt", {212, 220, 600, 48}, lang::kUiSoundVolume),
                  Slider(Kind::Slider, "SFX_vol", {212, 290, 600, 40}, images::kSliderFrame, images::kSliderBar,
                         images::kSliderThumb, 32, 64),
                  Caption("Music_txt", {212, 390, 600, 48}, lang::kUiMusicVolume),
                  Slider(Kind::Slider, "Music_vol", {212, 460, 600, 40}, images::kSliderFrame, images::kSliderBar,
                         images::kSliderThumb, 32, 64)};
    AddButton(w.elements, "Back", {352, 620, 320, 64}, lang::kUiBack);
    w.bound = {{"Back", Kind::Button}, {"SFX_vol", Kind::Slider}, {"Music_vol", Kind::Slider}};
    return w;
}

inline Window HelpWindow() {
    Window w = Empty(kHelpWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiHelpTitle)};
    AddButton(w.elements, "Tutorial", {352, 240, 320, 64}, lang::kUiTutorial);
    AddButton(w.elements, "Credits", {352, 330, 320, 64}, lang::kUiCredits);
    AddButton(w.elements, "Tournament", {352, 420, 320, 64}, lang::kUiTournament);
    AddButton(w.elements, "Back", {352, 600, 320, 64}, lang::kUiBack);
    w.bound = {
        {"Back", Kind::Button}, {"Tutorial", Kind::Button}, {"Credits", Kind::Button}, {"Tournament", Kind::Button}};
    return w;
}

inline Window TutorialWindow() {
    Window w = Empty(kTutorialWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiTutorial, 12)};
    // The pages: quarters of the tutorial picture, the first one shown; each
    // with its text ("View<n>_"), shown with its page.
    for (int page = 0; page < lang::kTutorialPageCount; ++page) {
        Element viewer =
            Picture("Viewer" + std::to_string(page + 1), textures::kTutorialImage, {192, 100, 640, 480}, page == 0);
        viewer.source = images::kTutorialPages[page];
        w.elements.push_back(viewer);
    }
    for (int page = 0; page < lang::kTutorialPageCount; ++page)
        w.elements.push_back(SmallLine("View" + std::to_string(page + 1) + "_", {112, 590, 800, 20},
                                       lang::kUiTutorialPages[page], page == 0));
    Element pageNumber = Caption("PageNum", {412, 618, 200, 48}, "");
    pageNumber.text = " 1/4";
    w.elements.push_back(pageNumber);
    AddButton(w.elements, "Prev", {112, 684, 240, 64}, lang::kUiPrev);
    AddButton(w.elements, "Back", {392, 684, 240, 64}, lang::kUiBack);
    AddButton(w.elements, "Next", {672, 684, 240, 64}, lang::kUiNext);
    w.bound = {{"Back", Kind::Button}, {"Next", Kind::Button}, {"Prev", Kind::Button}, {"PageNum", Kind::Label}};
    return w;
}

inline Element ScrollingArea(const std::string& name, Rect rect, const std::string& key) {
    Element e = Area(name, rect, fonts::kMain, fonts::kMainRus, key);
    e.images = {{name + "_track", 0, images::kScrollTrack, {rect.x + rect.w + 8, rect.y, 16, rect.h}},
                {name + "_thumb", 1, images::kScrollThumb, {rect.x + rect.w + 8, rect.y, 16, 64}}};
    return e;
}

inline Window CreditsWindow() {
    Window w = Empty(kCreditsWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiCredits, 20),
                  Picture("CreditsPicture", textures::kCreditsImage, {272, 120, 480, 360}),
                  ScrollingArea("CreditsText", {162, 500, 700, 110}, lang::kUiCreditsText)};
    AddButton(w.elements, "Back", {352, 660, 320, 64}, lang::kUiBack);
    w.bound = {{"Back", Kind::Button}};
    return w;
}

inline Window TournamentWindow() {
    Window w = Empty(kTournamentWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiTournament),
                  Picture("TextPanel", images::kPanel, {162, 170, 700, 400}),
                  ScrollingArea("TournamentText", {192, 190, 640, 360}, lang::kUiTournamentText)};
    AddButton(w.elements, "Back", {352, 620, 320, 64}, lang::kUiBack);
    w.bound = {{"Back", Kind::Button}};
    return w;
}

inline Window PlayWindow() {
    Window w = Empty(kPlayWindow);
    w.elements = {FullScreen("background", images::kMenuBackground), Title(lang::kUiPlay)};
    AddButton(w.elements, "NewGame", {352, 200, 320, 64}, lang::kUiNewGame);
    AddButton(w.elements, "Continue", {352, 290, 320, 64}, lang::kUiContinue);
    w.elements.push_back(Picture("ContinueInActive_in", images::kButtonInactive, {352, 290, 320, 64}));
    // Map slots of a map choice the game does not offer: the controller hides them.
    for (int k = 0; k < 10; ++k) {
        Element slot = Picture("_MapTest" + std::to_string(k + 1), images::kMapSlot, {147 + k * 74, 420, 64, 64});
        slot.kind = Kind::Button;
        w.elements.push_back(slot);
    }
    AddButton(w.elements, "Back", {352, 600, 320, 64}, lang::kUiBack);
    w.bound = {{"NewGame", Kind::Button},
               {"Continue", Kind::Button},
               {"ContinueInActive_in", Kind::Image},
               {"Back", Kind::Button}};
    for (int k = 0; k < 10; ++k) w.bound.push_back({"_MapTest" + std::to_string(k + 1), Kind::Button});
    w.covers = {{"ContinueInActive_in", "Continue"}};
    return w;
}

inline Window MsgBox() {
    Window w = Empty(kMsgBox, true);
    const Rect frame{232, 264, 560, 240};
    w.elements = {
        Picture("Frame", images::kBoxFrame, frame),
        // The box centres the message on the frame by its width.
        Text(Kind::Label, "Message", {frame.x, 310, frame.w, 48}, fonts::kMain, fonts::kMainRus, lang::kUiMessage, "")};
    AddButton(w.elements, "OK", {392, 412, 240, 56}, lang::kUiOK);
    w.bound = {{"Message", Kind::Label}, {"OK", Kind::Button}};
    return w;
}

// The battle closes these boxes on a press anywhere: they have no button.
inline Window SummaryWindow() {
    Window w = Empty(kSummaryWindow, true);
    const Rect frame{212, 164, 600, 440};
    w.elements = {Picture("Frame", images::kBoxFrame, frame),
                  Caption("Title", {frame.x, 190, frame.w, 48}, lang::kUiSummaryTitle),
                  Area("Attack", {242, 250, 540, 60}, fonts::kMain, fonts::kMainRus, lang::kTextAttack),
                  Area("Info", {242, 320, 540, 250}, fonts::kSmall, fonts::kSmallRus, lang::kTextClickContinue)};
    w.bound = {{"Attack", Kind::Area}, {"Info", Kind::Area}};
    return w;
}

inline Window WarningWindow() {
    Window w = Empty(kWarningWindow, true);
    const Rect frame{212, 214, 600, 340};
    w.elements = {Picture("Frame", images::kBoxFrame, frame),
                  Caption("Title", {frame.x, 240, frame.w, 48}, lang::kUiWarningTitle),
                  Area("Info", {242, 310, 540, 210}, fonts::kSmall, fonts::kSmallRus, lang::kTextGameMod)};
    w.bound = {{"Info", Kind::Area}};
    return w;
}

}  // namespace detail

// The seventeen layouts, in the order of the menu flow, then the boxes.
inline const std::vector<Window>& Windows() {
    static const std::vector<Window> windows = {
        detail::IntroWindow(),      detail::LanguageWindow(), detail::LoadingWindow(),  detail::MainWindow(),
        detail::ControlsWindow(),   detail::ScoreWindow(),    detail::SubmitWindow(),   detail::InGameQuitWindow(),
        detail::SettingsWindow(),   detail::HelpWindow(),     detail::TutorialWindow(), detail::CreditsWindow(),
        detail::TournamentWindow(), detail::PlayWindow(),     detail::MsgBox(),         detail::SummaryWindow(),
        detail::WarningWindow()};
    return windows;
}

// The window of a file name in any letter case; null when it has none.
inline const Window* FindWindow(const std::string& file) {
    std::string lower = file;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const Window& window : Windows())
        if (window.DiskName() == lower) return &window;
    return nullptr;
}

}  // namespace layouts
}  // namespace catalogue
