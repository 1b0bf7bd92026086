#pragma once
// Readable Qt texts in GoogleTest's failure messages (UTF-8, not code units).

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i == 0 ? " " : ", ");
        PrintTo(texts.at(i), out);
    }
    *out << " }";
}
