#include "support/SqlShape.h"

namespace prvc03::test {

SqlShape ParseSqlShape(const QString& statement) {
    SqlShape shape;
    const QChar quote(u'\'');
    qsizetype i = 0;
    while (i < statement.size()) {
        if (statement.at(i) != quote) {
            shape.skeleton += statement.at(i++);
            continue;
        }
        // Inside a literal: '' is a quote of the text, a lone ' ends it.
        QString text;
        ++i;
        bool ended = false;
        while (i < statement.size()) {
            if (statement.at(i) == quote) {
                if (i + 1 < statement.size() && statement.at(i + 1) == quote) {
                    text += quote;
                    i += 2;
                    continue;
                }
                ++i;
                ended = true;
                break;
            }
            text += statement.at(i++);
        }
        shape.literals.append(text);
        shape.skeleton += QLatin1Char('?');
        if (!ended) {
            shape.closed = false;
        }
    }
    return shape;
}

QString AsSqliteReadsUtf16(const QString& statement) {
    QString read;
    read.reserve(statement.size());
    for (qsizetype i = 0; i < statement.size(); ++i) {
        if (statement.at(i).isSurrogate() && i + 1 < statement.size()) {
            read += QChar(QChar::ReplacementCharacter);
            ++i;
        } else {
            read += statement.at(i);
        }
    }
    return read;
}

bool UnsafeForStatements(const QString& value) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c.isNull()) {
            return true;
        }
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace prvc03::test
