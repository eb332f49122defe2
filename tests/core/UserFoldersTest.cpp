// The account's name, by which Wine names the user's folder in its prefixes.
#ifndef _WIN32

#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <pwd.h>
#include <unistd.h>

namespace {

// Sets or clears an environment variable for the test's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value)
        : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(LoginName, FromUserThenLognameThenTheAccountItself) {
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    struct Case {
        const char* user;
        const char* logname;
        std::string expected;
    };
    const Case cases[] = {
        {"player", "other", "player"},        {nullptr, "other", "other"}, {"", "other", "other"},
        {nullptr, nullptr, account->pw_name}, // as some launchers and service managers start programs
        {"", "", account->pw_name},
    };
    for (const Case& c : cases) {
        const ScopedVariable user("USER", c.user);
        const ScopedVariable logname("LOGNAME", c.logname);
        EXPECT_EQ(userfolders::loginName(), c.expected)
            << "USER=" << (c.user ? c.user : "(unset)") << " LOGNAME=" << (c.logname ? c.logname : "(unset)");
    }
}

} // namespace

#endif
