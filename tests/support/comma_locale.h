#pragma once
// Switches the process to a German locale (decimal comma) for one test, the
// way the desktop toolkit installs the user's locale. The locale is compiled
// once into the build tree's folder (HARROW_TEST_LOCALE_DIR; each test is a
// process of its own, and compiling it takes seconds), or into a temporary
// folder of the process where no such folder is given; the test is skipped
// where that is impossible.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
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
#ifdef HARROW_TEST_LOCALE_DIR
        const std::string folder = HARROW_TEST_LOCALE_DIR;
        const bool kept = true;
#else
        const std::string folder = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                                   "/harrow-locale-" + std::to_string(getpid());
        const bool kept = false;
#endif
        const std::string locale = folder + "/de_DE.UTF-8";
        struct stat info {};
        if (stat((locale + "/LC_NUMERIC").c_str(), &info) != 0) {
            // Tests run side by side: each compiles into a folder of its own
            // and moves it into place; the first one there is used.
            const std::string scratch = folder + "/.building-" + std::to_string(getpid());
            const std::string command = "mkdir -p '" + scratch + "' && localedef -i de_DE -f UTF-8 '" + scratch +
                                        "/de_DE.UTF-8' >/dev/null 2>&1";
            const bool compiled = std::system(command.c_str()) == 0;
            if (compiled) std::rename((scratch + "/de_DE.UTF-8").c_str(), locale.c_str());
            std::system(("rm -rf '" + scratch + "'").c_str());
            if (stat((locale + "/LC_NUMERIC").c_str(), &info) != 0) return false;
        }
        if (!kept) {
            static std::string removed;
            removed = folder;
            std::atexit([] { std::system(("rm -rf '" + removed + "'").c_str()); });
        }
        setenv("LOCPATH", folder.c_str(), 1);
        return true;
    }
    bool active_ = false;
};

#define REQUIRE_COMMA_LOCALE(guard)                                          \
    CommaLocale guard;                                                       \
    if (!guard.active()) GTEST_SKIP() << "no German locale on this machine"; \
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",")
