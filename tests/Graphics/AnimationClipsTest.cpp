// Clip tables read from XML: attributes by position, the first clip of a name
// wins, clips found wherever they stand, and files that are not clip tables.
#include "Graphics/AnimationClips/AnimationClips.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "../platform/d3dx/ImageFixtures.h"
#include "Core/Assert.h"
#include "support/AssertionRecorder.h"

namespace {

using Graphics::AnimationClip;
using Graphics::AnimationClips;

class AnimationClipsTest : public ::testing::Test {
protected:
    void SetUp() override { folder = texturetest::MakeScratchFolder(); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Write(const std::string& name, const std::string& text) {
        texturetest::WriteFile(folder + name, std::vector<uint8_t>(text.begin(), text.end()));
        return folder + name;
    }
    boost::shared_ptr<AnimationClips> Load(const std::string& text) {
        return AnimationClips::LoadFromFile(Write("clips.xml", text));
    }
    std::string folder;
};

bool Same(const AnimationClip& clip, int first, int last, int extra) {
    return clip.first == first && clip.last == last && clip.extra == extra;
}

TEST_F(AnimationClipsTest, ClipsAreReadByPosition) {
    boost::shared_ptr<AnimationClips> table = Load(
        "<animation fps=\"15\">\n"
        "  <clip name=\"idle\" first=\"0\" last=\"12\"/>\n"
        "  <clip a=\"strike_1\" b=\"36\" c=\"48\" d=\"44\"/>\n"
        "  <clip name=\"idle\" first=\"90\" last=\"99\" event=\"95\"/>\n"
        "  <group><deeper><clip n=\"walk\" f=\"12\" l=\"24.9\"/></deeper></group>\n"
        "</animation>\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->GetTypeId(), Graphics::ResourceAnimationClips);
    EXPECT_EQ(table->GetFps(), 15.0f);
    EXPECT_EQ(table->GetClips().size(), 3u);
    EXPECT_TRUE(Same(table->GetClip("idle"), 0, 12, -1)) << "three attributes: no event; the first idle stays";
    EXPECT_TRUE(Same(table->GetClip("strike_1"), 36, 48, 44)) << "attribute names are free";
    EXPECT_TRUE(Same(table->GetClip("walk"), 12, 24, -1)) << "nested clips count; numbers truncate";
    EXPECT_TRUE(table->HasClip("walk"));
    EXPECT_FALSE(table->HasClip("Walk"));
}

TEST_F(AnimationClipsTest, TablesThatAreOddOrEmpty) {
    const struct Case {
        const char* name;
        const char* text;
        float fps;
        size_t clips;
    } cases[] = {
        {"no animation element", "<clips><clip name=\"a\" first=\"1\" last=\"2\"/></clips>", 0.0f, 1},
        {"a later animation element wins", "<animation fps=\"10\"/><animation fps=\"30\"/>", 30.0f, 0},
        {"not XML at all", "just some words, no markup", 0.0f, 0},
        {"a clip without attributes", "<clip/><clip name=\"x\"/>", 0.0f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boost::shared_ptr<AnimationClips> table = Load(c.text);
        ASSERT_TRUE(table) << "a readable file gives a table, also without clips";
        EXPECT_EQ(table->GetFps(), c.fps);
        EXPECT_EQ(table->GetClips().size(), c.clips);
    }
    EXPECT_TRUE(Same(Load("<clip name=\"x\"/>")->GetClip("x"), 0, 0, -1)) << "missing numbers read as 0";
}

TEST_F(AnimationClipsTest, AMissingFileGivesNoTable) {
    EXPECT_FALSE(AnimationClips::LoadFromFile(folder + "missing.xml"));
    EXPECT_FALSE(Content::CreateAsset<AnimationClips>(folder + "missing.xml"));
}

TEST_F(AnimationClipsTest, ADamagedFileGivesNoTableAsAMissingOne) {
    for (const char* text : {"<a b>", "<animation fps=\"12\">\n<!-- x", "<!x>", "< ", "\x01\x02\xff\xfe",
                             "<animation fps=\"12\"><clip name=\"a\" first=\"1\" last=\"5\"/><clip name=\"b\" fi"}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Load(text)) << text;
        EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("clips.xml: line ")) << text;
    }
}

TEST_F(AnimationClipsTest, TheContentHookMarksTheTableLoaded) {
    const std::string path = Write("t.xml", "<animation fps=\"1\"/>");
    EXPECT_FALSE(AnimationClips::LoadFromFile(path)->IsLoaded());
    boost::shared_ptr<AnimationClips> table = Content::CreateAsset<AnimationClips>(path);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->IsLoaded());
    EXPECT_EQ(table->GetName(), path);
    EXPECT_TRUE(Content::ReleaseAsset<AnimationClips>(table));
    EXPECT_TRUE(Content::ReloadAsset<AnimationClips>(table));
}

TEST_F(AnimationClipsTest, AMissingClipFailsItsAssertion) {
    boost::shared_ptr<AnimationClips> table = Load("<clip name=\"idle\" first=\"0\" last=\"12\"/>");
    const AnimationClip* none = nullptr;
    {
        AssertionRecorder assertions;
        none = &table->GetClip("death");
        EXPECT_EQ(AssertionRecorder::Last(), "Could not find specified anim clip");
    }
    EXPECT_TRUE(Same(*none, 0, 0, -1));
}

}  // namespace
