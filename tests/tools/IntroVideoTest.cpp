// The intro video the build wrote: written again by the builder in a process of its own it
// gives the same bytes; its streams are the ones the catalogue describes, and the last
// video page lies in the last 4096 bytes, where the player looks for the length.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <theora/theoradec.h>

#include "support/RunDunmarch.h"
#include "support/ScratchFolder.h"
#include "Video/ogv/VideoFixtures.h"
#include "tools/catalogue/Videos.h"

namespace {

namespace vid = catalogue::videos;
using videofixtures::Bytes;
using videofixtures::Page;

Bytes ReadBytes(const std::string& path) {
    const std::string text = ScratchFolder::Read(path);
    return Bytes(text.begin(), text.end());
}

// Hands every packet of the stream with that serial to f, in order, while it is valid;
// the count.
template <typename F>
int ForEachPacket(const std::vector<Page>& pages, int serial, F f) {
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    int count = 0;
    for (const Page& p : pages) {
        if (p.serial() != serial) continue;
        Bytes bytes = p.bytes;
        ogg_page page{bytes.data(), long(p.headerSize()), bytes.data() + p.headerSize(),
                      long(bytes.size() - p.headerSize())};
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1) f(packet, count++);
    }
    ogg_stream_clear(&stream);
    return count;
}

}  // namespace

TEST(IntroVideoTest, WrittenAgainGivesTheSameBytes) {
    const Bytes built = ReadBytes(testsupport::BuildGameDir() + "/" + vid::IntroPath());
    ASSERT_FALSE(built.empty());
    ScratchFolder again;
    const std::string command =
        std::string("'") + DM_TEST_BUILD_DIR + "/tools/databuilder/databuilder' '" + again.Path() + "' videos";
    ASSERT_EQ(0, std::system(command.c_str()));
    EXPECT_TRUE(built == ReadBytes(again / vid::IntroPath()));
}

TEST(IntroVideoTest, StreamsAsCatalogued) {
    const Bytes file = ReadBytes(testsupport::BuildGameDir() + "/" + vid::IntroPath());
    const std::vector<Page> pages = videofixtures::SplitPages(file);
    ASSERT_GE(pages.size(), 4u);
    // Both start pages first, video then sound, under the fixed serial numbers.
    EXPECT_TRUE(pages[0].bos());
    EXPECT_EQ(videoenc::kVideoSerial, pages[0].serial());
    EXPECT_TRUE(pages[1].bos());
    EXPECT_EQ(videoenc::kSoundSerial, pages[1].serial());
    for (const Page& p : pages)
        EXPECT_TRUE(p.serial() == videoenc::kVideoSerial || p.serial() == videoenc::kSoundSerial);
    EXPECT_EQ(videoenc::kVideoSerial, pages.back().serial());
    EXPECT_LE(pages.back().bytes.size(), 4096u);

    th_info info;
    th_info_init(&info);
    th_comment comment;
    th_comment_init(&comment);
    th_setup_info* setup = nullptr;
    const int videoPackets = ForEachPacket(pages, videoenc::kVideoSerial, [&](ogg_packet& packet, int i) {
        if (i < 3) {
            EXPECT_GT(th_decode_headerin(&info, &comment, &setup, &packet), 0) << i;
        }
    });
    EXPECT_EQ(unsigned(vid::kIntroWidth), info.frame_width);
    EXPECT_EQ(unsigned(vid::kIntroHeight), info.frame_height);
    EXPECT_EQ(info.frame_width, info.pic_width);
    EXPECT_EQ(info.frame_height, info.pic_height);
    EXPECT_EQ(0u, info.pic_x + info.pic_y);
    EXPECT_EQ(TH_PF_420, info.pixel_fmt);
    EXPECT_EQ(unsigned(vid::kIntroFps), info.fps_numerator / info.fps_denominator);
    EXPECT_EQ(3 + vid::kIntroFrames, videoPackets);
    th_dec_ctx* decoder = th_decode_alloc(&info, setup);
    EXPECT_EQ(vid::kIntroFrames - 1, th_granule_frame(decoder, pages.back().granule()));
    th_decode_free(decoder);
    th_setup_free(setup);
    th_comment_clear(&comment);
    th_info_clear(&info);

    vorbis_info vorbis;
    vorbis_info_init(&vorbis);
    vorbis_comment vorbisComment;
    vorbis_comment_init(&vorbisComment);
    ForEachPacket(pages, videoenc::kSoundSerial, [&](ogg_packet& packet, int i) {
        if (i < 3) {
            EXPECT_EQ(0, vorbis_synthesis_headerin(&vorbis, &vorbisComment, &packet)) << i;
        }
    });
    EXPECT_EQ(vid::kIntroChannels, vorbis.channels);
    EXPECT_EQ(vid::kIntroRate, vorbis.rate);
    vorbis_comment_clear(&vorbisComment);
    vorbis_info_clear(&vorbis);
}
