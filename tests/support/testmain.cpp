// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Points HOME and the XDG folders at a fresh temporary tree, before Qt reads them.
QByteArray makePrivateFolders()
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/orv-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    const QByteArray root = pattern;
    const auto sub = [&root](const char *name) {
        const QByteArray path = root + '/' + name;
        QDir().mkpath(QString::fromLocal8Bit(path));
        return path;
    };
    qputenv("HOME", sub("home"));
    qputenv("XDG_CONFIG_HOME", sub("config"));
    qputenv("XDG_DATA_HOME", sub("data"));
    qputenv("XDG_CACHE_HOME", sub("cache"));
    const QByteArray runtime = sub("runtime");
#ifdef Q_OS_UNIX
    chmod(runtime.constData(), 0700);
#endif
    qputenv("XDG_RUNTIME_DIR", runtime);
    return root;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray root = makePrivateFolders();
    // The same locale and time zone on every machine, whatever the user has set: tests
    // that care about either name their own.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LANGUAGE");
    qputenv("TZ", "UTC");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    int rc = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (!root.isEmpty())
        QDir(QString::fromLocal8Bit(root)).removeRecursively();
    return rc;
}
