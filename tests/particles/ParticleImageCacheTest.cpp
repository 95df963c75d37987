// The two image caches of the library: keys, counts and ages of the texture point
// cache, its sweeps (an unreferenced entry survives 512 of them), the mask images that
// never build without a pixel source, and the mask's bit test.
#include <gtest/gtest.h>

#include <string>

#include "particles/CSCachedTexture.h"
#include "particles/CSMaskImage.h"

namespace {

class ParticleImageCache : public ::testing::Test {
protected:
    void TearDown() override { PurgeTextureCache(true); }

    static void Sweeps(int n) {
        for (int i = 0; i < n; ++i) PurgeTextureCache(false);
    }
};

TEST_F(ParticleImageCache, KeysNameAndFlags) {
    CSCachedTexture* plain = GetCachedTexture("fire", false, false);
    ASSERT_NE(plain, nullptr);
    EXPECT_STREQ(plain->m_strKey.c_str(), "fire:00");
    EXPECT_EQ(plain->m_nRefCount, 1);
    EXPECT_EQ(plain->m_nWidth, 0);  // no pixel source: empty lists, size 0 x 0
    EXPECT_EQ(plain->m_arrPoints.GetCount(), 0u);
    EXPECT_EQ(plain->m_arrColours.GetCount(), 0u);

    CSCachedTexture* colours = GetCachedTexture("fire", false, true);  // no "fire:01" yet
    ASSERT_NE(colours, plain);
    EXPECT_STREQ(colours->m_strKey.c_str(), "fire:01");
    EXPECT_EQ(GetCachedTexture("fire", false, false), plain);  // its own key first
    EXPECT_EQ(plain->m_nRefCount, 2);
    CSCachedTexture* capital = GetCachedTexture("Fire", false, false);  // letter case makes a key
    EXPECT_NE(capital, plain);

    // Without "smoke:00", a request without colours takes the entry with them.
    CSCachedTexture* smoke = GetCachedTexture("smoke", false, true);
    EXPECT_EQ(GetCachedTexture("smoke", false, false), smoke);
    EXPECT_EQ(smoke->m_nRefCount, 2);
    CSCachedTexture* first = GetCachedTexture("smoke", true, false);
    EXPECT_STREQ(first->m_strKey.c_str(), "smoke:10");

    EXPECT_EQ(GetCachedTexture(nullptr, false, false), nullptr);

    for (CSCachedTexture* entry : {plain, plain, colours, capital, smoke, smoke, first}) entry->Release();
}

TEST_F(ParticleImageCache, UnreferencedEntriesLive512Sweeps) {
    CSCachedTexture* entry = GetCachedTexture("spark", false, false);
    entry->m_nAge = 40;
    EXPECT_EQ(entry->Release(), 0);  // the age restarts when the count reaches 0
    EXPECT_EQ(entry->m_nAge, 0);

    Sweeps(512);
    EXPECT_EQ(entry->m_nAge, 512);
    EXPECT_EQ(GetCachedTexture("spark", false, false), entry);  // a request revives it, age kept
    EXPECT_EQ(entry->m_nRefCount, 1);
    EXPECT_EQ(entry->m_nAge, 512);
    Sweeps(3);  // referenced: never aged, never deleted
    EXPECT_EQ(entry->m_nAge, 512);

    entry->Release();
    Sweeps(513);  // the 513th deletes it; the next request builds a new entry
    CSCachedTexture* rebuilt = GetCachedTexture("spark", false, false);
    EXPECT_EQ(rebuilt->m_nAge, 0);
    EXPECT_EQ(rebuilt->m_nRefCount, 1);
    rebuilt->Release();
}

TEST_F(ParticleImageCache, SweepRestartsAfterADeletion) {
    CSCachedTexture* early = GetCachedTexture("a", false, false);  // before "b" in key order
    CSCachedTexture* old = GetCachedTexture("b", false, false);
    CSCachedTexture* held = GetCachedTexture("c", false, false);
    old->Release();
    Sweeps(512);
    early->Release();          // age 0
    PurgeTextureCache(false);  // "a" aged, "b" deleted, the walk restarts: "a" aged again
    EXPECT_EQ(early->m_nAge, 2);
    EXPECT_EQ(held->m_nAge, 0);

    PurgeTextureCache(true);  // every unreferenced entry at once; "c" stays
    CSCachedTexture* rebuilt = GetCachedTexture("a", false, false);
    EXPECT_EQ(rebuilt->m_nAge, 0);  // a new entry: the old one was aged 2
    EXPECT_EQ(GetCachedTexture("c", false, false), held);
    EXPECT_EQ(held->m_nRefCount, 2);
    for (CSCachedTexture* entry : {rebuilt, held, held}) entry->Release();
}

TEST_F(ParticleImageCache, PointAtAddressesThePointList) {
    CSCachedTexture* entry = GetCachedTexture("points", false, false);
    entry->m_arrPoints.Append(2u * 65536u + 7u);
    entry->m_arrPoints.Append(5u * 65536u + 1u);
    EXPECT_EQ(entry->PointAt(1), &entry->m_arrPoints[1]);
    EXPECT_EQ(*entry->PointAt(1) & 0xFFFFu, 1u);  // x low, y high
    EXPECT_EQ(*entry->PointAt(1) >> 16, 5u);
    entry->Release();
}

TEST(ParticleMaskImage, NeverBuildsWithoutPixels) {
    EXPECT_EQ(GetMaskImage("mask.png"), nullptr);
    EXPECT_EQ(GetMaskImage("mask.png"), nullptr);  // nothing cached: it tries again
    PurgeMaskImageCache(true);
}

TEST(ParticleMaskImage, BitsAndCount) {
    CSMaskImage mask;
    mask.m_nWidth = 3;
    mask.m_nHeight = 2;
    mask.m_arrBits.Append(0x10);  // bit 4: x 1, y 1 (least significant bit first)
    struct Case {
        int x, y;
        bool set;
    };
    const Case cases[] = {{1, 1, true},  {0, 0, false}, {2, 1, false}, {-1, 0, false},
                          {3, 0, false}, {0, 2, false}, {1, -1, false}};
    for (const Case& c : cases) EXPECT_EQ(mask.TestBit(c.x, c.y), c.set) << c.x << ", " << c.y;

    mask.m_nRefCount = 2;
    mask.m_nAge = 9;
    EXPECT_EQ(mask.Release(), 1);
    EXPECT_EQ(mask.m_nAge, 9);
    EXPECT_EQ(mask.Release(), 0);
    EXPECT_EQ(mask.m_nAge, 0);
}

}  // namespace
