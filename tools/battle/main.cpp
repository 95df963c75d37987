// dunmarch-battle [--preload | --no-preload] [--frames N] [--until-end] [--dt MS] [--trace]
//                 [--script FILE] [--no-particles] [--record FILE] [--demo FILE] [--save-at N]
//                 [--continue] [--screenshot STEP:FILE]...
//
// Starts the game in the current folder as the game tests do (the application on the
// recording null device through the shell's device globals), loads the English texts
// and the global fonts, runs the loading at program start (--preload, the default: the
// loader thread by turns with this one, a "progress" line per value it publishes),
// starts a new battle on the first map and runs frames of a fixed length on the fake
// clock: the in-game window's update, the audio device's, and its draw inside the
// renderer's scene. It never sleeps. Prints a line per wave begun and ended and a final
// line; --trace adds, per step, the gold, the score and every unit, and per frame the
// particles the renderer counted and a line per visible effect with the screen
// rectangle of its world box. --no-particles empties the particle batches between the
// update and the draw: the frame is drawn without particles. After a preloaded
// battle it lists the models and clip tables the battle still had to load itself
// ("after preloading: ..."). --script plays the player's input (tools/battle/Script.h);
// --until-end leaves a finished battle with a click once it may be left and prints the
// event posted. A live battle tells whether its data stamp finds the data
// modified; --record FILE writes its recording (head and body) when the run ends.
// --demo FILE copies FILE to "test.dem" here and replays it. --save-at N writes
// "savegame.dat" here once the step counter reaches N, prints the digest of that step's
// trace line and ends (with --until-end the run goes on to the end); --continue starts from "savegame.dat" (which goes once used) and
// prints the digest right after loading. Exit 1 when no battle starts (a savegame that
// cannot be continued is refused so), a file cannot be written or a script line fails.
// --screenshot STEP:FILE (repeatable) draws the whole run on OpenGL in a hidden window
// (SDL offscreen where there is no display) instead of the null device, and writes the
// frame drawn once the step counter has reached STEP as a PNG; a shot the run never
// reached is an error. STEP "end" takes the last frame the run draws.
//
// The frames' sound is mixed on OpenAL's loopback device, a frame's worth per frame.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "App/CGame.h"
#include "Audio/AudioDevice.h"
#include "Audio/LoopbackAudio.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Classes/Loading/LoaderHandover.h"
#include "Core/ContentLoader.h"
#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "IO/ContentChecksums.h"
#include "IO/MemoryStream.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/NodeTraverser.h"
#include "SceneGraph/Scene.h"
#include "SceneGraph/Switch.h"
#include "particles/CSEffectInstance.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleFrameState.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/win32/Time.h"
#include "platform/Trace.h"
#include "shell/ShellDevice.h"
#include "shell/ShellGlobals.h"
#include "shell/TouchEvent.h"
#include "tools/battle/Script.h"
#include "tools/databuilder/PngWriter.h"

namespace fs = std::filesystem;

namespace {

// --until-end stops after this much battle time whatever happens (the brains may never
// end a wave).
const long kBattleTimeCap = 30L * 60 * 1000;

struct Options {
    long frames = 0;
    bool untilEnd = false;
    int dt = 33;
    bool trace = false;
    bool particles = true;
    bool preload = true;
    std::string record;
    std::string demo;
    long saveAt = -1;
    bool continueSaved = false;
    std::string script;
    struct Shot {
        long step;  // kLastFrame: the run's last frame
        std::string file;
        bool taken;

        // Due in a frame whose draw left the step counter there.
        bool Due(uint32_t counter, bool lastFrame) const {
            return !taken && (step == kLastFrame ? lastFrame : counter >= static_cast<uint32_t>(step));
        }
    };
    static constexpr long kLastFrame = -1;
    std::vector<Shot> shots;
};

// "STEP:FILE" with a step of 0 or more, or "end", and a file name.
bool ParseShot(const std::string& text, std::vector<Options::Shot>& shots) {
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos || colon + 1 == text.size()) return false;
    const std::string head = text.substr(0, colon);
    long step = Options::kLastFrame;
    if (head != "end") {
        char* end = nullptr;
        step = std::strtol(head.c_str(), &end, 10);
        if (*end != '\0' || step < 0) return false;
    }
    shots.push_back({step, text.substr(colon + 1), false});
    return true;
}

// The battle's events as it posts them.
void PrintPosted(const char* line) {
    static const char kPrefix[] = "battle event: ";
    if (std::strncmp(line, kPrefix, sizeof kPrefix - 1) == 0) std::printf("posted %s\n", line + sizeof kPrefix - 1);
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) options.frames = std::atol(argv[++i]);
        else if (arg == "--dt" && i + 1 < argc) options.dt = std::atoi(argv[++i]);
        else if (arg == "--until-end") options.untilEnd = true;
        else if (arg == "--trace") options.trace = true;
        else if (arg == "--script" && i + 1 < argc) options.script = argv[++i];
        else if (arg == "--no-particles") options.particles = false;
        else if (arg == "--preload") options.preload = true;
        else if (arg == "--no-preload") options.preload = false;
        else if (arg == "--record" && i + 1 < argc) options.record = argv[++i];
        else if (arg == "--demo" && i + 1 < argc) options.demo = argv[++i];
        else if (arg == "--save-at" && i + 1 < argc) options.saveAt = std::atol(argv[++i]);
        else if (arg == "--continue") options.continueSaved = true;
        else if (arg == "--screenshot" && i + 1 < argc) {
            if (!ParseShot(argv[++i], options.shots)) return false;
        } else return false;
    }
    return options.dt > 0 && options.frames >= 0;
}

// The step's line of --trace: the gold, the score and every unit.
std::string TraceLine(const CDunmarchGame& battle) {
    char text[128];
    std::snprintf(text, sizeof text, "step %u gold %d score %d", battle.GetStepCounter(), battle.GetGold(),
                  battle.GetScore());
    std::string line = text;
    if (battle.GetLevel())
        for (const boost::shared_ptr<CUnit>& unit : battle.GetLevel()->GetUnitList().GetUnits()) {
            std::snprintf(text, sizeof text, " | %d (%d, %d) %d", unit->GetId(), unit->GetPosition().x,
                          unit->GetPosition().y, unit->GetHitPoints());
            line += text;
        }
    return line;
}

void Trace(const CDunmarchGame& battle) { std::printf("%s\n", TraceLine(battle).c_str()); }

// The trace line's checksum: two runs are at the same state when theirs agree.
unsigned long long Digest(const CDunmarchGame& battle) {
    return static_cast<unsigned long long>(ComputeStringChecksum64(TraceLine(battle)));
}

// The effects of the scene that the frame drew: shown nodes the cull kept, whose
// instance sees the camera.
class VisibleEffects : public sg::NodeTraverser {
public:
    void VisitGroup(sg::Group& node) override {
        if (!node.IsVisible()) return;
        for (const boost::shared_ptr<sg::Node>& child : node.GetChildren()) child->Accept(*this);
    }
    void VisitSwitch(sg::Switch& node) override {
        if (!node.IsVisible()) return;
        for (size_t i = 0; i < node.GetChildCount(); ++i)
            if (node.IsChildOn(i)) node.GetChildren()[i]->Accept(*this);
    }
    void VisitEmitterNode(sg::EmitterNode& node) override {
        CSEffectInstance* instance = dynamic_cast<CSEffectInstance*>(node.GetInstance());
        if (node.IsVisible() && !node.IsCulled() && instance != nullptr && instance->IsVisible())
            effects.push_back(&node);
    }
    void VisitCamera(sg::Camera&) override {}
    void VisitModelNode(sg::ModelNode&) override {}
    void VisitLight(sg::Light&) override {}
    void VisitNode(sg::Node&) override {}

    std::vector<sg::EmitterNode*> effects;
};

// The screen rectangle (virtual-screen pixels, clipped to the viewport) of a world
// box through the camera; the whole viewport when a corner lies behind the eye.
void ScreenRect(sg::Camera& camera, const CSVector4& low, const CSVector4& high, int rect[4]) {
    const Viewport& view = camera.GetViewport();
    const float left = float(view.x), top = float(view.y);
    const float right = float(view.x + view.width), bottom = float(view.y + view.height);
    float r[4] = {right, bottom, left, top};
    for (int corner = 0; corner < 8; ++corner) {
        const Vector3 world((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y,
                            (corner & 4) ? high.z : low.z);
        Vector3 screen;
        if (!camera.WorldToScreen(world, screen) || screen.z < 0.0f || screen.z > 1.0f) {
            r[0] = left, r[1] = top, r[2] = right, r[3] = bottom;
            break;
        }
        r[0] = std::min(r[0], screen.x), r[1] = std::min(r[1], screen.y);
        r[2] = std::max(r[2], screen.x), r[3] = std::max(r[3], screen.y);
    }
    rect[0] = int(std::floor(std::min(std::max(r[0], left), right)));
    rect[1] = int(std::floor(std::min(std::max(r[1], top), bottom)));
    rect[2] = int(std::ceil(std::max(std::min(r[2], right), left)));
    rect[3] = int(std::ceil(std::max(std::min(r[3], bottom), top)));
}

// The frame's particle lines of --trace: what the renderer counted in the scene's last
// update, then each visible effect's file and screen rectangle.
void TraceParticles(const CDunmarchGame& battle, long frame) {
    std::printf("frame %ld particles %d unhosted %d\n", frame, ParticleDrawCounters.hosted,
                ParticleDrawCounters.unhosted);
    if (!battle.GetScene() || !battle.GetScene()->GetRoot() || !battle.GetCamera()) return;
    VisibleEffects visible;
    battle.GetScene()->GetRoot()->Accept(visible);
    for (sg::EmitterNode* node : visible.effects) {
        CSEffectInstance& instance = static_cast<CSEffectInstance&>(*node->GetInstance());
        int rect[4];
        ScreenRect(*battle.GetCamera(), instance.GetBoxMin(), instance.GetBoxMax(), rect);
        std::printf("effect %s %d %d %d %d\n", node->GetEffectName().c_str(), rect[0], rect[1], rect[2], rect[3]);
    }
}

// The names a loader's cache holds now.
template <class T>
std::vector<std::string> CachedNames() {
    std::vector<std::string> names;
    if (Service<Content::ContentLoader<T>>::Exists())
        for (const auto& entry : Service<Content::ContentLoader<T>>::Get()->GetCache()) names.push_back(entry.first);
    return names;
}

// Prints each name the cache holds now that it did not hold before.
template <class T>
void PrintEntered(const char* kind, const std::vector<std::string>& before) {
    for (const std::string& name : CachedNames<T>())
        if (std::find(before.begin(), before.end(), name) == before.end())
            std::printf("after preloading: %s %s\n", kind, name.c_str());
}

// The demo a battle in playback reads, in the current folder.
const char kDemoFile[] = "test.dem";

bool PlaceDemo(const std::string& demo) {
    std::error_code error;
    if (fs::exists(kDemoFile, error) && fs::equivalent(demo, kDemoFile, error)) return true;
    return fs::copy_file(demo, kDemoFile, fs::copy_options::overwrite_existing, error) && !error;
}

// The battle's recorder with its head, as a ".dem" file holds it.
bool WriteRecording(const CDunmarchGame& battle, const std::string& path) {
    if (!battle.GetInputMonitor()) return false;
    MemoryStream stream;
    battle.GetInputMonitor()->Write(stream);
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes, length);
    out.close();
    if (!out) return false;
    std::printf("recorded %zu inputs to %s\n", battle.GetInputMonitor()->GetRecords().size(), path.c_str());
    return true;
}

// The frame just presented with capture on, written to `file` as a PNG.
bool WriteShot(IDirect3DDevice9* device, int width, int height, const std::string& file) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<unsigned char> rows(stride * static_cast<size_t>(height));
    if (!ReadPresentedFrameRows(device, width, height, rows.data())) return false;
    // Bitmap rows (bottom first, blue first) to the writer's top-first red, green, blue, alpha.
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rows.data() + stride * static_cast<size_t>(height - 1 - y);
        uint8_t* out = rgba.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        for (int x = 0; x < width; ++x)
            out[4 * x] = row[3 * x + 2], out[4 * x + 1] = row[3 * x + 1], out[4 * x + 2] = row[3 * x],
                    out[4 * x + 3] = 255;
    }
    const std::vector<uint8_t> png = pngwriter::Encode(rgba.data(), width, height, pngwriter::Layout::RGB);
    if (png.empty()) return false;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    return static_cast<bool>(out);
}

// The window handle given to the OpenGL device is the SDL window itself.
SDL_Window* SdlWindowOf(HWND window) { return reinterpret_cast<SDL_Window*>(window); }

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: dunmarch-battle [--preload | --no-preload] [--frames N] [--until-end] [--dt MS] "
                     "[--trace] [--no-particles] [--script FILE] [--record FILE] [--demo FILE] "
                     "[--save-at N] [--continue] [--screenshot STEP:FILE]...\n");
        return 2;
    }
    std::vector<ScriptLine> script;
    std::string error;
    if (!options.script.empty() && !ReadScript(options.script, script, error)) {
        std::fprintf(stderr, "dunmarch-battle: %s\n", error.c_str());
        return 2;
    }
    SetPlatformTraceListener(&PrintPosted);
    BindEmitterNodeHosts();
    BindParticleHooks();

    // The recording null device the size of the virtual screen; screenshots need pixels:
    // OpenGL in a hidden window then.
    const bool drawsPixels = !options.shots.empty();
    SDL_Window* sdlWindow = nullptr;
    if (drawsPixels) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "dunmarch-battle: no video for screenshots: %s\n", SDL_GetError());
            return 1;
        }
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        sdlWindow = SDL_CreateWindow("dunmarch-battle", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (sdlWindow == nullptr) {
            std::fprintf(stderr, "dunmarch-battle: no OpenGL window for screenshots: %s\n", SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return 1;
        }
        d3d9::SetWindowResolver(&SdlWindowOf);
    }
    d3d9::SetBackend(drawsPixels ? d3d9::Backend::GL : d3d9::Backend::Null);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = 1024;
    params.BackBufferHeight = 768;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (d3d == nullptr || d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(sdlWindow),
                                            D3DCREATE_MULTITHREADED, &params, &device) != D3D_OK) {
        std::fprintf(stderr, drawsPixels ? "dunmarch-battle: no OpenGL Direct3D device\n"
                                         : "dunmarch-battle: no null Direct3D device\n");
        if (d3d != nullptr) d3d->Release();
        if (sdlWindow != nullptr) SDL_DestroyWindow(sdlWindow), SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return 1;
    }
    // A new back buffer holds whatever the driver gave it: a shot shows black where nothing drew.
    if (drawsPixels)
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
    d3d9::NullDevice* null = d3d9::AsNullDevice(device);
    // Nothing here reads the device's log: formatting a line per call would be
    // a fifth of every step.
    if (null != nullptr) null->SetRecording(false);
    g_d3d = d3d;
    g_d3dDevice = device;

    // The sound is mixed on the loopback device, a frame's worth per frame: a sound lasts
    // as long on the battle's clock as in a game, however fast the frames run.
    Audio::LoopbackAudio audioOutput;
    long samplesMixed = 0;
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    int status = 0;
    {
        Morvane::CGame game;
        game.RunInitialize();
        const LanguageInfo* english = FindLanguage(kEnglish);
        LoadLanguageFile(kEnglish, game.GetConfig().Paths.LanguagePath + english->file);
        LoadGlobalFonts();
        std::vector<std::string> preloadedModels, preloadedClips;
        if (options.preload) {
            const bool finished =
                PreloadByTurns([](LONG progress) { std::printf("progress %d\n", static_cast<int>(progress)); });
            std::printf(finished ? "loading finished\n" : "loading ended early\n");
            preloadedModels = CachedNames<Graphics::Model>();
            preloadedClips = CachedNames<Graphics::AnimationClips>();
        }
        Morvane::GameWindow* window = game.GetGameWindow();
        SelectedMapIndex = 0;
        if (window != nullptr && !options.demo.empty()) {
            if (!PlaceDemo(options.demo)) {
                std::fprintf(stderr, "dunmarch-battle: %s cannot be copied to %s\n", options.demo.c_str(), kDemoFile);
                status = 1;
            }
            window->SetDemoPlayback(1);
        }
        if (status != 0 || window == nullptr || window->StartGame(options.continueSaved ? 1 : 0) != 1 ||
            !window->GetBattle()) {
            if (options.continueSaved) std::fprintf(stderr, "dunmarch-battle: savegame.dat cannot be continued\n");
            std::fprintf(stderr, "dunmarch-battle: no battle started\n");
            status = 1;
        } else {
            const CDunmarchGame& battle = *window->GetBattle();
            if (options.continueSaved)
                std::printf("continued at step %u, digest %016llx\n", battle.GetStepCounter(), Digest(battle));
            std::printf("battle on %s: %zu waves, gold %d\n", battle.GetMapName().c_str(),
                        battle.GetWaveRunners().size(), battle.GetGold());
            if (const boost::shared_ptr<CInputMonitor>& recorder = battle.GetInputMonitor())
                std::printf("data stamp: %s (data checksum %016llx)\n",
                            recorder->GetStamp().IsModified() ? "modified" : "unmodified",
                            static_cast<unsigned long long>(recorder->GetStamp().GetDataChecksum()));
            if (const boost::shared_ptr<CInputMonitor>& player = battle.GetDemoPlayer())
                std::printf("demo on %s: %zu records, score %d, last frame %d\n", player->GetMapName(),
                            player->GetRecords().size(), player->GetScore(), player->GetLastFrame());
            int32_t waveIndex = battle.GetWaveIndex();
            int32_t startDelay = battle.GetWaveStartDelay();
            bool wasOver = battle.IsOver();
            // --save-at alone runs until its step.
            const bool uncounted = options.untilEnd || (options.saveAt >= 0 && options.frames == 0);
            const long frames = uncounted ? kBattleTimeCap / options.dt : options.frames;
            // The save is made once; it ends the run unless the run goes to the end.
            bool saved = false;
            const bool savingEnds = !options.untilEnd;
            const auto savesNow = [&] {
                return !saved && options.saveAt >= 0 &&
                       battle.GetStepCounter() >= static_cast<uint32_t>(options.saveAt);
            };
            // The set-up's own time is not the battle's.
            ResetFrameClock();
            for (long frame = 0; frame < frames; ++frame) {
                // Exactly dt, whatever else moved the clock since the last frame.
                ResetFrameClock();
                clock.Advance(static_cast<uint64_t>(options.dt));
                TickFrameClock();
                TouchEvents.clear();
                if (!RunScriptFrame(script, frame, *window->GetBattle(), error)) {
                    std::fprintf(stderr, "dunmarch-battle: %s\n", error.c_str());
                    status = 1;
                    break;
                }
                // Once it may be left, a finished battle is left with a click.
                const bool leaving = options.untilEnd && battle.IsOver() && battle.GetEndDelay() <= 0;
                if (leaving) Tap(512.0f, 384.0f);
                const uint32_t before = battle.GetStepCounter();
                window->Update();
                if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->Update();
                const long samplesDue = (frame + 1) * options.dt * Audio::LoopbackAudio::kRate / 1000;
                Audio::LoopbackAudio::Render(static_cast<int>(samplesDue - samplesMixed));
                samplesMixed = samplesDue;
                if (options.trace) TraceParticles(battle, frame);
                if (!options.particles) ParticlesBeginFrame();
                Graphics::GraphicsDevice* graphics = Service<Graphics::GraphicsDevice>::Get();
                graphics->BeginScene();
                window->Draw();
                graphics->EndScene();
                if (drawsPixels) {
                    // Every shot whose step this frame reached, the first time it does; the
                    // last frame is the one the loop below ends on.
                    const bool lastFrame = leaving || frame + 1 == frames || (savingEnds && savesNow());
                    bool capture = false;
                    for (const Options::Shot& shot : options.shots)
                        capture = capture || shot.Due(battle.GetStepCounter(), lastFrame);
                    PresentFrame(device, capture);
                    for (Options::Shot& shot : options.shots) {
                        if (!shot.Due(battle.GetStepCounter(), lastFrame)) continue;
                        shot.taken = true;
                        if (WriteShot(device, 1024, 768, shot.file)) {
                            std::printf("screenshot at step %u: %s\n", battle.GetStepCounter(), shot.file.c_str());
                        } else {
                            std::fprintf(stderr, "dunmarch-battle: screenshot %s cannot be written\n",
                                         shot.file.c_str());
                            status = 1;
                        }
                    }
                }

                if (startDelay > 0 && battle.GetWaveStartDelay() == 0 && battle.IsRunning())
                    std::printf("wave %d begun at step %u\n", battle.GetWaveIndex() + 1,
                                battle.GetStepCounter() - static_cast<uint32_t>(battle.GetWaveStepCounter()));
                // A victory takes the index back to the last wave played.
                if (battle.GetWaveIndex() > waveIndex)
                    std::printf("wave %d ended at step %u, gold %d\n", waveIndex + 1, battle.GetStepCounter(),
                                battle.GetGold());
                else if (!wasOver && battle.IsOver() && battle.GetResult() == CDunmarchGame::kVictory)
                    std::printf("wave %d ended at step %u, gold %d\n", battle.GetWaveIndex() + 1,
                                battle.GetStepCounter(), battle.GetGold());
                // One battle step a frame at normal speed: the step that ended it is the last one.
                if (!wasOver && battle.IsOver()) std::printf("over at step %u\n", battle.GetStepCounter() - 1);
                wasOver = battle.IsOver();
                waveIndex = battle.GetWaveIndex();
                startDelay = battle.GetWaveStartDelay();
                if (options.trace && battle.GetStepCounter() != before) Trace(battle);
                if (savesNow()) {
                    saved = true;
                    if (window->WriteSavegame(0) != 1) {
                        std::fprintf(stderr, "dunmarch-battle: savegame.dat cannot be written\n");
                        status = 1;
                        break;
                    }
                    std::printf("saved at step %u, digest %016llx\n", battle.GetStepCounter(), Digest(battle));
                    if (savingEnds) break;
                }
                if (leaving) break;
            }
            for (const Options::Shot& shot : options.shots)
                if (!shot.taken) {
                    if (shot.step == Options::kLastFrame)
                        std::fprintf(stderr, "dunmarch-battle: the run drew no frame: no screenshot %s\n",
                                     shot.file.c_str());
                    else
                        std::fprintf(stderr, "dunmarch-battle: the run ended before step %ld: no screenshot %s\n",
                                     shot.step, shot.file.c_str());
                    status = 1;
                }
            // The player's actions as the battle recorded them.
            if (battle.GetInputMonitor())
                for (const DemoInput& input : battle.GetInputMonitor()->GetRecords())
                    std::printf("input %u: type %d x %d y %d\n", input.frame, input.type, input.x, input.y);
            std::printf("end: state %d result %d wave %d gold %d score %d steps %u\n", battle.GetState(),
                        battle.GetResult(), battle.GetWaveIndex(), battle.GetGold(), battle.GetScore(),
                        battle.GetStepCounter());
            if (!options.record.empty() && !WriteRecording(battle, options.record)) {
                std::fprintf(stderr, "dunmarch-battle: no recording written to %s\n", options.record.c_str());
                status = 1;
            }
            if (options.preload) {
                PrintEntered<Graphics::Model>("model", preloadedModels);
                PrintEntered<Graphics::AnimationClips>("clips", preloadedClips);
            }
        }
        game.RunShutdown();
    }
    SetPlatformTraceListener(nullptr);
    // What the shell's view release does in the game: the batches and caches go.
    ParticlesReleaseView();
    device->Release();
    d3d->Release();
    // The hidden window stays until the program ends: destroying the last OpenGL window
    // unloads the driver, whose leftovers the leak check then cannot name.
    return status;
}
