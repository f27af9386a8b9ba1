#include "SYS/user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

void SetOrUnset(const char* name, const char* value) {
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

// Puts a variable back as it was when the test ends.
class KeptVariable {
public:
    explicit KeptVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) value_ = value;
    }
    ~KeptVariable() { SetOrUnset(name_, value_ ? value_->c_str() : nullptr); }

private:
    const char* name_;
    std::optional<std::string> value_;
};

TEST(ConfigHome, FollowsXdgConfigHomeOnlyWhenItIsAbsolute) {
    const struct {
        const char* xdg;
        const char* expected;
    } cases[] = {
        {"/tmp/cfg", "/tmp/cfg"},
        {nullptr, "/home/ana/.config"},
        {"", "/home/ana/.config"},
        {"relative/cfg", "/home/ana/.config"},
    };
    KeptVariable home("HOME"), config("XDG_CONFIG_HOME");
    setenv("HOME", "/home/ana", 1);
    for (const auto& c : cases) {
        SetOrUnset("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(sys::ConfigHome(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

} // namespace
