#pragma once
// "Histórico": the visits the record keeps, newest first, with their filters;
// the service fields typed once for the following visits; the selected visit's
// report (HTML or PDF), the exports, the import and the purge. Every text that
// came from a device or was typed is shown as plain text.

#include <QWidget>
#include <string>
#include <vector>

#include "RecordStore.h"
#include "Visit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace vyx::app {

class WindowRecord;

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(WindowRecord& record, QWidget* parent);

    /// Lists the visits again, with the filters as they stand.
    void Refresh();

    // The controls, for the tests.
    QTableWidget* List;
    QLineEdit* FilterDevice;
    QLineEdit* FilterPlate;
    QLineEdit* FilterSince;
    QLineEdit* FilterUntil;
    QComboBox* FilterResult;
    QLineEdit* Search;
    QLineEdit* Technician;
    QLineEdit* Plate;
    QLineEdit* Vin;
    QLineEdit* WorkOrder;
    QLineEdit* Note;
    QLabel* Status;

    /// The selected visit's report as HTML, and saved to `path` (.pdf: PDF);
    /// false, with the status saying why, when there is none or it fails.
    bool SaveReport(const QString& path);
    /// The listed visits exported to `path`: JSON Lines for .jsonl, else CSV.
    bool Export(const QString& path);
    bool Import(const QString& path);

private:
    // The filters as typed, for the store.
    record::VisitFilter TypedFilter() const;
    void FieldsTyped();
    void TakeLastFields();
    bool SelectedVisit(std::optional<Visit>& visit);
    void ShowReport();
    void AskSaveReport();
    void AskExport();
    void AskImport();
    void AskPurge();

    WindowRecord& record;
    std::vector<VisitHead> heads;
};

/// The list's firmware cell: "4.0.2.30 → 4.0.2.31", or the one version.
QString FirmwareCell(const VisitHead& head);

}  // namespace vyx::app
