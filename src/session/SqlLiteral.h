#pragma once
// The SQL literal rule: how a value is written into a statement built by
// concatenation.

#include <QString>
#include <QVariant>

class QLocale;

namespace prvc03 {

// Null/Empty -> "", date-time quoted, text trimmed and quoted, boolean 1/0,
// anything else as text, trimmed and quoted; quotes inside are doubled.
QString ToSqlLiteral(const QVariant& value);
// The same rule with the date, time and number formats of `locale` in place
// of the user's (ToSqlLiteral uses QLocale::system()).
QString ToSqlLiteral(const QVariant& value, const QLocale& locale);
// Removes leading and trailing characters with a code of 32 or below.
QString TrimControl(const QString& text);
// The text between the quotes of a literal: single quotes doubled. A NUL
// character inside would end the statement early wherever a driver reads it
// as a C string, and an unpaired surrogate makes SQLite's UTF-16 reader
// swallow the character after it (a quote, say): a text holding either is
// refused with an Error.
QString EscapeQuotes(const QString& text);
// Encloses in single quotes, doubling the quotes inside (EscapeQuotes).
QString QuoteText(const QString& text);

}  // namespace prvc03
