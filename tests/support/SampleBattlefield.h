#pragma once
// The sample battlefield as a battle first draws it: the sample map seen through
// its view's camera and lit by the map's light, with blob shadows, then the six
// purchasable defenders placed on cell centres of one row with their weapons.
// Built from the generated sample data (the working folder is the game folder) on
// the caller's graphics device and content loaders. Header only: the world pixel
// test looks at it and the world frame benchmark times it.
#include <memory>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/ContentLoader.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Models.h"

namespace testsupport {

class SampleBattlefield {
public:
    struct Loaders {
        Content::ContentLoader<Graphics::Texture2D>* textures;
        Content::ContentLoader<Graphics::Model>* models;
        Content::ContentLoader<Graphics::AnimationClips>* clips;
    };

    // The map, its light, the battle's camera for a width x height view and the blob
    // shadows, in a scene set on the device. False with Error() on a missing part.
    bool BuildMap(Graphics::GraphicsDevice& graphics, const Loaders& loaders, int width, int height) {
        namespace cm = catalogue::models;
        loaders_ = loaders;
        if (!config_.Read(catalogue::config::kFileName)) return Fail("no config.xml");
        if (!dictionary_.Load(config_)) return Fail("the game data does not load");
        map_ = dictionary_.FindMap(catalogue::gamedata::kMapName);
        if (map_ == nullptr) return Fail("no sample map");

        // The battle's camera: eye (x, camera y, camera z) looking at the ground
        // point (x, target y, 0), up z; x centred on the field.
        const float fieldWidth = cm::kMapColumns * cm::kCellWorldSize;
        const Vector3 eye(fieldWidth / 2, map_->view.camera[1], map_->view.camera[2]);
        Vector3 direction = Vector3(eye.x, map_->view.camera[3], 0.0f) - eye;
        direction.Normalize();
        camera_.reset(new sg::Camera());
        camera_->SetName("Camera0");
        camera_->SetUpdateWhilePaused(true);
        camera_->SetViewport(Viewport(0, 0, width, height, 0.0f, 1.0f));
        camera_->SetPerspective(map_->view.camera[0], float(width) / float(height), 10.0f, 10000.0f);
        camera_->SetLookAt(eye, eye + direction, Vector3(0, 0, 1));
        world_.reset(new sg::Group("World"));
        world_->AddChild(camera_);
        scene_.reset(new sg::Scene());
        scene_->SetCamera(camera_);
        scene_->SetRoot(world_);
        scene_->SetClearColor(Color(0, 0, 0, 255));
        graphics.SetScene(scene_.get());

        boost::shared_ptr<Graphics::Texture2D> blob = loaders_.textures->Load("particles/iphone02.dds");
        if (!blob) return Fail("no blob shadow texture");
        scene_->SetBlobShadows(&graphics, blob, 0.0f, 0.0f, 128.0f, 128.0f, 50);
        scene_->DisableRenderTarget();

        const int32_t* t = map_->view.transformation;
        boost::shared_ptr<Graphics::Model> ground = loaders_.models->Load(map_->files.mesh);
        if (!ground) return Fail("no map mesh " + map_->files.mesh);
        map_node_.reset(new sg::ModelNode(ground));
        map_node_->SetFrustumCulling(false);
        map_node_->SetInView(false);
        map_node_->SetFlagBit8(true);
        map_node_->RotateX(float(t[0]));
        map_node_->RotateY(float(t[1]));
        map_node_->RotateZ(float(t[2]));
        map_node_->Translate(float(t[3]), float(t[4]), float(t[5]));
        world_->AddChild(map_node_);

        const MapLight& l = map_->light;
        boost::shared_ptr<sg::Light> sun(new sg::Light(0));
        sun->SetAmbient(Color(uint8_t(l.ambient[0]), uint8_t(l.ambient[1]), uint8_t(l.ambient[2]), 255));
        sun->SetDiffuse(Color(uint8_t(l.diffuse[0]), uint8_t(l.diffuse[1]), uint8_t(l.diffuse[2]), 255));
        sun->SetSpecular(Color(uint8_t(l.specular[0]), uint8_t(l.specular[1]), uint8_t(l.specular[2]), 255));
        sun->SetDirection(l.direction);
        scene_->SetLight(sun);
        graphics.SetLightMapFactor(l.lmFactors[0], l.lmFactors[1]);
        return true;
    }

    // The six defenders on cell centres of one row, placed as the level places its
    // objects: translate, then the view's x rotation, (direction - 45) about y and
    // the view's z rotation; each plays its idle clip and carries its weapon meshes.
    bool AddDefenders() {
        namespace cm = catalogue::models;
        boost::shared_ptr<Graphics::Model> weapons = loaders_.models->Load(cm::kWeaponsMesh);
        if (!weapons) return Fail("no weapon meshes");
        const int32_t* t = map_->view.transformation;
        const int directions[6] = {0, 0, 20, 340, 0, 45};
        for (int i = 0; i < 6; ++i) {
            const char* name = catalogue::gamedata::kPurchasableDefenders[i];
            const DefenderDefinition* def = dictionary_.FindDefender(name);
            if (def == nullptr) return Fail(std::string("no defender ") + name);
            boost::shared_ptr<Graphics::Model> model = loaders_.models->Load(def->mesh);
            boost::shared_ptr<Graphics::AnimationClips> clips = loaders_.clips->Load(def->animation);
            if (!model || !clips) return Fail("no model or clips for " + def->mesh);
            model->SetAnimationClips(clips);
            boost::shared_ptr<sg::ModelNode> unit(new sg::ModelNode(model));
            const Vector3 at((3.5f + 2.0f * float(i)) * cm::kCellWorldSize, 5.5f * cm::kCellWorldSize, 0.0f);
            unit->Translate(at);
            unit->RotateX(float(t[0]));
            unit->RotateY(float(directions[i] - 45));
            unit->RotateZ(float(t[2]));
            unit->SetClip("idle");
            unit->SetPlayMode(sg::ModelNode::kPlayLoop);
            if (const WeaponDefinition* weapon = dictionary_.FindWeapon(def->weapon)) {
                if (!weapon->meshes.first.empty() &&
                    !unit->AttachToBone(def->mesh, cm::kRightForeArm, weapons, weapon->meshes.first))
                    return Fail("weapon " + weapon->meshes.first + " not attached to " + def->mesh);
                if (!weapon->meshes.second.empty() &&
                    !unit->AttachToBone(def->mesh, cm::kLeftForeArm, weapons, weapon->meshes.second))
                    return Fail("weapon " + weapon->meshes.second + " not attached to " + def->mesh);
            }
            world_->AddChild(unit);
            units_.push_back(unit);
            feet_.push_back(at);
        }
        return true;
    }

    const MapDefinition& Map() const { return *map_; }
    sg::Scene& Scene() { return *scene_; }
    sg::Camera& Camera() { return *camera_; }
    const std::vector<boost::shared_ptr<sg::ModelNode>>& Units() const { return units_; }
    // Where each defender stands on the ground.
    const std::vector<Vector3>& Feet() const { return feet_; }
    const std::string& Error() const { return error_; }

private:
    bool Fail(const std::string& error) {
        error_ = error;
        return false;
    }

    Config config_;
    GameDictionary dictionary_;
    const MapDefinition* map_ = nullptr;
    Loaders loaders_ = {};
    boost::shared_ptr<sg::Camera> camera_;
    boost::shared_ptr<sg::Group> world_;
    std::unique_ptr<sg::Scene> scene_;
    boost::shared_ptr<sg::ModelNode> map_node_;
    std::vector<boost::shared_ptr<sg::ModelNode>> units_;
    std::vector<Vector3> feet_;
    std::string error_;
};

}  // namespace testsupport
