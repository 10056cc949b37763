#pragma once
// What the store's tests share: a private folder, a file's bytes, and a head of
// fixed texts.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "PortFolder.h"
#include "VisitHead.h"

namespace vyx::record::test {

inline std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline VisitHead Head(std::string uuid, std::string startedAt, std::string deviceId = "1234567",
                      std::string plate = "ABC1D23") {
    VisitHead head;
    head.Uuid = std::move(uuid);
    head.Door = std::string(DoorCli);
    head.ToolVersion = "2.39.C";
    head.Host = "oficina-3";
    head.StartedAt = std::move(startedAt);
    head.DeviceId = std::move(deviceId);
    head.DeviceVersionBefore = "4.0.2.30";
    head.Technician = "Joana";
    head.Plate = std::move(plate);
    head.Vin = "9BWZZZ377VT004251";
    head.WorkOrder = "OS-118";
    head.Result = std::string(ResultOpen);
    return head;
}

}  // namespace vyx::record::test
