// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/netnamespace.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>

namespace testsupport {

QString runIp(const QStringList &args)
{
    QProcess ip;
    ip.start(QStringLiteral("ip"), args);
    if (!ip.waitForFinished(10000))
        return QStringLiteral("ip ") + args.join(QLatin1Char(' ')) + QStringLiteral(": does not finish");
    if (ip.exitStatus() != QProcess::NormalExit || ip.exitCode() != 0)
        return QStringLiteral("ip ") + args.join(QLatin1Char(' ')) + QStringLiteral(": ") +
               QString::fromLocal8Bit(ip.readAllStandardError()).trimmed();
    return {};
}

NamespacePair::NamespacePair()
    : m_prefix(QStringLiteral("orvnet%1").arg(QCoreApplication::applicationPid()))
{}

NamespacePair::~NamespacePair()
{
    leave();
    (void)runIp({QStringLiteral("netns"), QStringLiteral("del"), client()});
    (void)runIp({QStringLiteral("netns"), QStringLiteral("del"), servers()});
    if (m_ownNamespace >= 0)
        close(m_ownNamespace);
}

QString NamespacePair::create()
{
    const QString vc = QStringLiteral("ov%1c").arg(QCoreApplication::applicationPid());
    const QString vs = QStringLiteral("ov%1s").arg(QCoreApplication::applicationPid());
    const QList<QStringList> steps = {
        {QStringLiteral("netns"), QStringLiteral("add"), client()},
        {QStringLiteral("netns"), QStringLiteral("add"), servers()},
        {QStringLiteral("link"), QStringLiteral("add"), vc, QStringLiteral("netns"), client(), QStringLiteral("type"),
         QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), vs, QStringLiteral("netns"),
         servers()},
        {QStringLiteral("-n"), client(), QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("10.77.0.1/24"),
         QStringLiteral("dev"), vc},
        {QStringLiteral("-n"), servers(), QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("10.77.0.2/24"),
         QStringLiteral("dev"), vs},
        {QStringLiteral("-n"), servers(), QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("10.77.0.3/24"),
         QStringLiteral("dev"), vs},
        {QStringLiteral("-n"), client(), QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
         QStringLiteral("up")},
        {QStringLiteral("-n"), servers(), QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
         QStringLiteral("up")},
        {QStringLiteral("-n"), client(), QStringLiteral("link"), QStringLiteral("set"), vc, QStringLiteral("up")},
        {QStringLiteral("-n"), servers(), QStringLiteral("link"), QStringLiteral("set"), vs, QStringLiteral("up")},
        {QStringLiteral("-n"), client(), QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"),
         QStringLiteral("dev"), vc},
        {QStringLiteral("-n"), servers(), QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"),
         QStringLiteral("dev"), vs},
    };
    for (const QStringList &step : steps) {
        const QString problem = runIp(step);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString NamespacePair::enterClient()
{
    m_ownNamespace = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    const QByteArray path = "/run/netns/" + client().toLatin1();
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (m_ownNamespace < 0 || fd < 0)
        return QStringLiteral("cannot open the namespace files");
    const int rc = setns(fd, CLONE_NEWNET);
    close(fd);
    if (rc != 0)
        return QStringLiteral("setns failed");
    m_entered = true;
    return {};
}

void NamespacePair::leave()
{
    if (m_entered && m_ownNamespace >= 0)
        (void)setns(m_ownNamespace, CLONE_NEWNET);
    m_entered = false;
}

} // namespace testsupport
