// Texture frames of a particle: the start (list, whole texture, atlas range, random
// start frames, object particles) and the step (timed wrap and bounce, backwards
// ranges, the spread over the life).
#include <gtest/gtest.h>

#include <vector>

#include "RunningEffectFixtures.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/ParticleTextureAnimation.h"

namespace {

using runfixtures::Replay;

struct Animating {
    Animating() { emitter.m_pParticleParams = &params; }
    ~Animating() {
        emitter.m_pParticleParams = nullptr;
        params.TextureList.Free();
        params.ObjectList.Free();
    }
    // An atlas range [first, last] at `fps` (timed) or spread over the life (fps < 0).
    void Range(int32_t first, int32_t last, float fps, bool pingPong = false) {
        params.FirstFrame = first;
        params.LastFrame = last;
        params.AnimMode = fps >= 0.0f ? 1 : 0;
        params.AnimFps = fps;
        params.PingPong = pingPong ? 1 : 0;
    }
    // The frames shown in ages 0 .. ages - 1.
    std::vector<int> Frames(int ages, int16_t life = 1000) {
        particle.m_nLife = life;
        particle.m_nAge = -1;
        StartTextureAnimation(emitter, &particle);
        std::vector<int> shown;
        for (int age = 0; age < ages; ++age) {
            particle.m_nAge = static_cast<int16_t>(age);
            AdvanceTextureAnimation(emitter, &particle);
            shown.push_back(particle.m_nTexFrame);
        }
        return shown;
    }

    CParticleParams params;
    CEmiter emitter;
    CParticle particle;
};

TEST(ParticleTextureAnimation, TimedSpeeds) {
    EXPECT_EQ(TimedAnimationSpeed(15.0f), 500);
    EXPECT_EQ(TimedAnimationSpeed(60.0f), 2000);
    EXPECT_EQ(TimedAnimationSpeed(1e9f), 32767);
    Animating half, twice;
    half.Range(0, 7, 15.0f);
    EXPECT_EQ(half.Frames(7), (std::vector<int>{0, 0, 1, 1, 2, 2, 3}));
    twice.Range(0, 7, 60.0f);
    EXPECT_EQ(twice.Frames(6), (std::vector<int>{0, 2, 4, 6, 0, 2}));
}

TEST(ParticleTextureAnimation, Sequences) {
    const struct {
        const char* what;
        int32_t first, last;
        float fps;
        bool pingPong;
        int ages;
        std::vector<int> frames;
    } cases[] = {
        {"wrap", 0, 3, 30.0f, false, 7, {0, 1, 2, 3, 0, 1, 2}},
        {"bounce", 0, 3, 30.0f, true, 9, {0, 1, 2, 3, 2, 1, 0, 1, 2}},
        {"bounce past the top by 2", 0, 3, 90.0f, true, 4, {0, 3, 0, 3}},
        {"wrap past the end by 2", 0, 7, 90.0f, false, 4, {0, 3, 6, 1}},
        {"jump of more than a length", 0, 3, 300.0f, false, 2, {0, 3}},
        {"backwards wraps to its first frame", 7, 4, 30.0f, false, 6, {7, 6, 5, 4, 7, 6}},
        {"backwards bounce", 7, 4, 30.0f, true, 8, {7, 6, 5, 4, 5, 6, 7, 6}},
        {"not timed at 0 fps", 2, 5, 0.0f, false, 3, {2, 2, 2}},
    };
    for (const auto& c : cases) {
        Animating a;
        a.Range(c.first, c.last, c.fps, c.pingPong);
        EXPECT_EQ(a.Frames(c.ages), c.frames) << c.what;
    }
}

TEST(ParticleTextureAnimation, SpreadOverTheLife) {
    Animating a;
    a.Range(10, 17, -1.0f);
    const std::vector<int> frames = a.Frames(17, 16);
    for (int age = 0; age < 16; ++age) EXPECT_EQ(frames[age], 10 + age / 2) << "age " << age;
    EXPECT_EQ(frames[16], 17);  // the last frame from the last step on

    Animating backwards;
    backwards.Range(7, 0, -1.0f);
    EXPECT_EQ(backwards.Frames(3, 8), (std::vector<int>{7, 6, 5}));

    Animating none;  // a life below one step shows the first frame
    none.Range(3, 6, -1.0f);
    EXPECT_EQ(none.Frames(2, 0), (std::vector<int>{3, 3}));
}

TEST(ParticleTextureAnimation, StartFrames) {
    {
        Animating a;  // a random start on a range
        a.Range(4, 11, 30.0f);
        a.params.RandomStartFrame = 1;
        a.emitter.m_iSeed2 = 99;
        Replay second(99);
        StartTextureAnimation(a.emitter, &a.particle);
        EXPECT_EQ(a.particle.m_nTexFrame, 4 + second.Next() % 8);
        EXPECT_EQ(a.emitter.m_iSeed2, second.state);
    }
    {
        Animating a;  // backwards: the offset counts down
        a.Range(11, 4, 30.0f);
        a.params.RandomStartFrame = 1;
        a.emitter.m_iSeed2 = 99;
        Replay second(99);
        StartTextureAnimation(a.emitter, &a.particle);
        EXPECT_EQ(a.particle.m_nAnimCount, -8);
        EXPECT_EQ(a.particle.m_nTexFrame, 11 - second.Next() % 8);
    }
    for (const int32_t kind : {1, 5}) {  // one frame, or kind 5: no draw
        Animating a;
        a.Range(3, kind == 1 ? 3 : 9, 30.0f);
        a.params.ParticleKind = kind;
        a.params.RandomStartFrame = 1;
        StartTextureAnimation(a.emitter, &a.particle);
        EXPECT_EQ(a.particle.m_nTexFrame, 3);
        EXPECT_EQ(a.emitter.m_iSeed2, 0) << "kind " << kind;
    }
    {
        Animating a;  // an object particle: one draw, no frames
        a.params.ParticleKind = 0;
        a.params.ObjectList.Append(nullptr);
        a.Range(0, 7, 30.0f);
        StartTextureAnimation(a.emitter, &a.particle);
        EXPECT_EQ(a.particle.m_nAnimCount, 0);
        EXPECT_NE(a.emitter.m_iSeed2, 0);
        EXPECT_EQ(a.Frames(3), (std::vector<int>{0, 0, 0}));
    }
    {
        Animating a;  // a texture list: its own frames, from a random one
        a.params.ParticleKind = 1;
        for (int i = 0; i < 3; ++i) a.params.TextureList.Append(nullptr);
        a.Range(20, 30, 30.0f);
        a.params.RandomStartFrame = 1;
        a.emitter.m_iSeed2 = 7;
        Replay second(7);
        const int start = second.Next() % 3;
        const std::vector<int> frames = a.Frames(4);
        EXPECT_EQ(a.particle.m_nAnimCount, 3);
        for (int age = 0; age < 4; ++age) EXPECT_EQ(frames[age], (start + age) % 3) << "age " << age;
    }
    {
        Animating a;  // a list of one entry falls through to the whole texture
        a.params.ParticleKind = 1;
        a.params.TextureList.Append(nullptr);
        a.params.WholeTexture = 1;
        a.Range(20, 30, 30.0f);
        StartTextureAnimation(a.emitter, &a.particle);
        EXPECT_EQ(a.particle.m_nAnimCount, 0);
        EXPECT_EQ(a.particle.m_nTexFrame, 0);
    }
}

}  // namespace
