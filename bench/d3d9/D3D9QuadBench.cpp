// One frame: clear, a full-screen quad textured from a 256x256 texture and
// blended over it, present. Both sides draw from memory each frame and read
// the frame back after the last one, so all the drawing is finished inside
// the measurement. Run with SDL_VIDEODRIVER=offscreen when there is no display.
#include <SDL.h>
#include <GL/glcorearb.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/ByTurns.h"
#include "bench/support/QuadFrame.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/d3d9.h"
#include "tests/support/GLDevice.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 100;
SDL_Window* g_window = nullptr;

// ------------------------------------------------------------- the substitute

class SubstituteScene {
public:
    bool Open() {
        if (testsupport::CreateGLDevice(g_window, testsupport::WindowedParameters(kWidth, kHeight, 2),
                                        D3DCREATE_MULTITHREADED, &d3d_, &device_) != D3D_OK) {
            return false;
        }
        quad_.reset(new benchsupport::QuadFrame());
        return quad_->Open(device_, kWidth, kHeight);
    }

    // kFrames frames, the last one read back.
    void Frames() {
        for (int frame = 0; frame < kFrames; ++frame) {
            quad_->Frame(frame + 1 == kFrames ? &pixels_ : nullptr);
        }
        benchmark::DoNotOptimize(pixels_.data());
    }

    std::string Error() const {
        std::vector<std::string> errors = d3d9::GetErrors(device_);
        return errors.empty() ? std::string() : errors.front();
    }

    ~SubstituteScene() {
        quad_.reset();  // before the device
        for (IUnknown* object : std::initializer_list<IUnknown*>{device_, d3d_}) {
            if (object != nullptr) {
                object->Release();
            }
        }
    }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::unique_ptr<benchsupport::QuadFrame> quad_;
    std::vector<DWORD> pixels_;
};

// ----------------------------------------------------------------- plain GL

#define BENCH_GL(X)                                              \
    X(PFNGLCLEARCOLORPROC, ClearColor)                           \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                           \
    X(PFNGLCLEARPROC, Clear)                                     \
    X(PFNGLENABLEPROC, Enable)                                   \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                             \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                             \
    X(PFNGLVIEWPORTPROC, Viewport)                               \
    X(PFNGLGENTEXTURESPROC, GenTextures)                         \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                         \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                           \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                     \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                   \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                           \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                           \
    X(PFNGLBUFFERDATAPROC, BufferData)                           \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                     \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                 \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                 \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)           \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)         \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                           \
    X(PFNGLCREATESHADERPROC, CreateShader)                       \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                       \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                     \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                     \
    X(PFNGLATTACHSHADERPROC, AttachShader)                       \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                         \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                           \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                     \
    X(PFNGLDELETESHADERPROC, DeleteShader)                       \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)           \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                           \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                             \
    X(PFNGLREADPIXELSPROC, ReadPixels)                           \
    X(PFNGLFLUSHPROC, Flush)

struct GL {
#define BENCH_MEMBER(type, name) type name = nullptr;
    BENCH_GL(BENCH_MEMBER)
#undef BENCH_MEMBER
    bool Load() {
#define BENCH_LOAD(type, name)                                        \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name)); \
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

class RawScene {
public:
    bool Open() {
        context_ = SDL_GL_CreateContext(g_window);
        if (context_ == nullptr || !gl_.Load()) {
            return false;
        }
        MakeCurrent();
        SDL_GL_SetSwapInterval(0);
        vs_ = Shader(gl_, GL_VERTEX_SHADER, testsupport::kTexturedQuadVertexShader);
        fs_ = Shader(gl_, GL_FRAGMENT_SHADER, testsupport::kTexturedQuadFragmentShader);
        program_ = gl_.CreateProgram();
        gl_.AttachShader(program_, vs_);
        gl_.AttachShader(program_, fs_);
        gl_.LinkProgram(program_);
        tint_location_ = gl_.GetUniformLocation(program_, "tint");
        tex_location_ = gl_.GetUniformLocation(program_, "tex");
        gl_.GenTextures(1, &texture_);
        gl_.BindTexture(GL_TEXTURE_2D, texture_);
        std::vector<DWORD> texels = benchsupport::QuadChecker();
        gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, benchsupport::kQuadTextureSide, benchsupport::kQuadTextureSide, 0,
                       GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, texels.data());
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl_.GenVertexArrays(1, &vao_);
        gl_.BindVertexArray(vao_);
        gl_.GenBuffers(1, &buffer_);
        gl_.Viewport(0, 0, kWidth, kHeight);
        // The same work as the device does in its default state: depth test and writes on.
        gl_.Enable(GL_DEPTH_TEST);
        gl_.DepthFunc(GL_LEQUAL);
        pixels_.resize(static_cast<size_t>(kWidth) * kHeight);
        return true;
    }

    void MakeCurrent() { SDL_GL_MakeCurrent(g_window, context_); }

    void Frames() {
        MakeCurrent();
        const float tint[4] = {1.0f, 1.0f, 1.0f, 0.75f};
        // Depth 0.5, as the device's z of 0.5.
        const float quad[4][6] = {
            {-1, 1, 0.0f, 1, 0, 0}, {1, 1, 0.0f, 1, 1, 0}, {-1, -1, 0.0f, 1, 0, 1}, {1, -1, 0.0f, 1, 1, 1}};
        for (int frame = 0; frame < kFrames; ++frame) {
            gl_.ClearColor(0.125f, 0.1875f, 0.25f, 1.0f);
            gl_.ClearDepth(1.0);
            gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            gl_.UseProgram(program_);
            gl_.Uniform4fv(tint_location_, 1, tint);
            gl_.Uniform1i(tex_location_, 0);
            gl_.BindTexture(GL_TEXTURE_2D, texture_);
            gl_.Enable(GL_BLEND);
            gl_.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            gl_.BindBuffer(GL_ARRAY_BUFFER, buffer_);
            gl_.BufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STREAM_DRAW);
            gl_.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 24, nullptr);
            gl_.VertexAttribPointer(8, 2, GL_FLOAT, GL_FALSE, 24, reinterpret_cast<const void*>(16));
            gl_.EnableVertexAttribArray(0);
            gl_.EnableVertexAttribArray(8);
            gl_.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
            if (frame + 1 == kFrames) {
                gl_.ReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels_.data());
            }
            // Each frame goes to the renderer, as the device's present hands it over.
            gl_.Flush();
            SDL_GL_SwapWindow(g_window);
        }
        benchmark::DoNotOptimize(pixels_.data());
    }

    ~RawScene() {
        if (context_ == nullptr) {
            return;
        }
        MakeCurrent();
        gl_.DeleteBuffers(1, &buffer_);
        gl_.DeleteVertexArrays(1, &vao_);
        gl_.DeleteTextures(1, &texture_);
        gl_.DeleteProgram(program_);
        gl_.DeleteShader(vs_);
        gl_.DeleteShader(fs_);
        SDL_GL_MakeCurrent(g_window, nullptr);
        SDL_GL_DeleteContext(context_);
    }

private:
    SDL_GLContext context_ = nullptr;
    GL gl_;
    GLuint vs_ = 0;
    GLuint fs_ = 0;
    GLuint program_ = 0;
    GLint tint_location_ = -1;
    GLint tex_location_ = -1;
    GLuint texture_ = 0;
    GLuint vao_ = 0;
    GLuint buffer_ = 0;
    std::vector<DWORD> pixels_;
};

// ------------------------------------------------------------------ benchmarks

void BM_Substitute(benchmark::State& state) {
    SubstituteScene scene;
    if (!scene.Open()) {
        state.SkipWithError("no Direct3D device");
        return;
    }
    for (auto _ : state) {
        scene.Frames();
    }
    if (!scene.Error().empty()) {
        state.SkipWithError(scene.Error().c_str());
    }
}

void BM_RawGL(benchmark::State& state) {
    RawScene scene;
    if (!scene.Open()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    for (auto _ : state) {
        scene.Frames();
    }
}

// Both sides by turns within each iteration, so that load from elsewhere on the
// machine falls on both alike; the ratio comes from here (the median of the turns).
benchsupport::ByTurns g_turns;

void BM_Interleaved(benchmark::State& state) {
    RawScene raw;
    SubstituteScene substitute;
    if (!raw.Open() || !substitute.Open()) {
        state.SkipWithError("no OpenGL");
        return;
    }
    for (auto _ : state) {
        g_turns.Turn([&] { raw.Frames(); }, [&] { substitute.Frames(); });
    }
    state.counters["ratio"] = g_turns.MedianRatio();
}

BENCHMARK(BM_RawGL)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Substitute)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Interleaved)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

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
    g_window = benchsupport::OpenBenchWindow("bench_d3d9", kWidth, kHeight);
    if (g_window == nullptr) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double substitute = reporter.Time("BM_Substitute");
    double raw = reporter.Time("BM_RawGL");
    if (substitute > 0 && raw > 0) {
        std::printf("substitute / raw OpenGL, run apart: %.3f\n", substitute / raw);
    }
    if (g_turns.Turns() > 0) {
        std::printf("substitute / raw OpenGL, by turns: median %.3f of %zu turns (%.3f to %.3f; goal: at most 1.10)\n",
                    g_turns.MedianRatio(), g_turns.Turns(), g_turns.MinRatio(), g_turns.MaxRatio());
    }
    SDL_DestroyWindow(g_window);
    SDL_Quit();
    return 0;
}
