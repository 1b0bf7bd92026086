#pragma once
// 导出: the rows a table shows, with its column titles, written to a CSV
// file the operator chooses.

#include <QString>

#include <functional>

class QTableWidget;
class QWidget;

namespace prvc03 {

// Chooses the file to write, starting from `suggestedName`; empty when the
// operator gives none.
using ExportFileChooser = std::function<QString(QWidget* parent, const QString& suggestedName)>;
// Replaces the chooser (a save dialog, by default); returns the one it
// replaces. Tests name the file this way, without a dialog.
ExportFileChooser SetExportFileChooser(ExportFileChooser chooser);

// Asks for a file and writes the titles and rows of `table` to it. A write
// that fails is told in a message box and leaves the table as it is.
// Returns whether a file was written.
bool ExportTable(const QTableWidget& table, QWidget* parent, const QString& suggestedName);

}  // namespace prvc03
