#pragma once
// Whether progress can be redrawn in place: only on a terminal, and only when
// every device's row fits on its screen (more rows would scroll away and the
// redraw would land on the wrong lines).

#include <cstddef>
#include <cstdio>

namespace vyx::cli {

/// Whether `rows` progress rows, redrawn in place, fit on a screen of
/// `screenRows` lines (0: its size is unknown, taken as 24) with the cursor's line.
bool FitsInPlace(std::size_t rows, int screenRows);

/// Whether `file` is a terminal on whose screen `rows` rows fit.
bool RedrawsInPlace(std::FILE* file, std::size_t rows);
/// Whether `file` is a terminal (a person may answer a question there).
bool IsTerminal(std::FILE* file);

}  // namespace vyx::cli
