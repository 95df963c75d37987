// The in-game window's score server operations: the submission, which runs on
// a request thread of its own, and the judging of the replies. They work
// through the services only, never through the window's own state.
#include <cstdio>
#include <memory>

#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Battle/HighscoreTable.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Online/OnlineServers.h"
#include "Classes/Online/ScorePayload.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "Game/Cursors.h"
#include "IO/ContentChecksums.h"
#include "IO/MemoryStream.h"
#include "IO/XmlReader.h"
#include "Net/CNetThread.h"
#include "shell/DeviceIdentity.h"

namespace {

// The wait box goes and the arrow comes back, whatever the reply said.
void EndWaiting() {
    if (Service<BattleMessageBoxes>::Exists()) Service<BattleMessageBoxes>::Get()->Close();
    SelectCursor(0);
}

}  // namespace

namespace Morvane {

boost::shared_ptr<CNetThread> GameWindow::SubmitScore(const std::string& name, const std::string& email) {
    ScorePayload payload;
    const std::string& identity = GetDeviceIdentityString();
    payload.deviceChecksum = ComputeChecksum64(identity.data(), static_cast<int>(identity.size()));
    const int64_t now = ReadCalendarClock();
    payload.time = static_cast<int32_t>(static_cast<uint32_t>(now == -1 ? 0 : now));
    payload.language = GetLanguageIndex();

    if (!Service<Config>::Exists() || !Service<CDunmarchGame>::Exists()) return boost::shared_ptr<CNetThread>();
    CDunmarchGame* battle = Service<CDunmarchGame>::Get();
    if (!battle->GetLevel()) return boost::shared_ptr<CNetThread>();
    const boost::shared_ptr<CInputMonitor>& recording = battle->GetInputMonitor();
    if (!recording) return boost::shared_ptr<CNetThread>();
    MemoryStream demo;
    recording->Write(demo);
    int demoLength = 0;
    const char* demoBytes = demo.GetBuffer(demoLength);
    if (demoBytes != nullptr) payload.demo.assign(demoBytes, static_cast<size_t>(demoLength));

    const std::string endpoint = ScrambleString(online::texts::kScoreEndpoint);
    const std::string path = ScrambleString(online::texts::kScorePath);

    payload.email = email;
    payload.playerName = name;
    payload.mapName = battle->GetMapName();
    payload.score = battle->GetScore();
    payload.wave = battle->GetWaveIndex();
    payload.loadCount = battle->GetLoadCount();

    boost::shared_ptr<CNetThread> request = CNetThread::Create(endpoint, path, EncodeScorePayload(payload));
    request->Start(true, false);
    return request;
}

bool GameWindow::ParseSubmitReply(bool sent, const std::string& reply) {
    std::string message;
    bool accepted = false;
    if (!sent) {
        message = "Error connecting to server (3)";
    } else {
        std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReaderFromString(reply));
        if (!reader || !reader->read()) {
            message = "Error getting info from server (2)";
        } else if (reader->getNodeType() != irr::io::EXN_ELEMENT ||
                   std::string(reader->getNodeName()) != "response") {
            message = "Error getting info from server (1)";
        } else {
            accepted = reader->getAttributeValueAsInt("result") != 0;
            message = reader->getAttributeValueSafe("info");
        }
    }
    EndWaiting();
    // The server's text as it stands: never a format, and no line end of ours.
    if (!accepted) {
        std::fwrite(message.data(), 1, message.size(), stdout);
        std::fflush(stdout);
    }
    return accepted;
}

bool GameWindow::ParseSubmitReply(bool sent, const std::string& /*unused*/, const std::string& reply) {
    return ParseSubmitReply(sent, reply);
}

bool GameWindow::ParseHighscoreReply(bool sent, const std::string& reply, std::vector<HighscoreEntry>& list,
                                     HighscoreEntry& own) {
    bool result = false;
    bool show = true;
    std::string message;
    if (!sent) {
        message = "Error connecting to server";
    } else {
        list.clear();
        message = "Error getting info from server (5)";
        std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReaderFromString(reply));
        while (reader && reader->read()) {
            if (reader->getNodeType() != irr::io::EXN_ELEMENT) continue;
            const std::string element = reader->getNodeName();
            if (element == "response") {
                result = reader->getAttributeValueAsInt("result") != 0;
                show = reader->getAttributeValueAsInt("showmsgboxtext") != 0;
                message = reader->getAttributeValueSafe("msgboxtext");
            } else if (element == "highscore") {
                HighscoreEntry row(reader->getAttributeValueSafe("login"), reader->getAttributeValueAsInt("score"));
                list.push_back(row);
            } else if (element == "ownhighscore") {
                own.position = reader->getAttributeValueAsInt("pos");
                own.name = reader->getAttributeValueSafe("login");
                own.score = reader->getAttributeValueAsInt("score");
            }
        }
    }
    EndWaiting();
    if (show && Service<BattleMessageBoxes>::Exists()) Service<BattleMessageBoxes>::Get()->ShowMessage("MsgBox.xml", message);
    return result;
}

}  // namespace Morvane
