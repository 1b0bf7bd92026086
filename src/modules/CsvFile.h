#pragma once
// Rows of text as a CSV file that spreadsheet programs open with the Chinese
// intact: UTF-8 behind a byte-order mark, one record per line (CR LF), a
// field quoted when it holds a comma, a quote, a line break or blanks at an
// end, quotes inside doubled.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace prvc03 {

QByteArray CsvText(const QStringList& titles, const std::vector<QStringList>& rows);

// Writes the file whole or not at all: an existing file stays as it was
// when the write fails. Raises an Error that names the file and says why.
void WriteCsvFile(const QString& path, const QStringList& titles,
                  const std::vector<QStringList>& rows);

}  // namespace prvc03
