#pragma once
// The service record's face for the page: a visit as the row the page's store
// keeps (its line, and the head's fields its indexes and filters use), and
// every exported byte made here from the kept lines: CSV, the report, and the
// reading of an import file. The page only stores and shows.

#include <emscripten/val.h>

#include <string>

#include "Visit.h"
#include "VisitImport.h"

namespace vyx::web {

/// { uuid, line, csv, startedAt, startedUtc, endedAt, deviceId, versionBefore,
///   versionAfter, technician, plate, vin, workOrder, note, result, cut, door }
emscripten::val VisitRow(const Visit& visit);
/// The row of a kept line, or { reason } when the line is not a visit.
emscripten::val VisitRowOf(const std::string& line);

std::string VisitCsvHeader();
/// The report of a kept line; empty when the line is not a visit.
std::string VisitReportOf(const std::string& line);

/// An import file read as its bytes come; each feed gives the rows of the
/// visits it completed.
class ImportReader {
public:
    ImportReader();
    /// Why a file of `size` bytes is refused unread; empty when it may be read.
    static std::string RefuseSize(double size);
    emscripten::val Feed(const emscripten::val& bytes);
    emscripten::val Finish();
    /// Why the file was refused; empty when it was not.
    std::string Refusal() const;
    /// "linha 3: não é JSON", one a skipped line.
    emscripten::val Skipped() const;

private:
    emscripten::val Taken();

    std::vector<Visit> taken;
    VisitImport reader;
};

}  // namespace vyx::web
