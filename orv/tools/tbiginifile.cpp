// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/tbiginifile.h"

#include <utility>

#include <QFileInfo>
#include <QHash>

#include "orv/tools/inilines.h"
#include "platform/textfile.h"

namespace orv::tools {

using namespace inilines;

TBigIniFile::TBigIniFile(QString fileName)
    : m_fileName(std::move(fileName))
{}

platform::Status TBigIniFile::load()
{
    if (!QFileInfo::exists(m_fileName)) {
        loadFromBytes({});
        return {};
    }
    auto bytes = platform::textfile::readAll(m_fileName);
    if (!bytes) {
        loadFromBytes({});
        return bytes.error();
    }
    loadFromBytes(*bytes);
    return {};
}

void TBigIniFile::loadFromBytes(QByteArrayView bytes)
{
    m_sections.clear();
    m_changed = false;
    m_cursor = -1;

    // Section names seen so far, folded, so that a repeated section is found without
    // scanning the whole list for every section line.
    QHash<QByteArray, int> seen;
    IniSection *current = nullptr;
    forEachLine(bytes, [&](QByteArrayView line, QByteArrayView) {
        if (isBlank(line))
            return;
        if (isSectionLine(line)) {
            const QByteArrayView name = line.sliced(1, line.size() - 2);
            const QByteArray folded = toLowerAscii(name);
            if (seen.contains(folded)) {
                current = nullptr; // a repeated section: its lines are dropped
                return;
            }
            seen.insert(folded, int(m_sections.size()));
            m_sections.append(IniSection{name.toByteArray(), {}});
            current = &m_sections.last();
            return;
        }
        if (current)
            current->lines.append(line.toByteArray());
    });
}

QByteArrayList TBigIniFile::sectionNames() const
{
    QByteArrayList names;
    names.reserve(m_sections.size());
    for (const IniSection &section : m_sections)
        names.append(section.name);
    return names;
}

int TBigIniFile::findSectionIndex(QByteArrayView name, Qt::CaseSensitivity cs) const
{
    const int n = int(m_sections.size());
    if (n == 0)
        return -1;
    // Candidates in the order: the one after the last hit (an in-order walk), the last hit
    // itself (repeated writes to the shown section), then the rest, wrapping around.
    const int base = m_cursor < 0 ? n - 1 : m_cursor;
    for (int k = 0; k < n; ++k) {
        const int offset = k == 0 ? 1 : (k == 1 ? 0 : k);
        const int index = (base + offset) % n;
        ++m_lookupComparisons;
        const QByteArray &candidate = m_sections[index].name;
        const bool match =
            cs == Qt::CaseSensitive ? QByteArrayView(candidate) == name : equalsIgnoreCase(candidate, name);
        if (match) {
            m_cursor = index;
            return index;
        }
    }
    return -1;
}

const IniSection *TBigIniFile::findSection(QByteArrayView name, Qt::CaseSensitivity cs) const
{
    const int index = findSectionIndex(name, cs);
    return index < 0 ? nullptr : &m_sections[index];
}

bool TBigIniFile::write(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const auto hasBreak = [](QByteArrayView text) { return text.indexOf('\r') >= 0 || text.indexOf('\n') >= 0; };
    if (key.isEmpty() || key.indexOf('=') >= 0 || hasBreak(key) || hasBreak(value) || hasBreak(section))
        return false;

    int index = findSectionIndex(section, Qt::CaseSensitive);
    if (index < 0) {
        m_sections.append(IniSection{section.toByteArray(), {}});
        index = int(m_sections.size()) - 1;
        m_cursor = index;
    }
    QList<QByteArray> &lines = m_sections[index].lines;

    QByteArray text;
    text.reserve(key.size() + 1 + value.size());
    text.append(key).append('=').append(value);

    for (QByteArray &line : lines) {
        if (hasKey(line) && equalsIgnoreCase(lineKey(line), key)) {
            if (line != text) {
                line = std::move(text);
                m_changed = true;
            }
            return true;
        }
    }
    lines.append(std::move(text));
    m_changed = true;
    return true;
}

QByteArray TBigIniFile::toBytes() const
{
    qsizetype total = 0;
    for (const IniSection &section : m_sections) {
        if (section.lines.isEmpty())
            continue;
        total += section.name.size() + 6;
        for (const QByteArray &line : section.lines)
            total += line.size() + 2;
    }
    QByteArray out;
    out.reserve(total);
    for (const IniSection &section : m_sections) {
        if (section.lines.isEmpty())
            continue;
        out.append('[').append(section.name).append("]\r\n");
        for (const QByteArray &line : section.lines)
            out.append(line).append("\r\n");
        out.append("\r\n");
    }
    return out;
}

QByteArray TBigIniFile::mergedInto(QByteArrayView loadedText) const
{
    // New lines end the way the file's lines end.
    QByteArrayView newline = "\r\n";
    forEachLine(loadedText, [&, found = false](QByteArrayView, QByteArrayView terminator) mutable {
        if (!found && !terminator.isEmpty()) {
            newline = terminator;
            found = true;
        }
    });

    QByteArray out;
    out.reserve(loadedText.size() + loadedText.size() / 8 + 64);
    QHash<QByteArray, int> seen;
    const IniSection *current = nullptr; // the kept section whose lines are being walked
    qsizetype next = 0;                  // its next line
    QByteArray blanks;                   // blank lines held back until the next other line
    const auto appendLine = [&](QByteArrayView line) {
        // A last line without its line end gets one before anything follows it.
        if (!out.isEmpty() && out.back() != '\n' && out.back() != '\r')
            out.append(newline);
        out.append(line).append(newline);
    };
    // Lines added to the section go after its last line, before the blank lines that
    // separate it from the next section.
    const auto finishSection = [&] {
        if (current) {
            for (qsizetype i = next; i < current->lines.size(); ++i)
                appendLine(current->lines[i]);
        }
        out.append(blanks);
        blanks.clear();
    };
    forEachLine(loadedText, [&](QByteArrayView line, QByteArrayView terminator) {
        if (isBlank(line)) {
            blanks.append(line).append(terminator);
            return;
        }
        if (isSectionLine(line)) {
            finishSection();
            const QByteArray folded = toLowerAscii(line.sliced(1, line.size() - 2));
            current = nullptr;
            if (!seen.contains(folded)) {
                const int index = int(seen.size());
                seen.insert(folded, index);
                current = index < m_sections.size() ? &m_sections[index] : nullptr;
                next = 0;
            }
        } else {
            out.append(blanks);
            blanks.clear();
            if (current && next < current->lines.size()) {
                const QByteArray &kept = current->lines[next++];
                if (kept != line) {
                    out.append(kept).append(terminator);
                    return;
                }
            }
        }
        out.append(line).append(terminator);
    });
    finishSection();
    // Sections the file did not have yet.
    for (qsizetype index = seen.size(); index < m_sections.size(); ++index) {
        const IniSection &section = m_sections[index];
        if (section.lines.isEmpty())
            continue;
        appendLine('[' + section.name + ']');
        for (const QByteArray &line : section.lines)
            appendLine(line);
    }
    return out;
}

platform::Status TBigIniFile::update()
{
    if (!m_changed)
        return {};
    if (auto status = platform::textfile::writeAtomically(m_fileName, toBytes()); !status)
        return status;
    m_changed = false;
    return {};
}

} // namespace orv::tools
