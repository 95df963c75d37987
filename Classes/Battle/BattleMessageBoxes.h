#pragma once
// The two boxes the battle opens over itself: the summary between waves and the warning
// about modified data. The application, which owns the message boxes, registers its
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
};
