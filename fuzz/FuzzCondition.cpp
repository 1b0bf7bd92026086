// The condition search's statement for any rows the operator can type: the
// skeleton (literals cut out) is made only of field references, operators,
// logic words and the builder's own text, and every literal holds one row's
// trimmed value with the operator's wildcards.
#include <fuzzer/FuzzedDataProvider.h>

#include <QSet>

#include "FuzzSupport.h"
#include "lookup/LookupStatements.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/SqlShape.h"

using namespace prvc03;

namespace {

const QString kBase =
    QStringLiteral("SELECT ADMMG.MG001 AS 用户编号, ADMMG.MG002 AS 用户名称 FROM ADMMG WHERE 1=1");

std::vector<Field> Fields() {
    Field code;
    code.FieldName = QStringLiteral("MG001");
    code.Origin = QStringLiteral("ADMMG");
    code.DisplayLabel = QStringLiteral("用户编号");
    Field name = code;
    name.FieldName = QStringLiteral("MG002");
    name.DisplayLabel = QStringLiteral("用户名称");
    return {code, name};
}

QString Text(FuzzedDataProvider& input) {
    const std::string bytes = input.ConsumeRandomLengthString(64);
    return fuzz::Utf16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// One of a few likely texts, or anything.
QString Pick(FuzzedDataProvider& input, const QStringList& likely) {
    const std::size_t choice = input.ConsumeIntegralInRange<std::size_t>(0, likely.size());
    return choice < static_cast<std::size_t>(likely.size()) ? likely.at(choice) : Text(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    static const std::vector<Field> fields = Fields();
    static const QStringList labels = {QStringLiteral("用户编号"), QStringLiteral(" 用户名称 "),
                                       QString()};
    static const QStringList logic = {QStringLiteral("AND"), QStringLiteral("OR"), QString(),
                                      QStringLiteral(" OR ")};
    QStringList operators = ConditionOperators();
    operators.append(QString());

    std::vector<ConditionRow> rows(input.ConsumeIntegralInRange<std::size_t>(0, 6));
    bool unsafeValue = false;
    bool otherLogic = false;
    for (ConditionRow& row : rows) {
        row.field = Pick(input, labels);
        row.op = Pick(input, operators);
        row.value = Text(input);
        row.logic = Pick(input, logic);
        unsafeValue = unsafeValue || test::UnsafeForStatements(TrimControl(row.value));
        const QString word = TrimControl(row.logic).toUpper();
        otherLogic = otherLogic || !(word.isEmpty() || word == QLatin1String("AND") ||
                                     word == QLatin1String("OR"));
    }

    QString statement;
    try {
        statement = BuildConditionStatement(kBase, BuildConditionText(fields, rows), QString());
    } catch (const Error& error) {
        const bool logicRefused = error.Message().startsWith(QLatin1String("The logic word"));
        fuzz::Require(logicRefused ? otherLogic : unsafeValue,
                      "only an unsafe value or a logic word other than AND / OR is refused",
                      error.Message());
        return 0;
    }
    fuzz::Require(!statement.contains(QChar(u'\0')), "no NUL reaches a statement", statement);
    const test::SqlShape shape = test::ParseSqlShape(statement);
    fuzz::Require(test::ParseSqlShape(test::AsSqliteReadsUtf16(statement)).skeleton.size() ==
                      shape.skeleton.size(),
                  "SQLite reads the statement at the same quotes", statement);
    fuzz::Require(shape.closed, "every literal is closed", statement);
    fuzz::Require(shape.skeleton.startsWith(kBase), "the base statement comes first", statement);

    static const QSet<QString> words = {
        QStringLiteral("ADMMG.MG001"), QStringLiteral("ADMMG.MG002"),
        QStringLiteral("="),           QStringLiteral(">="),
        QStringLiteral("<="),          QStringLiteral(">"),
        QStringLiteral("<"),           QStringLiteral("<>"),
        QStringLiteral("LIKE"),        QStringLiteral("?"),
        QStringLiteral("AND"),         QStringLiteral("OR"),
        QStringLiteral("("),           QStringLiteral(")")};
    QString rest = shape.skeleton.mid(kBase.size());
    rest.replace(QLatin1Char('('), QStringLiteral(" ( "))
        .replace(QLatin1Char(')'), QStringLiteral(" ) "));
    for (const QString& word : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        fuzz::Require(words.contains(word), "only the builder's own words outside literals",
                      statement);
    }
    QSet<QString> values;
    for (const ConditionRow& row : rows) {
        values.insert(TrimControl(row.value));
    }
    for (QString literal : shape.literals) {
        const bool found =
            values.contains(literal) ||
            (literal.startsWith(QLatin1Char('%')) && values.contains(literal.mid(1))) ||
            (literal.endsWith(QLatin1Char('%')) && values.contains(literal.chopped(1))) ||
            (literal.size() >= 2 && literal.startsWith(QLatin1Char('%')) &&
             literal.endsWith(QLatin1Char('%')) &&
             values.contains(literal.mid(1, literal.size() - 2)));
        fuzz::Require(found, "each literal holds a typed value", statement);
    }
    return 0;
}
