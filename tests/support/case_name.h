#pragma once

#include <gtest/gtest.h>

#include <string>

namespace dsf2vemo::testing {

// Names a parameterised test after the `name` field of its case.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

}  // namespace dsf2vemo::testing
