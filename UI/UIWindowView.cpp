#include "UI/UIWindowView.h"

#include <boost/algorithm/string/case_conv.hpp>

#include <algorithm>
#include <cmath>

#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Graphics/Draw2D.h"
#include "IO/XmlReader.h"
#include "Maths/Vector2.h"
#include "shell/KeyHandlers.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"
#include "UI/UIButton.h"
#include "UI/UIGlobals.h"
#include "UI/UIImage.h"
#include "UI/UILabel.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UISlider.h"
#include "UI/UITable.h"

namespace UI {

namespace {

const float kScreenWidth = 1024.0f;
const float kScreenHeight = 768.0f;
const int kRussian = 5;
const int32_t kNoPhase = -1;

void IgnoreKey(UIWindowView*, int32_t) {}

// The pointer in the virtual screen: its client pixels scaled by the client
// size the shell normalises touches with, so hover, drags and presses agree
// in any window size.
Vector2 VirtualPointer() { return PointerOnScreen(GetPointerState(), kScreenWidth, kScreenHeight); }

// Only drags that move something go on: sliders and text areas.
bool TakesDrags(UIElement* element) {
    return dynamic_cast<UISlider*>(element) != nullptr || dynamic_cast<UIScrollableTextArea*>(element) != nullptr;
}

// The widgets whose tags are open while a layout is read.
struct Scopes {
    UIButton* button = nullptr;
    UISlider* slider = nullptr;
    UIScrollableTextArea* area = nullptr;
};

}  // namespace

UIWindowView::UIWindowView() { UIWindowView::Initialize(); }

UIWindowView::~UIWindowView() {
    *alive_ = false;
    UIWindowView::Shutdown();
}

void UIWindowView::Initialize() { KeyDownListeners.Add(KeyHandler::FromFunction<&IgnoreKey>(this)); }

void UIWindowView::Shutdown() {
    default_button_ = nullptr;
    edit_fields_.clear();
    // This window's entry only: no handler may reach a destroyed window.
    KeyDownListeners.RemoveTarget(this);
    clear();
}

void UIWindowView::Update() {
    if (IsEnabled()) UpdateElements();
}

void UIWindowView::Draw() {
    UiFrameDelta = std::min(GetFrameDelta(), 0.1f);
    UiClock += UiFrameDelta;
    if (!IsVisible()) return;
    Graphics::Draw2D::Begin();
    for (UIElement* element : *this) element->Draw();
    Graphics::Draw2D::FillRect(Color(0, 0, 0, LowByte(255.0f - alpha_)), 0.0f, 0.0f, kScreenWidth, kScreenHeight);
    Graphics::Draw2D::End();
}

void UIWindowView::LoadLayout(std::string path) {
    boost::algorithm::to_lower(path);
    edit_fields_.clear();
    default_button_ = nullptr;
    // A layout that is not well formed (one cut short included) is not used at all.
    std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReader(path));
    if (!reader) return;

    // Makes an element of the tag and keeps it for deletion with the window.
    auto make = [&](std::unique_ptr<UIElement> element) {
        element->ReadAttributes(reader.get());
        owned_.push_back(std::move(element));
        return owned_.back().get();
    };
    Scopes open;
    bool russianBackground = false;
    while (reader->read()) {
        const char* nodeName = reader->getNodeName();
        const std::string tag = nodeName != nullptr ? nodeName : "";
        if (reader->getNodeType() == irr::io::EXN_ELEMENT_END) {
            if (tag == "button") {
                open.button = nullptr;
            } else if (tag == "slider" || tag == "progress") {
                if (open.slider != nullptr) open.slider->Finish();
                open.slider = nullptr;
            } else if (tag == "area") {
                open.area = nullptr;
            }
            continue;
        }
        if (reader->getNodeType() != irr::io::EXN_ELEMENT) continue;
        const bool scope = !reader->isEmptyElement();

        if (tag == "image") {
            // A layout lists "backgroundRUS" before "background" to replace it in Russian.
            const char* name = reader->getAttributeValue("name");
            const std::string imageName = name != nullptr ? name : "";
            if (GetLanguageIndex() == kRussian) {
                if (imageName == "backgroundRUS") russianBackground = true;
                if (imageName == "background" && russianBackground) continue;
            } else if (imageName == "backgroundRUS") {
                continue;
            }
            UIImage** slot = nullptr;
            if (open.button != nullptr) {
                const int state = reader->getAttributeValueAsInt("state");
                if (state != 0 && state != 1) continue;
                slot = state == 0 ? &open.button->pressed_image_ : &open.button->over_image_;
            } else if (open.slider != nullptr) {
                const int type = reader->getAttributeValueAsInt("type");
                if (type != 0 && type != 1) continue;
                slot = type == 0 ? &open.slider->bar_image_ : &open.slider->thumb_image_;
            } else if (open.area != nullptr) {
                const int type = reader->getAttributeValueAsInt("type");
                if (type != 0 && type != 1) continue;
                slot = type == 0 ? &open.area->track_image_ : &open.area->thumb_image_;
            }
            UIElement* image = make(std::make_unique<UIImage>());
            if (slot != nullptr) *slot = static_cast<UIImage*>(image);
            else push_back(image);
        } else if (tag == "button") {
            UIButton* button = static_cast<UIButton*>(make(std::make_unique<UIButton>()));
            push_back(button);
            if (reader->getAttributeValueAsInt("default") == 1) default_button_ = button;
            if (scope) open.button = button;
        } else if (tag == "slider" || tag == "progress") {
            UISlider* slider = static_cast<UISlider*>(make(std::make_unique<UISlider>(tag == "progress")));
            push_back(slider);
            if (scope) open.slider = slider;
        } else if (tag == "area") {
            auto* area = static_cast<UIScrollableTextArea*>(make(std::make_unique<UIScrollableTextArea>()));
            push_back(area);
            if (scope) open.area = area;
        } else if (tag == "text") {
            auto* label = static_cast<UILabel*>(make(std::make_unique<UILabel>()));
            push_back(label);
            if (label->editable_) {
                edit_fields_.push_back(label);
                if (reader->getAttributeValueAsInt("focused") == 1) FocusedLabel = label;
            }
        } else if (tag == "table") {
            push_back(make(std::make_unique<UITable>()));
        }
    }
}

void UIWindowView::UpdateElements() {
    // Frozen while a message box is open; only the box takes input.
    if (MessageBoxOpen && !modal_) return;
    // A handler may destroy this window: after each, go on only while it lives.
    const std::shared_ptr<bool> alive = alive_;

    if (activate_default_) {
        activate_default_ = false;
        if (default_button_ != nullptr) {
            UIButton* button = default_button_;
            const UIElement::Handler press = button->press_handler_;
            press(button);
            if (!*alive) return;
            const UIElement::Handler release = button->release_handler_;
            release(button);
            if (!*alive) return;
        }
    }

    const Vector2 pointer = VirtualPointer();
    for (UIElement* element : *this)
        if (element->visible_) element->SetHover(UIElement::IsPointInRect(element->position_, element->size_, pointer));

    // At most one touch a frame, but all are merged.
    Vector2 touch = pointer;
    int32_t phase = kNoPhase;
    bool pressed = false;
    bool any = false;
    for (const TouchEvent& event : TouchEvents) {
        any = true;
        touch = Vector2(event.position.x * kScreenWidth, event.position.y * kScreenHeight);
        if (event.phase == kTouchPress) {
            phase = kTouchPress;
            pressed = true;
        } else if (event.phase == kTouchRelease || event.phase == kTouchDrag) {
            phase = event.phase;
        }
    }
    if (phase == kTouchPress && pressed && !UiPressedLastFrame) {
        // a fresh press
    } else if (phase == kTouchRelease || phase == kTouchDrag) {
        // as it came
    } else if (pressed && UiPressedLastFrame) {
        phase = kTouchDrag;  // a press following a press
    } else {
        any = false;
    }

    const float wheel = GetPointerState().wheel;
    if (std::isnan(UiLastWheel)) UiLastWheel = wheel;
    if (wheel != UiLastWheel) {
        for (UIElement* element : *this)
            if (element->visible_ && UIElement::IsPointInRect(element->position_, element->size_, touch))
                element->Scroll(UiLastWheel - wheel);
    }
    UiLastWheel = wheel;

    TouchEvent settled = {};
    settled.phase = phase;
    if (any && (phase == kTouchPress || phase == kTouchRelease)) {
        for (UIElement* element : *this) {
            if (!element->visible_) continue;
            const bool hit = UIElement::IsPointInRect(element->position_, element->size_, touch);
            if (hit) {
                const UIElement::Handler handler =
                    phase == kTouchPress ? element->press_handler_ : element->release_handler_;
                handler(element);
                if (!*alive) {
                    UiPressedLastFrame = pressed;
                    return;
                }
            }
            if (element->OnTouch(hit, touch, settled)) break;
        }
    } else if (phase == kTouchDrag) {
        for (UIElement* element : *this) {
            if (!element->visible_ || !TakesDrags(element)) continue;
            const Vector2& area = element->cut_size_.x > 0.0f ? element->cut_size_ : element->size_;
            if (element->OnTouch(UIElement::IsPointInRect(element->position_, area, pointer), pointer, settled)) break;
        }
    }
    UiPressedLastFrame = pressed;

    if (CurrentRadioGroup != -1) {
        const int32_t group = CurrentRadioGroup;
        CurrentRadioGroup = -1;
        for (UIElement* element : *this) {
            UIButton* button = dynamic_cast<UIButton*>(element);
            if (button == nullptr || !button->visible_ || button->radio_group_ != group) continue;
            if (button->radio_state_ == 2) {
                button->radio_state_ = 1;
                const RadioHandler handler = radio_handler_;
                handler(group, button);
                if (!*alive) return;
            } else {
                button->state_ = 0;
                button->radio_state_ = 0;
            }
        }
    }
}

}  // namespace UI
