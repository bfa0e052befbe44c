// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include "orv/query/querycli.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orv-query"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return orv::query::runQueryCli(arguments, out, err);
}
