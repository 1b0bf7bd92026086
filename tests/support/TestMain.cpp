// One QApplication per test binary, on the offscreen platform unless the
// caller chose another. When PRVC03_CONFIGURATION_LOG names a file, every
// finished case run on a database configuration (the parameter name's last
// part; suites over the lookup windows alone, "Windows/...", run on none)
// appends "configuration passed|failed" to it, so that the test script can
// say which configurations really ran; under a locale that is not UTF-8 the
// configuration carries it ("OdbcSQLite@zh_CN.GBK").
#include <QApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <langinfo.h>

namespace {

class ConfigurationLog final : public ::testing::EmptyTestEventListener {
  public:
    explicit ConfigurationLog(const QString& path) : file_(path) {}

    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (test.value_param() == nullptr || test.result()->Skipped() ||
            QByteArray(test.test_suite_name()).startsWith("Windows/")) {
            return;
        }
        const QByteArray name(test.name());
        const qsizetype slash = name.lastIndexOf('/');
        if (slash < 0 || !file_.open(QIODevice::Append | QIODevice::Text)) {
            return;
        }
        // The configuration is the parameter name's last part
        // ("MultiSelectWindow_SQLite" runs on SQLite).
        const QByteArray param = name.mid(slash + 1);
        const QByteArray configuration = param.mid(param.lastIndexOf('_') + 1);
        file_.write(configuration + LocaleTag() +
                    (test.result()->Passed() ? " passed\n" : " failed\n"));
        file_.close();
    }

  private:
    // "@zh_CN.GBK" when the process runs under a locale that is not UTF-8.
    static QByteArray LocaleTag() {
        if (QByteArray(nl_langinfo(CODESET)) == "UTF-8") {
            return {};
        }
        const QByteArray locale = qgetenv("LC_ALL");
        return "@" + (locale.isEmpty() ? qgetenv("LANG") : locale);
    }

    QFile file_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const QString log = qEnvironmentVariable("PRVC03_CONFIGURATION_LOG");
    if (!log.isEmpty()) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new ConfigurationLog(log));
    }
    return RUN_ALL_TESTS();
}
