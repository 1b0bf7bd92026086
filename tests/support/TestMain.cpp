// One QApplication per test binary, on the offscreen platform unless the
// caller chose another. When PRVC03_CONFIGURATION_LOG names a file, every
// finished case run on a database configuration (the parameter name's last
// part; suites over the lookup windows alone, "Windows/...", run on none)
// appends "program configuration passed|failed" to it, so that the test script can
// say which configurations of which program really ran; under a locale that
// is not UTF-8 the configuration carries it ("OdbcSQLite@zh_CN.GBK").
// A program run under a locale whose codeset is not in effect (a locale that
// is not installed leaves the process on another) refuses to run at all.
#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include <langinfo.h>

namespace {

class ConfigurationLog final : public ::testing::EmptyTestEventListener {
  public:
    ConfigurationLog(const QString& path, const QByteArray& program)
        : file_(path), program_(program) {}

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
        file_.write(program_ + ' ' + configuration + LocaleTag() +
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
    QByteArray program_;
};

// The codeset that the locale named by LC_ALL (else LANG) asks for: the part
// after its dot, or that of the C locale for "C" and "POSIX"; empty when the
// name does not say.
QByteArray WantedCodeset() {
    QByteArray locale = qgetenv("LC_ALL");
    if (locale.isEmpty()) {
        locale = qgetenv("LANG");
    }
    if (locale == "C" || locale == "POSIX") {
        return "ANSI_X3.4-1968";
    }
    const qsizetype dot = locale.indexOf('.');
    return dot < 0 ? QByteArray() : locale.mid(dot + 1).split('@').front();
}

// "UTF-8", "utf8" and "UTF8" name one codeset.
QByteArray CodesetKey(QByteArray codeset) {
    return codeset.replace('-', QByteArray()).toUpper();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    const QByteArray wanted = WantedCodeset();
    const QByteArray inEffect(nl_langinfo(CODESET));
    if (!wanted.isEmpty() && CodesetKey(wanted) != CodesetKey(inEffect)) {
        std::fprintf(stderr,
                     "the locale asks for codeset %s but %s is in effect: is it installed?\n",
                     wanted.constData(), inEffect.constData());
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const QString log = qEnvironmentVariable("PRVC03_CONFIGURATION_LOG");
    if (!log.isEmpty()) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new ConfigurationLog(
            log, QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8()));
    }
    return RUN_ALL_TESTS();
}
