// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include <QApplication>
#include <QDir>

#include <benchmark/benchmark.h>

// Benchmarks run with private HOME and XDG folders, like the tests, and an offscreen
// QApplication so that models and views can be measured without a display.
int main(int argc, char **argv)
{
    QByteArray root = QDir::tempPath().toLocal8Bit() + "/orv-bench-XXXXXX";
    if (mkdtemp(root.data())) {
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            const QByteArray path = root + '/' + name;
            QDir().mkpath(QString::fromLocal8Bit(path));
            qputenv(name, path);
        }
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir(QString::fromLocal8Bit(root)).removeRecursively();
    return 0;
}
