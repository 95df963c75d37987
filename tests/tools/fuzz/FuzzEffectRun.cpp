// Any bytes as an effect file, run as the game runs what the reader accepts: loaded
// (set up as the effect cache sets it up, without texture or model services), an
// instance stepped 60 times, each step drawn through the renderer into the vertex
// batches, its lights emitted, and flushed to the recording null device. No input
// may crash, overflow or abort, hold more particles than an instance may or leave the
// matrix stack unbalanced.
#include <unistd.h>

#include <boost/make_shared.hpp>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Scene.h"
#include "particles/CEmiter.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticleRandom.h"
#include "platform/d3d9/null/NullDevice.h"
#include "tests/support/FuzzInput.h"
#include "tools/catalogue/Effects.h"
#include "tools/datacheck/NullGraphics.h"

namespace {

constexpr int kSteps = 60;
// Frames of more particles are stepped but not drawn: the batches grow 16 vertices at
// a time, and the sanitizer's allocator copies the whole array at every growth, which
// makes a frame of the instance's 32,767 particles take seconds here (not in the game).
constexpr int64_t kMostParticlesDrawn = 4096;

// The shader effects written to a folder of the process's own, its working folder
// while the graphics device opens them; the corpus and the findings keep theirs.
struct ShaderFolder {
    ShaderFolder() : working(std::filesystem::current_path()) {
        const std::filesystem::path folder = fuzzinput::ScratchFolder();
        for (const catalogue::effects::File& file : catalogue::effects::kFiles) {
            std::filesystem::create_directories((folder / file.path).parent_path());
            std::ofstream(folder / file.path, std::ios::binary) << file.text;
        }
        std::filesystem::current_path(folder);
        BindParticleHooks();  // the graphics device makes the particle buffers through them
    }
    void Leave() const { std::filesystem::current_path(working); }
    std::filesystem::path working;
};

// The recording device with a graphics device (the data check's), a scene and its
// camera, made once.
struct Renderer {
    ShaderFolder shaders;
    datacheck::NullGraphics device;
    Graphics::GraphicsDevice* graphics = nullptr;
    d3d9::NullDevice* null = nullptr;
    boost::shared_ptr<sg::Camera> camera = boost::make_shared<sg::Camera>();
    sg::Scene scene;

    Renderer() {
        shaders.Leave();
        if (!device.Ready()) std::abort();
        graphics = Service<Graphics::GraphicsDevice>::Get();
        null = d3d9::AsNullDevice(graphics->GetDevice());
        // Looking at the effect's origin from above and behind, as the battle's camera does.
        camera->SetLookAt(Vector3(0.0f, -20.0f, 10.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        scene.SetCamera(camera);
        graphics->SetScene(&scene);
    }
};

Renderer& TheRenderer() {
    static Renderer* renderer = new Renderer();  // lives to the end of the process
    return *renderer;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TheRenderer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    Renderer& renderer = TheRenderer();
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;
    {
        CParticlesMesh effect;
        CSArchive archive(path.c_str());
        if (!effect.Read(archive, true)) return 0;
        ResetParticleSeed();
        ResetParticleDetailLevel();
        ParticleMatrixStack::g_State.m_nDepth = 0;
        CParticlesEmiter instance;
        instance.Setup(nullptr, &effect);
        for (int step = 0; step < kSteps; ++step) {
            const bool alive = instance.Step(true);
            int64_t particles = 0;
            for (const CEmiter& e : instance.m_arrEmiters) particles += e.m_nCount;
            if (particles > CParticlesEmiter::kMaxParticles) std::abort();  // beyond the instance's limit
            if (particles <= kMostParticlesDrawn) {
                ParticlesUpdateCamera();
                ParticlesBeginFrame();
                CParticlesMesh::Draw(instance);
                CParticlesMesh::EmitLights(&instance);
                ParticlesFlush();
                renderer.null->ClearLog();
                if (ParticleMatrixStack::g_State.m_nDepth != 0) std::abort();  // a draw left the stack unbalanced
            }
            if (!alive) break;
        }
        CParticlesMesh::EmitLights(nullptr);
    }
    // The batches, the caches and the light slots go with the input.
    ParticlesReleaseView();
    return 0;
}
