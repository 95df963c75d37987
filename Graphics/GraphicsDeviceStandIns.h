#pragma once
// Stand-ins until the particle batches and the 2D layer exist: only what the
// graphics device's scene draw calls of them. Each goes when the real one
// lands; the scene draw then calls the real operations under the same steps.
#include <string>

namespace Graphics {
class GDEffect;
class GraphicsDevice;
}  // namespace Graphics

namespace Graphics {
namespace standin {

// What the stand-ins below were asked to do, for tests (null: not reported).
class Observer {
public:
    virtual ~Observer() = default;
    virtual void ParticleBuffersCreated() {}
    virtual void ParticleBuffersReleased() {}
    virtual void ParticlesFlushed() {}
    virtual void TextDrawn(float /*x*/, float /*y*/, const std::string& /*text*/) {}
};
void SetObserver(Observer* observer);

// Stand-ins until the particle batches exist.
void ParticlesCreateDeviceBuffers(GraphicsDevice* device);
void ParticlesReleaseDeviceBuffers();
void ParticlesFlush();

// Stand-in until the 2D layer and sprite fonts exist: one line of text in
// back-buffer pixels between the 2D layer's begin and end.
void DrawText(float x, float y, const std::string& text);

}  // namespace standin
}  // namespace Graphics
