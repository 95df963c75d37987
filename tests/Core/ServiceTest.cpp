#include "Core/Service.h"

#include <gtest/gtest.h>

namespace {
struct Loader {
    int id;
};
// A second service type over the same class keeps a slot of its own.
struct UiLoader : Loader {};

std::vector<std::string> Texts(const platform::MessageBoxCapture& capture) {
    std::vector<std::string> texts;
    for (const auto& box : capture.Shown()) {
        EXPECT_EQ("Program Error", box.caption);
        EXPECT_EQ(MB_ICONERROR, box.type);
        texts.push_back(box.text);
    }
    return texts;
}
}  // namespace

using Texts_t = std::vector<std::string>;

TEST(ServiceTest, EmptySlotReportsEachGetAndUnregister) {
    platform::MessageBoxCapture capture;
    EXPECT_FALSE(Service<Loader>::Exists());
    EXPECT_EQ(nullptr, Service<Loader>::Get());
    EXPECT_EQ(nullptr, Service<Loader>::Get());
    Service<Loader>::Unregister();
    EXPECT_FALSE(Service<Loader>::Exists());
    EXPECT_EQ((Texts_t{"Service expired or doesn't exist.", "Service expired or doesn't exist.",
                       "Service expired or doesn't exist."}),
              Texts(capture));
}

TEST(ServiceTest, SecondRegisterReportsAndWins) {
    platform::MessageBoxCapture capture;
    Loader first{1}, second{2};
    Service<Loader>::Register(&first);
    EXPECT_TRUE(capture.Shown().empty());
    Service<Loader>::Register(&second);
    EXPECT_EQ((Texts_t{"Service already exists!"}), Texts(capture));
    EXPECT_EQ(&second, Service<Loader>::Get());
    Service<Loader>::Unregister();
    EXPECT_FALSE(Service<Loader>::Exists());
    EXPECT_EQ(1u, capture.Shown().size());
}

TEST(ServiceTest, TypesOverTheSameClassKeepSeparateSlots) {
    platform::MessageBoxCapture capture;
    Loader world{1};
    UiLoader ui;
    Service<Loader>::Register(&world);
    Service<UiLoader>::Register(&ui);
    EXPECT_EQ(&world, Service<Loader>::Get());
    EXPECT_EQ(&ui, Service<UiLoader>::Get());
    Service<UiLoader>::Unregister();
    EXPECT_TRUE(Service<Loader>::Exists());
    Service<Loader>::Unregister();
    EXPECT_TRUE(capture.Shown().empty());
}
