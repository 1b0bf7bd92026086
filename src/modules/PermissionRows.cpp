#include "modules/PermissionRows.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QTime>

#include <algorithm>

#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "modules/CopyStatements.h"

namespace prvc03 {

namespace {

RowLock LockFor(const QSqlDatabase& db) {
    switch (ProductOf(db)) {
        case DatabaseProduct::PostgreSQL:
            return RowLock::ForUpdate;
        case DatabaseProduct::SqlServer:
            return RowLock::UpdLockHoldLock;
        default:
            // SQLite: the transaction's first write waits for every reader
            // and fails when another writer came first.
            return RowLock::None;
    }
}

}  // namespace

PermissionRows::PermissionRows(std::vector<QVariantList> rows) : rows_(std::move(rows)) {}

PermissionRows PermissionRows::Read(QSqlDatabase& db, const QString& userLiteral, bool lock) {
    return PermissionRows(
        AllRows(db, PermissionRowsStatement(userLiteral, lock ? LockFor(db) : RowLock::None)));
}

bool PermissionRows::AllOfUser(const QVariant& code) const {
    const QString key = ValueKey(code);
    return std::all_of(rows_.begin(), rows_.end(), [&key](const QVariantList& row) {
        return !row.isEmpty() && ValueKey(row.front()) == key;
    });
}

PermissionRows PermissionRows::PlusRowsOf(const PermissionRows& other, const QVariant& code) const {
    std::vector<QVariantList> rows = rows_;
    rows.reserve(rows_.size() + other.rows_.size());
    for (QVariantList row : other.rows_) {
        if (!row.isEmpty()) {
            row.front() = code;
        }
        rows.push_back(std::move(row));
    }
    return PermissionRows(std::move(rows));
}

bool PermissionRows::operator==(const PermissionRows& other) const {
    return rows_.size() == other.rows_.size() && SortedKeys() == other.SortedKeys();
}

QString PermissionRows::ValueKey(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return QStringLiteral("N");
    }
    switch (value.metaType().id()) {
        case QMetaType::QString:
        case QMetaType::QChar:
            return QLatin1Char('s') + value.toString();
        case QMetaType::QByteArray:
            return QLatin1Char('x') + QString::fromLatin1(value.toByteArray().toHex());
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("b1") : QStringLiteral("b0");
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return QLatin1Char('i') + QString::number(value.toLongLong());
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return QLatin1Char('i') + QString::number(value.toULongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            // The shortest text that reads back as the same double.
            return QLatin1Char('f') +
                   QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        case QMetaType::QDate:
            return QLatin1Char('d') + value.toDate().toString(Qt::ISODate);
        case QMetaType::QTime:
            return QLatin1Char('t') + value.toTime().toString(Qt::ISODateWithMs);
        case QMetaType::QDateTime:
            return QLatin1Char('T') + value.toDateTime().toString(Qt::ISODateWithMs);
        default:
            return QLatin1String(value.metaType().name()) + QLatin1Char(':') + value.toString();
    }
}

std::vector<QString> PermissionRows::SortedKeys() const {
    std::vector<QString> keys;
    keys.reserve(rows_.size());
    for (const QVariantList& row : rows_) {
        QString key;
        for (const QVariant& value : row) {
            const QString cell = ValueKey(value);
            // Each value led by its length, so that no text can pass for
            // two values or one value for two.
            key += QString::number(cell.size()) + QLatin1Char(':') + cell;
        }
        keys.push_back(std::move(key));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

}  // namespace prvc03
