#pragma once
// Test case names from the "what" texts of parameter tables: letters and digits kept, the rest
// turned into underscores, as GoogleTest requires.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace vqs::test {

struct CaseName {
    template <typename Param>
    std::string operator()(const testing::TestParamInfo<Param>& info) const {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

}  // namespace vqs::test
