// The literal rule: whatever the value, its literal is one closed SQL literal
// holding the value's trimmed text, or a refusal for a NUL inside it.
#include <QDateTime>
#include <QLocale>
#include <QVariant>

#include "FuzzSupport.h"
#include "platform/Cp936.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/SqlShape.h"

using namespace prvc03;

namespace {

const QLocale& LocaleFor(std::uint8_t selector) {
    static const QLocale locales[] = {
        QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Chinese, QLocale::China),
        QLocale(QLocale::Arabic, QLocale::Egypt)};
    return locales[selector % std::size(locales)];
}

template <class T>
T Number(const std::uint8_t* data, std::size_t size) {
    T value{};
    std::memcpy(&value, data, std::min(size, sizeof value));
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint8_t kind = data[0] % 7;
    const QLocale& locale = LocaleFor(data[1]);
    data += 2;
    size -= 2;

    QVariant value;
    QString text;  // the text the literal must hold, for the text kinds
    bool isText = false;
    switch (kind) {
        case 0:
            text = fuzz::Utf16(data, size);
            value = text;
            isText = true;
            break;
        case 1: {
            const QByteArray bytes = fuzz::Bytes(data, size);
            value = bytes;
            text = platform::FromCp936(bytes);
            isText = true;
            break;
        }
        case 2:
            text = QString::fromUtf8(fuzz::Bytes(data, size));
            value = text;
            isText = true;
            break;
        case 3:
            value = Number<qint64>(data, size);
            break;
        case 4:
            value = Number<double>(data, size);
            break;
        case 5:
            value = QDateTime::fromMSecsSinceEpoch(Number<qint64>(data, size) % 253402300800000LL,
                                                   Qt::UTC);
            break;
        default:
            value = (size > 0 && (data[0] & 1) != 0);
            break;
    }

    const QString trimmed = TrimControl(text);
    QString literal;
    try {
        literal = ToSqlLiteral(value, locale);
    } catch (const Error& error) {
        fuzz::Require(isText && test::UnsafeForStatements(trimmed),
                      "only a text with a NUL or an unpaired surrogate is refused",
                      error.Message());
        return 0;
    }
    if (kind == 6) {
        fuzz::Require(literal == QLatin1String("0") || literal == QLatin1String("1"),
                      "booleans are bare digits", literal);
        return 0;
    }
    fuzz::Require(!literal.contains(QChar(u'\0')), "no NUL reaches a statement", literal);
    const test::SqlShape shape = test::ParseSqlShape(QStringLiteral("SELECT ") + literal);
    const test::SqlShape read = test::ParseSqlShape(test::AsSqliteReadsUtf16(literal));
    fuzz::Require(read.closed && read.literals.size() == 1 && read.skeleton == QLatin1String("?"),
                  "SQLite reads one closed literal too", literal);
    fuzz::Require(
        shape.closed && shape.skeleton == QLatin1String("SELECT ?") && shape.literals.size() == 1,
        "one closed literal", literal);
    if (isText) {
        fuzz::Require(shape.literals.front() == trimmed, "the literal holds the trimmed text",
                      literal);
    }
    return 0;
}
