#include "modules/CopyChecks.h"

#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "modules/CopyStatements.h"
#include "session/SqlLiteral.h"
#include "session/VariantArray.h"

namespace prvc03 {

std::optional<QString> CopyRefusal(QSqlDatabase& db, const QString& sourceText,
                                   const QStringList& targetCodes) {
    const QString source = TrimControl(sourceText);
    if (source.isEmpty()) {
        return QStringLiteral("原用户信息不能为空，复制无效．");
    }
    const std::optional<VariantArray> count =
        FirstRow(db, SourceCountStatement(sourceText, NullFunctionName(db)));
    if (!count || count->IsEmpty() || count->at(count->Low()).toDouble() == 0) {
        return QStringLiteral("用户信息资料库中不存在该原用户，复制无效．");
    }
    for (const QString& code : targetCodes) {
        if (TrimControl(code) == source) {
            return QStringLiteral("新用户中存在原用户信息，复制无效．");
        }
    }
    return std::nullopt;
}

}  // namespace prvc03
