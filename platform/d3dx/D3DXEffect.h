#pragma once
// The D3DX effect as the game uses it: an effect created from the bytes of an
// effect file, its techniques and parameters looked up by name, and the
// begin, pass, commit and end calls around a draw.
//
// An effect file here is our own text container (the format is described in
// platform/d3dx/D3DXEffectFile.h): parameters with their types and semantics,
// samplers, and techniques whose passes carry render states and a GLSL 330
// vertex and fragment shader. D3DXCreateEffect compiles every pass on the
// device; what fails comes back as error text.
//
// Handles are null for names the effect does not contain; every call given a
// null (or foreign) handle returns D3DERR_INVALIDCALL and changes nothing.
//
// Begin with flags 0 saves the device's render and sampler states that the
// technique's passes set, and its shader program; End puts back those that
// still hold the value the pass gave them. A state the caller set between
// Begin and End (a material's blending, say) therefore stays as the caller
// left it.
//
// Matrices keep the game's layout (row vectors, translation in the fourth
// row): a shader transforms a position as `g_WVPXf * vec4(p, 1.0)`.
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/D3DXMath.h"

typedef const char* D3DXHANDLE;

// Flags of the effect compiler. The substitute's compiler validates and lays
// out matrices in one way only; the flags are accepted and kept.
#define D3DXSHADER_SKIPVALIDATION 0x00000002u
#define D3DXSHADER_PACKMATRIX_COLUMNMAJOR 0x00000010u
#define D3DXSHADER_PREFER_FLOW_CONTROL 0x00000400u

// Macro definitions, include handlers and effect pools are not supported:
// D3DXCreateEffect takes null for each.
struct D3DXMACRO;
struct ID3DXInclude;
struct ID3DXEffectPool;

// A block of bytes; the compiler's messages are a zero-terminated text.
struct ID3DXBuffer : IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

struct ID3DXEffect : IUnknown {
    virtual D3DXHANDLE GetTechniqueByName(LPCSTR name) = 0;
    // parent must be null: parameters are looked up at the top level only.
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) = 0;
    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;

    // passes (may be null) receives the pass count of the current technique.
    // flags must be 0 (save and restore the states the technique sets).
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    virtual HRESULT BeginPass(UINT pass) = 0;
    // Sends the parameters changed since the pass began (or last committed).
    virtual HRESULT CommitChanges() = 0;
    virtual HRESULT EndPass() = 0;
    virtual HRESULT End() = 0;

    // Raw bytes of the parameter's value (at most its size): floats for the
    // float types, 32-bit integers for bool and int.
    virtual HRESULT SetValue(D3DXHANDLE parameter, LPCVOID data, UINT bytes) = 0;
    virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
    virtual HRESULT SetInt(D3DXHANDLE parameter, INT value) = 0;
    virtual HRESULT SetFloat(D3DXHANDLE parameter, FLOAT value) = 0;
    virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
    // The first count matrices of an array parameter.
    virtual HRESULT SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count) = 0;
    // The effect holds a reference on the texture while it is set.
    virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;
};

// Compiles the effect file in data. On success *effect holds the effect; on
// failure it is null and the result is an error. *errors (when the pointer is
// given) receives the compiler's messages, errors or warnings, or null when
// there are none.
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, LPCVOID data, UINT dataLength, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors);
