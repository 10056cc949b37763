#pragma once
// A private folder for a simulator's published port, removed with its contents.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vyx::test {

class PortFolder {
public:
    PortFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyx-road-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a folder for the simulator's port");
        }
        path = pattern;
    }
    ~PortFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    PortFolder(const PortFolder&) = delete;
    PortFolder& operator=(const PortFolder&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
};

}  // namespace vyx::test
