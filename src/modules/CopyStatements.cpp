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

QString CopyPermissionsStatement(const QString& targetCode, const QString& sourceText) {
    return QStringLiteral(
               "insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
               "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select ") +
           ToSqlLiteral(targetCode) + QLatin1Char(',') +
           QStringLiteral(
               "MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,"
               "INVALID,PRICE from ADMMH where MH001=") +
           ToSqlLiteral(sourceText);
}

QString PermissionCountStatement(const QString& userLiteral) {
    return QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001=") + userLiteral;
}

}  // namespace prvc03
