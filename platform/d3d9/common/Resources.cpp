#include "platform/d3d9/common/Resources.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <zlib.h>

#include "platform/d3d9/common/DeviceBase.h"

namespace d3d9 {

// ---------------------------------------------------------------- ResourceLink

ResourceLink::ResourceLink(DeviceBase* device) : device_(device) {
    if (device_ != nullptr) {
        device_->Register(this);
    }
}

ResourceLink::~ResourceLink() {
    // The backend object may hand its names back to the device, so it goes first.
    backend_.reset();
    if (device_ != nullptr) {
        device_->Unregister(this);
    }
}

void ResourceLink::DetachFromDevice() {
    backend_.reset();
    device_ = nullptr;
}

void ResourceLink::Error(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    if (device_ != nullptr) {
        device_->ReportErrorV(format, args);
    } else {
        std::fputs("d3d9: ", stderr);
        std::vfprintf(stderr, format, args);
        std::fputc('\n', stderr);
    }
    va_end(args);
}

// ----------------------------------------------------------------- BufferStore

BufferStore::BufferStore(UINT length, DWORD usage, D3DPOOL pool) : bytes_(length, 0), usage_(usage), pool_(pool) {}

HRESULT BufferStore::Lock(const ResourceLink& link, const char* kind, UINT offset, UINT size, void** data,
                          DWORD flags) {
    if (data == nullptr) {
        link.Error("%s::Lock: no pointer for the data", kind);
        return D3DERR_INVALIDCALL;
    }
    *data = nullptr;
    UINT length = Length();
    if (size == 0) {
        size = offset <= length ? length - offset : 0;
    }
    if (offset > length || size > length - offset) {
        link.Error("%s::Lock: bytes %u..%u are outside the buffer of %u bytes", kind, offset,
                   static_cast<UINT>(static_cast<uint64_t>(offset) + size), length);
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DLOCK_DISCARD) != 0) {
        if ((usage_ & D3DUSAGE_DYNAMIC) == 0) {
            link.Error("%s::Lock: D3DLOCK_DISCARD on a buffer without D3DUSAGE_DYNAMIC; the flag is ignored", kind);
        } else if (lock_count_ == 0) {
            discarded_ = true;
        }
    }
    if (lock_count_ == 0) {
        lock_begin_ = offset;
        lock_end_ = offset + size;
    } else {
        lock_begin_ = offset < lock_begin_ ? offset : lock_begin_;
        lock_end_ = offset + size > lock_end_ ? offset + size : lock_end_;
    }
    ++lock_count_;
    *data = bytes_.data() + offset;
    if (link.Device() != nullptr) {
        link.Device()->Record("%s::Lock(%u, %u, 0x%x)", kind, offset, size, static_cast<unsigned>(flags));
    }
    return D3D_OK;
}

HRESULT BufferStore::Unlock(const ResourceLink& link, const char* kind) {
    if (lock_count_ == 0) {
        link.Error("%s::Unlock: the buffer is not locked", kind);
        return D3DERR_INVALIDCALL;
    }
    if (--lock_count_ == 0 && lock_end_ > lock_begin_) {
        if (!dirty_) {
            dirty_begin_ = lock_begin_;
            dirty_end_ = lock_end_;
        } else {
            dirty_begin_ = lock_begin_ < dirty_begin_ ? lock_begin_ : dirty_begin_;
            dirty_end_ = lock_end_ > dirty_end_ ? lock_end_ : dirty_end_;
        }
        dirty_ = true;
    }
    if (link.Device() != nullptr) {
        link.Device()->Record("%s::Unlock()", kind);
    }
    return D3D_OK;
}

BufferStore::Changes BufferStore::TakeChanges() {
    Changes changes = {dirty_ || discarded_, discarded_, dirty_begin_, dirty_end_};
    if (!dirty_) {
        changes.begin = changes.end = 0;
    }
    dirty_ = false;
    discarded_ = false;
    return changes;
}

VertexBuffer::VertexBuffer(DeviceBase* device, UINT length, DWORD usage, D3DPOOL pool)
    : ResourceLink(device), BufferStore(length, usage, pool) {}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    return BufferStore::Lock(*this, "IDirect3DVertexBuffer9", offset, size, data, flags);
}

HRESULT VertexBuffer::Unlock() { return BufferStore::Unlock(*this, "IDirect3DVertexBuffer9"); }

IndexBuffer::IndexBuffer(DeviceBase* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : ResourceLink(device), BufferStore(length, usage, pool), format_(format) {}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
    return BufferStore::Lock(*this, "IDirect3DIndexBuffer9", offset, size, data, flags);
}

HRESULT IndexBuffer::Unlock() { return BufferStore::Unlock(*this, "IDirect3DIndexBuffer9"); }

// --------------------------------------------------------------------- Surface

Surface::Surface(DeviceBase* device, Kind kind, const D3DSURFACE_DESC& desc)
    : ResourceLink(device), kind_(kind), desc_(desc) {}

Surface::Surface(Texture* container, UINT level)
    : ResourceLink(container->Device()), kind_(Kind::TextureLevel), container_(container), level_(level) {
    refs_ = 0;
    container->GetLevelDesc(level, &desc_);
}

ULONG Surface::AddRef() {
    if (container_ == nullptr) {
        return RefCounted<IDirect3DSurface9>::AddRef();
    }
    container_->AddRef();
    return level_refs_.fetch_add(1) + 1;
}

ULONG Surface::Release() {
    if (container_ == nullptr) {
        return RefCounted<IDirect3DSurface9>::Release();
    }
    ULONG current = level_refs_.load();
    if (current == 0) {
        Error("IDirect3DSurface9::Release: the surface has no reference left to release");
        return 0;
    }
    ULONG left = level_refs_.fetch_sub(1) - 1;
    // May delete the texture and this surface with it.
    container_->Release();
    return left;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr) {
        Error("IDirect3DSurface9::GetDesc: no description to fill");
        return D3DERR_INVALIDCALL;
    }
    *desc = desc_;
    return D3D_OK;
}

bool Surface::IsDepth() const {
    const FormatInfo* info = FindFormat(desc_.Format);
    return info != nullptr && info->depth;
}

void Surface::Resize(UINT width, UINT height) {
    desc_.Width = width;
    desc_.Height = height;
    bytes = std::vector<uint8_t>();
    fill = 0;
}

// --------------------------------------------------------------------- Texture

Texture::Texture(DeviceBase* device, UINT width, UINT height, UINT levels, DWORD usage, const FormatInfo& format,
                 D3DPOOL pool)
    : ResourceLink(device), format_(format), usage_(usage), pool_(pool) {
    levels_.resize(levels);
    surfaces_.assign(levels, nullptr);
    for (UINT i = 0; i < levels; ++i) {
        Level& level = levels_[i];
        level.width = MipSize(width, i);
        level.height = MipSize(height, i);
        level.pitch = RowPitch(format, level.width);
        level.rows = RowCount(format, level.height);
    }
}

Texture::~Texture() {
    for (Surface* surface : surfaces_) {
        delete surface;
    }
}

namespace {

// Levels smaller than this stay as they are: packing them saves little.
constexpr size_t kSmallestPackedLevel = 4096;

// `packed` inflated into `bytes` (sized to the level).
void Unpack(const std::vector<uint8_t>& packed, std::vector<uint8_t>& bytes, size_t size) {
    bytes.resize(size);
    uLongf length = static_cast<uLongf>(size);
    if (uncompress(bytes.data(), &length, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || length != size) {
        // Only this file packs, so this cannot happen; a level of zeros is the safe reading.
        std::fill(bytes.begin(), bytes.end(), 0);
    }
}

}  // namespace

std::vector<uint8_t>& Texture::LevelBytes(UINT level) {
    Level& l = levels_[level];
    const size_t size = static_cast<size_t>(l.pitch) * l.rows;
    if (!l.packed.empty()) {
        Unpack(l.packed, l.bytes, size);
        l.packed = std::vector<uint8_t>();
    } else if (l.bytes.empty()) {
        l.bytes.assign(size, 0);
    }
    return l.bytes;
}

const uint8_t* Texture::ReadLevel(UINT level, std::vector<uint8_t>* scratch) const {
    const Level& l = levels_[level];
    if (!l.packed.empty()) {
        Unpack(l.packed, *scratch, static_cast<size_t>(l.pitch) * l.rows);
        return scratch->data();
    }
    return l.bytes.empty() ? nullptr : l.bytes.data();
}

void Texture::PackLevel(Level& level) {
    const size_t size = level.bytes.size();
    if (size < kSmallestPackedLevel) {
        return;
    }
    // The fastest level of deflate: a texture of the sample data packs to a tenth of its
    // size at a quarter of a gigabyte a second. Kept only when it saves a quarter; the
    // output grows as it comes, so packing needs little more than what it keeps.
    const size_t limit = size / 4 * 3;
    z_stream stream = {};
    if (deflateInit(&stream, 1) != Z_OK) {
        return;
    }
    std::vector<uint8_t> packed(std::min(limit, std::max(size / 16, kSmallestPackedLevel)));
    stream.next_in = level.bytes.data();
    stream.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out == packed.size()) {
            if (packed.size() == limit) {
                break;
            }
            packed.resize(std::min(limit, packed.size() * 2));
        }
        stream.next_out = packed.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(packed.size() - stream.total_out);
        status = deflate(&stream, Z_FINISH);
    }
    const size_t length = stream.total_out;
    deflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return;
    }
    packed.resize(length);
    packed.shrink_to_fit();
    level.packed = std::move(packed);
    level.bytes = std::vector<uint8_t>();
}

bool Texture::AnyLocked() const {
    for (const Level& level : levels_) {
        if (level.locked) {
            return true;
        }
    }
    return false;
}

bool Texture::AnyDirty() const {
    for (const Level& level : levels_) {
        if (level.dirty) {
            return true;
        }
    }
    return false;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= levels_.size() || desc == nullptr) {
        Error("IDirect3DTexture9::GetLevelDesc: level %u of a texture of %u levels", level,
              static_cast<UINT>(levels_.size()));
        return D3DERR_INVALIDCALL;
    }
    desc->Format = format_.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage_;
    desc->Pool = pool_;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = levels_[level].width;
    desc->Height = levels_[level].height;
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr) {
        Error("IDirect3DTexture9::GetSurfaceLevel: no pointer for the surface");
        return D3DERR_INVALIDCALL;
    }
    *surface = nullptr;
    if (level >= levels_.size()) {
        Error("IDirect3DTexture9::GetSurfaceLevel: level %u of a texture of %u levels", level,
              static_cast<UINT>(levels_.size()));
        return D3DERR_INVALIDCALL;
    }
    if (surfaces_[level] == nullptr) {
        surfaces_[level] = new Surface(this, level);
    }
    surfaces_[level]->AddRef();
    *surface = surfaces_[level];
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr) {
        Error("IDirect3DTexture9::LockRect: no D3DLOCKED_RECT to fill");
        return D3DERR_INVALIDCALL;
    }
    locked->pBits = nullptr;
    locked->Pitch = 0;
    if (level >= levels_.size()) {
        Error("IDirect3DTexture9::LockRect: level %u of a texture of %u levels", level,
              static_cast<UINT>(levels_.size()));
        return D3DERR_INVALIDCALL;
    }
    if ((usage_ & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0 ||
        (pool_ == D3DPOOL_DEFAULT && (usage_ & D3DUSAGE_DYNAMIC) == 0)) {
        Error(
            "IDirect3DTexture9::LockRect: the texture is not lockable (default pool without D3DUSAGE_DYNAMIC, "
            "or a render target)");
        return D3DERR_INVALIDCALL;
    }
    Level& l = levels_[level];
    if (l.locked) {
        Error("IDirect3DTexture9::LockRect: level %u is already locked", level);
        return D3DERR_INVALIDCALL;
    }
    UINT x = 0;
    UINT y = 0;
    if (rect != nullptr) {
        bool inside = rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
                      static_cast<UINT>(rect->right) <= l.width && static_cast<UINT>(rect->bottom) <= l.height;
        bool aligned = !format_.compressed || ((rect->left % 4) == 0 && (rect->top % 4) == 0);
        if (!inside || !aligned) {
            Error("IDirect3DTexture9::LockRect: rectangle (%ld, %ld)-(%ld, %ld) is not inside level %u of %ux%u%s",
                  static_cast<long>(rect->left), static_cast<long>(rect->top), static_cast<long>(rect->right),
                  static_cast<long>(rect->bottom), level, l.width, l.height, aligned ? "" : " or not on a 4x4 block");
            return D3DERR_INVALIDCALL;
        }
        x = static_cast<UINT>(rect->left);
        y = static_cast<UINT>(rect->top);
    }
    if ((flags & D3DLOCK_DISCARD) != 0 && (usage_ & D3DUSAGE_DYNAMIC) == 0) {
        Error(
            "IDirect3DTexture9::LockRect: D3DLOCK_DISCARD on a texture without D3DUSAGE_DYNAMIC; the flag is "
            "ignored");
    }
    std::vector<uint8_t>& bytes = LevelBytes(level);
    UINT column = format_.compressed ? (x / 4) * format_.blockBytes : x * format_.blockBytes;
    UINT row = format_.compressed ? y / 4 : y;
    l.locked = true;
    locked->Pitch = static_cast<INT>(l.pitch);
    locked->pBits = bytes.data() + static_cast<size_t>(row) * l.pitch + column;
    if (Device() != nullptr) {
        Device()->Record("IDirect3DTexture9::LockRect(%u, 0x%x)", level, static_cast<unsigned>(flags));
    }
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) {
        Error("IDirect3DTexture9::UnlockRect: level %u is not locked", level);
        return D3DERR_INVALIDCALL;
    }
    levels_[level].locked = false;
    levels_[level].dirty = true;
    if (pool_ == D3DPOOL_MANAGED) {
        PackLevel(levels_[level]);
    }
    if (Device() != nullptr) {
        Device()->Record("IDirect3DTexture9::UnlockRect(%u)", level);
    }
    return D3D_OK;
}

// ----------------------------------------------------------- VertexDeclaration

UINT ElementSize(BYTE type) {
    switch (type) {
        case D3DDECLTYPE_FLOAT1: return 4;
        case D3DDECLTYPE_FLOAT2: return 8;
        case D3DDECLTYPE_FLOAT3: return 12;
        case D3DDECLTYPE_FLOAT4: return 16;
        case D3DDECLTYPE_D3DCOLOR: return 4;
        case D3DDECLTYPE_UBYTE4: return 4;
    }
    return 0;
}

int AttributeLocation(BYTE usage, BYTE usageIndex) {
    switch (usage) {
        case D3DDECLUSAGE_POSITION: return usageIndex == 0 ? 0 : -1;
        case D3DDECLUSAGE_POSITIONT: return usageIndex == 0 ? 0 : -1;
        case D3DDECLUSAGE_NORMAL: return usageIndex == 0 ? 1 : -1;
        case D3DDECLUSAGE_TANGENT: return usageIndex == 0 ? 2 : -1;
        case D3DDECLUSAGE_BINORMAL: return usageIndex == 0 ? 3 : -1;
        case D3DDECLUSAGE_COLOR: return usageIndex < 2 ? 4 + usageIndex : -1;
        case D3DDECLUSAGE_BLENDWEIGHT: return usageIndex == 0 ? 6 : -1;
        case D3DDECLUSAGE_BLENDINDICES: return usageIndex == 0 ? 7 : -1;
        case D3DDECLUSAGE_TEXCOORD: return usageIndex < 6 ? 8 + usageIndex : -1;
    }
    return -1;
}

std::string VertexDeclaration::Check(const D3DVERTEXELEMENT9* elements, std::vector<D3DVERTEXELEMENT9>* out) {
    constexpr UINT kMaxElements = 64;
    out->clear();
    if (elements == nullptr) {
        return "no elements";
    }
    UINT count = 0;
    while (elements[count].Stream != 0xFF) {
        if (++count > kMaxElements) {
            return "no D3DDECL_END within 64 elements";
        }
    }
    for (UINT i = 0; i < count; ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        char why[160];
        if (e.Stream >= kStreams) {
            std::snprintf(why, sizeof(why), "element %u reads stream %u (streams 0 to %u)", i, e.Stream, kStreams - 1);
            return why;
        }
        if (ElementSize(e.Type) == 0) {
            std::snprintf(why, sizeof(why), "element %u has the unknown type %u", i, e.Type);
            return why;
        }
        if (e.Method != D3DDECLMETHOD_DEFAULT || AttributeLocation(e.Usage, e.UsageIndex) < 0) {
            std::snprintf(why, sizeof(why), "element %u has the unknown usage %u, index %u", i, e.Usage, e.UsageIndex);
            return why;
        }
        for (const D3DVERTEXELEMENT9& earlier : *out) {
            if (AttributeLocation(earlier.Usage, earlier.UsageIndex) == AttributeLocation(e.Usage, e.UsageIndex)) {
                std::snprintf(why, sizeof(why), "element %u repeats usage %u, index %u", i, e.Usage, e.UsageIndex);
                return why;
            }
        }
        out->push_back(e);
    }
    if (out->empty()) {
        return "no elements before D3DDECL_END";
    }
    return std::string();
}

VertexDeclaration::VertexDeclaration(std::vector<D3DVERTEXELEMENT9> elements) : elements_(std::move(elements)) {
    for (const D3DVERTEXELEMENT9& e : elements_) {
        if (e.Usage == D3DDECLUSAGE_POSITIONT) {
            pre_transformed_ = true;
        }
        stream_mask_ |= 1u << e.Stream;
        UINT end = e.Offset + ElementSize(e.Type);
        if (end > stream_extent_[e.Stream]) {
            stream_extent_[e.Stream] = end;
        }
    }
}

// ----------------------------------------------------------------- ProgramBase

ProgramBase::ProgramBase(DeviceBase* device, std::string vertexSource, std::string fragmentSource)
    : ResourceLink(device), vertex_source_(std::move(vertexSource)), fragment_source_(std::move(fragmentSource)) {}

const UniformValue* ProgramBase::Uniform(const std::string& name) const {
    for (const auto& entry : uniforms_) {
        if (entry.first == name) {
            return &entry.second;
        }
    }
    return nullptr;
}

UniformValue* ProgramBase::Slot(const char* name) {
    for (auto& entry : uniforms_) {
        if (entry.first == name) {
            return &entry.second;
        }
    }
    if (!HasUniform(name)) {
        return nullptr;
    }
    uniforms_.emplace_back(name, UniformValue());
    UniformValue* made = &uniforms_.back().second;
    made->matrixFloats = MatrixFloats(name);
    return made;
}

HRESULT ProgramBase::SetFloats(const char* name, const float* values, UINT count) {
    if (name == nullptr || (values == nullptr && count > 0)) {
        Error("ShaderProgram::SetFloats: no name or no values");
        return D3DERR_INVALIDCALL;
    }
    UniformValue* slot = Slot(name);
    if (slot == nullptr) {
        return D3DERR_NOTFOUND;
    }
    slot->kind = UniformValue::Kind::Floats;
    slot->floats.assign(values, values + count);
    slot->count = count;
    slot->dirty = true;
    if (Device() != nullptr && Device()->Recording()) {
        std::string text;
        for (UINT i = 0; i < count && i < 16; ++i) {
            char number[32];
            std::snprintf(number, sizeof(number), i == 0 ? "%g" : ", %g", static_cast<double>(values[i]));
            text += number;
        }
        Device()->Record("SetFloats(%s, [%s], %u)", name, text.c_str(), count);
    }
    return D3D_OK;
}

HRESULT ProgramBase::SetInts(const char* name, const int* values, UINT count) {
    if (name == nullptr || (values == nullptr && count > 0)) {
        Error("ShaderProgram::SetInts: no name or no values");
        return D3DERR_INVALIDCALL;
    }
    UniformValue* slot = Slot(name);
    if (slot == nullptr) {
        return D3DERR_NOTFOUND;
    }
    slot->kind = UniformValue::Kind::Ints;
    slot->ints.assign(values, values + count);
    slot->count = count;
    slot->dirty = true;
    if (Device() != nullptr && Device()->Recording()) {
        Device()->Record("SetInts(%s, %d, %u)", name, count > 0 ? values[0] : 0, count);
    }
    return D3D_OK;
}

HRESULT ProgramBase::SetMatrices(const char* name, const float* values, UINT count, bool transpose) {
    if (name == nullptr || (values == nullptr && count > 0)) {
        Error("ShaderProgram::SetMatrices: no name or no values");
        return D3DERR_INVALIDCALL;
    }
    UniformValue* slot = Slot(name);
    if (slot == nullptr) {
        return D3DERR_NOTFOUND;
    }
    UINT floats = slot->matrixFloats;
    slot->kind = UniformValue::Kind::Matrices;
    slot->floats.assign(values, values + static_cast<size_t>(count) * floats);
    slot->count = count;
    slot->transpose = transpose;
    slot->dirty = true;
    if (Device() != nullptr) {
        Device()->Record("SetMatrices(%s, %u, %d)", name, count, transpose ? 1 : 0);
    }
    return D3D_OK;
}

}  // namespace d3d9
