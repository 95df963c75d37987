// The OpenGL device's draws: vertex and index buffers, vertex attributes and the
// draw call itself.
#include <cstring>
#include <memory>

#include "platform/d3d9/gl/GLDevice.h"
#include "platform/d3d9/gl/GLProgram.h"

namespace d3d9 {

namespace {

// Nudge, in pixels, that moves geometry drawn into the window towards the top,
// so that triangle edges lying exactly on pixel centres are settled as by
// Direct3D's top-left fill rule (OpenGL's rows run the other way). One step
// of the usual 8-bit sub-pixel grid: enough to settle the tie, and it moves
// texture lookups by 1/256 of a pixel at most. Off-screen targets store rows
// top first and need none.
constexpr float kEdgeNudge = 1.0f / 256.0f;

class GLBufferObject : public BackendObject {
public:
    GLBufferObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLBufferObject() override { device_->QueueDeleteBuffer(name); }
    GLDevice* device_;
    GLuint name;
    bool allocated = false;
};

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

GLenum UsageHint(DWORD usage) { return (usage & D3DUSAGE_DYNAMIC) != 0 ? GL_STREAM_DRAW : GL_STATIC_DRAW; }

}  // namespace

// ------------------------------------------------------------------- vertices

GLuint GLDevice::BufferName(BufferStore* store, ResourceLink* link, GLenum target) {
    auto* object = static_cast<GLBufferObject*>(link->Backend());
    if (object == nullptr) {
        GLuint name = 0;
        gl_.GenBuffers(1, &name);
        link->SetBackend(std::make_unique<GLBufferObject>(this, name));
        object = static_cast<GLBufferObject*>(link->Backend());
    }
    BufferStore::Changes changes = store->TakeChanges();
    if (object->allocated && !changes.any) {
        return object->name;
    }
    gl_.BindBuffer(target, object->name);
    if (target == GL_ELEMENT_ARRAY_BUFFER) {
        bound_index_buffer_ = object->name;
    }
    const uint8_t* bytes = store->Bytes().data();
    if (!object->allocated) {
        gl_.BufferData(target, store->Length(), bytes, UsageHint(store->Usage()));
        object->allocated = true;
    } else {
        if (changes.discarded) {
            // A fresh store, so the draw in flight keeps the old contents.
            gl_.BufferData(target, store->Length(), nullptr, UsageHint(store->Usage()));
        }
        if (changes.end > changes.begin) {
            gl_.BufferSubData(target, changes.begin, changes.end - changes.begin, bytes + changes.begin);
        }
    }
    return object->name;
}

void GLDevice::SetupAttributes(const DrawCall& call, GLuint userBuffer) {
    VertexDeclaration* declaration = Declaration();
    GLuint buffers[kStreams] = {};
    UINT offsets[kStreams] = {};
    UINT strides[kStreams] = {};
    for (UINT s = 0; s < kStreams; ++s) {
        if ((declaration->StreamMask() & (1u << s)) == 0) {
            continue;
        }
        if (call.userVertices != nullptr) {
            buffers[s] = userBuffer;
            strides[s] = call.userStride;
        } else {
            VertexBuffer* buffer = Stream(s).buffer;
            buffers[s] = BufferName(buffer, buffer, GL_ARRAY_BUFFER);
            offsets[s] = Stream(s).offset;
            strides[s] = Stream(s).stride;
        }
    }
    if (attributes_valid_ && attribute_declaration_ == declaration &&
        std::memcmp(buffers, attribute_buffers_, sizeof(buffers)) == 0 &&
        std::memcmp(offsets, attribute_offsets_, sizeof(offsets)) == 0 &&
        std::memcmp(strides, attribute_strides_, sizeof(strides)) == 0) {
        return;
    }
    UINT enabled = 0;
    for (const D3DVERTEXELEMENT9& e : declaration->Elements()) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, buffers[e.Stream]);
        const void* pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(offsets[e.Stream] + e.Offset));
        GLsizei stride = static_cast<GLsizei>(strides[e.Stream]);
        GLint size = 4;
        GLenum type = GL_FLOAT;
        GLboolean normalised = GL_FALSE;
        switch (e.Type) {
            case D3DDECLTYPE_FLOAT1: size = 1; break;
            case D3DDECLTYPE_FLOAT2: size = 2; break;
            case D3DDECLTYPE_FLOAT3: size = 3; break;
            case D3DDECLTYPE_FLOAT4: size = 4; break;
            // Stored B, G, R, A in memory; the shader reads r, g, b, a from 0 to 1.
            case D3DDECLTYPE_D3DCOLOR:
                size = GL_BGRA;
                type = GL_UNSIGNED_BYTE;
                normalised = GL_TRUE;
                break;
            case D3DDECLTYPE_UBYTE4: type = GL_UNSIGNED_BYTE; break;
        }
        GLuint location = static_cast<GLuint>(AttributeLocation(e.Usage, e.UsageIndex));
        gl_.VertexAttribPointer(location, size, type, normalised, stride, pointer);
        enabled |= 1u << location;
        if (e.Usage == D3DDECLUSAGE_POSITIONT) {
            gl_.VertexAttribPointer(kPositionTLocation, size, type, normalised, stride, pointer);
            enabled |= 1u << kPositionTLocation;
        }
    }
    for (GLuint location = 0; location < 16; ++location) {
        bool want = (enabled & (1u << location)) != 0;
        bool have = (enabled_attributes_ & (1u << location)) != 0;
        if (want && !have) {
            gl_.EnableVertexAttribArray(location);
        } else if (!want && have) {
            gl_.DisableVertexAttribArray(location);
        }
    }
    enabled_attributes_ = enabled;
    declaration->AddRef();
    if (attribute_declaration_ != nullptr) {
        attribute_declaration_->Release();
    }
    attribute_declaration_ = declaration;
    std::memcpy(attribute_buffers_, buffers, sizeof(buffers));
    std::memcpy(attribute_offsets_, offsets, sizeof(offsets));
    std::memcpy(attribute_strides_, strides, sizeof(strides));
    attributes_valid_ = true;
}

// ---------------------------------------------------------------------- calls

HRESULT GLDevice::DoDraw(const DrawCall& call) {
    MakeCurrent();
    FlushDeletions();
    auto* program = static_cast<GLProgram*>(Program());
    if (program == nullptr) {
        ReportError("%s: no shader program is set", call.name);
        return D3DERR_INVALIDCALL;
    }
    VertexDeclaration* declaration = Declaration();
    if (call.userVertices == nullptr) {
        for (UINT s = 0; s < kStreams; ++s) {
            if ((declaration->StreamMask() & (1u << s)) != 0 && Stream(s).stride == 0) {
                ReportError("%s: stream %u has a stride of 0", call.name, s);
                return D3DERR_INVALIDCALL;
            }
        }
    }
    if (!BindTargets(call.name)) {
        return D3DERR_INVALIDCALL;
    }
    ApplyViewportAndScissor();
    ApplyRenderStates();
    if (!ApplyTextures(call.name)) {
        return D3DERR_INVALIDCALL;
    }
    if (used_program_ != program->Name()) {
        gl_.UseProgram(program->Name());
        used_program_ = program->Name();
    }
    program->SendUniforms(gl_);

    // Direct3D clip space to OpenGL's for this target and viewport.
    const D3DVIEWPORT9& v = Viewport();
    float width = static_cast<float>(v.Width);
    float height = static_cast<float>(v.Height);
    float fixup[4] = {1.0f / width, flipped_ ? 1.0f / height : (1.0f - 2.0f * kEdgeNudge) / height,
                      flipped_ ? -1.0f : 1.0f, declaration->PreTransformed() ? 1.0f : 0.0f};
    float screenToClip[4] = {2.0f / width, -2.0f / height, -1.0f - 2.0f * static_cast<float>(v.X) / width,
                             1.0f + 2.0f * static_cast<float>(v.Y) / height};
    program->SendFixup(gl_, fixup, screenToClip);

    GLuint userBuffer = 0;
    if (call.userVertices != nullptr) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, stream_vertices_);
        gl_.BufferData(GL_ARRAY_BUFFER, call.userVertexBytes, call.userVertices, GL_STREAM_DRAW);
        userBuffer = stream_vertices_;
    }
    SetupAttributes(call, userBuffer);

    GLenum mode = PrimitiveMode(call.type);
    GLsizei count = static_cast<GLsizei>(call.vertexCount);
    if (!call.indexed) {
        gl_.DrawArrays(mode, static_cast<GLint>(call.startVertex), count);
        return D3D_OK;
    }
    GLenum type;
    uintptr_t offset = 0;
    if (call.userIndices != nullptr) {
        UINT size = call.userIndexFormat == D3DFMT_INDEX32 ? 4 : 2;
        type = size == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream_indices_);
        bound_index_buffer_ = stream_indices_;
        gl_.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * size, call.userIndices,
                       GL_STREAM_DRAW);
    } else {
        IndexBuffer* indices = Indices();
        GLuint name = BufferName(indices, indices, GL_ELEMENT_ARRAY_BUFFER);
        if (bound_index_buffer_ != name) {
            gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
            bound_index_buffer_ = name;
        }
        type = indices->IndexSize() == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        offset = static_cast<uintptr_t>(call.startIndex) * indices->IndexSize();
    }
    gl_.DrawElementsBaseVertex(mode, count, type, reinterpret_cast<const void*>(offset), call.baseVertex);
    return D3D_OK;
}

}  // namespace d3d9
