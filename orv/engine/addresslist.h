// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unordered_set>

#include <QString>
#include <QStringList>

#include "orv/engine/serveraddress.h"
#include "platform/result.h"

namespace orv::engine {

// The three words of an address-list line as written: address, game port and query port.
// A line is kept as text, since a list may hold lines that name no server address (a host
// name, a missing port); toServer() says which server, if any, the words name.
struct AddressWords
{
    QString address;
    QString gamePort;
    QString queryPort;

    static AddressWords of(const ServerAddress &server)
    {
        return {server.addressText(), server.gamePortText(), server.queryPortText()};
    }
    std::optional<ServerAddress> toServer() const { return ServerAddress::fromText(address, gamePort, queryPort); }
    // "address gameport queryport", the normalised line form.
    QString toLine() const;
    friend bool operator==(const AddressWords &, const AddressWords &) = default;
};

// Ordered text lines, one server per line: address, game port and query port separated
// by blanks. Several blanks count as one, words after the third are ignored, and a line
// whose first word is empty (empty, or starting with a blank) is no server.
class AddressList
{
public:
    AddressList() = default;
    explicit AddressList(QStringList lines)
        : m_lines(std::move(lines))
    {}

    const QStringList &lines() const { return m_lines; }
    QStringList &lines() { return m_lines; }
    void setLines(QStringList lines) { m_lines = std::move(lines); }
    qsizetype size() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    void clear() { m_lines.clear(); }
    void append(const QString &line) { m_lines.append(line); }

    // The words of one line; see parseLine.
    AddressWords words(qsizetype index) const { return parseLine(m_lines.at(index)); }
    static AddressWords parseLine(const QString &line);
    static bool isServerLine(const QString &line);

    // Sorts the lines by text, ignoring letter case; equal lines keep their order.
    void sortIgnoringCase();

    // True when some server line has exactly these three words (letter case counts).
    bool FindAddress(const QString &address, const QString &gamePort, const QString &queryPort) const;
    bool FindAddress(const AddressWords &words) const
    {
        return FindAddress(words.address, words.gamePort, words.queryPort);
    }
    // True when some server line names this server, however its numbers are written.
    bool contains(const ServerAddress &server) const;
    // The servers the lines name; lines that name none are left out.
    std::unordered_set<ServerAddress> servers() const;

    // 8-bit text file, CR LF line ends, no header.
    static platform::Result<AddressList> load(const QString &path);
    platform::Status save(const QString &path) const;

private:
    QStringList m_lines;
};

} // namespace orv::engine
