#pragma once
// An emitter described in XML instead of an effect file. The game shows only effects
// from effect files: the descriptions that exist are the fixed set named "default",
// and nothing reads them. The reader of the format is here for completeness.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

#include "Graphics/GraphicsResource.h"
#include "Maths/Color.h"

namespace Graphics {
class Texture2D;
}

namespace Particles {

// Where particles start, how fast they go or how they accelerate.
struct EmissionShape {
    enum Type : int32_t { kNone = 0, kBox = 1, kSphere = 2 };

    int32_t type = kNone;
    float centre[3] = {0.0f, 0.0f, 0.0f};
    float halfSize[3] = {0.1f, 0.1f, 0.1f};
    float radius = 0.1f;
};

class EmitterDesc : public Graphics::GraphicsResource {
public:
    // Resource type 12 with the given name and the fresh values below.
    explicit EmitterDesc(const std::string& name);
    // Releases the texture.
    ~EmitterDesc() override;

    // Unloads, and reports false: there is no file to load again.
    bool Reload() override;
    // Nothing to unload.
    bool Unload() override;

    // Takes the values an XML description gives: "Emit" ("rate" or "interval",
    // "lifeMin", "lifeMax", "maxPar"), "Texture" ("file", through the world texture
    // loader), "Color" ("start", "end": four integers), "Scale" ("start", "end") and
    // "Position", "Velocity", "Accel" ("shape" "box" or "sphere", "center" and "size":
    // three numbers, "radius"). What an element does not give, or gives unreadably,
    // stays as it was; a rate or interval that is not positive is refused.
    void Read(const std::string& xml);

    EmissionShape position;
    EmissionShape velocity;
    EmissionShape acceleration;     // centre (0, 0, -9.81): gravity
    float emissionInterval = 0.1f;  // seconds between particles
    float emissionRate = 10.0f;     // particles per second, 1 / interval
    float minimumLife = 1.0f;       // seconds
    float maximumLife = 1.5f;
    int32_t maximumParticles = 0;
    Color startColour = Color(255, 255, 255, 255);
    Color endColour = Color(255, 255, 255, 255);
    float startScale = 1.0f;
    float endScale = 1.0f;
    float scaleChange = 0.0f;  // end scale - start scale
    boost::shared_ptr<Graphics::Texture2D> texture;
};

// The descriptions named "default", made before the first frame and kept to the end.
constexpr int kDefaultEmitterDescCount = 26;
const EmitterDesc* GetDefaultEmitterDescs();

}  // namespace Particles
