// The submission form's e-mail rule, one table of accepted and rejected forms.
#include <gtest/gtest.h>

#include <string>

#include "Classes/UI/MenuStates.h"

namespace {

TEST(EmailRuleTest, AcceptsAndRejectsByItsSevenRules) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"a@b.c", true},                        // the shortest form
        {"first.last@mail.example.org", true},  // dots on both sides
        {"keeper-one@dun-march.org", true},
        {"a@b@c.d", true},  // a second at sign
        {"a_b@c.d", true},
        {"", false},
        {"@b.c", false},    // at sign first
        {"a@.bc", false},   // dot right behind the at sign
        {"a@b.", false},    // dot last
        {"a.b@c", false},   // the only dot before the at sign
        {"a@b .c", false},  // a space
        {" a@b.c", false},
        {"abc.de", false},   // no at sign
        {"a@bcd", false},    // no dot
        {"a+b@c.d", false},  // a character of no rule
        {"a@b.c\xe9", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidEmail(c.text), c.valid) << '"' << c.text << '"';
}

}  // namespace
