#include "particles/EmitterDesc.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "IO/XmlReader.h"

namespace Particles {

namespace {

const char* Attribute(irr::io::IrrXMLReader& xml, const char* name) { return xml.getAttributeValue(name); }

void ReadFloat(irr::io::IrrXMLReader& xml, const char* name, float& value) {
    const char* text = Attribute(xml, name);
    float read = 0.0f;
    if (text != nullptr && std::sscanf(text, "%f", &read) == 1) value = read;
}

// "x y z".
void ReadTriple(irr::io::IrrXMLReader& xml, const char* name, float (&value)[3]) {
    const char* text = Attribute(xml, name);
    float read[3];
    if (text != nullptr && std::sscanf(text, "%f %f %f", &read[0], &read[1], &read[2]) == 3)
        std::memcpy(value, read, sizeof read);
}

// "r g b a", each kept in its low 8 bits.
void ReadColour(irr::io::IrrXMLReader& xml, const char* name, Color& colour) {
    const char* text = Attribute(xml, name);
    int r, g, b, a;
    if (text != nullptr && std::sscanf(text, "%i %i %i %i", &r, &g, &b, &a) == 4)
        colour =
            Color(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), static_cast<uint8_t>(a));
}

void ReadShape(irr::io::IrrXMLReader& xml, EmissionShape& shape) {
    if (const char* type = Attribute(xml, "shape")) {
        if (std::strcmp(type, "box") == 0) shape.type = EmissionShape::kBox;
        else if (std::strcmp(type, "sphere") == 0) shape.type = EmissionShape::kSphere;
    }
    ReadTriple(xml, "center", shape.centre);
    // The format names the half extents "size".
    ReadTriple(xml, "size", shape.halfSize);
    ReadFloat(xml, "radius", shape.radius);
}

boost::shared_ptr<Graphics::Texture2D> LoadTexture(const char* file) {
    typedef Content::ContentLoader<Graphics::Texture2D> WorldTextures;
    if (file == nullptr || !Service<WorldTextures>::Exists()) return boost::shared_ptr<Graphics::Texture2D>();
    return Service<WorldTextures>::Get()->Load(file);
}

}  // namespace

EmitterDesc::EmitterDesc(const std::string& name) : GraphicsResource(Graphics::ResourceEmitterDesc, name) {
    acceleration.centre[2] = -9.81f;
}

EmitterDesc::~EmitterDesc() { texture.reset(); }

bool EmitterDesc::Reload() {
    Unload();
    return false;
}

bool EmitterDesc::Unload() { return true; }

void EmitterDesc::Read(const std::string& text) {
    std::unique_ptr<irr::io::IrrXMLReader> xml(CreateXmlReaderFromString(text));
    if (!xml) return;
    while (xml->read()) {
        if (xml->getNodeType() != irr::io::EXN_ELEMENT) continue;
        const char* element = xml->getNodeName();
        if (std::strcmp(element, "Emit") == 0) {
            float rate = 0.0f, interval = 0.0f;
            ReadFloat(*xml, "rate", rate);
            ReadFloat(*xml, "interval", interval);
            if (rate > 0.0f) {
                emissionRate = rate;
                emissionInterval = 1.0f / rate;
            } else if (interval > 0.0f) {
                emissionInterval = interval;
                emissionRate = 1.0f / interval;
            }
            ReadFloat(*xml, "lifeMin", minimumLife);
            ReadFloat(*xml, "lifeMax", maximumLife);
            if (const char* count = Attribute(*xml, "maxPar")) std::sscanf(count, "%i", &maximumParticles);
        } else if (std::strcmp(element, "Texture") == 0) {
            if (const char* file = Attribute(*xml, "file")) texture = LoadTexture(file);
        } else if (std::strcmp(element, "Color") == 0) {
            ReadColour(*xml, "start", startColour);
            ReadColour(*xml, "end", endColour);
        } else if (std::strcmp(element, "Scale") == 0) {
            ReadFloat(*xml, "start", startScale);
            ReadFloat(*xml, "end", endScale);
            scaleChange = endScale - startScale;
        } else if (std::strcmp(element, "Position") == 0) {
            ReadShape(*xml, position);
        } else if (std::strcmp(element, "Velocity") == 0) {
            ReadShape(*xml, velocity);
        } else if (std::strcmp(element, "Accel") == 0) {
            ReadShape(*xml, acceleration);
        }
    }
}

namespace {

struct DefaultDescs {
    EmitterDesc descs[kDefaultEmitterDescCount] = {
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"), EmitterDesc("default"),
        EmitterDesc("default"), EmitterDesc("default")};
};

// Built at start-up, with the program.
const DefaultDescs g_Defaults;

}  // namespace

const EmitterDesc* GetDefaultEmitterDescs() { return g_Defaults.descs; }

}  // namespace Particles
