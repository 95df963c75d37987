#pragma once
// The language files and every key they carry. Each of the seven files holds every key
// of kAllKeys; window layouts name their texts ("texttr") with the Ui* keys.

namespace catalogue {
namespace lang {

struct LanguageFile {
    int code;  // the language index the game uses
    const char* file;
};
inline constexpr LanguageFile kFiles[] = {
    {0, "en.lan"}, {1, "fr.lan"}, {2, "it.lan"}, {3, "ge.lan"}, {4, "sp.lan"}, {5, "ru.lan"}, {6, "jp.lan"},
};
inline constexpr int kLanguageCount = 7;

// The word behind the magic; the game does not interpret it.
inline constexpr unsigned kFormatWord = 1;

// Battle texts.
inline constexpr const char kTextTotalScore[] = "TextTotalScore";
inline constexpr const char kTextWaveGold[] = "TextWaveGold";
inline constexpr const char kTextBonusGold[] = "TextBonusGold";
inline constexpr const char kTextSurvivalGold[] = "TextSurvivalGold";
inline constexpr const char kTextAvailability[] = "TextAvailability";
inline constexpr const char kTextClickContinue[] = "TextClickContinue";
inline constexpr const char kTextAttack[] = "TextAttack";
inline constexpr const char kTextGamePaused[] = "TextGamePaused";
inline constexpr const char kTextVictory[] = "TextVictory";
inline constexpr const char kTextDefeat[] = "TextDefeat";
inline constexpr const char kTextSCORE[] = "TextSCORE";
inline constexpr const char kTextClickToQuit[] = "TextClickToQuit";
inline constexpr const char kTextClickToSubmit[] = "TextClickToSubmit";
inline constexpr const char kTextGameMod[] = "TextGameMod";

// HUD tooltips.
inline constexpr const char kTooltipSwordsman[] = "TooltipSwordsman";
inline constexpr const char kTooltipArcher[] = "TooltipArcher";
inline constexpr const char kTooltipPriest[] = "TooltipPriest";
inline constexpr const char kTooltipNecromancer[] = "TooltipNecromancer";
inline constexpr const char kTooltipRoyalGuardian[] = "TooltipRoyalGuardian";
inline constexpr const char kTooltipFireMage[] = "TooltipFireMage";
inline constexpr const char kTooltipHeal[] = "TooltipHeal";
inline constexpr const char kTooltipTeleport[] = "TooltipTeleport";
inline constexpr const char kTooltipConceal[] = "TooltipConceal";
inline constexpr const char kTooltipUpgradeHP[] = "TooltipUpgradeHP";
inline constexpr const char kTooltipUpgradeStrength[] = "TooltipUpgradeStrength";
inline constexpr const char kTooltipDischarge[] = "TooltipDischarge";
inline constexpr const char kTooltipSlowdown[] = "TooltipSlowdown";
inline constexpr const char kTooltipFirestorm[] = "TooltipFirestorm";
inline constexpr const char kTooltipLightningbolt[] = "TooltipLightningbolt";
inline constexpr const char kTooltipPause[] = "TooltipPause";
inline constexpr const char kTooltipPlay[] = "TooltipPlay";
inline constexpr const char kTooltipDoubleSpeed[] = "TooltipDoubleSpeed";
inline constexpr const char kTooltipMenu[] = "TooltipMenu";
inline constexpr const char kTooltipEnemiesLeft[] = "TooltipEnemiesLeft";
inline constexpr const char kTooltipAttackNumber[] = "TooltipAttackNumber";
inline constexpr const char kTooltipGold[] = "TooltipGold";
inline constexpr const char kTooltipScore[] = "TooltipScore";

// Loading tips: "TextTip1" .. "TextTip<kTipCount>", without gaps.
inline constexpr int kTipCount = 8;
inline constexpr const char* kTips[kTipCount] = {"TextTip1", "TextTip2", "TextTip3", "TextTip4",
                                                 "TextTip5", "TextTip6", "TextTip7", "TextTip8"};

// Unit names (the game data's "translate" keys).
inline constexpr const char kUnitSwordsman[] = "UnitSwordsman";
inline constexpr const char kUnitArcher[] = "UnitArcher";
inline constexpr const char kUnitPriest[] = "UnitPriest";
inline constexpr const char kUnitNecromancer[] = "UnitNecromancer";
inline constexpr const char kUnitHeavyWarrior[] = "UnitHeavyWarrior";
inline constexpr const char kUnitMage[] = "UnitMage";
inline constexpr const char kUnitKeeper[] = "UnitKeeper";
inline constexpr const char kUnitEnemyWarrior[] = "UnitEnemyWarrior";
inline constexpr const char kUnitEnemyArcher[] = "UnitEnemyArcher";
inline constexpr const char kUnitEnemyCaster[] = "UnitEnemyCaster";
inline constexpr const char kMapHarrowmere[] = "MapHarrowmere";

// Window texts.
inline constexpr const char kUiLoading[] = "UiLoading";
inline constexpr const char kUiStart[] = "UiStart";
inline constexpr const char kUiPlay[] = "UiPlay";
inline constexpr const char kUiContinue[] = "UiContinue";
inline constexpr const char kUiSettings[] = "UiSettings";
inline constexpr const char kUiInfo[] = "UiInfo";
inline constexpr const char kUiMore[] = "UiMore";
inline constexpr const char kUiQuit[] = "UiQuit";
inline constexpr const char kUiBack[] = "UiBack";
inline constexpr const char kUiControlsTitle[] = "UiControlsTitle";
inline constexpr const char kUiControlsText[] = "UiControlsText";
inline constexpr const char kUiClickToStart[] = "UiClickToStart";
inline constexpr const char kUiScoreQuestion[] = "UiScoreQuestion";
inline constexpr const char kUiYes[] = "UiYes";
inline constexpr const char kUiNo[] = "UiNo";
inline constexpr const char kUiSubmitTitle[] = "UiSubmitTitle";
inline constexpr const char kUiName[] = "UiName";
inline constexpr const char kUiEmail[] = "UiEmail";
inline constexpr const char kUiSubmit[] = "UiSubmit";
inline constexpr const char kUiCancel[] = "UiCancel";
inline constexpr const char kUiOK[] = "UiOK";
inline constexpr const char kUiSendingScore[] = "UiSendingScore";
inline constexpr const char kUiScoreSent[] = "UiScoreSent";
inline constexpr const char kUiSendingFailure[] = "UiSendingFailure";
inline constexpr const char kUiIncorrectMail[] = "UiIncorrectMail";
inline constexpr const char kUiIncorrectUserData[] = "UiIncorrectUserData";
inline constexpr const char kUiNoConnection[] = "UiNoConnection";
inline constexpr const char kUiTextUseOnly[] = "UiTextUseOnly";
inline constexpr const char kUiQuitQuestion[] = "UiQuitQuestion";
inline constexpr const char kUiNoSubmissionAfterExiting[] = "UiNoSubmissionAfterExiting";
inline constexpr const char kUiSettingsTitle[] = "UiSettingsTitle";
inline constexpr const char kUiSoundVolume[] = "UiSoundVolume";
inline constexpr const char kUiMusicVolume[] = "UiMusicVolume";
inline constexpr const char kUiHelpTitle[] = "UiHelpTitle";
inline constexpr const char kUiTutorial[] = "UiTutorial";
inline constexpr const char kUiCredits[] = "UiCredits";
inline constexpr const char kUiTournament[] = "UiTournament";
inline constexpr const char kUiNext[] = "UiNext";
inline constexpr const char kUiPrev[] = "UiPrev";
inline constexpr int kTutorialPageCount = 4;
inline constexpr const char* kUiTutorialPages[kTutorialPageCount] = {"UiTutorialPage1", "UiTutorialPage2",
                                                                     "UiTutorialPage3", "UiTutorialPage4"};
inline constexpr const char kUiCreditsText[] = "UiCreditsText";
inline constexpr const char kUiTournamentText[] = "UiTournamentText";
inline constexpr const char kUiMessage[] = "UiMessage";
inline constexpr const char kUiSummaryTitle[] = "UiSummaryTitle";
inline constexpr const char kUiWarningTitle[] = "UiWarningTitle";
inline constexpr const char kUiNewGame[] = "UiNewGame";

// Every key, in the order the files store them.
inline constexpr const char* kAllKeys[] = {
    kTextTotalScore,
    kTextWaveGold,
    kTextBonusGold,
    kTextSurvivalGold,
    kTextAvailability,
    kTextClickContinue,
    kTextAttack,
    kTextGamePaused,
    kTextVictory,
    kTextDefeat,
    kTextSCORE,
    kTextClickToQuit,
    kTextClickToSubmit,
    kTextGameMod,
    kTooltipSwordsman,
    kTooltipArcher,
    kTooltipPriest,
    kTooltipNecromancer,
    kTooltipRoyalGuardian,
    kTooltipFireMage,
    kTooltipHeal,
    kTooltipTeleport,
    kTooltipConceal,
    kTooltipUpgradeHP,
    kTooltipUpgradeStrength,
    kTooltipDischarge,
    kTooltipSlowdown,
    kTooltipFirestorm,
    kTooltipLightningbolt,
    kTooltipPause,
    kTooltipPlay,
    kTooltipDoubleSpeed,
    kTooltipMenu,
    kTooltipEnemiesLeft,
    kTooltipAttackNumber,
    kTooltipGold,
    kTooltipScore,
    "TextTip1",
    "TextTip2",
    "TextTip3",
    "TextTip4",
    "TextTip5",
    "TextTip6",
    "TextTip7",
    "TextTip8",
    kUnitSwordsman,
    kUnitArcher,
    kUnitPriest,
    kUnitNecromancer,
    kUnitHeavyWarrior,
    kUnitMage,
    kUnitKeeper,
    kUnitEnemyWarrior,
    kUnitEnemyArcher,
    kUnitEnemyCaster,
    kMapHarrowmere,
    kUiLoading,
    kUiStart,
    kUiPlay,
    kUiContinue,
    kUiSettings,
    kUiInfo,
    kUiMore,
    kUiQuit,
    kUiBack,
    kUiControlsTitle,
    kUiControlsText,
    kUiClickToStart,
    kUiScoreQuestion,
    kUiYes,
    kUiNo,
    kUiSubmitTitle,
    kUiName,
    kUiEmail,
    kUiSubmit,
    kUiCancel,
    kUiOK,
    kUiSendingScore,
    kUiScoreSent,
    kUiSendingFailure,
    kUiIncorrectMail,
    kUiIncorrectUserData,
    kUiNoConnection,
    kUiTextUseOnly,
    kUiQuitQuestion,
    kUiNoSubmissionAfterExiting,
    kUiSettingsTitle,
    kUiSoundVolume,
    kUiMusicVolume,
    kUiHelpTitle,
    kUiTutorial,
    kUiCredits,
    kUiTournament,
    kUiNext,
    kUiPrev,
    "UiTutorialPage1",
    "UiTutorialPage2",
    "UiTutorialPage3",
    "UiTutorialPage4",
    kUiCreditsText,
    kUiTournamentText,
    kUiMessage,
    kUiSummaryTitle,
    kUiWarningTitle,
    kUiNewGame,
};

}  // namespace lang
}  // namespace catalogue
