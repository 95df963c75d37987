// The seven language files: magic "LAN\0", a format word, the entry count, then per
// entry the key (length + bytes) and the text (length in UTF-16 units + UTF-16LE).
// Every file carries every key of the catalogue, in the catalogue's order.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/LanguageKeys.h"
#include "tools/databuilder/Builder.h"

namespace {

namespace lang = catalogue::lang;

// Columns in language-code order: English, French, Italian, German, Spanish, Russian,
// Japanese (in Latin letters, so the Latin fonts can draw it).
struct Texts {
    const char* key;
    const char* text[lang::kLanguageCount];
};

const Texts kTexts[] = {
    // Battle.
    {"TextTotalScore",
     {"Total score:", "Score total :", "Punteggio totale:", "Gesamtpunktzahl:", "Puntuación total:", "Итоговый счёт:",
      "Goukei sukoa:"}},
    {"TextWaveGold",
     {"gold for the wave", "or pour la vague", "oro per l'ondata", "Gold für die Welle", "oro por la oleada",
      "золота за волну", "weebu no goorudo"}},
    {"TextBonusGold",
     {"bonus gold", "or de bonus", "oro bonus", "Bonusgold", "oro extra", "бонусного золота", "boonasu goorudo"}},
    {"TextSurvivalGold",
     {"gold for survivors", "or pour les survivants", "oro per i sopravvissuti", "Gold für Überlebende",
      "oro por los supervivientes", "золота за выживших", "seizon boonasu goorudo"}},
    {"TextAvailability",
     {"is now available", "est maintenant disponible", "è ora disponibile", "ist jetzt verfügbar", "ya está disponible",
      "теперь доступен", "ga riyou kanou ni narimashita"}},
    {"TextClickContinue",
     {"Click to continue", "Cliquez pour continuer", "Clicca per continuare", "Klicken zum Fortfahren",
      "Haz clic para continuar", "Щёлкните, чтобы продолжить", "Kurikku shite tsuzukeru"}},
    {"TextAttack", {"Attack", "Attaque", "Attacco", "Angriff", "Ataque", "Атака", "Kougeki"}},
    {"TextGamePaused",
     {"Game paused", "Jeu en pause", "Gioco in pausa", "Spiel pausiert", "Juego en pausa", "Игра приостановлена",
      "Ichiji teishi"}},
    {"TextVictory", {"Victory!", "Victoire !", "Vittoria!", "Sieg!", "¡Victoria!", "Победа!", "Shouri!"}},
    {"TextDefeat", {"Defeat", "Défaite", "Sconfitta", "Niederlage", "Derrota", "Поражение", "Haiboku"}},
    {"TextSCORE", {"SCORE", "SCORE", "PUNTEGGIO", "PUNKTE", "PUNTUACIÓN", "СЧЁТ", "SUKOA"}},
    {"TextClickToQuit",
     {"Click to return to the menu", "Cliquez pour revenir au menu", "Clicca per tornare al menu",
      "Klicken, um zum Menü zurückzukehren", "Haz clic para volver al menú", "Щёлкните, чтобы вернуться в меню",
      "Kurikku shite menyuu ni modoru"}},
    {"TextClickToSubmit",
     {"Click to submit your score", "Cliquez pour envoyer votre score", "Clicca per inviare il tuo punteggio",
      "Klicken, um deine Punktzahl zu senden", "Haz clic para enviar tu puntuación",
      "Щёлкните, чтобы отправить результат", "Kurikku shite sukoa wo soushin"}},
    {"TextGameMod",
     {"The game data has been modified. This battle cannot be submitted.",
      "Les données du jeu ont été modifiées. Cette bataille ne pourra pas être envoyée.",
      "I dati di gioco sono stati modificati. Questa battaglia non potrà essere inviata.",
      "Die Spieldaten wurden verändert. Diese Schlacht kann nicht gesendet werden.",
      "Los datos del juego han sido modificados. Esta batalla no se podrá enviar.",
      "Данные игры изменены. Результат этой битвы нельзя отправить.",
      "Geemu deeta ga henkou saremashita. Kono tatakai wa soushin dekimasen."}},

    // HUD tooltips.
    {"TooltipSwordsman",
     {"Swordsman: a sturdy fighter for close combat (%s)", "Épéiste : un combattant robuste au corps à corps (%s)",
      "Spadaccino: un combattente robusto per il corpo a corpo (%s)", "Schwertkämpfer: ein zäher Nahkämpfer (%s)",
      "Espadachín: un luchador resistente cuerpo a cuerpo (%s)", "Мечник: стойкий боец ближнего боя (%s)",
      "Kenshi: kinsetsu sentou no tsuyoi senshi (%s)"}},
    {"TooltipArcher",
     {"Archer: shoots arrows from afar (%s)", "Archer : tire des flèches de loin (%s)",
      "Arciere: scocca frecce da lontano (%s)", "Bogenschütze: schießt Pfeile aus der Ferne (%s)",
      "Arquero: dispara flechas desde lejos (%s)", "Лучник: стреляет издалека (%s)",
      "Yumihei: tooku kara ya wo iru (%s)"}},
    {"TooltipPriest",
     {"Priest: heals nearby defenders (%s)", "Prêtre : soigne les défenseurs proches (%s)",
      "Sacerdote: cura i difensori vicini (%s)", "Priester: heilt Verteidiger in der Nähe (%s)",
      "Sacerdote: cura a los defensores cercanos (%s)", "Жрец: лечит ближайших защитников (%s)",
      "Souryo: chikaku no bouei wo kaifuku suru (%s)"}},
    {"TooltipNecromancer",
     {"Necromancer: drains the life of enemies (%s)", "Nécromancien : draine la vie des ennemis (%s)",
      "Negromante: prosciuga la vita dei nemici (%s)", "Nekromant: saugt den Feinden das Leben aus (%s)",
      "Nigromante: absorbe la vida de los enemigos (%s)", "Некромант: вытягивает жизнь врагов (%s)",
      "Shiryoujutsushi: teki no seimei wo ubau (%s)"}},
    {"TooltipRoyalGuardian",
     {"Royal Guardian: a heavy warrior who holds the line (%s)",
      "Garde royal : un guerrier lourd qui tient la ligne (%s)",
      "Guardia reale: un guerriero pesante che tiene la linea (%s)",
      "Königlicher Wächter: ein schwerer Krieger, der die Stellung hält (%s)",
      "Guardián real: un guerrero pesado que mantiene la línea (%s)",
      "Королевский страж: тяжёлый воин, держащий строй (%s)", "Ouke no shugosha: sen wo mamoru juusou senshi (%s)"}},
    {"TooltipFireMage",
     {"Fire Mage: burns groups of enemies (%s)", "Mage de feu : brûle des groupes d'ennemis (%s)",
      "Mago del fuoco: brucia gruppi di nemici (%s)", "Feuermagier: verbrennt Gruppen von Feinden (%s)",
      "Mago de fuego: quema grupos de enemigos (%s)", "Маг огня: сжигает группы врагов (%s)",
      "Honoo no madoushi: teki no mure wo yaku (%s)"}},
    {"TooltipHeal",
     {"Heal or resurrect the selected defender (%s)", "Soigner ou ressusciter le défenseur choisi (%s)",
      "Cura o resuscita il difensore scelto (%s)", "Gewählten Verteidiger heilen oder wiederbeleben (%s)",
      "Curar o resucitar al defensor elegido (%s)", "Вылечить или воскресить выбранного защитника (%s)",
      "Sentaku shita bouei wo kaifuku / fukkatsu (%s)"}},
    {"TooltipTeleport",
     {"Teleport the defender to another spot (%s)", "Téléporter le défenseur vers un autre emplacement (%s)",
      "Teletrasporta il difensore in un altro punto (%s)", "Verteidiger an einen anderen Platz teleportieren (%s)",
      "Teletransportar al defensor a otro lugar (%s)", "Телепортировать защитника на другое место (%s)",
      "Bouei wo betsu no basho e teleporto (%s)"}},
    {"TooltipConceal",
     {"Hide or reveal the defender (%s)", "Cacher ou montrer le défenseur (%s)", "Nascondi o mostra il difensore (%s)",
      "Verteidiger verstecken oder zeigen (%s)", "Ocultar o mostrar al defensor (%s)",
      "Спрятать или показать защитника (%s)", "Bouei wo kakusu / arawasu (%s)"}},
    {"TooltipUpgradeHP",
     {"Upgrade health (%s)", "Améliorer la santé (%s)", "Potenzia la salute (%s)", "Gesundheit verbessern (%s)",
      "Mejorar la salud (%s)", "Улучшить здоровье (%s)", "Tairyoku wo kyouka (%s)"}},
    {"TooltipUpgradeStrength",
     {"Upgrade strength (%s)", "Améliorer la force (%s)", "Potenzia la forza (%s)", "Stärke verbessern (%s)",
      "Mejorar la fuerza (%s)", "Улучшить силу (%s)", "Chikara wo kyouka (%s)"}},
    {"TooltipDischarge",
     {"Dismiss the defender for gold (%s)", "Renvoyer le défenseur contre de l'or (%s)",
      "Congeda il difensore in cambio di oro (%s)", "Verteidiger gegen Gold entlassen (%s)",
      "Despedir al defensor a cambio de oro (%s)", "Отпустить защитника за золото (%s)",
      "Bouei wo kaiko shite goorudo wo eru (%s)"}},
    {"TooltipSlowdown",
     {"Slowdown: slows the selected enemy (%s)", "Ralentissement : ralentit l'ennemi choisi (%s)",
      "Rallentamento: rallenta il nemico scelto (%s)", "Verlangsamung: bremst den gewählten Feind (%s)",
      "Ralentizar: frena al enemigo elegido (%s)", "Замедление: замедляет выбранного врага (%s)",
      "Suroo: sentaku shita teki wo osoku suru (%s)"}},
    {"TooltipFirestorm",
     {"Firestorm: burns the selected enemy and those around it (%s)",
      "Tempête de feu : brûle l'ennemi choisi et ceux qui l'entourent (%s)",
      "Tempesta di fuoco: brucia il nemico scelto e quelli vicini (%s)",
      "Feuersturm: verbrennt den gewählten Feind und seine Nachbarn (%s)",
      "Tormenta de fuego: quema al enemigo elegido y a los que lo rodean (%s)",
      "Огненная буря: сжигает выбранного врага и тех, кто рядом (%s)",
      "Faiaasutoomu: teki to sono shuui wo yaku (%s)"}},
    {"TooltipLightningbolt",
     {"Lightning bolt: strikes the selected enemy (%s)", "Éclair : frappe l'ennemi choisi (%s)",
      "Fulmine: colpisce il nemico scelto (%s)", "Blitz: trifft den gewählten Feind (%s)",
      "Rayo: golpea al enemigo elegido (%s)", "Молния: поражает выбранного врага (%s)",
      "Inazuma: sentaku shita teki wo utsu (%s)"}},
    {"TooltipPause", {"Pause", "Pause", "Pausa", "Pause", "Pausa", "Пауза", "Poozu"}},
    {"TooltipPlay",
     {"Normal speed", "Vitesse normale", "Velocità normale", "Normale Geschwindigkeit", "Velocidad normal",
      "Обычная скорость", "Tsuujou sokudo"}},
    {"TooltipDoubleSpeed",
     {"Double speed", "Vitesse double", "Velocità doppia", "Doppelte Geschwindigkeit", "Velocidad doble",
      "Двойная скорость", "Bai sokudo"}},
    {"TooltipMenu", {"Menu", "Menu", "Menu", "Menü", "Menú", "Меню", "Menyuu"}},
    {"TooltipEnemiesLeft",
     {"Enemies left", "Ennemis restants", "Nemici rimasti", "Verbleibende Feinde", "Enemigos restantes",
      "Осталось врагов", "Nokori no teki"}},
    {"TooltipAttackNumber",
     {"Current wave", "Vague actuelle", "Ondata attuale", "Aktuelle Welle", "Oleada actual", "Текущая волна",
      "Genzai no weebu"}},
    {"TooltipGold", {"Gold", "Or", "Oro", "Gold", "Oro", "Золото", "Goorudo"}},
    {"TooltipScore", {"Score", "Score", "Punteggio", "Punkte", "Puntuación", "Счёт", "Sukoa"}},

    // Loading tips.
    {"TextTip1",
     {"Defenders on a glowing spot fight harder.",
      "Les défenseurs placés sur un emplacement lumineux combattent mieux.",
      "I difensori su un punto luminoso combattono meglio.", "Verteidiger auf einem leuchtenden Platz kämpfen besser.",
      "Los defensores sobre un punto brillante luchan mejor.", "Защитники на светящемся месте сражаются лучше.",
      "Hikaru basho no bouei wa yori tsuyoku tatakau."}},
    {"TextTip2",
     {"Priests keep your front line alive.", "Les prêtres gardent votre première ligne en vie.",
      "I sacerdoti tengono in vita la prima linea.", "Priester halten deine vorderste Linie am Leben.",
      "Los sacerdotes mantienen viva tu primera línea.", "Жрецы сохраняют жизнь передовой линии.",
      "Souryo wa zensen wo ikinokoraseru."}},
    {"TextTip3",
     {"Spells cost gold and need time to recharge.", "Les sorts coûtent de l'or et doivent se recharger.",
      "Gli incantesimi costano oro e devono ricaricarsi.", "Zauber kosten Gold und müssen sich aufladen.",
      "Los hechizos cuestan oro y necesitan recargarse.", "Заклинания стоят золота и требуют перезарядки.",
      "Jumon wa goorudo ga kakari, juuden ni jikan ga kakaru."}},
    {"TextTip4",
     {"Hidden defenders are not attacked, but do not fight either.",
      "Les défenseurs cachés ne sont pas attaqués, mais ne combattent pas non plus.",
      "I difensori nascosti non vengono attaccati, ma nemmeno combattono.",
      "Versteckte Verteidiger werden nicht angegriffen, kämpfen aber auch nicht.",
      "Los defensores ocultos no son atacados, pero tampoco luchan.",
      "Спрятанных защитников не атакуют, но и сами они не сражаются.",
      "Kakureta bouei wa kougeki sarenai ga, tatakai mo shinai."}},
    {"TextTip5",
     {"Fallen defenders can be resurrected for gold.", "Les défenseurs tombés peuvent être ressuscités contre de l'or.",
      "I difensori caduti possono essere resuscitati con l'oro.",
      "Gefallene Verteidiger können für Gold wiederbelebt werden.",
      "Los defensores caídos pueden resucitar a cambio de oro.", "Павших защитников можно воскресить за золото.",
      "Taoreta bouei wa goorudo de fukkatsu dekiru."}},
    {"TextTip6",
     {"Finish a wave quickly to earn bonus gold.", "Terminez une vague rapidement pour gagner de l'or en bonus.",
      "Finisci un'ondata in fretta per ottenere oro bonus.", "Beende eine Welle schnell, um Bonusgold zu verdienen.",
      "Termina una oleada rápido para ganar oro extra.", "Быстро завершите волну, чтобы получить бонусное золото.",
      "Weebu wo hayaku oeru to boonasu goorudo ga moraeru."}},
    {"TextTip7",
     {"Use double speed when the battle is under control.",
      "Utilisez la vitesse double quand la bataille est sous contrôle.",
      "Usa la velocità doppia quando la battaglia è sotto controllo.",
      "Nutze doppelte Geschwindigkeit, wenn die Schlacht unter Kontrolle ist.",
      "Usa la velocidad doble cuando la batalla esté bajo control.",
      "Включайте двойную скорость, когда битва под контролем.", "Tatakai ga yuuri na toki wa bai sokudo wo tsukaou."}},
    {"TextTip8",
     {"Upgrades make a defender stronger for the rest of the battle.",
      "Les améliorations rendent un défenseur plus fort pour le reste de la bataille.",
      "I potenziamenti rendono un difensore più forte per il resto della battaglia.",
      "Verbesserungen machen einen Verteidiger für den Rest der Schlacht stärker.",
      "Las mejoras hacen a un defensor más fuerte durante el resto de la batalla.",
      "Улучшения делают защитника сильнее до конца битвы.",
      "Kyouka shita bouei wa tatakai no saigo made tsuyoku naru."}},

    // Units and maps.
    {"UnitSwordsman", {"Swordsman", "Épéiste", "Spadaccino", "Schwertkämpfer", "Espadachín", "Мечник", "Kenshi"}},
    {"UnitArcher", {"Archer", "Archer", "Arciere", "Bogenschütze", "Arquero", "Лучник", "Yumihei"}},
    {"UnitPriest", {"Priest", "Prêtre", "Sacerdote", "Priester", "Sacerdote", "Жрец", "Souryo"}},
    {"UnitNecromancer",
     {"Necromancer", "Nécromancien", "Negromante", "Nekromant", "Nigromante", "Некромант", "Shiryoujutsushi"}},
    {"UnitHeavyWarrior",
     {"Royal Guardian", "Garde royal", "Guardia reale", "Königlicher Wächter", "Guardián real", "Королевский страж",
      "Ouke no shugosha"}},
    {"UnitMage",
     {"Fire Mage", "Mage de feu", "Mago del fuoco", "Feuermagier", "Mago de fuego", "Маг огня", "Honoo no madoushi"}},
    {"UnitKeeper",
     {"Dungeon Keeper", "Gardien du donjon", "Custode della fortezza", "Burgherr", "Guardián de la fortaleza",
      "Хранитель крепости", "Shiro no mamorite"}},
    {"UnitEnemyWarrior", {"Raider", "Pillard", "Predone", "Plünderer", "Saqueador", "Налётчик", "Ryakudatsusha"}},
    {"UnitEnemyArcher",
     {"Marauder Archer", "Archer maraudeur", "Arciere predone", "Plündernder Bogenschütze", "Arquero saqueador",
      "Лучник-мародёр", "Ryakudatsu yumihei"}},
    {"UnitEnemyCaster",
     {"Dark Shaman", "Chaman noir", "Sciamano oscuro", "Dunkler Schamane", "Chamán oscuro", "Тёмный шаман",
      "Yami no jujutsushi"}},
    {"MapHarrowmere",
     {"Harrowmere", "Harrowmere", "Harrowmere", "Harrowmere", "Harrowmere", "Харроумир", "Harrowmere"}},

    // Windows.
    {"UiLoading",
     {"Loading...", "Chargement...", "Caricamento...", "Laden...", "Cargando...", "Загрузка...", "Yomikomi chuu..."}},
    {"UiStart", {"Start", "Commencer", "Inizia", "Start", "Empezar", "Начать", "Sutaato"}},
    {"UiPlay", {"Play", "Jouer", "Gioca", "Spielen", "Jugar", "Играть", "Purei"}},
    {"UiContinue", {"Continue", "Continuer", "Continua", "Fortsetzen", "Continuar", "Продолжить", "Tsuzuki"}},
    {"UiSettings", {"Settings", "Options", "Impostazioni", "Einstellungen", "Opciones", "Настройки", "Settei"}},
    {"UiInfo", {"Info", "Infos", "Info", "Info", "Info", "Инфо", "Jouhou"}},
    {"UiMore",
     {"More games", "Plus de jeux", "Altri giochi", "Mehr Spiele", "Más juegos", "Другие игры", "Hoka no geemu"}},
    {"UiQuit", {"Quit", "Quitter", "Esci", "Beenden", "Salir", "Выход", "Shuuryou"}},
    {"UiBack", {"Back", "Retour", "Indietro", "Zurück", "Atrás", "Назад", "Modoru"}},
    {"UiControlsTitle", {"Controls", "Commandes", "Comandi", "Steuerung", "Controles", "Управление", "Sousa"}},
    {"UiControlsText",
     {"Click a glowing spot to recruit a defender. Click a defender to heal, hide, upgrade, move or dismiss it. "
      "Click an enemy to cast a spell. Keys 1 to 6 select the buttons.",
      "Cliquez sur un emplacement lumineux pour recruter un défenseur. Cliquez sur un défenseur pour le "
      "soigner, le cacher, l'améliorer, le déplacer ou le renvoyer. Cliquez sur un ennemi pour lancer un sort. "
      "Les touches 1 à 6 choisissent les boutons.",
      "Clicca su un punto luminoso per reclutare un difensore. Clicca su un difensore per curarlo, "
      "nasconderlo, potenziarlo, spostarlo o congedarlo. Clicca su un nemico per lanciare un incantesimo. "
      "I tasti da 1 a 6 scelgono i pulsanti.",
      "Klicke auf einen leuchtenden Platz, um einen Verteidiger anzuwerben. Klicke auf einen Verteidiger, um "
      "ihn zu heilen, zu verstecken, zu verbessern, zu versetzen oder zu entlassen. Klicke auf einen Feind, um "
      "einen Zauber zu wirken. Die Tasten 1 bis 6 wählen die Schaltflächen.",
      "Haz clic en un punto brillante para reclutar a un defensor. Haz clic en un defensor para curarlo, "
      "ocultarlo, mejorarlo, moverlo o despedirlo. Haz clic en un enemigo para lanzar un hechizo. "
      "Las teclas 1 a 6 eligen los botones.",
      "Щёлкните по светящемуся месту, чтобы нанять защитника. Щёлкните по защитнику, чтобы вылечить, "
      "спрятать, улучшить, переместить или отпустить его. Щёлкните по врагу, чтобы применить заклинание. "
      "Клавиши 1-6 выбирают кнопки.",
      "Hikaru basho wo kurikku shite bouei wo yatou. Bouei wo kurikku shite kaifuku, kakureru, kyouka, idou, "
      "kaiko. Teki wo kurikku shite jumon wo tonaeru. Kii 1-6 de botan wo erabu."}},
    {"UiClickToStart",
     {"Click to start the battle", "Cliquez pour commencer la bataille", "Clicca per iniziare la battaglia",
      "Klicken, um die Schlacht zu beginnen", "Haz clic para empezar la batalla", "Щёлкните, чтобы начать битву",
      "Kurikku shite tatakai wo hajimeru"}},
    {"UiScoreQuestion",
     {"Do you want to submit your score?", "Voulez-vous envoyer votre score ?", "Vuoi inviare il tuo punteggio?",
      "Möchtest du deine Punktzahl senden?", "¿Quieres enviar tu puntuación?", "Отправить ваш результат?",
      "Sukoa wo soushin shimasu ka?"}},
    {"UiYes", {"Yes", "Oui", "Sì", "Ja", "Sí", "Да", "Hai"}},
    {"UiNo", {"No", "Non", "No", "Nein", "No", "Нет", "Iie"}},
    {"UiSubmitTitle",
     {"Submit your score", "Envoyer votre score", "Invia il tuo punteggio", "Punktzahl senden", "Enviar tu puntuación",
      "Отправка результата", "Sukoa soushin"}},
    {"UiName", {"Name", "Nom", "Nome", "Name", "Nombre", "Имя", "Namae"}},
    {"UiEmail", {"E-mail", "E-mail", "E-mail", "E-Mail", "Correo", "Эл. почта", "Meeru"}},
    {"UiSubmit", {"Submit", "Envoyer", "Invia", "Senden", "Enviar", "Отправить", "Soushin"}},
    {"UiCancel", {"Cancel", "Annuler", "Annulla", "Abbrechen", "Cancelar", "Отмена", "Kyanseru"}},
    {"UiOK", {"OK", "OK", "OK", "OK", "OK", "OK", "OK"}},
    {"UiSendingScore",
     {"Sending your score...", "Envoi du score...", "Invio del punteggio...", "Punktzahl wird gesendet...",
      "Enviando la puntuación...", "Отправка результата...", "Sukoa wo soushin chuu..."}},
    {"UiScoreSent",
     {"Your score was sent.", "Votre score a été envoyé.", "Il punteggio è stato inviato.",
      "Deine Punktzahl wurde gesendet.", "Tu puntuación se ha enviado.", "Результат отправлен.",
      "Sukoa wo soushin shimashita."}},
    {"UiSendingFailure",
     {"The score could not be sent.", "Le score n'a pas pu être envoyé.", "Non è stato possibile inviare il punteggio.",
      "Die Punktzahl konnte nicht gesendet werden.", "No se pudo enviar la puntuación.",
      "Не удалось отправить результат.", "Sukoa wo soushin dekimasen deshita."}},
    {"UiIncorrectMail",
     {"Please enter a valid e-mail address.", "Veuillez saisir une adresse e-mail valide.",
      "Inserisci un indirizzo e-mail valido.", "Bitte gib eine gültige E-Mail-Adresse ein.",
      "Introduce una dirección de correo válida.", "Введите правильный адрес эл. почты.",
      "Tadashii meeru adoresu wo nyuuryoku shite kudasai."}},
    {"UiIncorrectUserData",
     {"Please enter your name.", "Veuillez saisir votre nom.", "Inserisci il tuo nome.", "Bitte gib deinen Namen ein.",
      "Introduce tu nombre.", "Введите ваше имя.", "Namae wo nyuuryoku shite kudasai."}},
    {"UiNoConnection",
     {"No network connection.", "Pas de connexion réseau.", "Nessuna connessione di rete.", "Keine Netzwerkverbindung.",
      "Sin conexión de red.", "Нет подключения к сети.", "Nettowaaku ni setsuzoku dekimasen."}},
    {"UiTextUseOnly",
     {"Your name and e-mail address are used for the score table only.",
      "Votre nom et votre adresse e-mail servent uniquement au tableau des scores.",
      "Nome e indirizzo e-mail servono solo per la classifica.",
      "Name und E-Mail-Adresse dienen nur der Punktetabelle.",
      "Tu nombre y tu correo solo se usan para la tabla de puntuaciones.",
      "Имя и адрес эл. почты используются только для таблицы рекордов.",
      "Namae to meeru adoresu wa sukoa hyou ni nomi shiyou saremasu."}},
    {"UiQuitQuestion",
     {"Do you want to leave the battle?", "Voulez-vous quitter la bataille ?", "Vuoi abbandonare la battaglia?",
      "Möchtest du die Schlacht verlassen?", "¿Quieres abandonar la batalla?", "Покинуть битву?",
      "Tatakai wo nukemasu ka?"}},
    {"UiNoSubmissionAfterExiting",
     {"A battle you leave cannot be submitted.", "Une bataille abandonnée ne peut pas être envoyée.",
      "Una battaglia abbandonata non può essere inviata.", "Eine verlassene Schlacht kann nicht gesendet werden.",
      "Una batalla abandonada no se puede enviar.", "Результат покинутой битвы нельзя отправить.",
      "Nuketa tatakai no sukoa wa soushin dekimasen."}},
    {"UiSettingsTitle", {"Settings", "Options", "Impostazioni", "Einstellungen", "Opciones", "Настройки", "Settei"}},
    {"UiSoundVolume",
     {"Sound effects", "Effets sonores", "Effetti sonori", "Soundeffekte", "Efectos de sonido", "Звуковые эффекты",
      "Kouka on"}},
    {"UiMusicVolume", {"Music", "Musique", "Musica", "Musik", "Música", "Музыка", "Ongaku"}},
    {"UiHelpTitle", {"Help", "Aide", "Aiuto", "Hilfe", "Ayuda", "Помощь", "Herupu"}},
    {"UiTutorial", {"Tutorial", "Didacticiel", "Tutorial", "Anleitung", "Tutorial", "Обучение", "Chuutoriaru"}},
    {"UiCredits", {"Credits", "Crédits", "Riconoscimenti", "Mitwirkende", "Créditos", "Авторы", "Kurejitto"}},
    {"UiTournament", {"Tournament", "Tournoi", "Torneo", "Turnier", "Torneo", "Турнир", "Toonamento"}},
    {"UiNext", {"Next", "Suivant", "Avanti", "Weiter", "Siguiente", "Далее", "Tsugi"}},
    {"UiPrev", {"Previous", "Précédent", "Prec.", "Vorige", "Anterior", "Пред.", "Mae"}},
    {"UiTutorialPage1",
     {"Recruit defenders on the glowing spots around the fortress.",
      "Recrutez des défenseurs sur les emplacements lumineux autour de la forteresse.",
      "Recluta difensori sui punti luminosi intorno alla fortezza.",
      "Wirb Verteidiger auf den leuchtenden Plätzen rund um die Festung an.",
      "Recluta defensores en los puntos brillantes alrededor de la fortaleza.",
      "Нанимайте защитников на светящихся местах вокруг крепости.",
      "Toride no mawari no hikaru basho de bouei wo yatoou."}},
    {"UiTutorialPage2",
     {"Select a defender to heal, hide, upgrade, teleport or dismiss it.",
      "Choisissez un défenseur pour le soigner, le cacher, l'améliorer, le téléporter ou le renvoyer.",
      "Scegli un difensore per curarlo, nasconderlo, potenziarlo, teletrasportarlo o congedarlo.",
      "Wähle einen Verteidiger, um ihn zu heilen, zu verstecken, zu verbessern, zu teleportieren oder zu "
      "entlassen.",
      "Elige un defensor para curarlo, ocultarlo, mejorarlo, teletransportarlo o despedirlo.",
      "Выберите защитника, чтобы вылечить, спрятать, улучшить, телепортировать или отпустить его.",
      "Bouei wo erande kaifuku, kakureru, kyouka, teleporto, kaiko."}},
    {"UiTutorialPage3",
     {"Select an enemy and cast slowdown, firestorm or lightning on it.",
      "Choisissez un ennemi et lancez sur lui ralentissement, tempête de feu ou éclair.",
      "Scegli un nemico e lancia rallentamento, tempesta di fuoco o fulmine.",
      "Wähle einen Feind und wirke Verlangsamung, Feuersturm oder Blitz auf ihn.",
      "Elige un enemigo y lánzale ralentizar, tormenta de fuego o rayo.",
      "Выберите врага и примените замедление, огненную бурю или молнию.",
      "Teki wo erande suroo, faiaasutoomu, inazuma wo tonaeyou."}},
    {"UiTutorialPage4",
     {"Survive every wave to win the battle and submit your score.",
      "Survivez à chaque vague pour gagner la bataille et envoyer votre score.",
      "Sopravvivi a ogni ondata per vincere la battaglia e inviare il punteggio.",
      "Überstehe jede Welle, um die Schlacht zu gewinnen und deine Punktzahl zu senden.",
      "Sobrevive a cada oleada para ganar la batalla y enviar tu puntuación.",
      "Переживите все волны, чтобы победить и отправить результат.",
      "Subete no weebu wo norikoete shouri shi, sukoa wo soushin shiyou."}},
    {"UiCreditsText",
     {"Dunmarch Lite by Morvane. Thank you for playing!", "Dunmarch Lite par Morvane. Merci d'avoir joué !",
      "Dunmarch Lite di Morvane. Grazie per aver giocato!", "Dunmarch Lite von Morvane. Danke fürs Spielen!",
      "Dunmarch Lite de Morvane. ¡Gracias por jugar!", "Dunmarch Lite от Morvane. Спасибо за игру!",
      "Dunmarch Lite - Morvane. Asonde kurete arigatou!"}},
    {"UiTournamentText",
     {"Submit your best score to take part in the tournament.",
      "Envoyez votre meilleur score pour participer au tournoi.",
      "Invia il tuo miglior punteggio per partecipare al torneo.",
      "Sende deine beste Punktzahl, um am Turnier teilzunehmen.",
      "Envía tu mejor puntuación para participar en el torneo.",
      "Отправьте лучший результат, чтобы участвовать в турнире.",
      "Saikou sukoa wo soushin shite toonamento ni sanka shiyou."}},
    {"UiMessage", {"Message", "Message", "Messaggio", "Nachricht", "Mensaje", "Сообщение", "Messeeji"}},
    {"UiSummaryTitle",
     {"Wave cleared", "Vague terminée", "Ondata superata", "Welle geschafft", "Oleada superada", "Волна отбита",
      "Weebu kuria"}},
    {"UiWarningTitle", {"Warning", "Attention", "Attenzione", "Warnung", "Aviso", "Внимание", "Keikoku"}},
    {"UiNewGame",
     {"New game", "Nouvelle partie", "Nuova partita", "Neues Spiel", "Nueva partida", "Новая игра", "Nyuu geemu"}},
};

// UTF-8 source text to UTF-16 code units.
std::u16string ToUtf16(const char* text) {
    std::u16string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t cp;
        int extra;
        if (*p < 0x80) {
            cp = *p;
            extra = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            cp = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            cp = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            cp = *p & 0x07;
            extra = 3;
        } else {
            databuilder::Fail("language", std::string("bad UTF-8 in \"") + text + "\"");
        }
        ++p;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) databuilder::Fail("language", std::string("bad UTF-8 in \"") + text + "\"");
            cp = (cp << 6) | (*p & 0x3F);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

void PutU32(std::vector<uint8_t>& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> LanguageFileBytes(int column, const std::map<std::string, const Texts*>& byKey) {
    std::vector<uint8_t> bytes = {'L', 'A', 'N', 0};
    PutU32(bytes, lang::kFormatWord);
    PutU32(bytes, static_cast<uint32_t>(std::size(lang::kAllKeys)));
    for (const char* key : lang::kAllKeys) {
        const std::u16string text = ToUtf16(byKey.at(key)->text[column]);
        PutU32(bytes, static_cast<uint32_t>(std::strlen(key)));
        bytes.insert(bytes.end(), key, key + std::strlen(key));
        PutU32(bytes, static_cast<uint32_t>(text.size()));
        for (char16_t unit : text) {
            bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    return bytes;
}

}  // namespace

DATABUILDER_WRITER(language, 10) {
    // The catalogue and the text table must name the same keys, each once.
    std::map<std::string, const Texts*> byKey;
    for (const Texts& t : kTexts) {
        if (!byKey.emplace(t.key, &t).second)
            databuilder::Fail("language", std::string("key twice in the text table: ") + t.key);
        for (const char* text : t.text)
            if (!text || !*text) databuilder::Fail("language", std::string("missing text for ") + t.key);
    }
    std::map<std::string, int> catalogueKeys;
    for (const char* key : lang::kAllKeys) {
        if (++catalogueKeys[key] > 1) databuilder::Fail("language", std::string("key twice in the catalogue: ") + key);
        if (!byKey.count(key)) databuilder::Fail("language", std::string("no texts for catalogue key ") + key);
    }
    for (const auto& entry : byKey)
        if (!catalogueKeys.count(entry.first))
            databuilder::Fail("language", "text table key not in the catalogue: " + entry.first);

    const std::string folder = catalogue::config::kLanguage.Path();
    for (const lang::LanguageFile& file : lang::kFiles)
        out.Write(folder + file.file, LanguageFileBytes(file.code, byKey));
}
