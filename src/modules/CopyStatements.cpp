#include "modules/CopyStatements.h"

#include "platform/Cp936.h"
#include "session/SqlLiteral.h"

namespace prvc03 {

namespace {

QString PadToBytes(const QString& text, int bytes) {
    const int length = platform::Cp936Length(text);
    return length >= bytes ? text : text + QString(bytes - length, QLatin1Char(' '));
}

}  // namespace

QString TargetLine(const QString& code, const QString& name) {
    return PadToBytes(code, 10) + PadToBytes(name, 20);
}

QString SourceCountStatement(const QString& sourceText, const QString& nullFunction) {
    return QStringLiteral("SELECT ") + nullFunction +
           QStringLiteral("(COUNT(*),0) FROM ADMMG WHERE MG001=") + ToSqlLiteral(sourceText);
}

QString CopyPermissionsStatement(const QString& targetCode, const QString& sourceText,
                                 bool onlyMissing) {
    QString statement =
        QStringLiteral(
            "insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
            "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select ") +
        ToSqlLiteral(targetCode) + QLatin1Char(',') +
        QStringLiteral(
            "MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,"
            "INVALID,PRICE from ADMMH where MH001=") +
        ToSqlLiteral(sourceText);
    if (onlyMissing) {
        // The target's programs compared as the preview compares them.
        statement += QStringLiteral(" and not exists (select 1 from ADMMH t where t.MH001=") +
                     ToSqlLiteral(targetCode) + QStringLiteral(" and t.MH002=ADMMH.MH002)");
    }
    return statement;
}

QString PermissionCountStatement(const QString& userLiteral) {
    return QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001=") + userLiteral;
}

QString PermissionColumns() {
    return QStringLiteral(
        "MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,"
        "INVALID,PRICE");
}

QString PermissionRowsStatement(const QString& userLiteral, RowLock lock) {
    QString statement =
        QStringLiteral("SELECT ") + PermissionColumns() + QStringLiteral(" FROM ADMMH") +
        (lock == RowLock::UpdLockHoldLock ? QStringLiteral(" WITH (UPDLOCK,HOLDLOCK)")
                                          : QString()) +
        QStringLiteral(" WHERE MH001=") + userLiteral;
    if (lock == RowLock::ForUpdate) {
        statement += QStringLiteral(" FOR UPDATE");
    }
    return statement;
}

QString DeletePermissionsStatement(const QString& userLiteral) {
    return QStringLiteral("DELETE FROM ADMMH WHERE MH001=") + userLiteral;
}

QString RestorePermissionStatement() {
    QStringList marks;
    for (int i = 0; i < 16; ++i) {
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO ADMMH(") + PermissionColumns() +
           QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString SourceProgramsStatement(const QString& sourceText) {
    return QStringLiteral("SELECT MH002,MH003,MH004 FROM ADMMH WHERE MH001=") +
           ToSqlLiteral(sourceText) + QStringLiteral(" ORDER BY MH002");
}

QString HeldProgramsStatement(const QString& targetLiteral, const QString& sourceText) {
    return QStringLiteral("SELECT s.MH002 FROM ADMMH s WHERE s.MH001=") + ToSqlLiteral(sourceText) +
           QStringLiteral(" AND EXISTS (SELECT 1 FROM ADMMH t WHERE t.MH001=") + targetLiteral +
           QStringLiteral(" AND t.MH002=s.MH002)");
}

QString UsersByCodeStatement(const QStringList& literals) {
    return QStringLiteral("SELECT MG001,MG002 FROM ADMMG WHERE MG001 IN (") +
           literals.join(QLatin1Char(',')) + QLatin1Char(')');
}

}  // namespace prvc03
