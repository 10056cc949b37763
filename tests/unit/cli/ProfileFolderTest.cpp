#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ProfileFolder.h"

namespace vyx::cli {
namespace {

TEST(ProfileFolder, NamesEachDeviceAfterItsIdAndNeverTwoOfARunAlike) {
    ProfileFolder folder("out");
    const DeviceId a = {0x00A1B2C3, 0x00000039, 0x56595800};
    const DeviceId b = {0x1, 0xFFFFFFFF, 0x0};
    const std::pair<DeviceId, const char*> cases[] = {
        {a, "out/00A1B2C3-00000039-56595800.json"},
        {b, "out/00000001-FFFFFFFF-00000000.json"},
        {a, "out/00A1B2C3-00000039-56595800-2.json"},
        {a, "out/00A1B2C3-00000039-56595800-3.json"},
    };
    for (const auto& [id, path] : cases) {
        EXPECT_EQ(folder.PathFor(id), path);
    }
}

TEST(ProfileFolder, AFolderThatCannotTakeProfilesIsNamedBeforeAnyDeviceIsRead) {
    std::string base = (std::filesystem::temp_directory_path() / "vyx-profiles-XXXXXX").string();
    ASSERT_NE(::mkdtemp(base.data()), nullptr);
    std::ofstream(base + "/file") << "x";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {base, std::nullopt},
        {base + "/absent", "a pasta " + base + "/absent não existe"},
        {base + "/file", base + "/file não é uma pasta"},
    };
    for (const auto& [path, problem] : cases) {
        EXPECT_EQ(ProfileFolder(path).Problem(), problem) << path;
    }
    std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace vyx::cli
