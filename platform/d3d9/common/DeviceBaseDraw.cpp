// The device's draw calls: the checks of the state, the streams and the indices
// each draw reads, before the backend draws.
#include <cstring>

#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/common/DeviceBasePrivate.h"

namespace d3d9 {

namespace {

void ScanIndices(const uint8_t* data, UINT count, UINT size, UINT* minIndex, UINT* maxIndex) {
    UINT lo = 0xFFFFFFFFu;
    UINT hi = 0;
    for (UINT i = 0; i < count; ++i) {
        UINT value;
        if (size == 2) {
            uint16_t v;
            std::memcpy(&v, data + static_cast<size_t>(i) * 2, 2);
            value = v;
        } else {
            std::memcpy(&value, data + static_cast<size_t>(i) * 4, 4);
        }
        lo = value < lo ? value : lo;
        hi = value > hi ? value : hi;
    }
    *minIndex = count == 0 ? 0 : lo;
    *maxIndex = hi;
}

// A draw of these primitives with every other field empty, for the caller to fill.
DrawCall NewDrawCall(const char* name, D3DPRIMITIVETYPE type, UINT primitiveCount) {
    DrawCall call = {};
    call.name = name;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.vertexCount = VerticesForPrimitives(type, primitiveCount);
    return call;
}

}  // namespace

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count) {
    uint64_t n = count;
    uint64_t vertices = 0;
    switch (type) {
        case D3DPT_POINTLIST: vertices = n; break;
        case D3DPT_LINELIST: vertices = 2 * n; break;
        case D3DPT_LINESTRIP: vertices = n + 1; break;
        case D3DPT_TRIANGLELIST: vertices = 3 * n; break;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: vertices = n + 2; break;
    }
    return vertices > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<UINT>(vertices);
}

const char* PrimitiveName(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return "D3DPT_POINTLIST";
        case D3DPT_LINELIST: return "D3DPT_LINELIST";
        case D3DPT_LINESTRIP: return "D3DPT_LINESTRIP";
        case D3DPT_TRIANGLELIST: return "D3DPT_TRIANGLELIST";
        case D3DPT_TRIANGLESTRIP: return "D3DPT_TRIANGLESTRIP";
        case D3DPT_TRIANGLEFAN: return "D3DPT_TRIANGLEFAN";
    }
    return nullptr;
}

// ----------------------------------------------------------------------- draws

HRESULT DeviceBase::CheckDrawState(DrawCall* call, bool userMemory) {
    if (PrimitiveName(call->type) == nullptr) {
        ReportError("%s: unknown primitive type %d", call->name, static_cast<int>(call->type));
        return D3DERR_INVALIDCALL;
    }
    if (declaration_ == nullptr) {
        ReportError("%s: no vertex declaration is set", call->name);
        return D3DERR_INVALIDCALL;
    }
    if (userMemory && declaration_->StreamMask() != 1u) {
        ReportError("%s: the declaration reads streams other than 0, which a draw from memory cannot feed", call->name);
        return D3DERR_INVALIDCALL;
    }
    if (!CheckRenderThread(call->name)) {
        return D3DERR_INVALIDCALL;
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        if (textures_[s] != nullptr && textures_[s]->AnyLocked()) {
            ReportError("%s: the texture on stage %u is locked", call->name, s);
            return D3DERR_INVALIDCALL;
        }
    }
    return D3D_OK;
}

HRESULT DeviceBase::CheckStreams(const DrawCall& call, UINT lastVertex) {
    for (UINT s = 0; s < kStreams; ++s) {
        if ((declaration_->StreamMask() & (1u << s)) == 0) {
            continue;
        }
        uint64_t stride = call.userVertices != nullptr ? call.userStride : streams_[s].stride;
        uint64_t offset = call.userVertices != nullptr ? 0 : streams_[s].offset;
        uint64_t length = call.userVertices != nullptr ? call.userVertexBytes : 0;
        if (call.userVertices == nullptr) {
            VertexBuffer* buffer = streams_[s].buffer;
            if (buffer == nullptr) {
                ReportError("%s: stream %u has no vertex buffer", call.name, s);
                return D3DERR_INVALIDCALL;
            }
            if (buffer->Locked()) {
                ReportError("%s: the vertex buffer of stream %u is locked", call.name, s);
                return D3DERR_INVALIDCALL;
            }
            length = buffer->Length();
        }
        uint64_t needed = offset + stride * lastVertex + declaration_->StreamExtent(s);
        if (needed > length) {
            ReportError("%s: vertex %u of stream %u ends at byte %llu, beyond the %llu bytes given", call.name,
                        lastVertex, s, static_cast<unsigned long long>(needed),
                        static_cast<unsigned long long>(length));
            return D3DERR_INVALIDCALL;
        }
    }
    return D3D_OK;
}

HRESULT DeviceBase::FinishDraw(DrawCall& call) {
    HRESULT result = DoDraw(call);
    if (call.userVertices != nullptr) {
        // Drawing from memory leaves stream 0 (and the indices) unset.
        Bind(streams_[0].buffer, static_cast<VertexBuffer*>(nullptr));
        streams_[0].offset = streams_[0].stride = 0;
        if (call.userIndices != nullptr) {
            Bind(indices_, static_cast<IndexBuffer*>(nullptr));
        }
    }
    return result;
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    Record("DrawPrimitive(%s, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?", startVertex, primitiveCount);
    DrawCall call = NewDrawCall("DrawPrimitive", type, primitiveCount);
    call.startVertex = startVertex;
    HRESULT result = CheckDrawState(&call, false);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t last = static_cast<uint64_t>(startVertex) + call.vertexCount - 1;
    if (last > 0xFFFFFFFFu) {
        ReportError("DrawPrimitive: vertices beyond 2^32");
        return D3DERR_INVALIDCALL;
    }
    result = CheckStreams(call, static_cast<UINT>(last));
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                         UINT numVertices, UINT startIndex, UINT primitiveCount) {
    Record("DrawIndexedPrimitive(%s, %d, %u, %u, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?",
           baseVertexIndex, minVertexIndex, numVertices, startIndex, primitiveCount);
    DrawCall call = NewDrawCall("DrawIndexedPrimitive", type, primitiveCount);
    call.indexed = true;
    call.baseVertex = baseVertexIndex;
    call.startIndex = startIndex;
    HRESULT result = CheckDrawState(&call, false);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    if (indices_ == nullptr) {
        ReportError("DrawIndexedPrimitive: no index buffer is set");
        return D3DERR_INVALIDCALL;
    }
    if (indices_->Locked()) {
        ReportError("DrawIndexedPrimitive: the index buffer is locked");
        return D3DERR_INVALIDCALL;
    }
    UINT size = indices_->IndexSize();
    uint64_t available = indices_->Length() / size;
    if (static_cast<uint64_t>(startIndex) + call.vertexCount > available) {
        ReportError("DrawIndexedPrimitive: indices %u..%llu of a buffer of %llu indices", startIndex,
                    static_cast<unsigned long long>(static_cast<uint64_t>(startIndex) + call.vertexCount),
                    static_cast<unsigned long long>(available));
        return D3DERR_INVALIDCALL;
    }
    ScanIndices(indices_->Bytes().data() + static_cast<size_t>(startIndex) * size, call.vertexCount, size,
                &call.minIndex, &call.maxIndex);
    int64_t first = static_cast<int64_t>(baseVertexIndex) + call.minIndex;
    int64_t last = static_cast<int64_t>(baseVertexIndex) + call.maxIndex;
    if (first < 0 || last > 0xFFFFFFFFll) {
        ReportError("DrawIndexedPrimitive: base vertex %d with indices %u..%u reaches outside the vertices",
                    baseVertexIndex, call.minIndex, call.maxIndex);
        return D3DERR_INVALIDCALL;
    }
    result = CheckStreams(call, static_cast<UINT>(last));
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    Record("DrawPrimitiveUP(%s, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?", primitiveCount, stride);
    DrawCall call = NewDrawCall("DrawPrimitiveUP", type, primitiveCount);
    call.userVertices = vertices;
    call.userStride = stride;
    HRESULT result = CheckDrawState(&call, true);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t bytes = static_cast<uint64_t>(call.vertexCount) * stride;
    if (vertices == nullptr || stride == 0 || bytes > kMaxBufferBytes || declaration_->StreamExtent(0) > stride) {
        ReportError("DrawPrimitiveUP: no vertices, or a stride of %u for vertices of %u bytes", stride,
                    declaration_->StreamExtent(0));
        return D3DERR_INVALIDCALL;
    }
    call.userVertexBytes = static_cast<UINT>(bytes);
    result = CheckStreams(call, call.vertexCount - 1);
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                           UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                           const void* vertices, UINT stride) {
    Record("DrawIndexedPrimitiveUP(%s, %u, %u, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?",
           minVertexIndex, numVertices, primitiveCount, stride);
    DrawCall call = NewDrawCall("DrawIndexedPrimitiveUP", type, primitiveCount);
    call.indexed = true;
    call.userVertices = vertices;
    call.userStride = stride;
    call.userIndices = indices;
    call.userIndexFormat = indexFormat;
    HRESULT result = CheckDrawState(&call, true);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t vertexEnd = static_cast<uint64_t>(minVertexIndex) + numVertices;
    uint64_t bytes = vertexEnd * stride;
    if (vertices == nullptr || indices == nullptr || stride == 0 || numVertices == 0 || bytes > kMaxBufferBytes ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) || declaration_->StreamExtent(0) > stride) {
        ReportError("DrawIndexedPrimitiveUP: missing vertices or indices, or a bad stride or index format");
        return D3DERR_INVALIDCALL;
    }
    UINT size = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    ScanIndices(static_cast<const uint8_t*>(indices), call.vertexCount, size, &call.minIndex, &call.maxIndex);
    if (call.minIndex < minVertexIndex || call.maxIndex >= vertexEnd) {
        ReportError("DrawIndexedPrimitiveUP: indices %u..%u outside the vertices %u..%llu given", call.minIndex,
                    call.maxIndex, minVertexIndex, static_cast<unsigned long long>(vertexEnd - 1));
        return D3DERR_INVALIDCALL;
    }
    call.userVertexBytes = static_cast<UINT>(bytes);
    result = CheckStreams(call, call.maxIndex);
    return FAILED(result) ? result : FinishDraw(call);
}

}  // namespace d3d9
