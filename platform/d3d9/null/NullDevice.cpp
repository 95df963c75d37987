#include "platform/d3d9/null/NullDevice.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/null/NullScript.h"

namespace d3d9 {

namespace {

constexpr size_t kMaxLogLines = 200000;

class NullProgram : public ProgramBase {
public:
    using ProgramBase::ProgramBase;
    // Without a compiler every name is taken; the values are kept for tests.
    bool HasUniform(const char* name) const override { return name != nullptr && name[0] != '\0'; }
};

struct Area {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

Area Intersect(Area a, Area b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// One row is filled pixel by pixel, the others are copies of it.
void FillArea(uint8_t* pixels, UINT pitch, Area area, DWORD value) {
    if (area.left >= area.right || area.top >= area.bottom) {
        return;
    }
    const size_t rowBytes = static_cast<size_t>(area.right - area.left) * 4;
    uint8_t* first = pixels + static_cast<size_t>(area.top) * pitch + static_cast<size_t>(area.left) * 4;
    for (size_t x = 0; x < rowBytes; x += 4) {
        std::memcpy(first + x, &value, 4);
    }
    for (LONG y = area.top + 1; y < area.bottom; ++y) {
        std::memcpy(first + static_cast<size_t>(y - area.top) * pitch, first, rowBytes);
    }
}

// The back buffer's pixels, made from its fill value when it holds none.
uint8_t* BackBufferPixels(Surface* surface) {
    if (surface->bytes.empty()) {
        const D3DSURFACE_DESC& desc = surface->Desc();
        surface->bytes.resize(static_cast<size_t>(desc.Width) * desc.Height * 4);
        FillArea(surface->bytes.data(), desc.Width * 4,
                 {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)}, surface->fill);
    }
    return surface->bytes.data();
}

}  // namespace

DWORD DrawRecord::RenderState(D3DRENDERSTATETYPE state) const {
    for (UINT i = 0; i < kRenderStateCount; ++i) {
        if (kRenderStates[i] == state) {
            return renderStates[i];
        }
    }
    return 0;
}

NullDevice::NullDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps) : DeviceBase(params, caps, true) {
    CreateDefaultSurfaces();
    // The "hardware" starts in Direct3D's default state: nothing to apply.
    State().MarkAllApplied();
}

NullDevice::~NullDevice() { DetachResources(); }

void NullDevice::OnRecord(const char* text) {
    if (log_.size() >= kMaxLogLines) {
        overflowed_ = true;
        return;
    }
    log_.emplace_back(text);
}

void NullDevice::ClearLog() {
    log_.clear();
    draws_.clear();
    overflowed_ = false;
}

size_t NullDevice::Count(const std::string& prefix) const {
    return static_cast<size_t>(std::count_if(log_.begin(), log_.end(), [&](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

bool NullDevice::Contains(const std::string& line) const {
    return std::find(log_.begin(), log_.end(), line) != log_.end();
}

UINT NullDevice::LiveDefaultPoolResources() const {
    UINT count = 0;
    for (ResourceLink* resource : Resources()) {
        if (auto* texture = dynamic_cast<Texture*>(resource)) {
            count += texture->Pool() == D3DPOOL_DEFAULT ? 1 : 0;
        } else if (auto* vertices = dynamic_cast<VertexBuffer*>(resource)) {
            count += vertices->Pool() == D3DPOOL_DEFAULT ? 1 : 0;
        } else if (auto* indices = dynamic_cast<IndexBuffer*>(resource)) {
            count += indices->Pool() == D3DPOOL_DEFAULT ? 1 : 0;
        } else if (auto* surface = dynamic_cast<Surface*>(resource)) {
            count += surface->GetKind() == Surface::Kind::DepthStencil ? 1 : 0;
        }
    }
    return count;
}

void NullDevice::StatesReset() { State().MarkAllApplied(); }

HRESULT NullDevice::DoTestCooperativeLevel() {
    NullScript& script = GetNullScript();
    if (!script.cooperativeLevels.empty()) {
        HRESULT answer = script.cooperativeLevels.front();
        script.cooperativeLevels.pop_front();
        lost_ = answer == D3DERR_DEVICELOST;
        if (answer == D3DERR_DEVICENOTRESET) {
            needs_reset_ = true;
        }
        return answer;
    }
    lost_ = false;
    return needs_reset_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT NullDevice::DoReset(D3DPRESENT_PARAMETERS* params) {
    if (lost_) {
        return D3DERR_DEVICELOST;
    }
    HRESULT result = GetNullScript().resetResult;
    if (FAILED(result)) {
        return result;
    }
    if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0) {
        params->BackBufferWidth = BackBufferSurface()->Desc().Width;
        params->BackBufferHeight = BackBufferSurface()->Desc().Height;
    }
    needs_reset_ = false;
    return D3D_OK;
}

HRESULT NullDevice::DoPresent() {
    ++presents_;
    return lost_ || needs_reset_ ? D3DERR_DEVICELOST : D3D_OK;
}

HRESULT NullDevice::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float, DWORD) {
    if ((flags & D3DCLEAR_TARGET) == 0) {
        return D3D_OK;
    }
    const D3DVIEWPORT9& viewport = Viewport();
    Area area = {static_cast<LONG>(viewport.X), static_cast<LONG>(viewport.Y),
                 static_cast<LONG>(viewport.X + viewport.Width), static_cast<LONG>(viewport.Y + viewport.Height)};
    if (State().RenderState(D3DRS_SCISSORTESTENABLE)) {
        const RECT& s = ScissorRect();
        area = Intersect(area, {s.left, s.top, s.right, s.bottom});
    }
    std::vector<Area> areas;
    if (count == 0) {
        areas.push_back(area);
    }
    for (DWORD i = 0; i < count; ++i) {
        areas.push_back(Intersect(area, {rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2}));
    }
    for (UINT t = 0; t < kRenderTargets; ++t) {
        Surface* target = RenderTarget(t);
        if (target == nullptr) {
            continue;
        }
        const D3DSURFACE_DESC& desc = target->Desc();
        const Area whole = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
        uint8_t* pixels = nullptr;
        if (target->GetKind() == Surface::Kind::BackBuffer) {
            // A back buffer cleared whole keeps the one value instead of its pixels.
            bool coversWhole = true;
            for (const Area& a : areas) {
                const Area clipped = Intersect(a, whole);
                coversWhole = coversWhole && clipped.left == whole.left && clipped.top == whole.top &&
                              clipped.right == whole.right && clipped.bottom == whole.bottom;
            }
            if (coversWhole) {
                target->bytes = std::vector<uint8_t>();
                target->fill = color;
                continue;
            }
            pixels = BackBufferPixels(target);
        } else if (target->Container() != nullptr && target->Container()->Format().blockBytes == 4 &&
                   (desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8)) {
            pixels = target->Container()->LevelBytes(target->Level()).data();
        }
        if (pixels == nullptr) {
            continue;
        }
        for (Area a : areas) {
            a = Intersect(a, whole);
            FillArea(pixels, desc.Width * 4, a, color);
        }
    }
    return D3D_OK;
}

HRESULT NullDevice::DoDraw(const DrawCall& call) {
    DeviceState& state = State();
    state.ApplyRenderStates([this](D3DRENDERSTATETYPE s, DWORD value) {
        Record("Apply(%s, %u)", RenderStateName(s), static_cast<unsigned>(value));
    });
    for (UINT sampler = 0; sampler < kSamplers; ++sampler) {
        state.ApplySamplerStates(sampler, [this, sampler](D3DSAMPLERSTATETYPE s, DWORD value) {
            Record("Apply(%u, %s, %u)", sampler, SamplerStateName(s), static_cast<unsigned>(value));
        });
    }
    if (overflowed_ || !Recording()) {
        return D3D_OK;
    }
    DrawRecord record = {};
    record.call = call.name;
    record.type = call.type;
    record.primitiveCount = call.primitiveCount;
    record.startVertex = call.startVertex;
    record.baseVertex = call.baseVertex;
    record.startIndex = call.startIndex;
    record.minIndex = call.minIndex;
    record.maxIndex = call.maxIndex;
    record.declaration = Declaration();
    record.stream0 = Stream(0).buffer;
    record.stream0Offset = Stream(0).offset;
    record.stream0Stride = Stream(0).stride;
    record.indices = Indices();
    for (UINT s = 0; s < kSamplers; ++s) {
        record.textures[s] = BoundTexture(s);
    }
    record.program = Program();
    record.renderTarget0 = RenderTarget(0);
    record.viewport = Viewport();
    record.scissor = ScissorRect();
    for (UINT i = 0; i < kRenderStateCount; ++i) {
        record.renderStates[i] = state.RenderState(kRenderStates[i]);
    }
    if (call.userVertices == nullptr && !call.indexed && Stream(0).buffer != nullptr) {
        // The range a non-indexed draw reads, kept before the buffer is
        // written again.
        const std::vector<uint8_t>& bytes = Stream(0).buffer->Bytes();
        const size_t begin = Stream(0).offset + static_cast<size_t>(call.startVertex) * Stream(0).stride;
        const size_t end = begin + static_cast<size_t>(call.vertexCount) * Stream(0).stride;
        if (end <= bytes.size()) record.vertices.assign(bytes.begin() + begin, bytes.begin() + end);
    }
    if (call.userVertices != nullptr) {
        const uint8_t* bytes = static_cast<const uint8_t*>(call.userVertices);
        record.vertices.assign(bytes, bytes + call.userVertexBytes);
        record.stream0 = nullptr;
        record.stream0Offset = 0;
        record.stream0Stride = call.userStride;
    }
    if (call.userIndices != nullptr) {
        const uint8_t* bytes = static_cast<const uint8_t*>(call.userIndices);
        UINT size = call.userIndexFormat == D3DFMT_INDEX32 ? 4 : 2;
        record.indexBytes.assign(bytes, bytes + static_cast<size_t>(call.vertexCount) * size);
        record.indices = nullptr;
    }
    draws_.push_back(std::move(record));
    return D3D_OK;
}

HRESULT NullDevice::DoReadSurface(Surface* surface, std::vector<DWORD>* pixels) {
    const D3DSURFACE_DESC& desc = surface->Desc();
    size_t count = static_cast<size_t>(desc.Width) * desc.Height;
    const uint8_t* bytes = nullptr;
    if (surface->GetKind() == Surface::Kind::BackBuffer) {
        bytes = BackBufferPixels(surface);
    } else if (surface->Container() != nullptr && (desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_X8R8G8B8)) {
        bytes = surface->Container()->LevelBytes(surface->Level()).data();
    }
    if (bytes == nullptr) {
        ReportError("ReadSurface: the null device keeps no pixels of format %u", static_cast<unsigned>(desc.Format));
        return D3DERR_NOTAVAILABLE;
    }
    pixels->resize(count);
    std::memcpy(pixels->data(), bytes, count * 4);
    if (desc.Format == D3DFMT_X8R8G8B8) {
        for (DWORD& p : *pixels) {
            p |= 0xFF000000u;
        }
    }
    return D3D_OK;
}

ProgramBase* NullDevice::DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) {
    const std::string& failure = GetNullScript().programErrors;
    if (!failure.empty()) {
        *errors = failure;
        return nullptr;
    }
    return new NullProgram(this, vertexSource, fragmentSource);
}

NullDevice* AsNullDevice(IDirect3DDevice9* device) {
    return device == nullptr ? nullptr : dynamic_cast<NullDevice*>(device);
}

}  // namespace d3d9
