#pragma once
// Moves the editor's values between its controls and an EditorSnapshot, the
// form in which the configuration logic sees them.

#include <QString>

#include "EditorSnapshot.h"

class QComboBox;
class QLineEdit;

namespace vyx::app {

class EditorPanel;

class EditorBinding {
public:
    /// Name of the control of a field (CB_PING .. CB_B232, ED_ACP .. ED_TBGL).
    static QString ControlName(EditorField field);

    /// The list or edit of a field in `panel` (the other one is null).
    static QComboBox* List(const EditorPanel& panel, EditorField field);
    static QLineEdit* Edit(const EditorPanel& panel, EditorField field);

    /// The controls' values as they stand.
    static EditorSnapshot Read(const EditorPanel& panel);
    /// Sets the controls in record order: the lists, ACP, ACN, then each
    /// condition with its values and its boxes. The box coupling runs as boxes
    /// change, so "Durante" never stays checked beside "Entrada" or "Saída".
    static void Apply(EditorPanel& panel, const EditorSnapshot& editor);
};

}  // namespace vyx::app
