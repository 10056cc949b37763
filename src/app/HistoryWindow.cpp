#include "HistoryWindow.h"

#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <fstream>
#include <optional>

#include "RecordStore.h"
#include "StoreExport.h"
#include "VisitCsv.h"
#include "VisitImport.h"
#include "VisitJson.h"
#include "VisitReport.h"
#include "WindowRecord.h"

namespace vyx::app {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// A cell that shows its text as typed: table items never read markup.
QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QLineEdit* Field(QWidget* parent, const QString& name, int maxLength = 1000) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

record::StoredVisit StoredFrom(const Visit& visit) {
    record::StoredVisit stored;
    stored.Head = visit.Head();
    std::int64_t seq = 0;
    for (const VisitStep& step : visit.Steps()) {
        stored.Steps.push_back(
            {++seq, step.EndedAt, std::string(StepKindText(step.Kind)), StepBody(step)});
    }
    stored.Log = visit.LogLines();
    return stored;
}

}  // namespace

QString FirmwareCell(const VisitHead& head) {
    if (head.DeviceVersionAfter.empty() || head.DeviceVersionAfter == head.DeviceVersionBefore) {
        return Q(head.DeviceVersionBefore);
    }
    return Q(head.DeviceVersionBefore) + QStringLiteral(" → ") + Q(head.DeviceVersionAfter);
}

HistoryWindow::HistoryWindow(WindowRecord& record, QWidget* parent)
    : QWidget(parent, Qt::Window), record(record) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Histórico"));
    resize(860, 520);

    auto* fields = new QFormLayout;
    Technician = Field(this, QStringLiteral("Technician"));
    Plate = Field(this, QStringLiteral("Plate"));
    Vin = Field(this, QStringLiteral("Vin"));
    WorkOrder = Field(this, QStringLiteral("WorkOrder"));
    Note = Field(this, QStringLiteral("Note"));
    fields->addRow(QStringLiteral("técnico"), Technician);
    fields->addRow(QStringLiteral("veículo (placa)"), Plate);
    fields->addRow(QStringLiteral("VIN/frota"), Vin);
    fields->addRow(QStringLiteral("OS"), WorkOrder);
    fields->addRow(QStringLiteral("nota"), Note);
    for (QLineEdit* edit : {Technician, Plate, Vin, WorkOrder, Note}) {
        connect(edit, &QLineEdit::editingFinished, this, &HistoryWindow::FieldsTyped);
    }

    auto* filters = new QHBoxLayout;
    FilterDevice = Field(this, QStringLiteral("FilterDevice"), 64);
    FilterPlate = Field(this, QStringLiteral("FilterPlate"), 64);
    FilterSince = Field(this, QStringLiteral("FilterSince"), 32);
    FilterUntil = Field(this, QStringLiteral("FilterUntil"), 32);
    Search = Field(this, QStringLiteral("Search"), 200);
    FilterDevice->setPlaceholderText(QStringLiteral("ID"));
    FilterPlate->setPlaceholderText(QStringLiteral("placa"));
    FilterSince->setPlaceholderText(QStringLiteral("de AAAA-MM-DD"));
    FilterUntil->setPlaceholderText(QStringLiteral("até AAAA-MM-DD"));
    Search->setPlaceholderText(QStringLiteral("buscar"));
    FilterResult = new QComboBox(this);
    FilterResult->addItem(QStringLiteral("todas"), QString());
    for (const std::string_view result : {ResultDone, ResultFailed, ResultCut, ResultOpen}) {
        const QString text = Q(std::string(result));
        FilterResult->addItem(text, text);
    }
    for (QLineEdit* edit : {FilterDevice, FilterPlate, FilterSince, FilterUntil, Search}) {
        filters->addWidget(edit);
        connect(edit, &QLineEdit::editingFinished, this, &HistoryWindow::Refresh);
    }
    filters->addWidget(FilterResult);
    connect(FilterResult, &QComboBox::currentIndexChanged, this, &HistoryWindow::Refresh);

    List = new QTableWidget(0, 5, this);
    List->setObjectName(QStringLiteral("List"));
    List->setHorizontalHeaderLabels({QStringLiteral("data"), QStringLiteral("ID"),
                                     QStringLiteral("veículo"), QStringLiteral("firmware"),
                                     QStringLiteral("resultado")});
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->verticalHeader()->hide();
    List->horizontalHeader()->setStretchLastSection(true);
    List->setTextElideMode(Qt::ElideRight);
    List->setWordWrap(false);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, void (HistoryWindow::*slot)()) {
        auto* pushed = new QPushButton(text, this);
        buttons->addWidget(pushed);
        connect(pushed, &QPushButton::clicked, this, slot);
    };
    button(QStringLiteral("relatório"), &HistoryWindow::ShowReport);
    button(QStringLiteral("exportar"), &HistoryWindow::AskExport);
    button(QStringLiteral("importar"), &HistoryWindow::AskImport);
    button(QStringLiteral("apagar"), &HistoryWindow::AskPurge);
    buttons->addStretch();
    Status = new QLabel(this);
    Status->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(filters);
    layout->addWidget(List, 1);
    layout->addLayout(buttons);
    layout->addWidget(Status);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    TakeLastFields();
    Refresh();
}

void HistoryWindow::TakeLastFields() {
    // The fields of the window's last visit carry over to the next run.
    record::RecordStore* store = record.Store();
    if (!store) {
        return;
    }
    std::vector<VisitHead> recent;
    if (store->List({}, 50, 0, recent)) {
        return;
    }
    for (const VisitHead& head : recent) {
        if (head.Door == DoorWindow) {
            record.Recorder().SetServiceFields(
                {head.Technician, head.Plate, head.Vin, head.WorkOrder, head.Note});
            break;
        }
    }
    const ServiceFields& kept = record.Recorder().Fields();
    Technician->setText(Q(kept.Technician));
    Plate->setText(Q(kept.Plate));
    Vin->setText(Q(kept.Vin));
    WorkOrder->setText(Q(kept.WorkOrder));
    Note->setText(Q(kept.Note));
}

void HistoryWindow::FieldsTyped() {
    record.Recorder().SetServiceFields({S(Technician), S(Plate), S(Vin), S(WorkOrder), S(Note)});
}

record::VisitFilter HistoryWindow::TypedFilter() const {
    record::VisitFilter filter;
    filter.DeviceId = S(FilterDevice);
    filter.Plate = S(FilterPlate);
    filter.Since = S(FilterSince);
    filter.Until = S(FilterUntil);
    // A date alone names its whole day.
    if (const QDate day = QDate::fromString(FilterUntil->text(), Qt::ISODate); day.isValid()) {
        filter.Until = day.addDays(1).toString(Qt::ISODate).toStdString();
    }
    filter.Result = FilterResult->currentData().toString().toStdString();
    filter.Text = S(Search);
    return filter;
}

void HistoryWindow::Refresh() {
    heads.clear();
    List->setRowCount(0);
    record::RecordStore* store = record.Store();
    if (!store) {
        Status->setText(QStringLiteral("Registro de serviço indisponível."));
        return;
    }
    if (const auto error = store->List(TypedFilter(), 0, 0, heads)) {
        Status->setText(Q(*error));
        return;
    }
    List->setRowCount(static_cast<int>(heads.size()));
    for (int row = 0; row < List->rowCount(); ++row) {
        const VisitHead& head = heads[static_cast<std::size_t>(row)];
        const QString vehicle = head.Plate.empty() ? Q(head.Vin) : Q(head.Plate);
        List->setItem(row, 0, Cell(Q(head.StartedAt).left(19).replace(QLatin1Char('T'), ' ')));
        List->setItem(row, 1, Cell(Q(head.DeviceId)));
        List->setItem(row, 2, Cell(vehicle));
        List->setItem(row, 3, Cell(FirmwareCell(head)));
        List->setItem(
            row, 4, Cell(head.Cut.empty() ? Q(head.Result) : Q(head.Result) + ": " + Q(head.Cut)));
    }
    List->resizeColumnsToContents();
    Status->setText(heads.size() == 1 ? QStringLiteral("1 visita")
                                      : QStringLiteral("%1 visitas").arg(heads.size()));
}

bool HistoryWindow::SelectedVisit(std::optional<Visit>& visit) {
    const int row = List->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= heads.size()) {
        Status->setText(QStringLiteral("Escolha uma visita."));
        return false;
    }
    std::optional<record::StoredVisit> stored;
    if (const auto error =
            record.Store()->Find(heads[static_cast<std::size_t>(row)].Uuid, stored)) {
        Status->setText(Q(*error));
        return false;
    }
    if (!stored) {
        Status->setText(QStringLiteral("A visita não está mais no registro."));
        return false;
    }
    VisitParse parse = record::VisitOf(*stored);
    if (!parse.Found) {
        Status->setText(Q(parse.Reason));
        return false;
    }
    visit = std::move(parse.Found);
    return true;
}

void HistoryWindow::ShowReport() {
    std::optional<Visit> visit;
    if (!SelectedVisit(visit)) {
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("relatório"));
    dialog.resize(720, 640);
    auto* view = new QTextBrowser(&dialog);
    // The core's report escapes every text; links are not followed.
    view->setOpenLinks(false);
    view->setHtml(Q(VisitReportHtml(*visit)));
    auto* save = new QPushButton(QStringLiteral("salvar"), &dialog);
    connect(save, &QPushButton::clicked, this, &HistoryWindow::AskSaveReport);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    layout->addWidget(save, 0, Qt::AlignRight);
    dialog.exec();
}

void HistoryWindow::AskSaveReport() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("salvar relatório"), QString(),
                                     QStringLiteral("PDF (*.pdf);;HTML (*.html)"));
    if (!path.isEmpty()) {
        SaveReport(path);
    }
}

bool HistoryWindow::SaveReport(const QString& path) {
    std::optional<Visit> visit;
    if (!SelectedVisit(visit)) {
        return false;
    }
    const QString html = Q(VisitReportHtml(*visit));
    bool saved = false;
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("relatório"));
        QTextDocument document;
        document.setHtml(html);
        document.setPageSize(QSizeF(writer.width(), writer.height()));
        document.print(&writer);
        saved = QFile(path).size() > 0;
    } else {
        QFile file(path);
        const QByteArray bytes = html.toUtf8();
        saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes) == bytes.size();
    }
    Status->setText(saved ? QStringLiteral("Relatório salvo: %1").arg(path)
                          : QStringLiteral("Não foi possível salvar %1").arg(path));
    return saved;
}

void HistoryWindow::AskExport() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("exportar"), QString(),
                                     QStringLiteral("CSV (*.csv);;JSON Lines (*.jsonl)"));
    if (!path.isEmpty()) {
        Export(path);
    }
}

bool HistoryWindow::Export(const QString& path) {
    const bool lines = path.endsWith(QStringLiteral(".jsonl"), Qt::CaseInsensitive);
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    // The visits listed, as the filters stand, each whole (the CSV without its log).
    std::size_t written = 0;
    std::optional<std::string> error;
    if (record::RecordStore* store = record.Store()) {
        const record::ExportOutcome exported = record::ExportVisits(
            *store, TypedFilter(),
            lines ? record::ExportFormat::JsonLines : record::ExportFormat::Csv,
            [&](std::string_view text) {
                out.write(text.data(), static_cast<std::streamsize>(text.size()));
            });
        written = exported.Written;
        error = exported.Error;
    } else {
        error = "Registro de serviço indisponível.";
    }
    out.close();
    if (error) {
        Status->setText(Q(*error));
        return false;
    }
    const bool ok = static_cast<bool>(out);
    Status->setText(ok ? QStringLiteral("%1 visitas exportadas para %2").arg(written).arg(path)
                       : QStringLiteral("Não foi possível gravar %1").arg(path));
    return ok;
}

void HistoryWindow::AskImport() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("importar"), QString(),
                                                      QStringLiteral("JSON Lines (*.jsonl)"));
    if (!path.isEmpty()) {
        Import(path);
    }
}

bool HistoryWindow::Import(const QString& path) {
    record::RecordStore* store = record.Store();
    if (!store) {
        return false;
    }
    std::size_t added = 0;
    std::size_t present = 0;
    std::string failure;
    const ImportOutcome outcome = ImportVisitFile(path.toStdString(), [&](Visit visit) {
        record::Insertion insertion = record::Insertion::AlreadyThere;
        if (const auto error = store->InsertWholeVisit(StoredFrom(visit), insertion)) {
            failure = *error;
        } else if (insertion == record::Insertion::Inserted) {
            ++added;
        } else {
            ++present;
        }
    });
    Refresh();
    if (outcome.Refusal) {
        Status->setText(Q(*outcome.Refusal));
        return false;
    }
    QString text = QStringLiteral("%1 visitas importadas, %2 já presentes").arg(added).arg(present);
    if (!outcome.Skipped.empty()) {
        text += QStringLiteral("; %1 linhas ignoradas (%2)")
                    .arg(outcome.Skipped.size())
                    .arg(Q(outcome.Skipped.front().Text()));
    }
    if (!failure.empty()) {
        text += QStringLiteral("; ") + Q(failure);
    }
    Status->setText(text);
    return failure.empty();
}

void HistoryWindow::AskPurge() {
    record::RecordStore* store = record.Store();
    if (!store) {
        return;
    }
    bool given = false;
    const QString date =
        QInputDialog::getText(this, QStringLiteral("apagar"),
                              QStringLiteral("Apagar as visitas anteriores a (AAAA-MM-DD):"),
                              QLineEdit::Normal, QString(), &given);
    if (!given || date.isEmpty()) {
        return;
    }
    if (!QDate::fromString(date, Qt::ISODate).isValid()) {
        Status->setText(QStringLiteral("Data inválida: use AAAA-MM-DD."));
        return;
    }
    const auto answer = QMessageBox::question(
        this, QStringLiteral("apagar"),
        QStringLiteral("Apagar do registro todas as visitas anteriores a %1?").arg(date));
    if (answer != QMessageBox::Yes) {
        return;
    }
    std::int64_t deleted = 0;
    const auto error = store->PurgeBefore(date.toStdString(), deleted);
    Refresh();
    Status->setText(error ? Q(*error) : QStringLiteral("%1 visitas apagadas").arg(deleted));
}

}  // namespace vyx::app
