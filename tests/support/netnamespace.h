// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace testsupport {

// Runs "ip" with the arguments; empty on success, else what went wrong.
QString runIp(const QStringList &args);

// Two network namespaces "<prefix>c" (client) and "<prefix>s" (servers) joined by a veth
// pair: 10.77.0.1/24 on the client end, 10.77.0.2/24 and 10.77.0.3/24 on the server end,
// each end the default route of its namespace. A broadcast to 255.255.255.255 from the
// client therefore reaches the servers and nothing else. Removed again on destruction;
// a process that entered the client namespace returns to its own first.
class NamespacePair
{
public:
    NamespacePair();
    ~NamespacePair();
    NamespacePair(const NamespacePair &) = delete;
    NamespacePair &operator=(const NamespacePair &) = delete;

    QString client() const { return m_prefix + QLatin1Char('c'); }
    QString servers() const { return m_prefix + QLatin1Char('s'); }

    // Empty on success, else why the namespaces cannot be made here.
    QString create();
    // Moves this process's calling thread (the one Qt's sockets live on) into the client
    // namespace.
    QString enterClient();
    void leave();

private:
    QString m_prefix;
    int m_ownNamespace = -1;
    bool m_entered = false;
};

} // namespace testsupport
