#pragma once
// The record's exports, as every desktop door makes them: the visits matching a
// filter, newest first, each whole, as CSV rows (after the header) or JSON Lines,
// in one read of the store.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "RecordStore.h"

namespace vyx::record {

enum class ExportFormat { Csv, JsonLines };

struct ExportOutcome {
    std::size_t Written = 0;
    /// Why the record could not be read; what was written before stands.
    std::optional<std::string> Error;
};

/// Hands the export of the visits matching `filter` to `write`, piece by piece
/// and in order. A visit whose steps do not read is left out and told to
/// `unreadable`; neither callback may call the store.
ExportOutcome ExportVisits(
    RecordStore& store, const VisitFilter& filter, ExportFormat format,
    const std::function<void(std::string_view)>& write,
    const std::function<void(const VisitHead&, const std::string& reason)>& unreadable = {});

}  // namespace vyx::record
