#include <cstdio>
#include <utility>

#include "CliCommands.h"
#include "ProfileFile.h"

namespace vyx::cli {

std::optional<EditorSnapshot> LoadProfileArgument(const std::string& file) {
    ProfileResult profile = ProfileFile::Load(file);
    for (const std::string& error : profile.Errors) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    return std::move(profile.Editor);
}

}  // namespace vyx::cli
