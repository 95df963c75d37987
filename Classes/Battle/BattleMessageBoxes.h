#pragma once
// The boxes the battle opens over itself: the summary between waves, the warning about
// modified data and the plain box of the score server's answers. The application, which owns the message boxes, registers its
// implementation as Service<BattleMessageBoxes>; without one the battle opens nothing.
#include <string>

class BattleMessageBoxes {
public:
    virtual ~BattleMessageBoxes() = default;
    // Opens the summary box; false when it did not open.
    virtual bool ShowSummary() = 0;
    virtual void SetSummaryAttackText(const std::wstring& text) = 0;
    virtual void SetSummaryInfoText(const std::wstring& text) = 0;
    // Opens the warning box with its text; false when it did not open.
    virtual bool ShowWarning(const std::wstring& text) = 0;
    // Closes whichever box is open.
    virtual void Close() = 0;
    // Opens a plain box from the layout with the text; false when it did not open
    // (as without a box of that kind).
    virtual bool ShowMessage(const std::string& /*layoutFile*/, const std::string& /*text*/) { return false; }
};
