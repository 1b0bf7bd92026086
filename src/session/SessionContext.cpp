// The session context, its connection and the current application object.
#include "session/SessionContext.h"

#include <QPointer>
#include <QSqlDatabase>

#include "session/Errors.h"

namespace prvc03 {

SessionContext& Session() {
    static SessionContext context;
    return context;
}

QSqlDatabase& Connection() {
    QSqlDatabase* db = Session().SessionConnection;
    if (db == nullptr || !db->isOpen()) {
        throw Error(QStringLiteral("No database connection"));
    }
    return *db;
}

namespace {
QPointer<QObject>& CurrentApplicationRef() {
    static QPointer<QObject> application;
    return application;
}
}  // namespace

QObject* CurrentApplication() {
    return CurrentApplicationRef().data();
}

void SetCurrentApplication(QObject* application) {
    CurrentApplicationRef() = application;
}

void AdoptComponent(QObject* owner, QObject* component) {
    if (owner == nullptr || component == nullptr) {
        return;
    }
    // Windows cannot be Qt children of a non-widget owner, so the owner's end
    // deletes the component instead. The component is the context of the
    // connection: if it goes first, the connection goes with it, and nothing
    // of ours stays behind at the owner. Components adopted by one owner are
    // deleted in the order of adoption.
    QObject::connect(owner, &QObject::destroyed, component, [component] { delete component; });
}

}  // namespace prvc03
