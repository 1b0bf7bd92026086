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

// A row as text, its MH001 left out when `withUser` is false: equal for two
// rows exactly when their values are. Each value is led by its length, so
// that no text can pass for two values or one value for two.
QString RowKey(const QVariantList& row, bool withUser) {
    QString key;
    for (qsizetype c = withUser ? 0 : 1; c < row.size(); ++c) {
        const QString cell = PermissionRows::ValueKey(row[c]);
        key += QString::number(cell.size()) + QLatin1Char(':') + cell;
    }
    return key;
}

// The keys of `rows`, sorted.
std::vector<QString> SortedKeys(const std::vector<QVariantList>& rows, bool withUser) {
    std::vector<QString> keys;
    keys.reserve(rows.size());
    for (const QVariantList& row : rows) {
        keys.push_back(RowKey(row, withUser));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

}  // namespace

PermissionRows::PermissionRows(std::vector<QVariantList> rows)
    : rows_(std::make_shared<const std::vector<QVariantList>>(std::move(rows))) {}

PermissionRows PermissionRows::Read(QSqlDatabase& db, const QString& userLiteral, bool lock) {
    return PermissionRows(
        AllRows(db, PermissionRowsStatement(userLiteral, lock ? LockFor(db) : RowLock::None)));
}

const std::vector<QVariantList>& PermissionRows::Rows() const {
    static const std::vector<QVariantList> none;
    return rows_ ? *rows_ : none;
}

bool PermissionRows::IsPlus(const PermissionRows& before, const PermissionRows& added) const {
    if (Count() != before.Count() + added.Count()) {
        return false;
    }
    // These rows by key, each with its row, against `before`'s keys: what
    // is left over must be `added`'s rows.
    std::vector<std::pair<QString, const QVariantList*>> mine;
    mine.reserve(Rows().size());
    for (const QVariantList& row : Rows()) {
        mine.emplace_back(RowKey(row, true), &row);
    }
    std::sort(mine.begin(), mine.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::vector<QString> held = SortedKeys(before.Rows(), true);
    std::vector<const QVariantList*> beyond;
    std::size_t h = 0;
    for (const auto& [key, row] : mine) {
        if (h < held.size() && held[h] == key) {
            ++h;
        } else if (h < held.size() && held[h] < key) {
            return false;  // a row held before is gone
        } else {
            beyond.push_back(row);
        }
    }
    if (h != held.size() || static_cast<int>(beyond.size()) != added.Count()) {
        return false;
    }
    if (beyond.empty()) {
        return true;
    }
    // One MH001 for all of them, and otherwise `added`'s rows.
    const QString user = ValueKey(beyond.front()->value(0));
    std::vector<QString> rest;
    rest.reserve(beyond.size());
    for (const QVariantList* row : beyond) {
        if (row->isEmpty() || ValueKey(row->front()) != user) {
            return false;
        }
        rest.push_back(RowKey(*row, false));
    }
    std::sort(rest.begin(), rest.end());
    return rest == SortedKeys(added.Rows(), false);
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

}  // namespace prvc03
