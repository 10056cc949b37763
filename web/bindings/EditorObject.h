#pragma once
// The editor as the page sees it: snapshots as plain objects keyed by the
// window's control names, and the record layout table as rows the page builds
// its editor from.

#include <emscripten/val.h>

#include <string>

#include "EditorSnapshot.h"

namespace vyx::web {

/// Every control of the snapshot: list positions, edit texts, boxes.
emscripten::val SnapshotToObject(const EditorSnapshot& editor);
/// A snapshot from the page; a missing or mistyped key reads as no selection,
/// an empty text or an unchecked box.
EditorSnapshot SnapshotFromObject(const emscripten::val& object);

/// The layout rows, in record order.
emscripten::val LayoutRows();

/// `editor` after box `control` changed, with the buzzer rule applied.
EditorSnapshot CoupleBuzzer(EditorSnapshot editor, const std::string& control);

/// The first failing write check as {control, caption, message}, or null.
emscripten::val CheckEditor(const EditorSnapshot& editor);

}  // namespace vyx::web
