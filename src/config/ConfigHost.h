#pragma once
// What the configuration logic needs from the editor's controls. The window
// implements it next to LinkHost; tests implement a fake.

#include "EditorSnapshot.h"

namespace vyx {

class ConfigHost {
public:
    virtual ~ConfigHost() = default;

    /// The editor's lists, edit texts and boxes as they stand.
    virtual EditorSnapshot ReadEditor() const = 0;
    /// Sets every control of the snapshot, in record order (lists, ACP, ACN,
    /// then each condition with its values and boxes). The buzzer coupling
    /// handlers run as the boxes change.
    virtual void ApplyEditor(const EditorSnapshot& editor) = 0;
    /// Clears the selections of CB_PING, CB_A232 and CB_B232.
    virtual void ClearListSelections() = 0;
    /// Empties one value edit (never called for a list).
    virtual void EmptyField(EditorField field) = 0;
};

}  // namespace vyx
