// The quick search's statement for any typed value, in every mode: the value
// stays inside one closed literal and everything around it is the builder's
// own text.
#include "FuzzSupport.h"
#include "lookup/LookupStatements.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/SqlShape.h"

using namespace prvc03;

namespace {

const QString kBase =
    QStringLiteral("SELECT ADMMG.MG001 AS 用户编号, ADMMG.MG002 AS 用户名称 FROM ADMMG WHERE 1=1");
const QString kReference = QStringLiteral("ADMMG.MG002");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const SearchMode mode = static_cast<SearchMode>(data[0] % 3);
    const QString value = fuzz::Utf16(data + 1, size - 1);
    const QString trimmed = TrimControl(value);

    std::optional<QString> statement;
    try {
        statement = BuildQuickSearchStatement(kBase, mode, kReference, value);
    } catch (const Error& error) {
        fuzz::Require(mode != SearchMode::Advanced && test::UnsafeForStatements(trimmed),
                      "only a NUL or an unpaired surrogate is refused", error.Message());
        return 0;
    }
    if (mode == SearchMode::Advanced) {
        fuzz::Require(!statement.has_value(), "the advanced mode builds nothing");
        return 0;
    }
    fuzz::Require(statement.has_value(), "a statement in the other modes");
    fuzz::Require(!statement->contains(QChar(u'\0')), "no NUL reaches a statement", *statement);
    const test::SqlShape shape = test::ParseSqlShape(*statement);
    fuzz::Require(test::ParseSqlShape(test::AsSqliteReadsUtf16(*statement)).skeleton.size() ==
                      shape.skeleton.size(),
                  "SQLite reads the statement at the same quotes", *statement);
    fuzz::Require(shape.closed, "every literal is closed", *statement);
    if (trimmed.isEmpty()) {
        fuzz::Require(shape.literals.isEmpty() &&
                          shape.skeleton == kBase + QStringLiteral("  ORDER BY ") + kReference,
                      "no condition for a blank value", *statement);
        return 0;
    }
    const QString op =
        mode == SearchMode::Research ? QStringLiteral(" >= ") : QStringLiteral(" LIKE ");
    fuzz::Require(shape.skeleton == kBase + QStringLiteral("  AND ") + kReference + op +
                                        QStringLiteral("? ORDER BY ") + kReference,
                  "the value stays inside its literal", *statement);
    const QString expected =
        mode == SearchMode::Research ? trimmed : QLatin1Char('%') + trimmed + QLatin1Char('%');
    fuzz::Require(shape.literals == QStringList{expected}, "the literal holds the trimmed value",
                  *statement);
    return 0;
}
