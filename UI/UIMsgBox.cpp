#include "UI/UIMsgBox.h"

#include <boost/shared_ptr.hpp>

#include "Core/TextHelpers.h"
#include "Game/GameInterface.h"
#include "Graphics/Draw2D.h"
#include "UI/ScissorClip.h"
#include "UI/UIButton.h"
#include "UI/UIGlobals.h"
#include "UI/UILabel.h"

namespace UI {

UIMsgBox::UIMsgBox(const std::string& layoutPath, const std::string& message) : message_(ToWideString(message)) {
    LoadLayout(layoutPath);
    Setup();
    Open();
}

UIMsgBox::~UIMsgBox() {
    MessageBoxOpen = false;
    if (Game::GameInterface* game = Game::GetGameInterface())
        game->SetModal(boost::shared_ptr<Game::GameComponentInterface>(), false);
}

void UIMsgBox::Setup() {
    if (modal_) return;
    modal_ = true;
    MessageBoxOpen = true;
    for (UIElement* element : *this) {
        if (frame_ == nullptr) frame_ = element;
        if (dynamic_cast<UIButton*>(element) != nullptr)
            element->release_handler_ = UIElement::Handler::FromMethod<&UIMsgBox::OnButtonRelease>(this);
        UILabel* label = dynamic_cast<UILabel*>(element);
        if (label == nullptr || label->editable_ || label->name_ != "Message") continue;
        // The shown text directly: capacity and caret do not matter here.
        label->text_ = message_;
        const float half = (frame_->size_.x - TextWidth(label->font_, message_)) / 2;
        label->position_.x = frame_->position_.x + (half > 0.0f ? half : 0.0f);
    }
}

void UIMsgBox::Open() {
    MessageBoxOpen = true;
    Game::GameInterface* game = Game::GetGameInterface();
    if (game == nullptr) return;
    const boost::shared_ptr<Game::GameComponentInterface> queued = game->FindQueuedComponent(this);
    if (queued) game->SetModal(queued, true);
}

void UIMsgBox::OnButtonRelease(UIElement* button) { button_handler_(static_cast<UIButton*>(button)); }

void UIMsgBox::Draw() {
    if (!IsVisible() || frame_ == nullptr) return;
    const ScissorClip clip(frame_->position_.x, frame_->position_.y, frame_->position_.x + frame_->size_.x,
                           frame_->position_.y + frame_->size_.y);
    Graphics::Draw2D::Begin();
    for (UIElement* element : *this) element->Draw();
    Graphics::Draw2D::End();
}

}  // namespace UI
