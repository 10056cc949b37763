#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "PortFolder.h"
#include "StorePath.h"

namespace vyx::record {
namespace {

namespace fs = std::filesystem;

// Restores an environment variable when the test ends.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name(name) {
        if (const char* value = std::getenv(name)) {
            saved = value;
        }
    }
    ~SavedVariable() {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

private:
    const char* name;
    std::optional<std::string> saved;
};

TEST(StorePath, TheUsersDataFolderMadePrivate) {
    vyx::test::PortFolder folder;
    SavedVariable home("HOME"), data("XDG_DATA_HOME");
    struct Case {
        const char* name;
        std::optional<std::string> xdg;  // relative to the folder; nullopt: unset
        std::string expected;            // relative to the folder
        std::string madeFrom;            // the first folder the call makes
    } cases[] = {
        {"XDG_DATA_HOME set", "/data/x", "/data/x/vyxtool/record.sqlite3", "/data"},
        {"unset", std::nullopt, "/home/.local/share/vyxtool/record.sqlite3", "/home/.local"},
        {"relative: ignored", "relative/x", "/home/.local/share/vyxtool/record.sqlite3",
         "/home/.local"},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder.Path() + "/data");
        fs::remove_all(folder.Path() + "/home");
        fs::create_directory(folder.Path() + "/home");
        ::setenv("HOME", (folder.Path() + "/home").c_str(), 1);
        if (!c.xdg) {
            ::unsetenv("XDG_DATA_HOME");
        } else if ((*c.xdg)[0] == '/') {
            ::setenv("XDG_DATA_HOME", (folder.Path() + *c.xdg).c_str(), 1);
        } else {
            ::setenv("XDG_DATA_HOME", c.xdg->c_str(), 1);
        }
        std::string path;
        ASSERT_EQ(DefaultStorePath(path), std::nullopt) << c.name;
        EXPECT_EQ(path, folder.Path() + c.expected) << c.name;
        // Every folder made on the way is the user's alone.
        for (fs::path made = fs::path(path).parent_path();
             made.string().size() >= (folder.Path() + c.madeFrom).size();
             made = made.parent_path()) {
            EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all)
                << c.name << ": " << made;
        }
    }
}

}  // namespace
}  // namespace vyx::record
