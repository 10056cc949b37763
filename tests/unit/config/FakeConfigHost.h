#pragma once
// An editor stand-in: holds a snapshot as the controls would, and records what
// the configuration logic did to it.

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

    EditorSnapshot Editor;
    std::vector<EditorSnapshot> Applied;
    int ListClears = 0;
    std::vector<EditorField> Emptied;
};

}  // namespace vyx::test
