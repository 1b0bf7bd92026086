// Hostile values through every place where a value enters SQL: the source
// box Edit1, picked target codes, the quick search in both modes and both
// windows, and every condition operator; on each database. A value must stay
// inside its literal (the statement sent is read back at its quotes), no
// table may change but by the intended insert, and every refusal says why.
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>

#include "IntegrationSupport.h"
#include "lookup/LookupStatements.h"
#include "modules/CopyDryRun.h"
#include "modules/CopyStatements.h"
#include "platform/Cp936.h"
#include "support/SqlShape.h"

namespace prvc03::test {
namespace {

const QString kNulRefused =
    QStringLiteral("A value holding a NUL character cannot be written into a statement");
const QString kSurrogateRefused = QStringLiteral(
    "A value holding an unpaired UTF-16 surrogate cannot be written into a statement");

struct Payload {
    const char* name;
    QString text;
};

QString WithNul(const char16_t* before, const char16_t* after) {
    return QString::fromUtf16(before) + QChar(u'\0') + QString::fromUtf16(after);
}

const std::vector<Payload>& Payloads() {
    static const std::vector<Payload> payloads = {
        {"quote", QStringLiteral("O'Neil")},
        {"lone quote", QStringLiteral("'")},
        {"doubled quotes", QStringLiteral("''")},
        {"quote at both ends", QStringLiteral("'A01'")},
        {"always true", QStringLiteral("x' OR '1'='1")},
        {"comment", QStringLiteral("A01'--")},
        {"line comment alone", QStringLiteral("-- 注释")},
        {"block comment", QStringLiteral("'/* x */'")},
        {"unclosed block comment", QStringLiteral("*/ '/*")},
        {"semicolon", QStringLiteral(";")},
        {"stacked drop", QStringLiteral("A01'; DROP TABLE ADMMH; --")},
        {"stacked update", QStringLiteral("'; UPDATE ADMMG SET MG002='pwned'; --")},
        {"stacked create", QStringLiteral("z'); CREATE TABLE EVIL (X INT); --")},
        {"full-width quotes", QStringLiteral("＇ OR ＇1＇=＇1")},
        {"curly quotes and prime", QStringLiteral("‘A01’′ʼ")},
        {"backslash", QStringLiteral("\\")},
        {"backslash quote", QStringLiteral("\\'; DELETE FROM ADMMH; --")},
        {"newlines", QStringLiteral("a\r\n'\n--\tb")},
        {"wildcards", QStringLiteral("%_[x]")},
        {"long ascii", QString(10000, QLatin1Char('x'))},
        {"long chinese with quote", QString(4999, QChar(u'王')) + QStringLiteral("'")},
        {"not code page 936",
         platform::FromCp936(QByteArray("\x81'\xff\xfe; DROP TABLE ADMMG; --\x80\xa3"))},
        {"paired surrogates", QStringLiteral("😀'😀")},
        {"lone high surrogate before a quote",
         QString(QChar(0xD800)) + QStringLiteral("' OR 1=1 --")},
        {"lone low surrogate before a quote", QString(QChar(0xDC00)) + QStringLiteral("'x")},
        {"nul inside", WithNul(u"A0", u"' OR '1'='1")},
        {"nul before a stacked statement", WithNul(u"x", u"'; DROP TABLE ADMMH; --")},
    };
    return payloads;
}

const QString kOutsideBmpRefused = QStringLiteral(
    "SQLite ODBC 驱动程序无法传送基本多文种平面以外的字符（如罕用汉字、表情符号），"
    "语句未执行．");

// Why the literal rule, or the driver's statement check, refuses a value on
// `database`; nothing when it takes it.
QString Refusal(TestDatabase& database, const QString& text) {
    const QString trimmed = TrimControl(text);
    if (trimmed.contains(QChar(u'\0'))) {
        return kNulRefused;
    }
    if (UnsafeForStatements(trimmed)) {
        return kSurrogateRefused;
    }
    const bool outsideBmp =
        std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isSurrogate(); });
    return outsideBmp && database.backend() == Backend::OdbcSQLite ? kOutsideBmpRefused : QString();
}

bool IsRefused(TestDatabase& database, const QString& text) {
    return !Refusal(database, text).isEmpty();
}

template <class Param>
class HostileInputOf : public ModuleTestOf<Param> {
  protected:
    void SetUp() override {
        ModuleTestOf<Param>::SetUp();
        if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure()) {
            return;
        }
        if (this->db().IsPostgres()) {
            // Room for the long values; SQLite does not enforce lengths.
            this->db().Exec(
                QStringLiteral("ALTER TABLE ADMMG ALTER COLUMN MG001 TYPE TEXT, "
                               "ALTER COLUMN MG002 TYPE TEXT"));
            this->db().Exec(QStringLiteral("ALTER TABLE ADMMH ALTER COLUMN MH001 TYPE TEXT"));
            // Backslashes are plain characters in literals, as on SQL Server.
            ASSERT_EQ(this->db().Scalar(QStringLiteral("SHOW standard_conforming_strings")),
                      QStringLiteral("on"));
        }
    }

    // Adds a row through bound parameters, never through a built statement.
    void Insert(const QString& table, const QVariantList& values) {
        QSqlQuery query(this->db().Native());
        QString marks = QStringLiteral("?");
        for (int i = 1; i < values.size(); ++i) {
            marks += QStringLiteral(", ?");
        }
        ASSERT_TRUE(query.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks)));
        for (const QVariant& value : values) {
            query.addBindValue(value);
        }
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }
    void InsertRight(const QString& user, const QString& program) {
        QSqlQuery query(this->db().Native());
        ASSERT_TRUE(
            query.prepare(QStringLiteral("INSERT INTO ADMMH (MH001, MH002) VALUES (?, ?)")));
        query.addBindValue(user);
        query.addBindValue(program);
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }

    // MG001 of the users `where` selects with `value` bound, sorted; nothing
    // when the database rejects the condition itself.
    std::optional<QStringList> Expected(const QString& where, const QString& value) {
        std::optional<QStringList> codes = TryQueryRows(
            this->db().Native(), QStringLiteral("SELECT MG001 FROM ADMMG WHERE ") + where, {value});
        if (codes) {
            codes->sort();
        }
        return codes;
    }

    // The lookup shows what the database selects for the same value, or the
    // database's own refusal of it; either way nothing else is shown.
    void ExpectResult(LookupWindow& lookup, const std::optional<QStringList>& expected) {
        const QStringList boxes = this->TakeBoxes();
        if (!expected) {
            EXPECT_EQ(boxes.size(), 1u);
            EXPECT_FALSE(lookup.QryFhelp->Active());
            return;
        }
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).left(300).toStdString();
        QStringList shown = Codes(lookup);
        shown.sort();
        EXPECT_EQ(shown, *expected);
    }

    void ExpectRefused(LookupWindow& lookup, const QString& value, const QString& statementBefore) {
        const QString refusal = Refusal(this->db(), value);
        EXPECT_EQ(this->TakeBoxes(), QStringList{refusal});
        if (refusal == kOutsideBmpRefused) {
            // Built, then refused before the driver could see it.
            EXPECT_FALSE(lookup.QryFhelp->Active()) << "nothing was sent";
            return;
        }
        EXPECT_EQ(lookup.QryFhelp->SQL(), statementBefore) << "nothing was sent";
    }

    // Users whose name is each payload (codes H00..), so that every search
    // has its value to find.
    void InsertPayloadUsers() {
        int i = 0;
        for (const Payload& payload : Payloads()) {
            if (!IsRefused(this->db(), payload.text)) {
                Insert(QStringLiteral("ADMMG"),
                       {QStringLiteral("H%1").arg(i, 2, 10, QLatin1Char('0')),
                        TrimControl(payload.text)});
            }
            ++i;
        }
    }
};
// Hostile values on each database.
class HostileInput : public HostileInputOf<Backend> {};
// The same in each lookup window.
class HostileInputInWindow : public HostileInputOf<DatabaseAndWindow> {};

// A value stays inside its one literal: the statement holds exactly the
// literals expected, each closed, and nothing of the value outside them.
void ExpectLiterals(const QString& statement, const QStringList& literals,
                    const QString& skeleton) {
    const SqlShape shape = ParseSqlShape(statement);
    EXPECT_EQ(ParseSqlShape(AsSqliteReadsUtf16(statement)).skeleton, skeleton)
        << "SQLite reads it at the same quotes";
    EXPECT_TRUE(shape.closed);
    EXPECT_EQ(shape.literals, literals);
    EXPECT_EQ(shape.skeleton, skeleton);
    EXPECT_FALSE(statement.contains(QChar(u'\0')));
}

TEST_P(HostileInput, SourceUserTypedIntoEdit1) {
    int i = 0;
    for (const Payload& payload : Payloads()) {
        SCOPED_TRACE(payload.name);
        const QString code = TrimControl(payload.text);
        const QString program = QStringLiteral("P%1").arg(i++);
        if (!IsRefused(db(), payload.text)) {
            Insert(QStringLiteral("ADMMG"), {code, QStringLiteral("敌意")});
            InsertRight(code, program);
        }
        const QStringList users = db().Rows(QStringLiteral("ADMMG"));
        const QStringList rights = db().Rows(QStringLiteral("ADMMH"));
        const QStringList tables = db().Tables();

        TfrmPRVC03F& w = OpenCopyWindow();
        w.Edit1->setText(payload.text);
        w.AddTargetLine(QStringLiteral("C02"), QStringLiteral("吴九"));
        ClickOk();

        EXPECT_EQ(db().Tables(), tables);
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMG")), users);
        if (IsRefused(db(), payload.text)) {
            EXPECT_EQ(Shown(), (Boxes{{Refusal(db(), payload.text), 0x10}}));
            EXPECT_FALSE(window.isNull());
            EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")), rights);
            continue;
        }
        EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}}));
        // Exactly the payload user's one right, now also C02's.
        QStringList after = rights;
        for (const QString& row : Rights(code)) {
            after.append(QStringLiteral("C02\t") + row);
        }
        after.sort();
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")), after);
        ASSERT_EQ(Rights(QStringLiteral("C02")).size(), 1);
        EXPECT_EQ(Rights(QStringLiteral("C02"))[0].section(QLatin1Char('\t'), 0, 0), program);
        db().Exec(QStringLiteral("DELETE FROM ADMMH WHERE MH001='C02'"));

        ExpectLiterals(SourceCountStatement(payload.text, QStringLiteral("isnull")), {code},
                       QStringLiteral("SELECT isnull(COUNT(*),0) FROM ADMMG WHERE MG001=?"));
        ExpectLiterals(
            CopyPermissionsStatement(QStringLiteral("C02"), payload.text),
            {QStringLiteral("C02"), code},
            QStringLiteral("insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,"
                           "EDIT,DEL,REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) "
                           "select ?,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,"
                           "CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE from ADMMH where "
                           "MH001=?"));
    }
}

TEST_P(HostileInput, PickedTargetCodes) {
    const QStringList source = Rights(QStringLiteral("A02"));
    for (const Payload& payload : Payloads()) {
        SCOPED_TRACE(payload.name);
        const QString code = TrimControl(payload.text);
        const QStringList users = db().Rows(QStringLiteral("ADMMG"));
        const QStringList rights = db().Rows(QStringLiteral("ADMMH"));
        const QStringList tables = db().Tables();

        // 预览 forecasts what 确定 then does, and writes nothing.
        const std::vector<CopyForecast> forecast =
            CopyDryRun(db().db()).Run(QStringLiteral("A02"), {{payload.text, QString()}});
        ASSERT_EQ(forecast.size(), 1u);
        EXPECT_EQ(forecast[0].copyable, !IsRefused(db(), payload.text));
        EXPECT_EQ(forecast[0].error, Refusal(db(), payload.text));
        EXPECT_EQ(forecast[0].rows, forecast[0].copyable ? static_cast<int>(source.size()) : 0);
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")), rights);

        TfrmPRVC03F& w = OpenCopyWindow();
        w.Edit1->setText(QStringLiteral("A02"));
        w.AddTargetLine(payload.text, QStringLiteral("敌意"));
        ClickOk();

        EXPECT_EQ(db().Tables(), tables);
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMG")), users);
        EXPECT_TRUE(window.isNull());
        if (IsRefused(db(), payload.text)) {
            EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}}));
            EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")), rights);
            continue;
        }
        EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}}));
        EXPECT_EQ(Rights(code), source) << "the rows went to exactly that code";
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")).size(), rights.size() + source.size());
        QSqlQuery cleanup(db().Native());
        ASSERT_TRUE(cleanup.prepare(QStringLiteral("DELETE FROM ADMMH WHERE MH001 = ?")));
        cleanup.addBindValue(code);
        ASSERT_TRUE(cleanup.exec());
        EXPECT_EQ(db().Rows(QStringLiteral("ADMMH")), rights);
    }
}

TEST_P(HostileInputInWindow, QuickSearchInBothModes) {
    InsertPayloadUsers();
    const QByteArray before = db().Fingerprint();
    auto window = Show(KindOf(GetParam()));
    LookupWindow* lookup = window.get();
    const QString base = kUsersBase;
    for (const Payload& payload : Payloads()) {
        SCOPED_TRACE(payload.name);
        const QString value = TrimControl(payload.text);
        const QString before1 = lookup->QryFhelp->SQL();
        QuickSearch(*lookup, lookup->fC, 0, payload.text);
        if (IsRefused(db(), payload.text)) {
            ExpectRefused(*lookup, payload.text, before1);
        } else {
            ExpectLiterals(lookup->QryFhelp->SQL(), {value},
                           base + QStringLiteral("  AND ADMMG.MG001 >= ? ORDER BY ADMMG.MG001"));
            ExpectResult(*lookup, Expected(QStringLiteral("MG001 >= ?"), value));
        }
        const QString before2 = lookup->QryFhelp->SQL();
        QuickSearch(*lookup, lookup->fB, 1, payload.text);
        if (IsRefused(db(), payload.text)) {
            ExpectRefused(*lookup, payload.text, before2);
            continue;
        }
        ExpectLiterals(lookup->QryFhelp->SQL(), {QLatin1Char('%') + value + QLatin1Char('%')},
                       base + QStringLiteral("  AND ADMMG.MG002 LIKE ? ORDER BY ADMMG.MG002"));
        const auto expected =
            Expected(QStringLiteral("MG002 LIKE ?"), QLatin1Char('%') + value + QLatin1Char('%'));
        ExpectResult(*lookup, expected);
        if (expected && !payload.text.contains(QLatin1Char('\\'))) {
            EXPECT_FALSE(expected->isEmpty()) << "the user named by the value is found";
        }
    }
    EXPECT_EQ(db().Fingerprint(), before);
}

TEST_P(HostileInput, EveryConditionOperator) {
    InsertPayloadUsers();
    const QByteArray before = db().Fingerprint();
    auto lookup = Show<TfrmRootFS>();
    LookupWindow& w = *lookup.get();
    const struct {
        const char* label;
        const char* column;
        const char* op;
        const char* open;
        const char* close;
    } pieces[] = {
        {"用户编号", "MG001", "=", "", ""},      {"用户编号", "MG001", ">=", "", ""},
        {"用户编号", "MG001", "<=", "", ""},     {"用户编号", "MG001", ">", "", ""},
        {"用户编号", "MG001", "<", "", ""},      {"用户编号", "MG001", "<>", "", ""},
        {"用户名称", "MG002", "LIKE", "", "%"},  {"用户名称", "MG002", "LIKE", "%", ""},
        {"用户名称", "MG002", "LIKE", "%", "%"},
    };
    const QString base = kUsersBase;
    ASSERT_EQ(
        ConditionOperators(),
        (QStringList{QStringLiteral("等于"), QStringLiteral("大于或等于"),
                     QStringLiteral("小于或等于"), QStringLiteral("大于"), QStringLiteral("小于"),
                     QStringLiteral("不等于"), QStringLiteral("起始于"), QStringLiteral("终止于"),
                     QStringLiteral("包含")}))
        << "one row of pieces per operator";
    for (int op = 0; op < ConditionOperators().size(); ++op) {
        const auto& p = pieces[op];
        for (const Payload& payload : Payloads()) {
            SCOPED_TRACE(ConditionOperators()[op].toStdString() + " " + payload.name);
            const QString statementBefore = w.QryFhelp->SQL();
            ConditionSearch(w, {{QString::fromUtf8(p.label), ConditionOperators()[op], payload.text,
                                 QStringLiteral("AND")}});
            // What the condition grid kept of the value (its column is 50 wide).
            const QString value = TrimControl(w.CDSTmp->Value(0, MemTable::FValue));
            if (IsRefused(db(), value)) {
                ExpectRefused(w, value, statementBefore);
                continue;
            }
            if (value.isEmpty()) {
                continue;
            }
            const QString pattern = QLatin1String(p.open) + value + QLatin1String(p.close);
            ExpectLiterals(w.QryFhelp->SQL(), {pattern},
                           base + QStringLiteral(" AND (ADMMG.%1 %2 ? )")
                                      .arg(QLatin1String(p.column), QLatin1String(p.op)));
            ExpectResult(w, Expected(QStringLiteral("%1 %2 ?").arg(QLatin1String(p.column),
                                                                   QLatin1String(p.op)),
                                     pattern));
        }
    }
    // A logic word stands outside any literal: anything but AND / OR is
    // refused, whatever the grid's 3 characters hold.
    for (const QString& logic :
         {QStringLiteral("';-"), QStringLiteral("OR1"), QStringLiteral("--")}) {
        const QString statementBefore = w.QryFhelp->SQL();
        ConditionSearch(
            w, {{QStringLiteral("用户编号"), ConditionOperators()[0], QStringLiteral("A01"), logic},
                {QStringLiteral("用户编号"), ConditionOperators()[0], QStringLiteral("A02"),
                 QString()}});
        EXPECT_EQ(
            TakeBoxes(),
            QStringList{QStringLiteral("The logic word \"%1\" is neither AND nor OR").arg(logic)});
        EXPECT_EQ(w.QryFhelp->SQL(), statementBefore);
    }
    EXPECT_EQ(db().Fingerprint(), before);
}

// Pasted into the target list, a payload names no user (its pieces are
// nobody's code), so it adds no line and writes nothing, and the box that
// names it shows no character a box cannot carry.
TEST_P(HostileInput, PastedIntoTheTargetList) {
    const QByteArray before = db().Fingerprint();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.AddTargetLine(QStringLiteral("D01"), QStringLiteral("郑十"));
    for (const Payload& payload : Payloads()) {
        SCOPED_TRACE(payload.name);
        RunHandler([&] { w.PasteTargetCodes(payload.text); });
        const QStringList boxes = TakeBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("以下用户编号不存在：")))
            << boxes[0].left(200).toStdString();
        EXPECT_FALSE(boxes[0].contains(QChar(u'\0')));
        EXPECT_LT(boxes[0].size(), 600) << "long codes are shown cut";
        EXPECT_EQ(w.ListBox1->count(), 1);
    }
    EXPECT_EQ(db().Fingerprint(), before);
}

PRVC03_ON_EVERY_DATABASE(HostileInput);
PRVC03_ON_EVERY_DATABASE_AND_WINDOW(HostileInputInWindow);

}  // namespace
}  // namespace prvc03::test
