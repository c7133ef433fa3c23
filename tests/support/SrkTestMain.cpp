// The main of every test program: each test process gets its own settings, data and
// runtime folders (so parallel tests never share a settings file and no user's files are
// touched), then a Qt application object, then the tests.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#ifdef SRK_TEST_GUI
#include <QApplication>
using SrkTestApplication = QApplication;
#else
#include <QCoreApplication>
using SrkTestApplication = QCoreApplication;
#endif

int main(int argc, char **argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/srk-test-XXXXXX"));
    if (!home.isValid())
        return 3;
    for (const char *var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        const QString dir = home.path() + QLatin1Char('/') + QString::fromLatin1(var).toLower();
        QDir().mkpath(dir);
        qputenv(var, QFile::encodeName(dir));
    }
#ifdef SRK_TEST_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    SrkTestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
