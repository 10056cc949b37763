#pragma once
// A door's recorder kept in the desktop store: the head when a visit begins,
// each step as it ends with the head it brings up to date, each log line, the
// service fields when they change. The window and vyxctl take the same sink.

#include <functional>
#include <string>

#include "RecordStore.h"
#include "VisitRecorder.h"

namespace vyx::record {

/// `store` gives the store to write to, or nothing once there is none (it may
/// be dropped after a failure); `failed` gets each write's refusal.
VisitRecorder::Sink StoreSink(std::function<RecordStore*()> store,
                              std::function<void(const std::string&)> failed);

}  // namespace vyx::record
