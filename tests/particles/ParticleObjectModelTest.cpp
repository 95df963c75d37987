// The library's object model: counted resources, the entities that place effects,
// objects and lights (with and without a scene node), the host entity an emitter node
// makes for itself, and particle textures through the world texture loader.
#include <gtest/gtest.h>

#include <string>

#include "../Graphics/TextureTestSupport.h"
#include "Core/ContentLoader.h"
#include "Core/Assert.h"
#include "Graphics/Texture2D.h"
#include "ParticleMathsTestUtil.h"
#include "SceneGraph/EmitterNode.h"
#include "particles/CSEntityLight.h"
#include "particles/CSEntityObject.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSEffectInstance.h"
#include "particles/CSEntityParticle.h"
#include "particles/CSRefBase.h"
#include "particles/CSTexture.h"
#include "support/AssertionRecorder.h"

namespace {

struct Counted : CSRefBase {
    explicit Counted(int* deletions) : deletions(deletions) {}
    ~Counted() override { ++*deletions; }
    int* deletions;
};

TEST(CSRefBase, DeletesItselfAtZero) {
    int deletions = 0;
    Counted* object = new Counted(&deletions);
    EXPECT_EQ(object->GetRefCount(), 1);
    EXPECT_EQ(object->AddRef(), 2);
    EXPECT_EQ(object->Release(), 1);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(deletions, 1);
}

// A turn about z and a translation.
Matrix4 Placed(float tx, float ty, float tz) {
    Matrix4 m;
    m.RotateZ(0.5f);
    m.m[12] = tx;
    m.m[13] = ty;
    m.m[14] = tz;
    return m;
}

CSMatrix ToCS(const Matrix4& m) {
    CSMatrix c;
    for (int i = 0; i < 16; ++i) c.m[i] = m.m[i];
    return c;
}

CSMatrix TranslationOnly(float x, float y, float z, float w) {
    return MatrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, w});
}

TEST(CSEntity, MatricesThroughTheHostNode) {
    sg::Node node;
    Matrix4 world = Placed(4.0f, 5.0f, 6.0f);
    world.m[15] = 2.0f;  // the last element travels with the translation
    node.SetWorldMatrix(world);
    node.SetLocalMatrix(Placed(1.0f, 2.0f, 3.0f));
    CSEntityParticle entity(&node);
    EXPECT_EQ(entity.GetEntityType(), CSEntity::kTypeParticle);
    EXPECT_EQ(entity.GetHostNode(), &node);

    EXPECT_TRUE(MatNear(entity.GetPositionMatrix(), TranslationOnly(4.0f, 5.0f, 6.0f, 2.0f)));
    EXPECT_TRUE(MatNear(entity.GetNodeMatrix(), ToCS(Placed(1.0f, 2.0f, 3.0f))));

    const Matrix4 placement = Placed(7.0f, 8.0f, 9.0f);
    node.ClearDirty();
    entity.SetNodeMatrix(placement.m);
    EXPECT_TRUE(node.IsDirty());
    EXPECT_TRUE(MatNear(ToCS(node.GetLocalMatrix()), ToCS(placement)));
    EXPECT_TRUE(MatNear(entity.GetNodeMatrix(), ToCS(placement)));

    // Each query hands out one process-wide matrix that its next call overwrites.
    const CSMatrix& position = entity.GetPositionMatrix();
    sg::Node other;
    other.SetWorldMatrix(Placed(-1.0f, 0.0f, 0.0f));
    CSEntityParticle(&other).GetPositionMatrix();
    EXPECT_EQ(position.m[12], -1.0f);
}

TEST(CSEntity, WithoutNodeKeepsItsPlacement) {
    CSEntityObject object;
    CSEntityLight light;
    EXPECT_EQ(object.GetEntityType(), CSEntity::kTypeObject);
    EXPECT_EQ(light.GetEntityType(), CSEntity::kTypeLight);
    EXPECT_EQ(light.GetHostNode(), nullptr);
    EXPECT_TRUE(MatNear(object.GetNodeMatrix(), CSMatrix()));

    const Matrix4 placement = Placed(3.0f, -2.0f, 1.0f);
    object.SetNodeMatrix(placement.m);
    EXPECT_TRUE(MatNear(object.GetNodeMatrix(), ToCS(placement)));
    EXPECT_TRUE(MatNear(object.GetPositionMatrix(), TranslationOnly(3.0f, -2.0f, 1.0f, 1.0f)));
    EXPECT_TRUE(MatNear(light.GetNodeMatrix(), CSMatrix()));  // each entity keeps its own
}

TEST(CSEntity, EmitterNodesMakeTheirHost) {
    {
        sg::EmitterNode unbound("effects/spark.prt");
        EXPECT_EQ(unbound.GetHost(), nullptr);
    }
    BindEmitterNodeHosts();
    {
        sg::EmitterNode node("effects/spark.prt");
        ASSERT_NE(node.GetHost(), nullptr);
        EXPECT_EQ(node.GetHost()->GetEntityType(), CSEntity::kTypeParticle);
        EXPECT_EQ(node.GetHost()->GetHostNode(), &node);
        ASSERT_NE(node.GetInstance(), nullptr);
        EXPECT_EQ(static_cast<CSEffectInstance*>(node.GetInstance())->GetEmitters().m_pHost, node.GetHost());

        node.Translate(2.0f, 0.0f, 1.0f);
        node.Refresh(nullptr);  // the update pass's world matrix
        EXPECT_TRUE(MatNear(node.GetHost()->GetPositionMatrix(), TranslationOnly(2.0f, 0.0f, 1.0f, 1.0f)));
    }
    sg::SetEffectHostFunctions(nullptr, nullptr);
    sg::SetEffectInstanceMaker(nullptr);
}

class CSTextureLoad : public texturetest::NullDeviceTest {};

TEST_F(CSTextureLoad, ThroughTheWorldTextureLoader) {
    typedef Content::ContentLoader<Graphics::Texture2D> WorldTextures;
    EXPECT_EQ(CSTexture::Load("spark.dds"), nullptr);  // no loader: null, and no message

    Write("spark.dds", texturetest::Dds(16, 16));
    WorldTextures textures(folder);
    Service<WorldTextures>::Register(&textures);
    CSTexture* first = CSTexture::Load("spark.dds");
    CSTexture* second = CSTexture::Load("SPARK.dds");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);  // a new texture per call, the engine texture shared
    EXPECT_EQ(first->GetRefCount(), 1);
    ASSERT_TRUE(first->GetTexture());
    EXPECT_EQ(first->GetTexture(), second->GetTexture());
    EXPECT_EQ(first->GetTexture(), textures.Load("spark.dds"));

    {
        AssertionRecorder ignored;
        EXPECT_EQ(CSTexture::Load("missing.dds"), nullptr);
    }

    first->Release();
    second->Release();
    Service<WorldTextures>::Unregister();
}

}  // namespace
