#pragma once
// Visits as CSV for spreadsheets and a fleet's systems: RFC 4180, UTF-8, a
// header row, one row a visit, CRLF line ends. The head's fields come first,
// then the configuration the device held at the end (as written, or as read
// when nothing was written), one column per profile key.

#include <string>
#include <string_view>

#include "Visit.h"

namespace vyx {

/// The header row, line end included.
std::string CsvHeader();
/// The visit's row, line end included.
std::string CsvRow(const Visit& visit);

/// One cell: a text a spreadsheet would run as a formula (starting with =, +,
/// -, @, tab or CR) gets a leading apostrophe; a cell holding a comma, a quote
/// or a line break is quoted, its quotes doubled.
std::string CsvCell(std::string_view text);

}  // namespace vyx
