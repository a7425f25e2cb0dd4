#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "separators.h"

namespace dsf2vemo {
namespace {

TEST(SeparatorsTest, DefaultListSeparatorFollowsTheDecimalSeparator) {
    EXPECT_EQ(DefaultListSeparator(","), ";");
    EXPECT_EQ(DefaultListSeparator("."), ",");
    EXPECT_EQ(DefaultListSeparator("'"), ",");
}

#ifndef _WIN32
// Sets LC_ALL for the life of the object.
class ScopedLocaleVariable {
  public:
    explicit ScopedLocaleVariable(const char* value) {
        if (const char* old = std::getenv("LC_ALL")) {
            old_ = old;
        }
        setenv("LC_ALL", value, 1);
    }
    ~ScopedLocaleVariable() {
        if (old_.empty()) {
            unsetenv("LC_ALL");
        } else {
            setenv("LC_ALL", old_.c_str(), 1);
        }
    }

  private:
    std::string old_;
};

struct LocaleCase {
    const char* locale;
    const char* list;
    const char* decimal;
};

class PosixLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(PosixLocaleTest, SeparatorsComeFromLcNumeric) {
    const LocaleCase& c = GetParam();
    ScopedLocaleVariable locale(c.locale);
    EXPECT_EQ(GetDecimalSeparator(), c.decimal);
    EXPECT_EQ(GetListSeparator(), c.list);
}

// de_DE.UTF-8 comes from the test locales the build generates (LOCPATH).
INSTANTIATE_TEST_SUITE_P(Locales, PosixLocaleTest,
                         ::testing::Values(LocaleCase{"C", ",", "."},
                                           LocaleCase{"de_DE.UTF-8", ";", ","},
                                           LocaleCase{"en_US.UTF-8", ",", "."},
                                           // An unknown locale falls back instead of failing.
                                           LocaleCase{"xx_NOWHERE.UTF-8", ",", "."}));
#endif

}  // namespace
}  // namespace dsf2vemo
