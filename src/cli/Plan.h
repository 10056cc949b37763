#pragma once
// A service plan: which profile each unit gets, by its device ID, with the
// vehicle's fields for its record. A CSV file, one row a unit: the ID as the
// window shows it (three words of eight hexadecimal digits) or "*" for any
// other unit, the profile file (relative to the plan's folder), then the
// optional plate, VIN, work order and note. A first row naming the columns
// (id,profile,plate,vin,work_order,note) may set another order. The whole plan
// is checked before any unit is touched.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceIdentity.h"
#include "EditorSnapshot.h"

namespace vyx::cli {

/// What a unit's visit records of its vehicle and job.
struct ServiceFields {
    std::string Plate;
    std::string Vin;
    std::string WorkOrder;
    std::string Note;
};

struct PlanRow {
    /// Where the row starts in the file, counted from 1.
    std::size_t Line = 0;
    /// Nothing for the "*" row.
    std::optional<DeviceId> Id;
    /// The profile file as the plan's folder resolves it, and its values.
    std::string ProfilePath;
    EditorSnapshot Profile;
    ServiceFields Fields;
};

struct PlanResult;

class Plan {
public:
    /// Larger plans are refused before they are read.
    static constexpr std::size_t MaxFileSize = 1024 * 1024;
    /// A longer field is refused: no vehicle's plate or note needs it.
    static constexpr std::size_t MaxFieldSize = 1000;

    /// Reads and checks the plan at `path`; anything but a regular file is
    /// refused without waiting on it.
    static PlanResult Load(const std::string& path);
    /// Checks plan `text`: `fileName` goes into the messages, relative profile
    /// paths start at `folder`. Every profile is read and checked (a missing,
    /// refused or unchecked one is a reason), each file once.
    static PlanResult Parse(std::string_view text, const std::string& fileName,
                            const std::string& folder);

    /// The row for the unit with `id`: its own, else the "*" row; nothing when
    /// the plan has neither (the unit is not touched).
    const PlanRow* For(const DeviceId& id) const;

    const std::vector<PlanRow>& Rows() const { return rows; }

private:
    std::vector<PlanRow> rows;
};

/// What checking a plan gave: the plan, or every reason, one line each
/// ("PLAN:LINE: what is wrong").
struct PlanResult {
    std::optional<Plan> Checked;
    std::vector<std::string> Errors;
};

/// "fora do plano: 00A1B2C3 00000039 56595800": a unit the plan does not name.
std::string OutsidePlanText(const DeviceId& id);

/// The ID as the window shows it ("00A1B2C3 00000039 56595800"), or nothing.
std::optional<DeviceId> ParseDeviceId(std::string_view text);

}  // namespace vyx::cli
