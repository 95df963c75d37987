#pragma once
// Stand-ins until the widget set and the in-game window exist: the message
// box and its two in-game variants as the game opens, updates, draws and
// deletes them. They keep their layout path and texts; they load, lay out and
// draw nothing, and have no buttons; they report their update, draw and
// deletion (Game/StandInTrace.h).
#include <string>

#include "Core/Delegate.h"

namespace UI {

class UIButton;

// Stand-in until the widget set exists.
class UIMsgBox {
public:
    UIMsgBox(const std::string& layoutPath, const std::string& message);
    virtual ~UIMsgBox();

    virtual void Update();
    virtual void Draw();

    const std::string& GetLayoutPath() const { return layout_path_; }
    const std::wstring& GetMessage() const { return message_; }

    // Called with the button whose release closed the interaction.
    Delegate<UIButton*> button_handler_;

private:
    std::string layout_path_;
    std::wstring message_;
};

}  // namespace UI

// Stand-in until the in-game window exists: the wave summary box.
class CSummaryMsgBox : public UI::UIMsgBox {
public:
    explicit CSummaryMsgBox(const std::string& layoutPath);
    ~CSummaryMsgBox() override;

    void SetAttackText(std::wstring text) { attack_text_ = text; }
    void SetInfoText(std::wstring text) { info_text_ = text; }
    const std::wstring& GetAttackText() const { return attack_text_; }
    const std::wstring& GetInfoText() const { return info_text_; }

private:
    std::wstring attack_text_;
    std::wstring info_text_;
};

// Stand-in until the in-game window exists: the modified-data warning box.
class CWarningMsgBox : public UI::UIMsgBox {
public:
    explicit CWarningMsgBox(const std::string& layoutPath);
    ~CWarningMsgBox() override;

    void SetInfoText(std::wstring text) { info_text_ = text; }
    const std::wstring& GetInfoText() const { return info_text_; }

private:
    std::wstring info_text_;
};
