#pragma once
// What the configuration logic needs from the editor's controls and the two
// options beside it. Each door implements it next to LinkHost: the window with
// its controls, vyxctl with the profile's values, the page through its script;
// tests implement a fake.

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

    /// Allows or refuses a write by the person (the "CONFIGURAR" button).
    virtual void SetWriteEnabled(bool enabled) = 0;
    /// "Forçar configuração Calvera": a read block must match the Calvera preset.
    virtual bool CalveraChecked() const = 0;
    /// "Fechar após configurar": close the connection after a successful write.
    virtual bool AutoCloseChecked() const = 0;
};

}  // namespace vyx
