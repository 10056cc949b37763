#pragma once
// The configuration editor's controls: the group GB_Config with its top row and
// its seven condition groups, and the engine-brake group GB_EBK that lies
// outside the window. Every control carries its name as its objectName; the
// window finds them through here and applies values to them.

#include <QList>
#include <QString>
#include <cstdint>
#include <span>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace vyx::app {

class UpDown;

class EditorPanel {
public:
    /// Builds the controls on `form`, at their places, in their initial state.
    explicit EditorPanel(QWidget* form);

    QGroupBox* GB_Config;
    QGroupBox* GB_EBK;
    QComboBox* CB_PING;
    QComboBox* CB_A232;
    QComboBox* CB_B232;
    QPushButton* B_SetConfig;
    QToolButton* B_SetCalvera;
    QToolButton* B_SetDefaults;
    QToolButton* B_RemConfig;

    /// The value edit, spinner or check box of that name; null for an unknown name.
    QLineEdit* Edit(const QString& name) const;
    UpDown* Spinner(const QString& name) const;
    QCheckBox* Box(const QString& name) const;

    /// The sixteen value edits (engine brake included) and their spinners.
    const QList<QLineEdit*>& ValueEdits() const { return edits; }
    const QList<UpDown*>& Spinners() const { return spinners; }

    /// Fills CB_PING with the PING intervals (seconds) and CB_A232, CB_B232 with
    /// the serial speeds (codes in hundreds of bit/s); no entry is selected.
    void FillLists(std::span<const std::uint16_t> pingSeconds,
                   std::span<const std::uint16_t> baudCodes);
    /// Leaves the three lists without a selection.
    void ClearListSelections();
    /// Empties the editor's value edits and unticks its boxes, as a new
    /// connection does; the engine-brake group is left alone.
    void EmptyForConnection();

private:
    void BuildTopRow();
    void BuildConditionGroups(QWidget* form);

    QList<QLineEdit*> edits;
    QList<UpDown*> spinners;
    QList<QCheckBox*> boxes;
};

}  // namespace vyx::app
