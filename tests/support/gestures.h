#pragma once
// Tables of gestures on the real window: each row a named scenario that a fixture runs,
// its name the test's name.
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace quelora::test {

template <typename Fixture> struct Gesture {
    const char* name;
    std::function<void(Fixture&)> run;
};

template <typename Fixture> void PrintTo(const Gesture<Fixture>& row, std::ostream* os) {
    *os << row.name;
}

template <typename Fixture> std::string gestureName(const ::testing::TestParamInfo<Gesture<Fixture>>& row) {
    return row.param.name;
}

} // namespace quelora::test
