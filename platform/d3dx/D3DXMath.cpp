#include "platform/d3dx/D3DXMath.h"

#include <cmath>

namespace {

D3DXVECTOR3 Subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A zero vector stays zero, as D3DX leaves it.
D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up) {
    const D3DXVECTOR3 zaxis = Normalize(Subtract(*eye, *at));
    const D3DXVECTOR3 xaxis = Normalize(Cross(*up, zaxis));
    const D3DXVECTOR3 yaxis = Cross(zaxis, xaxis);
    float(*m)[4] = out->m;
    m[0][0] = xaxis.x;
    m[0][1] = yaxis.x;
    m[0][2] = zaxis.x;
    m[0][3] = 0.0f;
    m[1][0] = xaxis.y;
    m[1][1] = yaxis.y;
    m[1][2] = zaxis.y;
    m[1][3] = 0.0f;
    m[2][0] = xaxis.z;
    m[2][1] = yaxis.z;
    m[2][2] = zaxis.z;
    m[2][3] = 0.0f;
    m[3][0] = -Dot(xaxis, *eye);
    m[3][1] = -Dot(yaxis, *eye);
    m[3][2] = -Dot(zaxis, *eye);
    m[3][3] = 1.0f;
    return out;
}
