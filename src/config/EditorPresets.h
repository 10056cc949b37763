#pragma once
// The two ready sets of editor values: the defaults ("preencher valores
// padrão") and the Calvera customer preset.

#include "EditorSnapshot.h"

namespace vyx {

/// The default values: PING 180 s, RS232-A 115200, RS232-B 19200, buzzer and
/// event on entering for every condition; every "Durante" box unchecked.
EditorSnapshot DefaultsSnapshot();

/// The Calvera preset: PING 60 s, no buzzer, events on entering and leaving.
EditorSnapshot CalveraSnapshot();

}  // namespace vyx
