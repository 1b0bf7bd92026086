#include "session/Global.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <map>

#include "platform/Cp936.h"
#include "session/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

// ---- session context and current application object ------------------------

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

// ---- window class registry ---------------------------------------------------

namespace {

// Class names compare with the letters a to z folded to upper case.
QByteArray ClassKey(const QByteArray& className) {
    QByteArray key = className;
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

std::map<QByteArray, WindowFactory>& Registry() {
    static std::map<QByteArray, WindowFactory> registry;
    return registry;
}

}  // namespace

void RegisterWindowClass(const QByteArray& className, WindowFactory factory) {
    Registry()[ClassKey(className)] = std::move(factory);
}

void UnregisterWindowClass(const QByteArray& className) {
    Registry().erase(ClassKey(className));
}

const WindowFactory* FindWindowClass(const QByteArray& className) {
    const auto found = Registry().find(ClassKey(className));
    return found != Registry().end() ? &found->second : nullptr;
}

bool IsWindowClassRegistered(const QByteArray& className) {
    return FindWindowClass(className) != nullptr;
}

// ---- open windows ------------------------------------------------------------

namespace {

struct OpenEntry {
    const QObject* key = nullptr;  // still comparable while the window is destroyed
    OpenWindow info;
    QMetaObject::Connection watch;
};

std::vector<OpenEntry>& OpenList() {
    static std::vector<OpenEntry> list;
    return list;
}

}  // namespace

void AddOpenWindow(QObject* window, const QByteArray& className, platform::HWND handle) {
    if (window == nullptr) {
        return;
    }
    for (OpenEntry& entry : OpenList()) {
        if (entry.key == window) {
            entry.info.className = className;
            entry.info.handle = handle;
            return;
        }
    }
    OpenEntry entry;
    entry.key = window;
    entry.info = OpenWindow{window, className, handle};
    // A window that is destroyed without being removed leaves the list too.
    entry.watch =
        QObject::connect(window, &QObject::destroyed, [window] { RemoveOpenWindow(window); });
    OpenList().push_back(std::move(entry));
}

void RemoveOpenWindow(QObject* window) {
    std::erase_if(OpenList(), [window](OpenEntry& entry) {
        if (entry.key != window) {
            return false;
        }
        QObject::disconnect(entry.watch);
        return true;
    });
}

std::vector<OpenWindow> OpenWindows() {
    std::vector<OpenWindow> windows;
    for (const OpenEntry& entry : OpenList()) {
        if (!entry.info.window.isNull()) {
            windows.push_back(entry.info);
        }
    }
    return windows;
}

// ---- SQL literal rule --------------------------------------------------------

QString TrimControl(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) {
        ++begin;
    }
    while (end > begin && text.at(end - 1).unicode() <= 32) {
        --end;
    }
    return text.mid(begin, end - begin);
}

namespace {

// A surrogate without its partner. SQLite's UTF-16 reader takes the unit
// after any surrogate as its partner, so a lone one swallows the quote that
// follows it and the literal would end early.
bool HasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString EscapeQuotes(const QString& text) {
    if (text.contains(QChar(u'\0'))) {
        throw Error(
            QStringLiteral("A value holding a NUL character cannot be written into a "
                           "statement"));
    }
    if (HasUnpairedSurrogate(text)) {
        throw Error(
            QStringLiteral("A value holding an unpaired UTF-16 surrogate cannot be "
                           "written into a statement"));
    }
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

QString QuoteText(const QString& text) {
    return QLatin1Char('\'') + EscapeQuotes(text) + QLatin1Char('\'');
}

namespace {

// The locale's long time format without its time-zone field ("t", unquoted)
// and the blank that separates it from the rest.
QString TimeFormatWithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t')) {
                ++i;
            }
            if (result.endsWith(QLatin1Char(' '))) {
                result.chop(1);
            } else if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char(' ')) {
                ++i;
            }
            continue;
        }
        result += c;
    }
    return result.trimmed();
}

QString DateTimeText(const QDateTime& value, const QLocale& locale) {
    QString text = locale.toString(value.date(), locale.dateFormat(QLocale::ShortFormat));
    const QTime time = value.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
        text +=
            QLatin1Char(' ') +
            locale.toString(time, TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    }
    return text;
}

QString FloatText(double value, const QLocale& locale) {
    QLocale format = locale;
    format.setNumberOptions(QLocale::OmitGroupSeparator);
    return format.toString(value, 'g', 15);
}

}  // namespace

QString ToSqlLiteral(const QVariant& value) {
    return ToSqlLiteral(value, QLocale::system());
}

QString ToSqlLiteral(const QVariant& value, const QLocale& locale) {
    if (!value.isValid() || value.isNull()) {
        return QString();  // Empty or Null: no literal at all, not NULL
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::QDateTime:
            return QuoteText(DateTimeText(value.toDateTime(), locale));
        case QMetaType::QDate:
            return QuoteText(DateTimeText(QDateTime(value.toDate(), QTime(0, 0)), locale));
        case QMetaType::QTime:
            return QuoteText(locale.toString(
                value.toTime(), TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat))));
        case QMetaType::QString:
            return QuoteText(TrimControl(value.toString()));
        case QMetaType::QByteArray:
            return QuoteText(TrimControl(platform::FromCp936(value.toByteArray())));
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return QuoteText(QString::number(value.toLongLong()));
        case QMetaType::UChar:
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return QuoteText(QString::number(value.toULongLong()));
        case QMetaType::Float:
        case QMetaType::Double:
            return QuoteText(FloatText(value.toDouble(), locale));
        default:
            break;
    }
    QVariant text = value;
    if (!text.convert(QMetaType::fromType<QString>())) {
        throw Error(QStringLiteral("Cannot convert a value of type %1 to text")
                        .arg(QString::fromLatin1(value.typeName())));
    }
    return QuoteText(TrimControl(text.toString()));
}

// ---- statements ----------------------------------------------------------------

namespace {

QString ErrorText(const QSqlError& error) {
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

}  // namespace

bool ExecuteSQL(const QString& statement) {
    if (TrimControl(statement).isEmpty()) {
        return false;
    }
    QString failure;
    try {
        CheckStatementForDriver(Connection(), statement);
        QSqlQuery query(Connection());
        query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (query.exec(statement)) {
            return true;
        }
        failure = ErrorText(query.lastError());
    } catch (const Error& error) {
        failure = error.Message();
    }
    SendTextMessage(Session().HostWindow, platform::WM_ERROR_REPORT,
                    QStringLiteral("Error: ExecuteSQL出错,详细信息:") + failure);
    return false;
}

void QueryFirstRow(const QString& statement, std::optional<VariantArray>& result) {
    result.reset();
    CheckStatementForDriver(Connection(), statement);
    QSqlQuery query(Connection());
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    query.setForwardOnly(true);
    if (!query.exec(statement)) {
        throw Error(ErrorText(query.lastError()));
    }
    if (!query.next()) {
        if (query.lastError().isValid()) {
            throw Error(ErrorText(query.lastError()));
        }
        return;
    }
    const int count = query.record().count();
    VariantArray row(0, count - 1);
    for (int i = 0; i < count; ++i) {
        const QVariant value = query.value(i);
        if (!value.isNull()) {
            row.at(i) = value;  // a Null column stays Empty
        }
    }
    result = std::move(row);
}

// ---- host messages -------------------------------------------------------------

namespace {

// The text record of one send and the copy of the text it points at.
class TextRecord {
  public:
    TextRecord(const QString& text, std::uintptr_t kind) : bytes_(platform::ToCp936(text)) {
        record_.dwData = kind;
        record_.cbData = static_cast<std::uint32_t>(bytes_.size()) + 1;
        record_.lpData = bytes_.constData();  // QByteArray keeps a NUL after the bytes
    }
    platform::LPARAM Address() const { return reinterpret_cast<platform::LPARAM>(&record_); }

  private:
    QByteArray bytes_;
    platform::COPYDATASTRUCT record_;
};

}  // namespace

void NotifyHost(const QString& text, std::int32_t kind) {
    const TextRecord record(text, static_cast<std::uint32_t>(kind));
    const platform::HWND main = platform::FindWindowA("TfrmMain", nullptr);
    if (main != 0) {
        platform::SendMessageA(main, platform::WM_HOST_NOTICE, 0, record.Address());
    }
}

void SendTextMessage(std::int32_t window, unsigned message, const QString& text) {
    const TextRecord record(text, 0);
    if (window > 0) {
        platform::SendMessageA(window, message, 1, record.Address());
        return;
    }
    for (const OpenWindow& open : OpenWindows()) {
        platform::SendMessageA(open.handle, message, 1, record.Address());
    }
}

QString NullFunctionName(const QSqlDatabase& db) {
    switch (ProductOf(db)) {
        case DatabaseProduct::SqlServer:
        case DatabaseProduct::Sybase:
            return QStringLiteral("isnull");
        case DatabaseProduct::SQLite:
            return QStringLiteral("ifnull");
        default:
            return QStringLiteral("coalesce");
    }
}

}  // namespace prvc03
