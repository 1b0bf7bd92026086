#include "modules/TableExport.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTableWidget>

#include <utility>

#include "modules/CsvFile.h"
#include "modules/MessageBoxes.h"
#include "platform/Windows.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

QString AskFileName(QWidget* parent, const QString& suggestedName) {
    QFileDialog dialog(parent, QStringLiteral("导出为 CSV 文件"),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                       QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

ExportFileChooser& Chooser() {
    static ExportFileChooser chooser = &AskFileName;
    return chooser;
}

}  // namespace

ExportFileChooser SetExportFileChooser(ExportFileChooser chooser) {
    return std::exchange(Chooser(), chooser ? std::move(chooser) : ExportFileChooser(&AskFileName));
}

bool ExportTable(const QTableWidget& table, QWidget* parent, const QString& suggestedName) {
    const QString path = Chooser()(parent, suggestedName);
    if (path.isEmpty()) {
        return false;
    }
    QStringList titles;
    for (int column = 0; column < table.columnCount(); ++column) {
        const QTableWidgetItem* title = table.horizontalHeaderItem(column);
        titles << (title != nullptr ? title->text() : QString());
    }
    std::vector<QStringList> rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* cell = table.item(row, column);
            cells << (cell != nullptr ? cell->text() : QString());
        }
        rows.push_back(cells);
    }
    try {
        WriteCsvFile(path, titles, rows);
    } catch (const Error& error) {
        Tell(QStringLiteral("导出失败：") + error.Message() + QStringLiteral("．"),
             platform::MB_ICONSTOP);
        return false;
    }
    return true;
}

}  // namespace prvc03
