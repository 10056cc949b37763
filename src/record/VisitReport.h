#pragma once
// The one-page service report of a visit, as HTML: the job, the device, the
// firmware before and after, the configuration by the editor's captions with
// the values before and after, each step, the visit's identifier and the
// SHA-256 of its line. Every text is escaped and shown inert (control and
// direction characters as \uXXXX). A print style sheet makes the browser's PDF
// the same page; the window prints the same HTML.

#include <string>
#include <string_view>
#include <vector>

#include "Visit.h"

namespace vyx {

/// One row of the report's configuration table.
struct ConfigRow {
    std::string Group;  // the editor group's caption, trimmed
    std::string Field;  // the control's label, or the box groups' captions
    std::string Before;
    std::string After;
    bool Changed = false;
};

/// The configuration rows of a visit in record order: one per list and value
/// edit, one per condition for its boxes, buzzer then event ("Entrada, Saída /
/// —", "sim / não"); empty when the visit read and wrote no block.
std::vector<ConfigRow> ReportConfigRows(const Visit& visit);

/// What a step did, in the report's words.
std::string StepSummary(const VisitStep& step);

/// The report's HTML document.
std::string VisitReportHtml(const Visit& visit);

/// `text` escaped for HTML text and attribute values, control and direction
/// characters shown as \uXXXX, cut after `limit` characters.
std::string HtmlText(std::string_view text, std::size_t limit = std::string::npos);

}  // namespace vyx
