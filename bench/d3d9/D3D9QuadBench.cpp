// One frame: clear, a full-screen quad textured from a 256x256 texture and
// blended over it, present. Both sides draw from memory each frame and read
// the frame back after the last one, so all the drawing is finished inside
// the measurement. Run with SDL_VIDEODRIVER=offscreen when there is no display.
#include <SDL.h>
#include <GL/glcorearb.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/d3d9.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 100;
constexpr int kTextureSide = 256;

const char kVertexShader[] = R"(#version 330
layout(location = 0) in vec4 inPosition;
layout(location = 8) in vec2 inUV;
out vec2 uv;
void main() {
    gl_Position = inPosition;
    uv = inUV;
}
)";

const char kFragmentShader[] = R"(#version 330
in vec2 uv;
uniform sampler2D tex;
uniform vec4 tint;
out vec4 fragColor;
void main() {
    fragColor = texture(tex, uv) * tint;
}
)";

std::vector<DWORD> Checker() {
    std::vector<DWORD> texels(kTextureSide * kTextureSide);
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            texels[y * kTextureSide + x] = ((x / 16 + y / 16) % 2) != 0 ? 0x80FF8040u : 0xC02060FFu;
        }
    }
    return texels;
}

SDL_Window* g_window = nullptr;

SDL_Window* Identity(HWND window) { return reinterpret_cast<SDL_Window*>(window); }

// ------------------------------------------------------------- the substitute

struct ScreenVertex {
    float x, y, z, rhw, u, v;
};

void BM_Substitute(benchmark::State& state) {
    d3d9::SetWindowResolver(&Identity);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = kWidth;
    params.BackBufferHeight = kHeight;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 2;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (d3d == nullptr || d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(g_window),
                                            D3DCREATE_MULTITHREADED, &params, &device) != D3D_OK) {
        state.SkipWithError("no Direct3D device");
        return;
    }
    d3d9::ShaderProgram* program = nullptr;
    std::string errors;
    d3d9::CreateProgram(device, kVertexShader, kFragmentShader, &program, &errors);
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
        {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END(),
    };
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(kTextureSide, kTextureSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    std::vector<DWORD> texels = Checker();
    std::memcpy(locked.pBits, texels.data(), texels.size() * 4);
    texture->UnlockRect(0);
    const float tint[4] = {1.0f, 1.0f, 1.0f, 0.75f};
    const int unit = 0;
    std::vector<DWORD> pixels;
    const ScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0},
                                  {kWidth - 0.5f, -0.5f, 0.5f, 1, 1, 0},
                                  {-0.5f, kHeight - 0.5f, 0.5f, 1, 0, 1},
                                  {kWidth - 0.5f, kHeight - 0.5f, 0.5f, 1, 1, 1}};

    for (auto _ : state) {
        for (int frame = 0; frame < kFrames; ++frame) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF203040, 1.0f, 0);
            device->BeginScene();
            d3d9::SetProgram(device, program);
            program->SetFloats("tint", tint, 4);
            program->SetInts("tex", &unit, 1);
            device->SetVertexDeclaration(declaration);
            device->SetTexture(0, texture);
            device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
            device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
            device->EndScene();
            if (frame + 1 == kFrames) {
                d3d9::ReadBackBuffer(device, &pixels, nullptr, nullptr);
            }
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
    }
    benchmark::DoNotOptimize(pixels.data());
    if (!d3d9::GetErrors(device).empty()) {
        state.SkipWithError(d3d9::GetErrors(device).front().c_str());
    }
    texture->Release();
    declaration->Release();
    program->Release();
    device->Release();
    d3d->Release();
}

// ----------------------------------------------------------------- plain GL

#define BENCH_GL(X)                                                   \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                \
    X(PFNGLCLEARPROC, Clear)                                          \
    X(PFNGLENABLEPROC, Enable)                                        \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                  \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                  \
    X(PFNGLVIEWPORTPROC, Viewport)                                    \
    X(PFNGLGENTEXTURESPROC, GenTextures)                              \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                              \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                          \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                        \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                \
    X(PFNGLBUFFERDATAPROC, BufferData)                                \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                          \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                      \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                      \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)              \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)      \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                \
    X(PFNGLCREATESHADERPROC, CreateShader)                            \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                            \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                          \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                          \
    X(PFNGLATTACHSHADERPROC, AttachShader)                            \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                              \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                          \
    X(PFNGLDELETESHADERPROC, DeleteShader)                            \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                  \
    X(PFNGLREADPIXELSPROC, ReadPixels)

struct GL {
#define BENCH_MEMBER(type, name) type name = nullptr;
    BENCH_GL(BENCH_MEMBER)
#undef BENCH_MEMBER
    bool Load() {
#define BENCH_LOAD(type, name)                                                    \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));            \
    if (name == nullptr) return false;
        BENCH_GL(BENCH_LOAD)
#undef BENCH_LOAD
        return true;
    }
};

GLuint Shader(const GL& gl, GLenum type, const char* source) {
    GLuint shader = gl.CreateShader(type);
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    return shader;
}

void BM_RawGL(benchmark::State& state) {
    SDL_GLContext context = SDL_GL_CreateContext(g_window);
    GL gl;
    if (context == nullptr || !gl.Load()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    SDL_GL_MakeCurrent(g_window, context);
    SDL_GL_SetSwapInterval(0);
    GLuint vs = Shader(gl, GL_VERTEX_SHADER, kVertexShader);
    GLuint fs = Shader(gl, GL_FRAGMENT_SHADER, kFragmentShader);
    GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vs);
    gl.AttachShader(program, fs);
    gl.LinkProgram(program);
    GLint tintLocation = gl.GetUniformLocation(program, "tint");
    GLint texLocation = gl.GetUniformLocation(program, "tex");
    GLuint texture = 0;
    gl.GenTextures(1, &texture);
    gl.BindTexture(GL_TEXTURE_2D, texture);
    std::vector<DWORD> texels = Checker();
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSide, kTextureSide, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                  texels.data());
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLuint vao = 0;
    GLuint buffer = 0;
    gl.GenVertexArrays(1, &vao);
    gl.BindVertexArray(vao);
    gl.GenBuffers(1, &buffer);
    const float tint[4] = {1.0f, 1.0f, 1.0f, 0.75f};
    const float quad[4][6] = {{-1, 1, 0.0f, 1, 0, 0}, {1, 1, 0.0f, 1, 1, 0}, {-1, -1, 0.0f, 1, 0, 1},
                              {1, -1, 0.0f, 1, 1, 1}};  // depth 0.5, as the device's z of 0.5
    std::vector<DWORD> pixels(static_cast<size_t>(kWidth) * kHeight);
    gl.Viewport(0, 0, kWidth, kHeight);
    // The same work as the device does in its default state: depth test and writes on.
    gl.Enable(GL_DEPTH_TEST);
    gl.DepthFunc(GL_LEQUAL);

    for (auto _ : state) {
        for (int frame = 0; frame < kFrames; ++frame) {
            gl.ClearColor(0.125f, 0.1875f, 0.25f, 1.0f);
            gl.ClearDepth(1.0);
            gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            gl.UseProgram(program);
            gl.Uniform4fv(tintLocation, 1, tint);
            gl.Uniform1i(texLocation, 0);
            gl.BindTexture(GL_TEXTURE_2D, texture);
            gl.Enable(GL_BLEND);
            gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
            gl.BufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STREAM_DRAW);
            gl.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 24, nullptr);
            gl.VertexAttribPointer(8, 2, GL_FLOAT, GL_FALSE, 24, reinterpret_cast<const void*>(16));
            gl.EnableVertexAttribArray(0);
            gl.EnableVertexAttribArray(8);
            gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
            if (frame + 1 == kFrames) {
                gl.ReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
            }
            SDL_GL_SwapWindow(g_window);
        }
    }
    benchmark::DoNotOptimize(pixels.data());
    gl.DeleteBuffers(1, &buffer);
    gl.DeleteVertexArrays(1, &vao);
    gl.DeleteTextures(1, &texture);
    gl.DeleteProgram(program);
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    SDL_GL_MakeCurrent(g_window, nullptr);
    SDL_GL_DeleteContext(context);
}

BENCHMARK(BM_RawGL)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Substitute)->Unit(benchmark::kMillisecond)->UseRealTime();

// Averages each benchmark's time per iteration over its repetitions, so that
// main can print the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                Mean& mean = times[run.run_name.function_name];
                mean.sum += run.GetAdjustedRealTime();
                ++mean.count;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) {
        const Mean& mean = times[name];
        return mean.count > 0 ? mean.sum / mean.count : 0.0;
    }

private:
    struct Mean {
        double sum = 0.0;
        int count = 0;
    };
    std::map<std::string, Mean> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "no video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    g_window = SDL_CreateWindow("bench_d3d9", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (g_window == nullptr) {
        std::fprintf(stderr, "no window: %s\n", SDL_GetError());
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double substitute = reporter.Time("BM_Substitute");
    double raw = reporter.Time("BM_RawGL");
    if (substitute > 0 && raw > 0) {
        std::printf("substitute / raw OpenGL: %.3f (goal: at most 1.10)\n", substitute / raw);
    }
    SDL_DestroyWindow(g_window);
    SDL_Quit();
    return 0;
}
