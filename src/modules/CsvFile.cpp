#include "modules/CsvFile.h"

#include <QDir>
#include <QSaveFile>

#include "session/Errors.h"

namespace prvc03 {

namespace {

QString Field(const QString& text) {
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quoted) {
        return text;
    }
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

void AppendRecord(QString& text, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char(',');
        }
        text += Field(fields[i]);
    }
    text += QLatin1String("\r\n");
}

}  // namespace

QByteArray CsvText(const QStringList& titles, const std::vector<QStringList>& rows) {
    QString text;
    AppendRecord(text, titles);
    for (const QStringList& row : rows) {
        AppendRecord(text, row);
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

void WriteCsvFile(const QString& path, const QStringList& titles,
                  const std::vector<QStringList>& rows) {
    const QByteArray bytes = CsvText(titles, rows);
    QSaveFile file(path);
    const auto fail = [&path](const QString& why) {
        throw Error(QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), why));
    };
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        fail(why);
    }
    if (!file.commit()) {
        fail(file.errorString());
    }
}

}  // namespace prvc03
