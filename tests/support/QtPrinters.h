#pragma once
// Readable Qt texts in GoogleTest's failure messages (UTF-8, not code units).

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

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

inline void PrintTo(const QMetaType& type, std::ostream* out) {
    *out << (type.isValid() ? type.name() : "(no type)");
}

inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.metaType().name() << (value.isNull() ? " null " : " ")
         << value.toString().toStdString();
}
