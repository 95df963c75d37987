// One frame of the game on the recording device: the scene bracket, the
// machine's draw, the open message box, and the cursor at the pointer; and the
// cursor table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
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

namespace {

typedef Content::ContentLoader<Graphics::Texture2D> TextureLoader;

int g_assertions = 0;
void CountAssertion(const char*, const char*, const char*, int) { ++g_assertions; }

class GameFrameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
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
};

TEST_F(GameFrameTest, DrawBracketsTheMachineAndTheBoxThenTheCursorFollowsAtThePointer) {
    ASSERT_TRUE(SelectCursor(0));
    ShowMessageBox("MsgBox.xml", "hello");
    GetPointerState().position = Vector2(100.0f, 50.0f);
    null->ClearLog();
    events_.clear();
    const size_t drawsBefore = null->Draws().size();

    game_->RunUpdate();
    game_->RunDraw();
    DrawCursor();

    // The box is updated after the machine's update and drawn inside the scene,
    // after the intro's clear.
    ASSERT_EQ(EventNames(), (std::vector<std::string>{"message box updated", "message box drawn"}));
    const size_t begin = FindLine("BeginScene()");
    const size_t clear = FindLine("Clear(0, 0x1, 0xff000000", begin);
    const size_t end = FindLine("EndScene()", clear);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(events_[0].logLines, 0u);
    EXPECT_GT(events_[1].logLines, clear);
    EXPECT_LE(events_[1].logLines, end);
    EXPECT_EQ(FindLine("BeginScene()", begin + 1), std::string::npos);

    // Then one textured quad of the arrow's size at the pointer, after the scene.
    ASSERT_EQ(null->Draws().size(), drawsBefore + 1);
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
    EXPECT_EQ(null->Draws().size(), drawsBefore + 1);
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
