#pragma once
// The OpenGL 3.3 core entry points the GL backend calls, loaded through SDL
// for the context that is current.
#include <GL/glcorearb.h>

namespace d3d9 {

#define DM_GL_FUNCTIONS(X)                                                               \
    X(PFNGLGETSTRINGPROC, GetString)                                                     \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                 \
    X(PFNGLGETERRORPROC, GetError)                                                       \
    X(PFNGLENABLEPROC, Enable)                                                           \
    X(PFNGLDISABLEPROC, Disable)                                                         \
    X(PFNGLVIEWPORTPROC, Viewport)                                                       \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                                                   \
    X(PFNGLSCISSORPROC, Scissor)                                                         \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                   \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                                   \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                                               \
    X(PFNGLCLEARPROC, Clear)                                                             \
    X(PFNGLCOLORMASKPROC, ColorMask)                                                     \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                                     \
    X(PFNGLSTENCILMASKPROC, StencilMask)                                                 \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                     \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                                     \
    X(PFNGLBLENDEQUATIONPROC, BlendEquation)                                             \
    X(PFNGLCULLFACEPROC, CullFace)                                                       \
    X(PFNGLFRONTFACEPROC, FrontFace)                                                     \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                                                 \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                 \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                   \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                                   \
    X(PFNGLDRAWBUFFERSPROC, DrawBuffers)                                                 \
    X(PFNGLFINISHPROC, Finish)                                                           \
    X(PFNGLFLUSHPROC, Flush)                                                             \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                                 \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                           \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                                 \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                             \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                                   \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                             \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                                                 \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                                           \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                                 \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                                     \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                                   \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                             \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                                   \
    X(PFNGLBUFFERDATAPROC, BufferData)                                                   \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                             \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                                         \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                   \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                         \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                                 \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                         \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)                       \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                   \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)                           \
    X(PFNGLCREATESHADERPROC, CreateShader)                                               \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                               \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                             \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                                 \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                                       \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                               \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                             \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                               \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                                 \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                               \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                     \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                             \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                                   \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                   \
    X(PFNGLGETACTIVEUNIFORMPROC, GetActiveUniform)                                       \
    X(PFNGLUNIFORM1FVPROC, Uniform1fv)                                                   \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv)                                                   \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                                                   \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                                   \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv)                                                   \
    X(PFNGLUNIFORM2IVPROC, Uniform2iv)                                                   \
    X(PFNGLUNIFORM3IVPROC, Uniform3iv)                                                   \
    X(PFNGLUNIFORM4IVPROC, Uniform4iv)                                                   \
    X(PFNGLUNIFORM4FPROC, Uniform4f)                                                     \
    X(PFNGLUNIFORMMATRIX2FVPROC, UniformMatrix2fv)                                       \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv)                                       \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                                       \
    X(PFNGLUNIFORMMATRIX2X3FVPROC, UniformMatrix2x3fv)                                   \
    X(PFNGLUNIFORMMATRIX3X2FVPROC, UniformMatrix3x2fv)                                   \
    X(PFNGLUNIFORMMATRIX2X4FVPROC, UniformMatrix2x4fv)                                   \
    X(PFNGLUNIFORMMATRIX4X2FVPROC, UniformMatrix4x2fv)                                   \
    X(PFNGLUNIFORMMATRIX3X4FVPROC, UniformMatrix3x4fv)                                   \
    X(PFNGLUNIFORMMATRIX4X3FVPROC, UniformMatrix4x3fv)                                   \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                         \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                   \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                         \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                               \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                         \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                           \
    X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC, GetFramebufferAttachmentParameteriv) \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                                       \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                                 \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                                       \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)

struct GLFunctions {
#define DM_GL_MEMBER(type, name) type name = nullptr;
    DM_GL_FUNCTIONS(DM_GL_MEMBER)
#undef DM_GL_MEMBER

    // Loads every entry point of the current context; false names the first missing one.
    bool Load(const char** missing);
    // The context's version, e.g. 33 for 3.3.
    int Version() const;
};

}  // namespace d3d9
