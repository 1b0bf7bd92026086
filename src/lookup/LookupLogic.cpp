#include "lookup/LookupLogic.h"

#include "data/QueryDataset.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

// Suspends the dataset's display updates for one scope.
class ControlsDisabled {
  public:
    explicit ControlsDisabled(QueryDataset& query) : query_(query) { query_.DisableControls(); }
    ~ControlsDisabled() { query_.EnableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

  private:
    QueryDataset& query_;
};

QString OtherDirection(const QString& direction) {
    return direction == QLatin1String("ASC") ? QStringLiteral("DESC") : QStringLiteral("ASC");
}

}  // namespace

Field SelectedField() {
    Field field;
    field.FieldName = kSelectedField;
    field.Name = QStringLiteral("QryFhelpselected");
    field.DisplayLabel = QStringLiteral("选取");
    field.DataType = FieldType::Boolean;
    field.DisplayWidth = 4;
    field.Calculated = true;
    return field;
}

std::optional<Field> ResultFieldFor(const Field& source) {
    Field field;
    field.FieldName = TrimControl(source.Label());
    switch (source.DataType) {
        case FieldType::WideString:
            field.DataType = FieldType::String;
            field.Size = source.Size;
            break;
        case FieldType::Float:
            field.DataType = FieldType::Float;
            field.DisplayWidth = source.DisplayWidth;
            break;
        case FieldType::Integer:
            field.DataType = FieldType::Integer;
            field.DisplayWidth = source.DisplayWidth;
            break;
        default:
            return std::nullopt;
    }
    return field;
}

QString TitleSort::NextSort(const LookupKind& kind, const QString& current,
                            const QString& fieldName) {
    const QString first = QLatin1String(kind.titleFirstDirection);
    const QString direction = current.trimmed().endsWith(first) ? OtherDirection(first) : first;
    return fieldName + QLatin1Char(' ') + direction;
}

int TitleSort::ImageFor(const LookupKind& kind, const QString& sort) {
    return sort.trimmed().endsWith(QLatin1String(kind.titleFirstDirection)) ? 0 : 1;
}

void TitleSort::Click(const QString& fieldName) {
    if (kind_.multiSelect && fieldName.compare(kSelectedField, Qt::CaseInsensitive) == 0) {
        return;
    }
    query_.SetFilter(fieldName);
    query_.SetSort(NextSort(kind_, query_.Sort(), fieldName));
}

int TitleSort::Image(const QString& fieldName) const {
    if (fieldName != query_.Filter()) {
        return -1;
    }
    return ImageFor(kind_, query_.Sort());
}

QString TitleSort::State(const QString& fieldName) const {
    if (fieldName != query_.Filter()) {
        return QStringLiteral("未排序");
    }
    return query_.Sort().trimmed().endsWith(QLatin1String("DESC")) ? QStringLiteral("降序")
                                                                   : QStringLiteral("升序");
}

QString TitleSort::RememberedColumn() const {
    return query_.Filter();
}

std::optional<VariantArray> MultiPickedRows(QueryDataset& query, const PickedList& picks,
                                            const std::vector<Field>& sourceFields) {
    // Only the picked records the lookup shows are handed back.
    std::vector<int> records = picks.Records();
    std::erase_if(records, [&query](int record) { return !query.Shown(record); });
    const int k = static_cast<int>(records.size());
    if (k == 0) {
        return std::nullopt;
    }
    const int n = static_cast<int>(sourceFields.size());
    for (const Field& field : sourceFields) {
        if (!ResultFieldFor(field)) {
            throw Error(QStringLiteral("The column %1 cannot be handed back: a multi-select "
                                       "lookup takes only text, float and integer columns")
                            .arg(TrimControl(field.Label())));
        }
    }
    if (query.FieldCount() < n + 1) {
        throw Error(QStringLiteral("The result has fewer columns than the request"));
    }
    VariantArray rows(0, k - 1, 1, n);
    ControlsDisabled suspended(query);
    int r = 0;
    for (const int record : records) {
        query.GotoBookmark(record);
        for (int c = 1; c <= n; ++c) {
            rows.at(r, c) = query.FieldValue(c);
        }
        ++r;
    }
    return rows;
}

VariantArray SinglePickedRow(const QueryDataset& query) {
    if (!query.Active()) {
        return VariantArray(0, -1);
    }
    const int m = query.FieldCount();
    VariantArray row(0, m - 1);
    for (int i = 0; i < m; ++i) {
        const QVariant value = query.FieldValue(i);
        row.at(i) = value.isNull() ? QVariant(QString()) : value;
    }
    return row;
}

QString RecordCounterText(const QueryDataset& query) {
    const int count = query.RecordCount();
    if (count == 0) {
        return QStringLiteral("0");
    }
    return QString::number(query.RecNo()) + QChar(0xFF0F) + QString::number(count);
}

QString RecordText(const QStringList& dataColumnTexts) {
    QStringList parts;
    for (qsizetype i = 0; i < dataColumnTexts.size() && i < 2; ++i) {
        parts << TrimControl(dataColumnTexts[i]);
    }
    return parts.join(QLatin1Char(' '));
}

}  // namespace prvc03
