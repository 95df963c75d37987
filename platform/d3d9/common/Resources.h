#pragma once
// The resources of a device as both backends keep them: reference counts,
// bytes held on the CPU (so any thread may create and fill them), locks with
// their range checks, and what changed since a backend last uploaded.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/common/DeviceState.h"
#include "platform/d3d9/common/Formats.h"
#include "platform/d3d9/d3d9.h"

namespace d3d9 {

class DeviceBase;
class Texture;

// COM-style counting: Release deletes the object when the count reaches zero.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return refs_.fetch_add(1) + 1; }
    ULONG Release() override {
        ULONG left = refs_.fetch_sub(1) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    ULONG RefCount() const { return refs_.load(); }

protected:
    ~RefCounted() override = default;
    std::atomic<ULONG> refs_{1};
};

// What a backend attaches to a resource (its OpenGL objects).
class BackendObject {
public:
    virtual ~BackendObject() = default;
};

// A resource's tie to its device. A device that goes first drops the backend
// objects of its resources; the resources stay usable as plain memory.
class ResourceLink {
public:
    explicit ResourceLink(DeviceBase* device);
    virtual ~ResourceLink();
    ResourceLink(const ResourceLink&) = delete;
    ResourceLink& operator=(const ResourceLink&) = delete;

    DeviceBase* Device() const { return device_; }
    BackendObject* Backend() const { return backend_.get(); }
    void SetBackend(std::unique_ptr<BackendObject> backend) { backend_ = std::move(backend); }
    void DropBackend() { backend_.reset(); }
    void DetachFromDevice();

    // An error about this resource, reported through its device when it has one.
    void Error(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    DeviceBase* device_;
    std::unique_ptr<BackendObject> backend_;
};

// Bytes of a vertex or index buffer and the state of its locks.
class BufferStore {
public:
    BufferStore(UINT length, DWORD usage, D3DPOOL pool);

    HRESULT Lock(const ResourceLink& link, const char* kind, UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock(const ResourceLink& link, const char* kind);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    UINT Length() const { return static_cast<UINT>(bytes_.size()); }
    DWORD Usage() const { return usage_; }
    D3DPOOL Pool() const { return pool_; }
    bool Locked() const { return lock_count_ > 0; }

    // What changed since the last call: the byte range written, and whether a
    // discard made the old contents irrelevant.
    struct Changes {
        bool any;
        bool discarded;
        UINT begin;
        UINT end;
    };
    Changes TakeChanges();

private:
    std::vector<uint8_t> bytes_;
    DWORD usage_;
    D3DPOOL pool_;
    UINT lock_count_ = 0;
    UINT lock_begin_ = 0;
    UINT lock_end_ = 0;
    bool discarded_ = false;
    bool dirty_ = false;
    UINT dirty_begin_ = 0;
    UINT dirty_end_ = 0;
};

class VertexBuffer : public RefCounted<IDirect3DVertexBuffer9>, public ResourceLink, public BufferStore {
public:
    VertexBuffer(DeviceBase* device, UINT length, DWORD usage, D3DPOOL pool);
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
};

class IndexBuffer : public RefCounted<IDirect3DIndexBuffer9>, public ResourceLink, public BufferStore {
public:
    IndexBuffer(DeviceBase* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    D3DFORMAT Format() const { return format_; }
    UINT IndexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

private:
    D3DFORMAT format_;
};

// A render-target or depth surface: the back buffer, the automatic depth
// buffer, a separate depth surface, or a level of a texture.
class Surface : public RefCounted<IDirect3DSurface9>, public ResourceLink {
public:
    enum class Kind { BackBuffer, AutoDepth, DepthStencil, TextureLevel };

    Surface(DeviceBase* device, Kind kind, const D3DSURFACE_DESC& desc);
    Surface(Texture* container, UINT level);

    // A level surface shares its texture's lifetime: it holds the texture while
    // referenced and is deleted with it.
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;

    Kind GetKind() const { return kind_; }
    Texture* Container() const { return container_; }
    UINT Level() const { return level_; }
    const D3DSURFACE_DESC& Desc() const { return desc_; }
    bool IsDepth() const;
    void Resize(UINT width, UINT height);

    // Contents kept on the CPU by the null backend for surfaces that are not
    // texture levels (the back buffer: A8R8G8B8 values). While bytes is empty every
    // value is fill: a surface cleared whole holds no pixels.
    std::vector<uint8_t> bytes;
    DWORD fill = 0;

private:
    friend class Texture;
    Kind kind_;
    D3DSURFACE_DESC desc_;
    Texture* container_ = nullptr;
    UINT level_ = 0;
    std::atomic<ULONG> level_refs_{0};
};

class Texture : public RefCounted<IDirect3DTexture9>, public ResourceLink {
public:
    struct Level {
        UINT width;
        UINT height;
        UINT pitch;  // bytes per row of pixels or blocks
        UINT rows;
        std::vector<uint8_t> bytes;  // empty until a lock or a backend needs them, or while packed
        // A managed level, once unlocked, keeps its bytes deflated here when that
        // saves much: a managed texture's copy is only read again by a lock or an upload.
        std::vector<uint8_t> packed;
        bool locked = false;
        bool dirty = false;  // written since a backend last uploaded it
    };

    Texture(DeviceBase* device, UINT width, UINT height, UINT levels, DWORD usage, const FormatInfo& format,
            D3DPOOL pool);
    ~Texture() override;

    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    const FormatInfo& Format() const { return format_; }
    DWORD Usage() const { return usage_; }
    D3DPOOL Pool() const { return pool_; }
    UINT LevelCount() const { return static_cast<UINT>(levels_.size()); }
    Level& LevelAt(UINT level) { return levels_[level]; }
    // The level's bytes, allocated (zeroed) on first use, unpacked when packed.
    std::vector<uint8_t>& LevelBytes(UINT level);
    // The level's bytes to read, unpacked into `scratch` when packed; null when the
    // level has never been written.
    const uint8_t* ReadLevel(UINT level, std::vector<uint8_t>* scratch) const;
    bool AnyLocked() const;
    bool AnyDirty() const;

private:
    void PackLevel(Level& level);

    const FormatInfo& format_;
    DWORD usage_;
    D3DPOOL pool_;
    std::vector<Level> levels_;
    std::vector<Surface*> surfaces_;
};

// Vertex inputs and where the GL backend feeds them.
UINT ElementSize(BYTE type);
// -1 for a usage the substitute does not feed.
int AttributeLocation(BYTE usage, BYTE usageIndex);
constexpr int kPositionTLocation = 15;

class VertexDeclaration : public RefCounted<IDirect3DVertexDeclaration9> {
public:
    explicit VertexDeclaration(std::vector<D3DVERTEXELEMENT9> elements);

    const std::vector<D3DVERTEXELEMENT9>& Elements() const { return elements_; }
    bool PreTransformed() const { return pre_transformed_; }
    // Streams read (bit per stream) and the bytes each vertex of a stream spans.
    UINT StreamMask() const { return stream_mask_; }
    UINT StreamExtent(UINT stream) const { return stream_extent_[stream]; }

    // Empty when the elements are acceptable, else why not.
    static std::string Check(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>* out);

private:
    std::vector<D3DVERTEXELEMENT9> elements_;
    bool pre_transformed_ = false;
    UINT stream_mask_ = 0;
    UINT stream_extent_[kStreams] = {};
};

// Uniform values a program keeps until it draws.
struct UniformValue {
    enum class Kind { Floats, Ints, Matrices };
    Kind kind = Kind::Floats;
    std::vector<float> floats;
    std::vector<int> ints;
    UINT count = 0;
    bool transpose = false;
    bool dirty = true;
    UINT matrixFloats = 16;  // floats per matrix, found when the slot is made
    int backendSlot = -1;    // the backend's index of the uniform, once it has looked
};

class ProgramBase : public RefCounted<ShaderProgram>, public ResourceLink {
public:
    ProgramBase(DeviceBase* device, std::string vertexSource, std::string fragmentSource);

    HRESULT SetFloats(const char* name, const float* values, UINT count) override;
    HRESULT SetInts(const char* name, const int* values, UINT count) override;
    HRESULT SetMatrices(const char* name, const float* values, UINT count, bool transpose) override;

    const std::string& VertexSource() const { return vertex_source_; }
    const std::string& FragmentSource() const { return fragment_source_; }
    // Null when never set.
    const UniformValue* Uniform(const std::string& name) const;
    std::vector<std::pair<std::string, UniformValue>>& Uniforms() { return uniforms_; }

protected:
    // Floats per matrix of the named uniform (16 when the backend does not know).
    virtual UINT MatrixFloats(const char* /*name*/) const { return 16; }

private:
    // The value kept for the named uniform, made on its first set; null when the
    // program has no such uniform.
    UniformValue* Slot(const char* name);

    std::string vertex_source_;
    std::string fragment_source_;
    std::vector<std::pair<std::string, UniformValue>> uniforms_;
};

}  // namespace d3d9
