#include "lookup/LookupStatements.h"

#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

// The text between the quotes of a literal: single quotes doubled, a NUL
// refused (the literal rule's EscapeQuotes).
QString Escaped(const QString& value) {
    return EscapeQuotes(value);
}

struct OperatorPieces {
    const char* opening;
    const char* closing;
};

// Opening and closing pieces of each operator, in the order of the list.
constexpr OperatorPieces kPieces[] = {
    {" = '", "'"},  {" >= '", "'"},    {" <= '", "'"},    {" > '", "'"},      {" < '", "'"},
    {" <> '", "'"}, {" LIKE '", "%'"}, {" LIKE '%", "'"}, {" LIKE '%", "%'"},
};

// The logic word of a row that takes part, as written into the statement: it
// stands outside any literal, so only AND and OR (any letter case) are
// accepted, and written in capitals.
QString LogicWord(const QString& logic) {
    if (logic.isEmpty()) {
        return logic;
    }
    const QString word = logic.toUpper();
    if (word != QLatin1String("AND") && word != QLatin1String("OR")) {
        throw Error(QStringLiteral("The logic word \"%1\" is neither AND nor OR").arg(logic));
    }
    return word;
}

// The field reference of the last field whose trimmed label matches.
QString ReferenceForLabel(const std::vector<Field>& fields, const QString& label) {
    QString reference;
    for (const Field& field : fields) {
        if (TrimControl(field.Label()) == label) {
            reference = FieldReference(field);
        }
    }
    return reference;
}

}  // namespace

QString FieldReference(const Field& field) {
    return TrimControl(field.Origin) + QLatin1Char('.') + TrimControl(field.FieldName);
}

QString BuildBaseSQL(const std::vector<Field>& fields, const QString& fromText) {
    QString sql = QStringLiteral("SELECT");
    for (const Field& field : fields) {
        sql += QLatin1Char(' ') + FieldReference(field) + QStringLiteral(" AS ") +
               TrimControl(field.Label()) + QLatin1Char(',');
    }
    sql.chop(1);
    return sql + QLatin1Char(' ') + fromText;
}

const QStringList& ConditionOperators() {
    static const QStringList words = {
        QStringLiteral("等于"),   QStringLiteral("大于或等于"), QStringLiteral("小于或等于"),
        QStringLiteral("大于"),   QStringLiteral("小于"),       QStringLiteral("不等于"),
        QStringLiteral("起始于"), QStringLiteral("终止于"),     QStringLiteral("包含"),
    };
    return words;
}

QString BuildConditionText(const std::vector<Field>& fields,
                           const std::vector<ConditionRow>& rows) {
    QString condition;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ConditionRow& row = rows[i];
        const QString reference = ReferenceForLabel(fields, TrimControl(row.field));
        const QString op = TrimControl(row.op);
        const QString value = TrimControl(row.value);
        const QString logic = TrimControl(row.logic);
        const bool last = i + 1 == rows.size();
        const qsizetype position = ConditionOperators().indexOf(op);
        if (reference.isEmpty() || op.isEmpty() || value.isEmpty() || (!last && logic.isEmpty()) ||
            position < 0) {
            continue;
        }
        const OperatorPieces& pieces = kPieces[position];
        condition += reference + QLatin1String(pieces.opening) + Escaped(value) +
                     QLatin1String(pieces.closing) + QLatin1Char(' ') + LogicWord(logic) +
                     QLatin1Char(' ');
    }
    const QString trimmed = TrimControl(condition);
    if (trimmed.endsWith(QLatin1String("AND")) || trimmed.endsWith(QLatin1String("OR"))) {
        condition.chop(4);
    }
    return condition;
}

QString BuildOrderText(const std::vector<Field>& fields, const std::vector<OrderEntry>& entries) {
    QString order;
    for (const OrderEntry& entry : entries) {
        const QString text = TrimControl(entry.text);
        for (const Field& field : fields) {
            if (TrimControl(field.Label()) == text) {
                order += FieldReference(field) +
                         (entry.ascending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,"));
            }
        }
    }
    if (!order.isEmpty()) {
        order.chop(1);
    }
    return order;
}

QString BuildConditionStatement(const QString& baseSQL, const QString& conditionText,
                                const QString& orderText) {
    QString sql = baseSQL;
    if (!TrimControl(conditionText).isEmpty()) {
        sql += QStringLiteral(" AND (") + conditionText + QLatin1Char(')');
    }
    if (!TrimControl(orderText).isEmpty()) {
        sql += QStringLiteral(" ORDER BY ") + orderText;
    }
    return sql;
}

SearchMode SearchModeOf(const QString& caption) {
    const QString mode = TrimControl(caption);
    if (mode == kModeAdvanced) {
        return SearchMode::Advanced;
    }
    if (mode == kModeFuzzy) {
        return SearchMode::Fuzzy;
    }
    if (mode == kModePinyin) {
        return SearchMode::Pinyin;
    }
    return SearchMode::Research;
}

std::optional<QString> BuildQuickSearchStatement(const QString& baseSQL, SearchMode mode,
                                                 const QString& fieldReference,
                                                 const QString& value) {
    if (mode == SearchMode::Advanced || mode == SearchMode::Pinyin) {
        return std::nullopt;
    }
    const QString reference = TrimControl(fieldReference);
    const QString trimmed = TrimControl(value);
    QString condition;
    if (!trimmed.isEmpty() && mode == SearchMode::Research) {
        condition = QStringLiteral(" AND ") + reference + QStringLiteral(" >= ") +
                    ToSqlLiteral(QVariant(value));
    } else if (!trimmed.isEmpty()) {
        condition = QStringLiteral(" AND ") + reference + QStringLiteral(" LIKE '%") +
                    Escaped(trimmed) + QStringLiteral("%'");
    }
    return baseSQL + QLatin1Char(' ') + condition + QStringLiteral(" ORDER BY ") + fieldReference;
}

}  // namespace prvc03
