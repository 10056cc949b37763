#pragma once
// Publishes the simulator's port where the tool looks for virtual ports: a
// symbolic link in the user's virtual-port folder, named by the user.

#include <string>

namespace vyx::sim {

class PortLink {
public:
    /// The user's virtual-port folder: $XDG_RUNTIME_DIR/vyx-ports, or
    /// /tmp/vyx-ports-<uid> (effective uid) when that variable is unset or empty.
    static std::string DefaultFolder();

    /// Creates `folder` (0700) when missing, checks that it belongs to the user
    /// and is writable by nobody else, then points `folder/name` at `target`,
    /// replacing an older link of that name. Throws std::runtime_error.
    PortLink(const std::string& folder, const std::string& name, const std::string& target);
    /// Removes the link, unless it has since been pointed elsewhere.
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const std::string& Path() const { return path; }
    void Remove();

private:
    std::string path;
    std::string target;
};

}  // namespace vyx::sim
