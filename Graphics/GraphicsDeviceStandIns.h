#pragma once
// Stand-ins until the particle batches exist: only what the graphics device
// calls of them. They go when the real ones land; the device then calls the
// real operations under the same steps.
namespace Graphics {

class GraphicsDevice;

namespace standin {

// What the stand-ins below were asked to do, for tests (null: not reported).
class Observer {
public:
    virtual ~Observer() = default;
    virtual void ParticleBuffersCreated() {}
    virtual void ParticleBuffersReleased() {}
    virtual void ParticlesFlushed() {}
};
void SetObserver(Observer* observer);

// Stand-ins until the particle batches exist.
void ParticlesCreateDeviceBuffers(GraphicsDevice* device);
void ParticlesReleaseDeviceBuffers();
void ParticlesFlush();

}  // namespace standin
}  // namespace Graphics
