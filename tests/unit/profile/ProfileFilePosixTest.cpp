#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "PortFolder.h"
#include "ProfileFileSystem.h"

namespace vyx::profile_file {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& text, fs::perms mode) {
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, mode);
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ProfileFileOnPosix : public ::testing::Test {
protected:
    test::PortFolder folder;
    const fs::path dir = folder.Path();
    const fs::path target = dir / "p.json";
};

TEST_F(ProfileFileOnPosix, WhatIsNotAWritableRegularFileIsRefusedUntouched) {
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        FileRefusal refusal;
    } cases[] = {
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, FileRefusal::Folder},
        {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
         FileRefusal::NotRegular},
        {"link to a device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
         FileRefusal::NotRegular},
        {"link to a folder", [&](const fs::path& p) { fs::create_directory_symlink(dir, p); },
         FileRefusal::Folder},
        {"link to nothing", [&](const fs::path& p) { fs::create_symlink(dir / "none", p); },
         FileRefusal::NotRegular},
        {"read-only file",
         [](const fs::path& p) { Write(p, "old", fs::perms::owner_read | fs::perms::group_read); },
         FileRefusal::ReadOnly},
    };
    for (const auto& c : cases) {
        fs::remove_all(target);
        c.make(target);
        const std::set<std::string> before = Names(dir);
        EXPECT_EQ(ReplaceRegularFile(target, "new").Refusal, c.refusal) << c.name;
        EXPECT_EQ(Names(dir), before) << c.name;  // nothing created, nothing replaced
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(ReplaceRegularFile("/dev/null", "new").Refusal, FileRefusal::NotRegular);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(ProfileFileOnPosix, ReplacingKeepsTheModeAndTheLinkAndIgnoresAPlantedTemporary) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    const fs::path real = dir / "real.json";
    Write(real, "old", mode);
    fs::create_symlink(real, target);
    // The temporary name of earlier versions, planted as a link to another file.
    const fs::path victim = dir / "victim";
    Write(victim, "victim", fs::perms::owner_all);
    fs::create_symlink(victim, dir / "p.json.tmp");

    ASSERT_EQ(ReplaceRegularFile(target, "new").Refusal, FileRefusal::None);
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(Contents(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), mode);
    EXPECT_EQ(Contents(victim), "victim");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"p.json", "p.json.tmp", "real.json", "victim"}));
}

TEST_F(ProfileFileOnPosix, ANewFileIsCreatedAndAMissingFolderLeavesNothing) {
    ASSERT_EQ(ReplaceRegularFile(target, "new").Refusal, FileRefusal::None);
    EXPECT_EQ(Contents(target), "new");
    const FileOutcome missing = ReplaceRegularFile(dir / "none" / "p.json", "new");
    EXPECT_EQ(missing.Refusal, FileRefusal::System);
    EXPECT_EQ(missing.Cause, "No such file or directory");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"p.json"}));
}

TEST_F(ProfileFileOnPosix, ReadingRefusesAnythingButARegularFileWithoutWaiting) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    std::string text = "unchanged";
    EXPECT_EQ(ReadRegularFile(dir / "fifo", 10, text).Refusal, FileRefusal::NotRegular);
    EXPECT_EQ(ReadRegularFile(dir, 10, text).Refusal, FileRefusal::Folder);
    EXPECT_EQ(ReadRegularFile("/dev/zero", 10, text).Refusal, FileRefusal::NotRegular);
    EXPECT_EQ(text, "unchanged");

    Write(target, "0123456789abc", fs::perms::owner_read);
    ASSERT_EQ(ReadRegularFile(target, 10, text).Refusal, FileRefusal::None);
    EXPECT_EQ(text, "0123456789a");  // one byte past the limit tells it is too large
}

}  // namespace
}  // namespace vyx::profile_file
