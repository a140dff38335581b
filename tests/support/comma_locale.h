#pragma once
// Switches the process to a German locale (decimal comma) for one test, the
// way the desktop toolkit installs the user's locale. The locale is compiled
// into a temporary folder once; the test is skipped where that is impossible.
#include <clocale>
#include <cstdlib>
#include <string>

#include <unistd.h>

class CommaLocale {
public:
    CommaLocale()
    {
        static const bool built = Build();
        active_ = built && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    static bool Build()
    {
        // One folder per process (tests may run side by side), removed at exit.
        Folder() = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/harrow-locale-" +
                   std::to_string(getpid());
        std::atexit([] { std::system(("rm -rf '" + Folder() + "'").c_str()); });
        std::string command = "mkdir -p '" + Folder() + "' && localedef -i de_DE -f UTF-8 '" + Folder() +
                              "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return false;
        setenv("LOCPATH", Folder().c_str(), 1);
        return true;
    }
    static std::string& Folder()
    {
        static std::string folder;
        return folder;
    }
    bool active_ = false;
};

#define REQUIRE_COMMA_LOCALE(guard)                                          \
    CommaLocale guard;                                                       \
    if (!guard.active()) GTEST_SKIP() << "no German locale on this machine"; \
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",")
