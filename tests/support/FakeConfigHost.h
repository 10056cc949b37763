#pragma once
// An editor stand-in: holds a snapshot as the controls would, with the write
// button's state and the two options beside the editor, and records what the
// configuration logic did to it.

#include <vector>

#include "ConfigHost.h"

namespace vyx::test {

class FakeConfigHost : public ConfigHost {
public:
    EditorSnapshot ReadEditor() const override { return Editor; }
    void ApplyEditor(const EditorSnapshot& editor) override {
        Editor = editor;
        Applied.push_back(editor);
    }
    void ClearListSelections() override {
        Editor.Lists.fill(NoSelection);
        ++ListClears;
    }
    void EmptyField(EditorField field) override {
        Editor.Text(field).clear();
        Emptied.push_back(field);
    }
    void SetWriteEnabled(bool enabled) override { WriteEnabled = enabled; }
    bool CalveraChecked() const override { return Calvera; }
    bool AutoCloseChecked() const override { return AutoClose; }

    EditorSnapshot Editor;
    std::vector<EditorSnapshot> Applied;
    int ListClears = 0;
    std::vector<EditorField> Emptied;
    bool WriteEnabled = false;
    bool Calvera = false;
    bool AutoClose = false;
};

}  // namespace vyx::test
