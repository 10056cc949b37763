#include "VisitCsv.h"

#include <iterator>
#include <vector>

#include "ProfileKeys.h"

namespace vyx {

namespace {

constexpr std::string_view LineEnd = "\r\n";

constexpr std::string_view HeadColumns[] = {"uuid",
                                            "door",
                                            "tool_version",
                                            "host",
                                            "started_at",
                                            "ended_at",
                                            "device_id",
                                            "device_version_before",
                                            "device_version_after",
                                            "technician",
                                            "plate",
                                            "vin",
                                            "work_order",
                                            "note",
                                            "result",
                                            "cut"};

// The cell as the CSV holds it, after `row`'s end.
void AppendCell(std::string& row, std::string_view text) {
    // A cell a spreadsheet would run as a formula is made inert.
    const bool inert = !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' ||
                                         text[0] == '@' || text[0] == '\t' || text[0] == '\r');
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        if (inert) {
            row += '\'';
        }
        row += text;
        return;
    }
    row += '"';
    if (inert) {
        row += '\'';
    }
    for (const char c : text) {
        row += c;
        if (c == '"') {
            row += '"';
        }
    }
    row += '"';
}

std::string Row(const std::vector<std::string_view>& cells) {
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            row += ',';
        }
        AppendCell(row, cells[i]);
    }
    row += LineEnd;
    return row;
}

}  // namespace

std::string CsvCell(std::string_view text) {
    std::string cell;
    AppendCell(cell, text);
    return cell;
}

std::string CsvHeader() {
    std::vector<std::string_view> cells(std::begin(HeadColumns), std::end(HeadColumns));
    for (const ProfileKey& key : ProfileKeys()) {
        cells.push_back(key.Key);
    }
    return Row(cells);
}

std::string CsvRow(const Visit& visit) {
    const VisitHead& h = visit.Head();
    std::vector<std::string_view> cells = {h.Uuid,
                                           h.Door,
                                           h.ToolVersion,
                                           h.Host,
                                           h.StartedAt,
                                           h.EndedAt,
                                           h.DeviceId,
                                           h.DeviceVersionBefore,
                                           h.DeviceVersionAfter,
                                           h.Technician,
                                           h.Plate,
                                           h.Vin,
                                           h.WorkOrder,
                                           h.Note,
                                           h.Result,
                                           h.Cut};
    const VisitBlock* block = visit.BlockAfter();
    if (block == nullptr) {
        block = visit.BlockBefore();
    }
    const auto values = block != nullptr ? BlockValues(block->Image)
                                         : std::vector<std::pair<std::string, std::string>>();
    // A block that did not decode leaves its columns empty.
    for (std::size_t i = 0; i < ProfileKeys().size(); ++i) {
        cells.push_back(i < values.size() ? std::string_view(values[i].second)
                                          : std::string_view());
    }
    return Row(cells);
}

}  // namespace vyx
