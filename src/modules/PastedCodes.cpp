#include "modules/PastedCodes.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>

#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "modules/CopyStatements.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

namespace {

// A code as ADMMG keeps it, without the blanks a fixed-width column pads it
// with.
QString StoredCode(const QVariant& value) {
    QString code = value.toString();
    while (code.endsWith(QLatin1Char(' '))) {
        code.chop(1);
    }
    return code;
}

}  // namespace

QStringList SplitPastedCodes(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[\\r\\n\\t ,，\\x{3000}]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

PastedUsers FindPastedUsers(QSqlDatabase& db, const QStringList& codes) {
    // Each code asked once, its literal checked on its own: one refused code
    // must not take the others of its statement with it.
    QStringList literals;
    QHash<QString, bool> seen;
    for (const QString& code : codes) {
        if (seen.contains(code)) {
            continue;
        }
        seen.insert(code, true);
        try {
            const QString literal = ToSqlLiteral(code);
            CheckStatementForDriver(db, literal);
            literals << literal;
        } catch (const std::exception&) {
            // Not a code any statement can carry: no user has it here.
        }
    }
    QHash<QString, PastedUser> users;
    for (qsizetype first = 0; first < literals.size(); first += kCodesPerStatement) {
        const QStringList chunk = literals.mid(first, kCodesPerStatement);
        for (const QVariantList& row : AllRows(db, UsersByCodeStatement(chunk))) {
            if (row.size() == 2) {
                users.insert(StoredCode(row[0]), PastedUser{row[0], row[1]});
            }
        }
    }
    PastedUsers result;
    QHash<QString, bool> named;
    for (const QString& code : codes) {
        // The literal rule trims: so does the match.
        const auto user = users.constFind(TrimControl(code));
        if (user != users.constEnd()) {
            result.found.push_back(*user);
        } else if (!named.contains(code)) {
            named.insert(code, true);
            result.missing << code;
        }
    }
    return result;
}

}  // namespace prvc03
