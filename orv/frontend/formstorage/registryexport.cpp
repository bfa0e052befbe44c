// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/formstorage/registryexport.h"

#include "platform/textfile.h"

namespace orv::frontend {

namespace {

constexpr int kBytesPerLine = 25;

QString quoted(QStringView text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

QString hexBytes(const QByteArray &bytes)
{
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += QStringLiteral("%1").arg(uint(quint8(bytes[i])), 2, 16, QLatin1Char('0')).toUpper();
        if (i + 1 < bytes.size()) {
            out += u',';
            if (i > 0 && i % kBytesPerLine == 0)
                out += QStringLiteral("\\\r\n");
        }
    }
    return out;
}

void writeKey(QString &out, const platform::RegistryStore &store, const QString &keyPath, const QString &rootName)
{
    out += QStringLiteral("\r\n[") + rootName + u'\\' + keyPath + QStringLiteral("]\r\n");
    for (const QString &name : store.valueNames(keyPath)) {
        const std::optional<platform::RegistryValue> v = store.value(keyPath, name);
        if (!v)
            continue;
        out += name.isEmpty() ? QStringLiteral("@") : quoted(name);
        out += u'=';
        switch (v->type) {
        case platform::RegistryValueType::String:
        case platform::RegistryValueType::ExpandString:
            out += quoted(v->text);
            break;
        case platform::RegistryValueType::DWord:
            out += QStringLiteral("dword:") + QStringLiteral("%1").arg(v->dword, 8, 16, QLatin1Char('0')).toUpper();
            break;
        case platform::RegistryValueType::Binary:
            out += QStringLiteral("hex:") + hexBytes(v->bytes);
            break;
        case platform::RegistryValueType::Other:
            out += QStringLiteral("\"\"");
            break;
        }
        out += QStringLiteral("\r\n");
    }
    for (const QString &sub : store.subKeyNames(keyPath))
        writeKey(out, store, keyPath + u'\\' + sub, rootName);
}

} // namespace

QStringList registryRootNames()
{
    return {QStringLiteral("HKEY_CLASSES_ROOT"),     QStringLiteral("HKEY_CURRENT_USER"),
            QStringLiteral("HKEY_LOCAL_MACHINE"),    QStringLiteral("HKEY_USERS"),
            QStringLiteral("HKEY_PERFORMANCE_DATA"), QStringLiteral("HKEY_CURRENT_CONFIG"),
            QStringLiteral("HKEY_DYN_DATA")};
}

QByteArray exportRegEdit4(const platform::RegistryStore &store, const QString &keyPath, const QString &rootName)
{
    QString out = QStringLiteral("REGEDIT4\r\n");
    writeKey(out, store, keyPath, rootName);
    return platform::textfile::toAnsi(out);
}

} // namespace orv::frontend
