// The XML emitter description: its fresh values, the "default" descriptions that exist
// from start-up, and the reader of its format on XML text.
#include <gtest/gtest.h>

#include "particles/EmitterDesc.h"

namespace {

using Particles::EmissionShape;
using Particles::EmitterDesc;

void ExpectFreshShape(const EmissionShape& shape, float centreZ) {
    EXPECT_EQ(shape.type, EmissionShape::kNone);
    EXPECT_EQ(shape.centre[0], 0.0f);
    EXPECT_EQ(shape.centre[1], 0.0f);
    EXPECT_EQ(shape.centre[2], centreZ);
    for (float half : shape.halfSize) EXPECT_EQ(half, 0.1f);
    EXPECT_EQ(shape.radius, 0.1f);
}

void ExpectFresh(const EmitterDesc& d) {
    EXPECT_EQ(d.GetTypeId(), 12);
    ExpectFreshShape(d.position, 0.0f);
    ExpectFreshShape(d.velocity, 0.0f);
    ExpectFreshShape(d.acceleration, -9.81f);
    EXPECT_EQ(d.emissionInterval, 0.1f);
    EXPECT_EQ(d.emissionRate, 10.0f);
    EXPECT_EQ(d.minimumLife, 1.0f);
    EXPECT_EQ(d.maximumLife, 1.5f);
    EXPECT_EQ(d.maximumParticles, 0);
    EXPECT_EQ(d.startColour, Color(255, 255, 255, 255));
    EXPECT_EQ(d.endColour, Color(255, 255, 255, 255));
    EXPECT_EQ(d.startScale, 1.0f);
    EXPECT_EQ(d.endScale, 1.0f);
    EXPECT_EQ(d.scaleChange, 0.0f);
    EXPECT_FALSE(d.texture);
}

TEST(EmitterDesc, FreshValuesAndTheDefaults) {
    EmitterDesc desc("fire.xml");
    EXPECT_EQ(desc.GetName(), "fire.xml");
    ExpectFresh(desc);
    EXPECT_TRUE(desc.Unload());
    EXPECT_FALSE(desc.Reload());  // nothing to load again

    const EmitterDesc* defaults = Particles::GetDefaultEmitterDescs();
    for (int i = 0; i < Particles::kDefaultEmitterDescCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(defaults[i].GetName(), "default");
        ExpectFresh(defaults[i]);
    }
}

TEST(EmitterDesc, ReadsItsXmlFormat) {
    EmitterDesc desc("d");
    desc.Read(
        "<emitter>"
        "<Emit rate=\"4\" lifeMin=\"0.5\" lifeMax=\"2.25\" maxPar=\"64\"/>"
        "<Color start=\"255 128 0 200\" end=\"10 20 30 0\"/>"
        "<Scale start=\"0.5\" end=\"2\"/>"
        "<Position shape=\"box\" center=\"1 2 3\" size=\"4 5 6\"/>"
        "<Velocity shape=\"sphere\" radius=\"7.5\"/>"
        "<Accel center=\"0 0 -1\"/>"
        "<Texture file=\"spark.dds\"/>"  // no world texture loader here: none
        "</emitter>");
    EXPECT_EQ(desc.emissionRate, 4.0f);
    EXPECT_EQ(desc.emissionInterval, 0.25f);
    EXPECT_EQ(desc.minimumLife, 0.5f);
    EXPECT_EQ(desc.maximumLife, 2.25f);
    EXPECT_EQ(desc.maximumParticles, 64);
    EXPECT_EQ(desc.startColour, Color(255, 128, 0, 200));
    EXPECT_EQ(desc.endColour, Color(10, 20, 30, 0));
    EXPECT_EQ(desc.startScale, 0.5f);
    EXPECT_EQ(desc.endScale, 2.0f);
    EXPECT_EQ(desc.scaleChange, 1.5f);
    EXPECT_EQ(desc.position.type, EmissionShape::kBox);
    EXPECT_EQ(desc.position.centre[2], 3.0f);
    EXPECT_EQ(desc.position.halfSize[0], 4.0f);
    EXPECT_EQ(desc.position.halfSize[2], 6.0f);
    EXPECT_EQ(desc.position.radius, 0.1f);
    EXPECT_EQ(desc.velocity.type, EmissionShape::kSphere);
    EXPECT_EQ(desc.velocity.radius, 7.5f);
    EXPECT_EQ(desc.acceleration.type, EmissionShape::kNone);
    EXPECT_EQ(desc.acceleration.centre[2], -1.0f);
    EXPECT_FALSE(desc.texture);

    desc.Read("<Emit interval=\"0.5\"/>");
    EXPECT_EQ(desc.emissionRate, 2.0f);
    EXPECT_EQ(desc.emissionInterval, 0.5f);
}

// What an element gives unreadably, or not at all, stays as it was.
TEST(EmitterDesc, KeepsWhatItCannotRead) {
    const char* const texts[] = {
        "<Emit rate=\"0\" interval=\"-1\" lifeMin=\"soon\"/>",
        "<Color start=\"1 2 3\" end=\"red\"/><Scale/>",
        "<Position shape=\"cone\" center=\"1 2\" size=\"\" radius=\"x\"/>",
        "",
        "<Emit rate=",
        "not xml at all",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        EmitterDesc desc("d");
        desc.Read(text);
        ExpectFresh(desc);
    }
}

}  // namespace
