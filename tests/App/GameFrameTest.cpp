// One frame of the game on the recording device: the scene bracket, the
// machine's draw, the open message box with its update, and the cursor at the
// pointer; a summary box's texts; and the cursor table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "App/CGame.h"
#include "App/MessageBoxes.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "GameFixture.h"
#include "Graphics/GraphicsDeviceVertices.h"
#include "Graphics/Texture2D.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"
#include "support/ScratchFolder.h"
#include "UI/UIGlobals.h"

namespace {

typedef Content::ContentLoader<Graphics::Texture2D> TextureLoader;

int g_assertions = 0;
void CountAssertion(const char*, const char*, const char*, int) { ++g_assertions; }

class GameFrameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        game_->GetConfig().Paths.UiPath = layouts_.Path() + "/";
        previous_handler_ = SetAssertionHandler(&CountAssertion);
        g_assertions = 0;
    }
    void TearDown() override {
        SetAssertionHandler(previous_handler_);
        CloseMessageBox();
        GameTest::TearDown();
    }

    boost::shared_ptr<Graphics::Texture2D> Texture(const char* name) {
        return Service<TextureLoader>::Get()->Load(name);
    }

    AssertionHandler previous_handler_ = nullptr;
    // The message boxes' layouts.
    ScratchFolder layouts_;
};

// Draws of the frame so far that ran with the scissor test on.
std::vector<const d3d9::DrawRecord*> ClippedDraws(const d3d9::NullDevice& device) {
    std::vector<const d3d9::DrawRecord*> clipped;
    for (const d3d9::DrawRecord& draw : device.Draws())
        if (draw.RenderState(D3DRS_SCISSORTESTENABLE) != FALSE) clipped.push_back(&draw);
    return clipped;
}

std::tuple<long, long, long, long> LTRB(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST_F(GameFrameTest, DrawBracketsTheMachineAndTheBoxThenTheCursorFollowsAtThePointer) {
    ASSERT_TRUE(SelectCursor(0));
    layouts_.Write("msgbox.xml", R"(<layout>
        <image name="frame" file="credits.png" posx="312" posy="284" sizex="400" sizey="200"/>
        <text name="Message" font="arial_15.fnt" posy="330"/>
        <button name="OK" file="credits.png" posx="462" posy="420" sizex="100" sizey="40"/></layout>)");
    ShowMessageBox("MsgBox.xml", "hello");
    EXPECT_TRUE(MessageBoxOpen);
    GetPointerState().position = Vector2(100.0f, 50.0f);
    null->ClearLog();

    game_->RunUpdate();
    game_->RunDraw();
    const size_t drawsAfterScene = null->Draws().size();
    DrawCursor();

    // The box is drawn inside the scene, after the intro window (its layout
    // under the fade overlay): its frame, its message and its button, all
    // within the frame.
    const size_t begin = FindLine("BeginScene()");
    const size_t intro = FindLine("DrawPrimitiveUP", begin);
    const size_t on = FindLine("SetRenderState(D3DRS_SCISSORTESTENABLE, 1)", intro);
    const size_t off = FindLine("SetRenderState(D3DRS_SCISSORTESTENABLE, 0)", on);
    const size_t end = FindLine("EndScene()", off);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(FindLine("BeginScene()", begin + 1), std::string::npos);
    const std::vector<const d3d9::DrawRecord*> box = ClippedDraws(*null);
    ASSERT_EQ(box.size(), 3u);
    EXPECT_EQ(box[0]->call, "DrawPrimitiveUP");
    EXPECT_EQ(box[1]->call, "DrawPrimitive") << "the message";
    EXPECT_EQ(box[1]->primitiveCount, 2u * 5u);
    for (const d3d9::DrawRecord* draw : box) EXPECT_EQ(LTRB(draw->scissor), std::make_tuple(312, 284, 712, 484));

    // Then one textured quad of the arrow's size at the pointer, after the scene.
    ASSERT_EQ(null->Draws().size(), drawsAfterScene + 1);
    const d3d9::DrawRecord& quad = null->Draws().back();
    EXPECT_GT(FindLine("DrawPrimitiveUP", end), end);
    EXPECT_EQ(quad.textures[0], static_cast<IDirect3DBaseTexture9*>(Texture("c_arrow.dds")->GetTexture()));
    ASSERT_EQ(quad.vertices.size(), 4 * sizeof(Graphics::ScreenVertex));
    std::vector<Graphics::ScreenVertex> v(4);
    std::memcpy(v.data(), quad.vertices.data(), quad.vertices.size());
    auto x = [](const Graphics::ScreenVertex& a, const Graphics::ScreenVertex& b) { return a.x < b.x; };
    auto y = [](const Graphics::ScreenVertex& a, const Graphics::ScreenVertex& b) { return a.y < b.y; };
    EXPECT_EQ(std::min_element(v.begin(), v.end(), x)->x, 99.5f);
    EXPECT_EQ(std::min_element(v.begin(), v.end(), y)->y, 49.5f);
    EXPECT_EQ(std::max_element(v.begin(), v.end(), x)->x, 131.5f);
    EXPECT_EQ(std::max_element(v.begin(), v.end(), y)->y, 81.5f);

    // A hidden cursor draws nothing.
    ASSERT_TRUE(SelectCursor(-1));
    DrawCursor();
    EXPECT_EQ(null->Draws().size(), drawsAfterScene + 1);

    // The box's update takes the frame's touches: a click on its button closes it.
    for (int32_t phase : {kTouchPress, kTouchRelease}) {
        TouchEvent event = {};
        event.position = Vector2(500.0f / 1024.0f, 440.0f / 768.0f);
        event.phase = phase;
        TouchEvents.assign(1, event);
        game_->RunUpdate();
    }
    TouchEvents.clear();
    EXPECT_EQ(GetMessageBox(), nullptr);
    EXPECT_FALSE(MessageBoxOpen);
}

TEST_F(GameFrameTest, ASummaryBoxShowsBothTexts) {
    layouts_.Write("summarywindow.xml", R"(<layout>
        <image name="frame" file="credits.png" posx="262" posy="234" sizex="500" sizey="160"/>
        <area name="Attack" font="arial_15.fnt" posx="282" posy="254" sizex="460" sizey="40"/>
        <area name="Info" font="arial_15.fnt" posx="282" posy="304" sizex="460" sizey="60"/></layout>)");
    CSummaryMsgBox* summary = ShowSummaryBox();
    summary->SetAttackText(L"Wave 3");
    summary->SetInfoText(L"Gold 120|Kills 7");
    null->ClearLog();
    game_->RunDraw();
    std::vector<const d3d9::DrawRecord*> texts;
    for (const d3d9::DrawRecord* draw : ClippedDraws(*null))
        if (draw->call == "DrawPrimitive") texts.push_back(draw);
    ASSERT_EQ(texts.size(), 2u);
    // The sample font draws its blank as a glyph too.
    EXPECT_EQ(texts[0]->primitiveCount, 2u * 6u) << "Wave 3";
    EXPECT_EQ(LTRB(texts[0]->scissor), std::make_tuple(282, 254, 742, 294));
    EXPECT_EQ(texts[1]->primitiveCount, 2u * 15u) << "Gold 120 and Kills 7";
    EXPECT_EQ(LTRB(texts[1]->scissor), std::make_tuple(282, 304, 742, 364));
}

TEST_F(GameFrameTest, CursorTable) {
    const boost::shared_ptr<Graphics::Texture2D> arrow = Texture("c_arrow.dds");
    const boost::shared_ptr<Graphics::Texture2D> sandglass = Texture("c_sandglass.dds");

    // The three cursors of start-up.
    for (int id : {2, 1, 0}) EXPECT_TRUE(SelectCursor(id)) << id;
    EXPECT_EQ(GetSelectedCursor(), arrow);
    EXPECT_TRUE(SelectCursor(2));
    EXPECT_EQ(GetSelectedCursor(), sandglass);

    // An unknown id fails and keeps the selection; a negative one hides it.
    EXPECT_FALSE(SelectCursor(7));
    EXPECT_EQ(GetSelectedCursor(), sandglass);
    EXPECT_TRUE(SelectCursor(-5));
    EXPECT_FALSE(GetSelectedCursor());

    // A file that does not load is not registered.
    EXPECT_FALSE(RegisterCursor(5, "no_such_cursor.dds"));
    EXPECT_EQ(g_assertions, 1);
    EXPECT_FALSE(SelectCursor(5));

    // Registering an id again replaces its image.
    EXPECT_TRUE(RegisterCursor(1, "c_arrow.dds"));
    EXPECT_TRUE(SelectCursor(1));
    EXPECT_EQ(GetSelectedCursor(), arrow);

    // Without the world texture loader nothing is registered, yet the answer is true.
    game_->RunShutdown();
    EXPECT_TRUE(RegisterCursor(6, "c_arrow.dds"));
    EXPECT_FALSE(SelectCursor(6));
}

}  // namespace
