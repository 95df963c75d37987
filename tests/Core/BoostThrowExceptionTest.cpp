#include <boost/throw_exception.hpp>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(BoostThrowExceptionDeathTest, PrintsAndAborts) {
    const char* expected = "boost::throw_exception - sth wrong with shared_ptr's \\?\n";
    EXPECT_DEATH(boost::throw_exception(std::runtime_error("x")), expected);
    EXPECT_DEATH(boost::throw_exception(std::runtime_error("x"), BOOST_CURRENT_LOCATION), expected);
}

}  // namespace
