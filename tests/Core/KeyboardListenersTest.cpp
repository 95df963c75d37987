#include "Core/KeyboardListeners.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
struct Label {
    std::string* log;
    char tag;
    ~Label() { RemoveKeyboardListeners(this); }
    void OnKey(uint16_t character, int32_t code) {
        *log += tag;
        *log += std::to_string(character) + "/" + std::to_string(code) + " ";
    }
    KeyboardListener Listener() { return KeyboardListener::FromMethod<&Label::OnKey>(this); }
};

class KeyboardListenersTest : public testing::Test {
protected:
    void TearDown() override { GetKeyboardListeners().Clear(); }
    std::string log;
};
}  // namespace

TEST_F(KeyboardListenersTest, FiresInOrderOfAdding) {
    EXPECT_FALSE(HasKeyboardListeners());
    FireKeyboardListeners('x', 0);  // nobody listens: nothing happens
    Label a{&log, 'a'}, b{&log, 'b'};
    AddKeyboardListener(b.Listener());
    AddKeyboardListener(a.Listener());
    EXPECT_TRUE(HasKeyboardListeners());
    FireKeyboardListeners('x', 0);
    FireKeyboardListeners(0, 50);
    EXPECT_EQ("b120/0 a120/0 b0/50 a0/50 ", log);
    EXPECT_FALSE(GetSecondaryKeyboardListeners().HasListeners());
}

TEST_F(KeyboardListenersTest, DestroyedListenerIsNeverCalled) {
    auto a = std::make_unique<Label>(Label{&log, 'a'});
    Label b{&log, 'b'};
    AddKeyboardListener(a->Listener());
    AddKeyboardListener(b.Listener());
    a.reset();
    FireKeyboardListeners('k', 0);
    EXPECT_EQ("b107/0 ", log);
    RemoveKeyboardListener(b.Listener());
    EXPECT_FALSE(HasKeyboardListeners());
}

namespace {
// A key that closes a window: the handler destroys a later label and adds a
// new one while the list fires.
struct Closer {
    std::unique_ptr<Label>* victim;
    Label* added;
    void OnKey(uint16_t, int32_t) {
        victim->reset();
        AddKeyboardListener(added->Listener());
    }
};
}  // namespace

TEST_F(KeyboardListenersTest, ChangesWhileFiringAreSafe) {
    auto victim = std::make_unique<Label>(Label{&log, 'v'});
    Label late{&log, 'n'};
    Closer closer{&victim, &late};
    AddKeyboardListener(KeyboardListener::FromMethod<&Closer::OnKey>(&closer));
    AddKeyboardListener(victim->Listener());
    FireKeyboardListeners(0, 7);
    EXPECT_EQ("", log);  // the victim is gone, the new label waits for the next key
    EXPECT_EQ(2u, GetKeyboardListeners().Count());
    RemoveKeyboardListeners(&closer);
    FireKeyboardListeners(0, 8);
    EXPECT_EQ("n0/8 ", log);
}
