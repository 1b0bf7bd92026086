// The SQL literal rule: how a value is written into a statement.
#include "session/SqlLiteral.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include "platform/Cp936.h"
#include "session/Errors.h"

namespace prvc03 {

QString TrimControl(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) {
        ++begin;
    }
    while (end > begin && text.at(end - 1).unicode() <= 32) {
        --end;
    }
    return text.mid(begin, end - begin);
}

namespace {

// A surrogate without its partner. SQLite's UTF-16 reader takes the unit
// after any surrogate as its partner, so a lone one swallows the quote that
// follows it and the literal would end early.
bool HasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString EscapeQuotes(const QString& text) {
    if (text.contains(QChar(u'\0'))) {
        throw Error(
            QStringLiteral("A value holding a NUL character cannot be written into a "
                           "statement"));
    }
    if (HasUnpairedSurrogate(text)) {
        throw Error(
            QStringLiteral("A value holding an unpaired UTF-16 surrogate cannot be "
                           "written into a statement"));
    }
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

QString QuoteText(const QString& text) {
    return QLatin1Char('\'') + EscapeQuotes(text) + QLatin1Char('\'');
}

namespace {

// The locale's long time format without its time-zone field ("t", unquoted)
// and the blank that separates it from the rest.
QString TimeFormatWithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t')) {
                ++i;
            }
            if (result.endsWith(QLatin1Char(' '))) {
                result.chop(1);
            } else if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char(' ')) {
                ++i;
            }
            continue;
        }
        result += c;
    }
    return result.trimmed();
}

QString DateTimeText(const QDateTime& value, const QLocale& locale) {
    QString text = locale.toString(value.date(), locale.dateFormat(QLocale::ShortFormat));
    const QTime time = value.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        text +=
            QLatin1Char(' ') +
            locale.toString(time, TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    }
    return text;
}

QString FloatText(double value, const QLocale& locale) {
    QLocale format = locale;
    format.setNumberOptions(QLocale::OmitGroupSeparator);
    return format.toString(value, 'g', 15);
}

}  // namespace

QString ToSqlLiteral(const QVariant& value) {
    return ToSqlLiteral(value, QLocale::system());
}

QString ToSqlLiteral(const QVariant& value, const QLocale& locale) {
    if (!value.isValid() || value.isNull()) {
        return QString();  // Empty or Null: no literal at all, not NULL
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::QDateTime:
            return QuoteText(DateTimeText(value.toDateTime(), locale));
        case QMetaType::QDate:
            return QuoteText(DateTimeText(QDateTime(value.toDate(), QTime(0, 0)), locale));
        case QMetaType::QTime:
            return QuoteText(locale.toString(
                value.toTime(), TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat))));
        case QMetaType::QString:
            return QuoteText(TrimControl(value.toString()));
        case QMetaType::QByteArray:
            return QuoteText(TrimControl(platform::FromCp936(value.toByteArray())));
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return QuoteText(QString::number(value.toLongLong()));
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return QuoteText(QString::number(value.toULongLong()));
        case QMetaType::Float:
        case QMetaType::Double:
            return QuoteText(FloatText(value.toDouble(), locale));
        default:
            break;
    }
    QVariant text = value;
    if (!text.convert(QMetaType::fromType<QString>())) {
        throw Error(QStringLiteral("Cannot convert a value of type %1 to text")
                        .arg(QString::fromLatin1(value.typeName())));
    }
    return QuoteText(TrimControl(text.toString()));
}

}  // namespace prvc03
