// SPDX-License-Identifier: GPL-3.0-or-later
// Helper program for the crash-safety test: saves one kind of file through the program's own
// save path, either once (to make the reference contents) or over and over, alternating two
// versions, until it is killed.
//
//   hardening-savewriter <kind> <file> once <A|B>
//   hardening-savewriter <kind> <file> loop <A|B>
//
// In loop mode it writes "ready" on standard output once set up, then saves the version
// named first, then the other, and so on without pause. Kinds: favorites, internet,
// settings, ini, script, gameini.

#include <cstdio>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

#include "orv/engine/addresslist.h"
#include "orv/tools/inieditsession.h"
#include "platform/profile.h"
#include "platform/registrystore.h"
#include "quillet/core/scriptfile.h"
#include "tests/hardening/saveversions.h"

namespace {

using hardening::Version;

bool saveOnce(const QString &kind, const QString &file, Version version, platform::RegistryStore *store)
{
    if (kind == QLatin1String("favorites") || kind == QLatin1String("internet")) {
        const int count = kind == QLatin1String("favorites") ? 300 : 3000;
        return orv::engine::AddressList(hardening::addressLines(count, version)).save(file).hasValue();
    }
    if (kind == QLatin1String("settings"))
        return store->setString(u"SOFTWARE\\Orvane\\Main options", u"History", hardening::settingsText(version))
            .hasValue();
    if (kind == QLatin1String("ini")) {
        orv::tools::IniEditSession session(file + QStringLiteral(".work"));
        if (!session.open(file))
            return false;
        if (!session.writeValue("Engine.GameInfo", "ServerName", hardening::iniValue(version)))
            return false;
        return session.save().hasValue();
    }
    if (kind == QLatin1String("script"))
        return quillet::core::writeScriptFile(file, hardening::scriptText(version)).hasValue();
    if (kind == QLatin1String("gameini"))
        return platform::profile::writeString(file, u"Engine.GameReplicationInfo", u"ServerName",
                                              QString::fromLatin1(hardening::iniValue(version)))
            .hasValue();
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString kind = args.at(1);
    const QString file = args.at(2);
    std::unique_ptr<platform::RegistryStore> store;
    if (kind == QLatin1String("settings"))
        store = std::make_unique<platform::RegistryStore>(platform::RegistryRoot::CurrentUser, file);

    const bool startWithB = args.value(4) == QLatin1String("B");
    if (args.at(3) == QLatin1String("once"))
        return saveOnce(kind, file, startWithB ? Version::B : Version::A, store.get()) ? 0 : 1;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (bool b = startWithB;; b = !b) {
        if (!saveOnce(kind, file, b ? Version::B : Version::A, store.get()))
            return 1;
    }
}
