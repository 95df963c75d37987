// The set-up of a battle: the HUD, the level and its waves, the camera and its boundary,
// the scene with its world, map models and light, the music and the HUD's layout.
#include <cstdlib>
#include <ctime>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/CTooltip.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "Maths/Plane.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"

namespace {

typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::Texture2D> TextureLoader;

const Vector3 kUp(0.0f, 0.0f, 1.0f);

// The demo a battle in playback replays, in the current folder.
const char kDemoFile[] = "test.dem";

// A map model turned and moved as the map view says, drawn whatever the camera sees.
boost::shared_ptr<sg::ModelNode> MapModel(const std::string& file) {
    const boost::shared_ptr<Graphics::Model> model =
        Service<ModelLoader>::Exists() ? Service<ModelLoader>::Get()->Load(file) : boost::shared_ptr<Graphics::Model>();
    boost::shared_ptr<sg::ModelNode> node(new sg::ModelNode(model));
    node->SetFrustumCulling(false);
    node->SetInView(false);
    node->SetFlagBit8(true);
    node->RotateX(static_cast<float>(MapTransform.rx));
    node->RotateY(static_cast<float>(MapTransform.ry));
    node->RotateZ(static_cast<float>(MapTransform.rz));
    node->Translate(static_cast<float>(MapTransform.tx), static_cast<float>(MapTransform.ty),
                    static_cast<float>(MapTransform.tz));
    return node;
}

Color LightColor(const int32_t (&rgb)[4]) { return Color(rgb[0], rgb[1], rgb[2], 255); }

}  // namespace

void CDunmarchGame::InitHud() {
    for (HudButton* table : {SpellButtons, ActionButtons, DefenderButtons, SpeedButtons}) {
        const int count = table == SpellButtons      ? kSpellButtonCount
                          : table == ActionButtons   ? kActionButtonCount
                          : table == DefenderButtons ? kPurchaseButtonCount
                                                     : kSpeedButtonCount;
        for (int i = 0; i < count; ++i) table[i].pressed = table[i].highlight = 0;
    }
    GlobalTooltip.reset(new CTooltip(SmallFont));
    GlobalTooltip->SetBackgroundColour(Color(0, 0, 0, 255));
    GlobalTooltip->SetBorderColour(Color(255, 215, 0, 255));
}

int32_t CDunmarchGame::Init(bool continuing) {
    graphics_device_ = Service<Graphics::GraphicsDevice>::Exists() ? Service<Graphics::GraphicsDevice>::Get() : nullptr;
    const Vector2 screen = graphics_device_ != nullptr ? graphics_device_->GetScreenSize() : Vector2(0.0f, 0.0f);
    const int32_t w = static_cast<int32_t>(screen.x);
    const int32_t h = static_cast<int32_t>(screen.y);
    if (Service<Config>::Exists() && Service<UITextureLoader>::Exists())
        hud_texture_ = Service<UITextureLoader>::Get()->Load(Service<Config>::Get()->Interface.first);
    InitHud();
    if (demo_playback_ != 0) {
        player_.reset(new CInputMonitor(nullptr));
        player_->LoadFromFile(kDemoFile);
    }
    // A demo plays on the map it was recorded on.
    if (player_) map_name_ = player_->GetMapName();
    const MapDefinition* map = FindMapDefinition(map_name_);
    if (map == nullptr) return 0;
    if (LoadLevel(map_name_) == 0) return 0;
    if (demo_playback_ == 0) {
        recorder_.reset(new CInputMonitor(map_name_.c_str()));
        recorder_->GetStamp().Compute();
        warning_pending_ = recorder_->GetStamp().IsModified();
    }

    const MapViewDefinition& view = map->view;
    field_of_view_ = view.camera[0];
    camera_eye_ = Vector3(0.0f, view.camera[1], view.camera[2]);
    camera_target_height_ = view.camera[3];
    MapTransform.tx = view.transformation[3];
    MapTransform.ty = view.transformation[4];
    MapTransform.tz = view.transformation[5];
    MapTransform.rx = view.transformation[0];
    MapTransform.ry = view.transformation[1];
    MapTransform.rz = view.transformation[2];
    for (size_t i = 0; i < 6; ++i)
        view_points_[i] = i < view.points.size() ? view.points[i] : Vector3(0.0f, 0.0f, 0.0f);
    UpdateViewDirection();

    // Missing view points stay at the origin; the six planes are built all the same.
    const Vector3* p = view_points_;
    camera_boundary_.Clear();
    camera_boundary_.SetFirstDirection(Vector3(1.0f, 0.0f, 0.0f));
    camera_boundary_.SetSecondDirection(Vector3(0.0f, 0.0f, 1.0f));
    camera_boundary_.AddPlane(2, Plane(p[0], p[1], p[1] + Vector3(0.0f, 0.0f, -1.0f)));
    camera_boundary_.AddPlane(2, Plane(p[2], p[3], p[5]));
    camera_boundary_.AddPlane(0, Plane(p[0], p[3], p[2]));
    camera_boundary_.AddPlane(0, Plane(p[1], p[4], p[5]));
    camera_boundary_.AddPlane(1, Plane(p[0], p[1], p[3]));
    camera_boundary_.AddPlane(1, Plane(p[1], p[0], p[2]));

    camera_.reset(new sg::Camera());
    camera_->SetName("Camera0");
    camera_->SetUpdateWhilePaused(true);
    camera_->SetViewport(Viewport(0, 0, w, h, 0.0f, 1.0f));
    camera_->SetPerspective(field_of_view_, h != 0 ? static_cast<float>(w) / static_cast<float>(h) : 1.0f, 10.0f,
                            10000.0f);
    camera_->SetLookAt(camera_eye_, camera_eye_ + view_direction_, kUp);
    reference_distance_ = GetGroundDistance();

    world_.reset(new sg::Group("World"));
    world_->AddChild(camera_);
    if (!Service<sg::Group>::Exists()) Service<sg::Group>::Register(world_.get());

    scene_.reset(new sg::Scene());
    const boost::shared_ptr<Graphics::Texture2D> blob =
        Service<TextureLoader>::Exists() ? Service<TextureLoader>::Get()->Load("particles/iphone02.dds")
                                         : boost::shared_ptr<Graphics::Texture2D>();
    scene_->SetBlobShadows(graphics_device_, blob, 0.0f, 0.0f, 128.0f, 128.0f, 50);
    scene_->SetShadowsEnabled(true);
    if (graphics_device_ != nullptr) graphics_device_->SetScene(scene_.get());
    scene_->SetClearColor(Color(0, 0, 0, 255));
    scene_->DisableRenderTarget();
    scene_->SetCamera(camera_);
    scene_->SetRoot(world_);
    if (!Service<sg::Scene>::Exists()) Service<sg::Scene>::Register(scene_.get());

    if (!map->files.mesh.empty()) {
        map_models_[0] = MapModel(map->files.mesh);
        world_->AddChild(map_models_[0]);
    }
    if (!map->files.meshA.empty()) {
        map_models_[1] = MapModel(map->files.meshA);
        boost::shared_ptr<sg::Material> blended(new sg::Material());
        blended->SetBlending(true);
        blended->SetBlendMode(3);
        blended->SetDepthWrite(false);
        blended->SetAlphaTest(true);
        blended->SetAlphaReference(0.05f);
        blended->SetAlphaFunction(7);
        map_models_[1]->SetMaterial(blended);
        world_->AddChild(map_models_[1]);
    }

    light_.reset(new sg::Light(0));
    light_->SetAmbient(LightColor(map->light.ambient));
    light_->SetDiffuse(LightColor(map->light.diffuse));
    light_->SetSpecular(LightColor(map->light.specular));
    light_->SetDirection(map->light.direction);
    scene_->SetLight(light_);
    if (graphics_device_ != nullptr)
        graphics_device_->SetLightMapFactor(map->light.lmFactors[0], map->light.lmFactors[1]);

    CreateWaveRunners(map_name_);
    ReflagSpeedButtons();
    FocusFirstSpawnPoint(continuing ? 1 : 0);
    StopMusic();
    if (!map->files.music.empty()) PlayMusic(map->files.music);
    ReadHudLayout();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    BattleActive = 1;
    return 1;
}

void CDunmarchGame::PanCamera(const Vector3& delta) {
    camera_eye_ += delta;
    Vector3 inside;
    if (!camera_boundary_.Constrain(camera_eye_, inside)) camera_eye_ = inside;
    if (camera_) camera_->SetLookAt(camera_eye_, camera_eye_ + view_direction_, kUp);
}

void CDunmarchGame::FocusFirstSpawnPoint(int32_t continuing) {
    if (!level_ || continuing != 0) return;
    const std::vector<boost::weak_ptr<CSpawnPoint>>& keepers = level_->GetSpawnPoints(CSpawnPoint::kKeeperPlace);
    if (keepers.empty()) return;
    const boost::shared_ptr<CSpawnPoint> first = keepers.front().lock();
    if (first) PanCamera(Vector3(level_->ToWorld(first->GetPosition()).x, 0.0f, 0.0f));
}
