// The reader of QSQLITE connections: the statement is prepared and stepped
// on the connection's own sqlite3 handle, and every row goes straight into
// the store. Column types and values are those QSQLITE gives: the declared
// type of a column, or the first row's type where none is declared; each
// value by its own storage class.
#include <QByteArray>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

#include "data/DriverHandle.h"
#include "data/ResultReader.h"
#include "data/SqliteBusyBound.h"
#include "data/SqliteStatementStop.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

QString Utf16(const void* text) {
    return text == nullptr ? QString() : QString::fromUtf16(static_cast<const char16_t*>(text));
}

QString ErrorText(sqlite3* db) {
    return Utf16(sqlite3_errmsg16(db));
}

// The type QSQLITE gives a declared column type.
QMetaType DeclaredType(const QString& declared) {
    const QString type = declared.toLower();
    if (type == QLatin1String("integer") || type == QLatin1String("int")) {
        return QMetaType::fromType<int>();
    }
    if (type == QLatin1String("double") || type == QLatin1String("float") ||
        type == QLatin1String("real") || type.startsWith(QLatin1String("numeric"))) {
        return QMetaType::fromType<double>();
    }
    if (type == QLatin1String("blob")) {
        return QMetaType::fromType<QByteArray>();
    }
    if (type == QLatin1String("boolean") || type == QLatin1String("bool")) {
        return QMetaType::fromType<bool>();
    }
    return QMetaType::fromType<QString>();
}

// The type QSQLITE gives an undeclared column by its first value.
QMetaType StorageType(int storage) {
    switch (storage) {
        case SQLITE_INTEGER:
            return QMetaType::fromType<int>();
        case SQLITE_FLOAT:
            return QMetaType::fromType<double>();
        case SQLITE_BLOB:
            return QMetaType::fromType<QByteArray>();
        case SQLITE_TEXT:
            return QMetaType::fromType<QString>();
        default:
            return QMetaType();
    }
}

class SqliteResultReader final : public ResultReader {
  public:
    SqliteResultReader(sqlite3* db, const QString& statement) : db_(db), sql_(statement) {}
    ~SqliteResultReader() override { sqlite3_finalize(stmt_); }

    qint64 RowsAffected() const override { return changes_; }

  protected:
    void DoExecute() override {
        const SqliteBusyBound busy(db_, Deadline(), stop_);
        const SqliteStatementStop stopper(db_, stop_);
        const void* tail = nullptr;
        const auto bytes = static_cast<int>((sql_.size() + 1) * sizeof(QChar));
        if (sqlite3_prepare16_v2(db_, sql_.utf16(), bytes, &stmt_, &tail) != SQLITE_OK) {
            throw Error(ErrorText(db_));
        }
        if (tail != nullptr && !Utf16(tail).trimmed().isEmpty()) {
            throw Error(QStringLiteral("Unable to execute multiple statements at a time"));
        }
        if (stmt_ == nullptr) {
            return;  // only a comment or blanks
        }
        Step();
        const int count = sqlite3_column_count(stmt_);
        for (int i = 0; i < count; ++i) {
            ResultColumnInfo info;
            info.name = Utf16(sqlite3_column_name16(stmt_, i)).remove(QLatin1Char('"'));
            info.table = Utf16(sqlite3_column_table_name16(stmt_, i)).remove(QLatin1Char('"'));
            const QString declared = Utf16(sqlite3_column_decltype16(stmt_, i));
            info.type = !declared.isEmpty() ? DeclaredType(declared)
                        : hasRow_           ? StorageType(sqlite3_column_type(stmt_, i))
                                            : QMetaType();
            columns_.push_back(info);
        }
        if (count == 0) {
            changes_ = sqlite3_changes(db_);
        }
    }

    int DoRead(const std::vector<int>& source, std::vector<ResultColumn>& columns,
               int limit) override {
        const SqliteBusyBound busy(db_, Deadline(), stop_);
        const SqliteStatementStop stopper(db_, stop_);
        if (pending_) {
            pending_ = false;
            Step();
        }
        int count = 0;
        while (hasRow_ && count != limit) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                Store(source[c], columns[c]);
            }
            CountRows(++count);
            if (count != limit) {
                Step();
            } else {
                pending_ = true;  // the next read starts with a fresh step
            }
        }
        return count;
    }

    // Ends this statement's step only; a host statement of the connection
    // that is partly read goes on.
    void DoCancel() noexcept override { stop_.store(true); }

  private:
    void Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) {
            hasRow_ = true;
            return;
        }
        hasRow_ = false;
        if (rc != SQLITE_DONE) {
            // The statement's own error comes back from the reset.
            sqlite3_reset(stmt_);
            throw Error(ErrorText(db_));
        }
    }

    // A number into a column of its own kind, as a Variant into any other.
    template <class Number, class Parameter>
    static void StoreNumber(ResultColumn& column, ResultColumn::Kind own,
                            void (ResultColumn::*append)(Parameter), Number value) {
        if (column.GetKind() == own) {
            (column.*append)(value);
        } else {
            column.Append(QVariant(value));
        }
    }

    // One value of the current row, as QSQLITE gives it, into the store.
    void Store(int index, ResultColumn& column) const {
        const ResultColumn::Kind kind = column.GetKind();
        switch (sqlite3_column_type(stmt_, index)) {
            case SQLITE_NULL:
                column.AppendNull();
                return;
            case SQLITE_INTEGER:
                StoreNumber(column, ResultColumn::Kind::Int, &ResultColumn::AppendInt,
                            static_cast<qlonglong>(sqlite3_column_int64(stmt_, index)));
                return;
            case SQLITE_FLOAT:
                StoreNumber(column, ResultColumn::Kind::Double, &ResultColumn::AppendDouble,
                            sqlite3_column_double(stmt_, index));
                return;
            case SQLITE_BLOB:
                column.Append(
                    QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, index)),
                                        sqlite3_column_bytes(stmt_, index))));
                return;
            default: {
                const auto* text =
                    static_cast<const char16_t*>(sqlite3_column_text16(stmt_, index));
                const qsizetype units = sqlite3_column_bytes16(stmt_, index) / 2;
                if (kind == ResultColumn::Kind::Text) {
                    column.AppendText(QStringView(text, units));
                } else {
                    column.Append(QVariant(QString::fromUtf16(text, units)));
                }
                return;
            }
        }
    }

    sqlite3* db_;
    QString sql_;
    sqlite3_stmt* stmt_ = nullptr;
    bool hasRow_ = false;
    bool pending_ = false;
    qint64 changes_ = 0;
    std::atomic<bool> stop_{false};
};

}  // namespace

std::unique_ptr<ResultReader> SqliteReaderFor(QSqlDatabase& db, const QString& statement) {
    return ReaderOnHandle<SqliteResultReader, sqlite3*>(db, "QSQLITE", "sqlite3*", statement);
}

}  // namespace prvc03
