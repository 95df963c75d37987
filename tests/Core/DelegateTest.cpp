#include "Core/Delegate.h"

#include <gtest/gtest.h>

namespace {
struct Target {
    int sum = 0;
    void Add(int a, int b) { sum += a + b; }
    void Bump() { ++sum; }
};
void Twice(Target* t, int a, int b) { t->sum += 2 * (a + b); }
}  // namespace

TEST(DelegateTest, CallsPassTheTargetAndArguments) {
    Target t;
    auto method = Delegate<int, int>::FromMethod<&Target::Add>(&t);
    auto function = Delegate<int, int>::FromFunction<&Twice>(&t);
    method(1, 2);
    function(1, 2);
    EXPECT_EQ(9, t.sum);
    EXPECT_EQ(&t, method.GetTarget());

    auto none = Delegate<>::FromMethod<&Target::Bump>(&t);
    none();
    EXPECT_EQ(10, t.sum);
}

TEST(DelegateTest, UnboundDoesNothingAndIdentityComparesBothWords) {
    Delegate<int, int> empty;
    EXPECT_FALSE(empty.IsBound());
    empty(1, 2);  // no effect, no crash

    Target a, b;
    auto da = Delegate<int, int>::FromMethod<&Target::Add>(&a);
    EXPECT_TRUE(da == (Delegate<int, int>::FromMethod<&Target::Add>(&a)));
    EXPECT_TRUE(da != (Delegate<int, int>::FromMethod<&Target::Add>(&b)));
    EXPECT_TRUE(da != (Delegate<int, int>::FromFunction<&Twice>(&a)));
    da.Reset();
    EXPECT_FALSE(da);
}
