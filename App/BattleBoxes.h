#pragma once
// The battle's summary and warning, opened as the game's message boxes.
#include <string>

#include "Classes/Battle/BattleMessageBoxes.h"

class BattleBoxes : public BattleMessageBoxes {
public:
    bool ShowSummary() override;
    // Each reaches the open box only while it is the summary (or the warning).
    void SetSummaryAttackText(const std::wstring& text) override;
    void SetSummaryInfoText(const std::wstring& text) override;
    bool ShowWarning(const std::wstring& text) override;
    void Close() override;
    bool ShowMessage(const std::string& layoutFile, const std::string& text) override;
};
