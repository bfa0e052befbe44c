// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/inieditsession.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include "orv/tools/inikeynumbers.h"
#include "platform/paths.h"
#include "platform/textfile.h"

Q_LOGGING_CATEGORY(lcTools, "orv.tools")

namespace orv::tools {

IniEditSession::IniEditSession(QString tempPath, Writer writer)
    : m_tempPath(std::move(tempPath))
    , m_writer(writer ? std::move(writer) : Writer(&platform::textfile::writeAtomically))
{}

// The working copy is not removed here: the owner decides (after asking the user) whether
// edits are saved or dropped before it lets the session go.
IniEditSession::~IniEditSession() = default;

QString IniEditSession::defaultTempPath()
{
    const QString temp = platform::paths::tempFolder();
    const QString folder = QDir(temp).exists() ? temp : platform::paths::programFolder();
    return QDir(folder).filePath(QStringLiteral("OrvaneSvc.TempIni"));
}

platform::Status IniEditSession::open(const QString &iniPath)
{
    if (m_store)
        return platform::Error{1, QStringLiteral("A file is already open")};
    auto bytes = platform::textfile::readAll(iniPath);
    if (!bytes)
        return bytes.error();
    QByteArray numbered = numberDuplicateKeys(*bytes);
    if (auto written = platform::textfile::writeAtomically(m_tempPath, numbered); !written)
        return written;
    auto store = std::make_unique<TBiggerIniFile>(m_tempPath);
    if (auto loaded = store->load(); !loaded) {
        QFile::remove(m_tempPath);
        return loaded;
    }
    m_store = std::move(store);
    m_numbered = std::move(numbered);
    m_filePath = iniPath;
    m_modified = false;
    return {};
}

bool IniEditSession::writeValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (!m_store || !m_store->write(section, key, value))
        return false;
    m_modified = true;
    return true;
}

bool IniEditSession::renameKey(QByteArrayView section, int lineIndex, QByteArrayView newKey)
{
    if (!m_store || !m_store->renameKey(section, lineIndex, newKey))
        return false;
    m_modified = true;
    return true;
}

platform::Status IniEditSession::save()
{
    return saveTo(m_filePath);
}

platform::Status IniEditSession::saveAs(const QString &path)
{
    return saveTo(path);
}

platform::Status IniEditSession::saveTo(const QString &path)
{
    if (!m_store)
        return platform::Error{1, QStringLiteral("No file is open")};
    // The edited lines go in place of the lines they came from; every other line of the
    // file (comments, blank lines, repeated sections, line ends) is written back as it was.
    const QByteArray numbered = m_store->isChanged() ? m_store->mergedInto(m_numbered) : m_numbered;
    if (auto written = m_writer(path, stripKeyNumbers(numbered)); !written) {
        qCWarning(lcTools) << "saving" << path << "failed:" << written.error().message;
        // The working copy gets the edits, so they survive even if the program ends now.
        if (auto updated = platform::textfile::writeAtomically(m_tempPath, numbered); !updated)
            qCWarning(lcTools) << "could not update the working copy:" << updated.error().message;
        else
            m_numbered = numbered;
        return written;
    }
    m_store.reset();
    m_numbered.clear();
    m_filePath.clear();
    m_modified = false;
    if (!QFile::remove(m_tempPath))
        qCWarning(lcTools) << "could not delete the working copy" << m_tempPath;
    return {};
}

void IniEditSession::discard()
{
    m_store.reset();
    m_numbered.clear();
    m_filePath.clear();
    m_modified = false;
    if (QFile::exists(m_tempPath))
        QFile::remove(m_tempPath);
}

} // namespace orv::tools
