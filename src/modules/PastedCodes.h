#pragma once
// User codes pasted into the target list: split out of the pasted text and
// looked up in ADMMG, so that each found user becomes a target line as if it
// had been picked.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class QSqlDatabase;

namespace prvc03 {

// The codes in `text`, in order: separated by line breaks, tabs, commas
// (also the full-width comma) and blanks (also the ideographic space).
QStringList SplitPastedCodes(const QString& text);

// At most this many codes go into one lookup statement.
inline constexpr int kCodesPerStatement = 500;

// One user found for a pasted code: MG001 and MG002 as ADMMG gives them.
struct PastedUser {
    QVariant code;
    QVariant name;
};

struct PastedUsers {
    std::vector<PastedUser> found;  // in pasted order; a code pasted twice comes twice
    QStringList missing;            // codes without a user, each once, in pasted order
};

// Looks `codes` up in ADMMG on `db`, through the literal rule, at most
// kCodesPerStatement codes per statement. A code the literal rule or the
// driver refuses names no user. Raises the database's text.
PastedUsers FindPastedUsers(QSqlDatabase& db, const QStringList& codes);

}  // namespace prvc03
