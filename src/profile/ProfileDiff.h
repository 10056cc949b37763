#pragma once
// What writing a profile would change on a device: each profile key whose value
// the device holds differently, with the caption the editor shows for it. vyxctl
// prints it before a write, and the window and the page log it when a profile is
// opened over a configuration read from the device.

#include <string>
#include <vector>

#include "EditorSnapshot.h"
#include "ProfileKeys.h"

namespace vyx {

struct ProfileDifference {
    const ProfileKey* Key;
    std::string Device;   ///< the value the device holds, as the profile writes it
    std::string Profile;  ///< the profile's value
};

/// The keys whose values differ between `device` and `profile`, in record order.
std::vector<ProfileDifference> ProfileDiff(const EditorSnapshot& device,
                                           const EditorSnapshot& profile);

/// What the editor calls a key's control, on one line: "Velocidade máxima
/// permitida" (the label without its unit), "PING", "VELOCIDADE / ALERTA BUZZER /
/// Entrada" (a box: its condition, its group and its own caption).
std::string ProfileKeyCaption(const ProfileKey& key);

/// "speed.max_kmh (Velocidade máxima permitida): 120 → 100": the device's value,
/// then the profile's.
std::string DifferenceLine(const ProfileDifference& difference);

/// ProfileDiff as its lines.
std::vector<std::string> ProfileDiffLines(const EditorSnapshot& device,
                                          const EditorSnapshot& profile);

/// What the log says of a profile opened over the configuration the device
/// holds: the lines of ProfileDiff, or that the device holds the profile.
std::vector<std::string> ProfileOpenedLines(const EditorSnapshot& device,
                                            const EditorSnapshot& profile);

}  // namespace vyx
