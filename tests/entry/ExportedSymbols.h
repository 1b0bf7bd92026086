#pragma once
// The names a shared library exports, read from its dynamic symbol table.

#include <QString>
#include <QStringList>

namespace prvc03::test {

// Defined global and weak function and object symbols of an ELF file.
QStringList ExportedSymbols(const QString& path);

}  // namespace prvc03::test
