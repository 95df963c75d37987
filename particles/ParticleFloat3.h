#pragma once
// Three floats of a particle record: a position, a velocity or three angles in 256ths.
struct ParticleFloat3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
