#include "data/QueryDataset.h"

#include <QLocale>
#include <QScopeGuard>
#include <QSqlDatabase>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>

#include "data/BackgroundWork.h"
#include "data/BusyIndicator.h"
#include "data/LocaleOrder.h"
#include "data/ResultReader.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

Error FieldNotFound(const QString& name) {
    return Error(QStringLiteral("Field '%1' not found").arg(name));
}

}  // namespace

QueryDataset::QueryDataset(QObject* parent) : QObject(parent) {}

QueryDataset::~QueryDataset() = default;

void QueryDataset::AddField(const Field& field) {
    if (active_) {
        throw Error(QStringLiteral("Cannot perform this operation on an open dataset"));
    }
    persistent_.push_back(field);
}

void QueryDataset::ClearFields() {
    if (active_) {
        throw Error(QStringLiteral("Cannot perform this operation on an open dataset"));
    }
    persistent_.clear();
}

void QueryDataset::SetSQL(const QString& statement) {
    if (statement == sql_) {
        return;
    }
    Close();
    sql_ = statement;
}

// A result read off the connection, not yet the dataset's.
struct QueryDataset::Fetched {
    std::vector<Field> dynamic;
    std::vector<int> fieldColumn;
    std::vector<ResultColumn> columns;
    int count = 0;
};

QueryDataset::Fetched QueryDataset::Fetch(ResultReader& reader) const {
    reader.Execute();
    if (!reader.ReturnsRecords()) {
        throw Error(QStringLiteral("The statement returns no records"));
    }
    // Bind the fields to result columns; only bound columns are stored.
    const std::vector<ResultColumnInfo>& record = reader.Columns();
    const int resultCount = static_cast<int>(record.size());
    Fetched fetched;
    std::vector<int> source;  // stored column -> result column
    if (!persistent_.empty()) {
        for (const Field& field : persistent_) {
            if (field.Calculated) {
                fetched.fieldColumn.push_back(-1);
                continue;
            }
            int found = -1;
            for (int i = 0; i < resultCount; ++i) {
                if (record[i].name.compare(field.FieldName, Qt::CaseInsensitive) == 0) {
                    found = i;
                    break;
                }
            }
            if (found < 0) {
                throw FieldNotFound(field.FieldName);
            }
            fetched.fieldColumn.push_back(static_cast<int>(fetched.columns.size()));
            source.push_back(found);
            fetched.columns.emplace_back(ResultColumn::KindFor(field.DataType));
        }
    } else {
        for (int i = 0; i < resultCount; ++i) {
            const ResultColumnInfo& column = record[i];
            Field field;
            field.FieldName = column.name;
            field.Origin = column.table;
            field.DataType = FieldTypeFromMetaType(column.type);
            field.Size = IsTextType(field.DataType) && column.length > 0 ? column.length : 0;
            fetched.dynamic.push_back(field);
            fetched.fieldColumn.push_back(static_cast<int>(fetched.columns.size()));
            source.push_back(i);
            fetched.columns.emplace_back(ResultColumn::KindFor(field.DataType));
        }
    }
    fetched.count = reader.ReadAll(source, fetched.columns);
    for (ResultColumn& column : fetched.columns) {
        column.Finish();
    }
    return fetched;
}

void QueryDataset::Open() {
    if (active_) {
        return;
    }
    if (connection_ == nullptr || !connection_->isOpen()) {
        throw Error(QStringLiteral("No database connection"));
    }
    if (opening_) {
        throw Error(QStringLiteral("The dataset is already being opened"));
    }
    const BusyScope busy;
    struct OpeningFlag {
        explicit OpeningFlag(bool& flag) : flag_(flag) { flag_ = true; }
        ~OpeningFlag() { flag_ = false; }
        bool& flag_;
    } const opening(opening_);
    const std::unique_ptr<ResultReader> reader = ReaderFor(*connection_, sql_);
    Fetched fetched;
    if (readWait_ == nullptr) {
        fetched = Fetch(*reader);
    } else {
        // Executed and read on a thread of its own while the window waits;
        // nothing of the dataset changes until the result is complete.
        BackgroundWork work([&] { fetched = Fetch(*reader); });
        work.Start();
        readWait_->Wait(
            work, [&reader] { return reader->RowsRead(); }, [&reader] { reader->Cancel(); });
        work.Rethrow();
        // A cancel that came after the last row still wins: the operator
        // asked for no result.
        if (reader->CancelRequested()) {
            throw Cancelled();
        }
    }

    Q_EMIT AboutToReset();
    dynamic_ = std::move(fetched.dynamic);
    fieldColumn_ = std::move(fetched.fieldColumn);
    columns_ = std::move(fetched.columns);
    recordCount_ = fetched.count;
    rowCount_ = recordCount_;
    decltype(order_)().swap(order_);  // frees the storage
    decltype(rowOf_)().swap(rowOf_);  // frees the storage
    decltype(shown_)().swap(shown_);  // frees the storage
    subset_ = false;
    sort_.clear();
    active_ = true;
    row_ = recordCount_ > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount_ == 0;
    Q_EMIT ResetDone();
    NotifyDataChange();
}

void QueryDataset::Close() {
    if (!active_) {
        return;
    }
    Q_EMIT AboutToReset();
    ClearResult();
    Q_EMIT ResetDone();
}

void QueryDataset::ClearResult() {
    active_ = false;
    dynamic_.clear();
    fieldColumn_.clear();
    decltype(columns_)().swap(columns_);  // frees the storage
    recordCount_ = 0;
    rowCount_ = 0;
    decltype(order_)().swap(order_);  // frees the storage
    decltype(rowOf_)().swap(rowOf_);  // frees the storage
    decltype(shown_)().swap(shown_);  // frees the storage
    subset_ = false;
    row_ = -1;
    bof_ = true;
    eof_ = true;
}

int QueryDataset::FieldCount() const {
    if (!persistent_.empty()) {
        return static_cast<int>(persistent_.size());
    }
    return static_cast<int>(dynamic_.size());
}

const Field& QueryDataset::FieldAt(int index) const {
    if (index < 0 || index >= FieldCount()) {
        throw Error(QStringLiteral("Field index out of range (%1)").arg(index));
    }
    return persistent_.empty() ? dynamic_[index] : persistent_[index];
}

int QueryDataset::FindField(const QString& name) const {
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) {
        if (FieldAt(i).FieldName.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

int QueryDataset::FieldByName(const QString& name) const {
    const int index = FindField(name);
    if (index < 0) {
        throw FieldNotFound(name);
    }
    return index;
}

void QueryDataset::CheckActive() const {
    if (!active_) {
        throw Error(QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
}

void QueryDataset::CheckRecord(int record) const {
    if (record < 0 || record >= recordCount_) {
        throw Error(QStringLiteral("Record not found"));
    }
}

int QueryDataset::RecordCount() const {
    CheckActive();
    return rowCount_;
}

int QueryDataset::HeldRecordCount() const {
    CheckActive();
    return recordCount_;
}

QVariant QueryDataset::Value(int record, int field) const {
    CheckActive();
    CheckRecord(record);
    const Field& f = FieldAt(field);
    const int column = fieldColumn_[field];
    if (column < 0) {
        const QMetaType type = MetaTypeOf(f.DataType);
        return type.isValid() ? QVariant(type) : QVariant(QMetaType::fromType<QString>());
    }
    return columns_[column].Value(record, f.DataType);
}

QString QueryDataset::Text(int record, int field) const {
    CheckActive();
    CheckRecord(record);
    const Field& f = FieldAt(field);
    const int column = fieldColumn_[field];
    return column < 0 ? QString() : columns_[column].Text(record, f.DataType);
}

QStringView QueryDataset::TextView(int record, int field, QString& scratch) const {
    CheckActive();
    CheckRecord(record);
    const Field& f = FieldAt(field);
    const int column = fieldColumn_[field];
    return column < 0 ? QStringView() : columns_[column].TextView(record, f.DataType, scratch);
}

QVariant QueryDataset::FieldValue(int field) const {
    CheckActive();
    if (row_ < 0) {
        const QMetaType type = MetaTypeOf(FieldAt(field).DataType);
        return type.isValid() ? QVariant(type) : QVariant(QMetaType::fromType<QString>());
    }
    return Value(RecordAtRow(row_), field);
}

QString QueryDataset::FieldText(int field) const {
    CheckActive();
    if (row_ < 0) {
        FieldAt(field);
        return {};
    }
    return Text(RecordAtRow(row_), field);
}

void QueryDataset::NotifyDataChange() {
    if (disableCount_ > 0) {
        changedWhileDisabled_ = true;
        return;
    }
    Q_EMIT DataChange();
}

void QueryDataset::First() {
    CheckActive();
    row_ = rowCount_ > 0 ? 0 : -1;
    bof_ = true;
    eof_ = rowCount_ == 0;
    NotifyDataChange();
}

void QueryDataset::Last() {
    CheckActive();
    row_ = rowCount_ - 1;
    eof_ = true;
    bof_ = rowCount_ == 0;
    NotifyDataChange();
}

void QueryDataset::Next() {
    CheckActive();
    if (rowCount_ == 0) {
        bof_ = eof_ = true;
        return;
    }
    if (eof_) {
        return;
    }
    bof_ = false;
    if (row_ + 1 < rowCount_) {
        ++row_;
        NotifyDataChange();
    } else {
        eof_ = true;
    }
}

void QueryDataset::Prior() {
    CheckActive();
    if (rowCount_ == 0) {
        bof_ = eof_ = true;
        return;
    }
    if (bof_) {
        return;
    }
    eof_ = false;
    if (row_ > 0) {
        --row_;
        NotifyDataChange();
    } else {
        bof_ = true;
    }
}

int QueryDataset::RecNo() const {
    CheckActive();
    return row_ + 1;
}

int QueryDataset::CurrentRow() const {
    CheckActive();
    return row_;
}

int QueryDataset::CurrentRecord() const {
    CheckActive();
    return row_ < 0 ? -1 : RecordAtRow(row_);
}

void QueryDataset::SetRow(int row) {
    if (rowCount_ == 0) {
        row_ = -1;
        bof_ = eof_ = true;
    } else {
        row_ = row;
        bof_ = eof_ = false;
    }
    NotifyDataChange();
}

void QueryDataset::GotoBookmark(int record) {
    CheckActive();
    CheckRecord(record);
    if (!Shown(record)) {
        throw Error(QStringLiteral("Record not found"));
    }
    SetRow(RowOfRecord(record));
}

void QueryDataset::MoveToRow(int row) {
    CheckActive();
    if (rowCount_ > 0 && (row < 0 || row >= rowCount_)) {
        throw Error(QStringLiteral("Record not found"));
    }
    SetRow(row);
}

int QueryDataset::RecordAtRow(int row) const {
    if (row < 0 || row >= rowCount_) {
        throw Error(QStringLiteral("Record not found"));
    }
    return order_.empty() ? row : order_[row];
}

int QueryDataset::RowOfRecord(int record) const {
    CheckRecord(record);
    return rowOf_.empty() ? record : rowOf_[record];
}

bool QueryDataset::Shown(int record) const {
    return active_ && record >= 0 && record < recordCount_ && RowOfRecord(record) >= 0;
}

void QueryDataset::ParseSort(const QString& sort, int& field, bool& descending) const {
    const QString text = sort.trimmed();
    field = -1;
    descending = false;
    if (!text.isEmpty()) {
        QString name = text;
        const int blank = text.lastIndexOf(QLatin1Char(' '));
        if (blank > 0) {
            const QString direction = text.mid(blank + 1);
            if (direction.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0) {
                descending = true;
                name = text.left(blank).trimmed();
            } else if (direction.compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0) {
                name = text.left(blank).trimmed();
            }
        }
        field = FieldByName(name);
    }
}

void QueryDataset::SetSort(const QString& sort) {
    CheckActive();
    int field = -1;
    bool descending = false;
    ParseSort(sort, field, descending);

    const int record = CurrentRecord();
    Q_EMIT AboutToReorder();
    BuildOrder(field, descending);
    sort_ = sort;
    row_ = record < 0 ? -1 : RowOfRecord(record);
    bof_ = eof_ = rowCount_ == 0;
    Q_EMIT Reordered();
    NotifyDataChange();
}

void QueryDataset::ShowOnly(std::vector<std::int32_t> records) {
    CheckActive();
    for (const std::int32_t record : records) {
        CheckRecord(record);
    }
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    shown_ = std::move(records);
    subset_ = true;
    ChangeShown();
}

void QueryDataset::ShowAll() {
    CheckActive();
    decltype(shown_)().swap(shown_);  // frees the storage
    subset_ = false;
    ChangeShown();
}

void QueryDataset::ChangeShown() {
    const int record = CurrentRecord();
    int field = -1;
    bool descending = false;
    ParseSort(sort_, field, descending);
    Q_EMIT AboutToChangeShown();
    rowCount_ = subset_ ? static_cast<int>(shown_.size()) : recordCount_;
    BuildOrder(field, descending);
    const int row = record < 0 ? -1 : RowOfRecord(record);
    row_ = row >= 0 ? row : (rowCount_ > 0 ? 0 : -1);
    bof_ = true;
    eof_ = rowCount_ == 0;
    Q_EMIT ShownChanged();
    NotifyDataChange();
}

void QueryDataset::BuildOrder(int field, bool descending) {
    decltype(order_)().swap(order_);  // frees the storage
    decltype(rowOf_)().swap(rowOf_);  // frees the storage
    const auto restrict = qScopeGuard([this] { RestrictOrder(); });
    if (field < 0 || recordCount_ == 0) {
        return;
    }
    const int column = fieldColumn_[field];
    if (column < 0) {
        return;  // a calculated field reads NULL everywhere: the order stays
    }
    const ResultColumn& values = columns_[column];
    std::vector<std::int32_t> order;
    std::vector<std::int32_t> rowOf;

    // less(a, b): NULL first, then by value.
    auto sortWith = [&](auto valueLess) {
        order.resize(static_cast<std::size_t>(recordCount_));
        std::iota(order.begin(), order.end(), 0);
        auto less = [&](std::int32_t a, std::int32_t b) {
            const bool nullA = values.IsNull(a);
            const bool nullB = values.IsNull(b);
            if (nullA || nullB) {
                return nullA && !nullB;
            }
            return valueLess(a, b);
        };
        if (descending) {
            std::stable_sort(order.begin(), order.end(),
                             [&](std::int32_t a, std::int32_t b) { return less(b, a); });
        } else {
            std::stable_sort(order.begin(), order.end(), less);
        }
    };

    switch (values.GetKind()) {
        case ResultColumn::Kind::Text:
            // Gives the positions as well: it places every record in turn.
            order = LocaleOrder(values, QLocale(), descending, &rowOf);
            break;
        case ResultColumn::Kind::Int:
            sortWith(
                [&](std::int32_t a, std::int32_t b) { return values.IntAt(a) < values.IntAt(b); });
            break;
        case ResultColumn::Kind::Double:
            sortWith([&](std::int32_t a, std::int32_t b) {
                return values.DoubleAt(a) < values.DoubleAt(b);
            });
            break;
        case ResultColumn::Kind::Variant:
            sortWith([&](std::int32_t a, std::int32_t b) {
                const QVariant& x = values.VariantAt(a);
                const QVariant& y = values.VariantAt(b);
                const QPartialOrdering ordering = QVariant::compare(x, y);
                if (ordering == QPartialOrdering::Unordered) {
                    return x.toString() < y.toString();
                }
                return ordering == QPartialOrdering::Less;
            });
            break;
    }

    if (rowOf.size() != order.size()) {
        rowOf.resize(order.size());
        for (std::size_t row = 0; row < order.size(); ++row) {
            rowOf[order[row]] = static_cast<std::int32_t>(row);
        }
    }
    rowOf_ = std::move(rowOf);
    order_ = std::move(order);
}

void QueryDataset::RestrictOrder() {
    if (!subset_) {
        return;
    }
    std::vector<std::int32_t> order;
    order.reserve(shown_.size());
    if (order_.empty()) {
        order = shown_;
    } else {
        std::vector<bool> shown(static_cast<std::size_t>(recordCount_), false);
        for (const std::int32_t record : shown_) {
            shown[static_cast<std::size_t>(record)] = true;
        }
        for (const std::int32_t record : order_) {
            if (shown[static_cast<std::size_t>(record)]) {
                order.push_back(record);
            }
        }
    }
    std::vector<std::int32_t> rowOf(static_cast<std::size_t>(recordCount_), -1);
    for (std::size_t row = 0; row < order.size(); ++row) {
        rowOf[static_cast<std::size_t>(order[row])] = static_cast<std::int32_t>(row);
    }
    rowOf_ = std::move(rowOf);
    order_ = std::move(order);
}

void QueryDataset::DisableControls() {
    ++disableCount_;
}

void QueryDataset::EnableControls() {
    if (disableCount_ == 0) {
        return;
    }
    if (--disableCount_ == 0) {
        const bool changed = changedWhileDisabled_;
        changedWhileDisabled_ = false;
        if (active_ && changed) {
            Q_EMIT DataChange();
        }
    }
}

std::size_t QueryDataset::MemoryBytes() const {
    std::size_t bytes =
        (order_.capacity() + rowOf_.capacity() + shown_.capacity()) * sizeof(std::int32_t);
    for (const ResultColumn& column : columns_) {
        bytes += column.MemoryBytes();
    }
    return bytes;
}

}  // namespace prvc03
