#pragma once
// The D3DX maths the game calls: vector and matrix records laid out as D3DX
// lays them out (row vectors, translation in the fourth row).

struct D3DXVECTOR3 {
    float x;
    float y;
    float z;
};

struct D3DXMATRIX {
    float m[4][4];
};

// Right-handed look-at: z = normalize(eye - at), x = normalize(up cross z),
// y = z cross x; rows x, y, z as columns and the eye moved to the origin.
// Returns out.
D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
