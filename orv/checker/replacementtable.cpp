// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/replacementtable.h"

#include "platform/registrystore.h"

namespace orv::checker {

namespace {

const QString kUseInRepeatValue = QStringLiteral("UseinRepeat_Checked");

} // namespace

void ReplacementTable::setRow(int index, const QString &from, const QString &to)
{
    if (index < 0 || index >= kRows)
        return;
    m_rows[static_cast<size_t>(index)] = Row{from, to};
}

void ReplacementTable::clear()
{
    m_rows.fill(Row{});
}

QString ReplacementTable::replaceValue(const QString &value) const
{
    QString result = value;
    for (const Row &row : m_rows) {
        if (row.from.isEmpty())
            break;
        if (row.from == value)
            result = row.to;
    }
    return result;
}

engine::ValueReplacer ReplacementTable::replacer() const
{
    return [this](const QString &value) { return replaceValue(value); };
}

QString ReplacementTable::keyPath()
{
    return QStringLiteral("SOFTWARE\\Orvane\\String Replacer");
}

QString ReplacementTable::nameValue(int row)
{
    return QStringLiteral("Str[%1] name").arg(row);
}

QString ReplacementTable::valueValue(int row)
{
    return QStringLiteral("Str[%1] value").arg(row);
}

void ReplacementTable::load(const platform::RegistryStore &store)
{
    clear();
    const QString key = keyPath();
    for (int row = 0; row < kRows; ++row) {
        const auto name = store.readString(key, nameValue(row));
        if (!name)
            continue;
        const QString from = name.value().value_or(QString());
        if (from.isEmpty())
            break;
        m_rows[static_cast<size_t>(row)].from = from;
        const auto value = store.readString(key, valueValue(row));
        if (!value)
            continue;
        const QString to = value.value().value_or(QString());
        m_rows[static_cast<size_t>(row)].to = to;
        if (to.isEmpty())
            break;
    }
    // Booleans are stored as "True"/"False"; any other text leaves the box as it was.
    const auto use = store.readString(key, kUseInRepeatValue);
    if (use && use.value()) {
        const QString text = use.value()->trimmed();
        if (text.compare(QLatin1StringView("True"), Qt::CaseInsensitive) == 0)
            m_useInChecker = true;
        else if (text.compare(QLatin1StringView("False"), Qt::CaseInsensitive) == 0)
            m_useInChecker = false;
    }
}

platform::Status ReplacementTable::save(platform::RegistryStore &store) const
{
    platform::RegistryStore::Batch batch(store);
    const QString key = keyPath();
    for (int row = 0; row < kRows; ++row) {
        const Row &r = m_rows[static_cast<size_t>(row)];
        if (auto status = store.setString(key, nameValue(row), r.from); !status)
            return status;
        if (auto status = store.setString(key, valueValue(row), r.to); !status)
            return status;
    }
    if (auto status =
            store.setString(key, kUseInRepeatValue, m_useInChecker ? QStringLiteral("True") : QStringLiteral("False"));
        !status)
        return status;
    return batch.commit();
}

engine::ValueReplacer replacerFor(const ReplacementTable &table, bool checkerRunning)
{
    if (!shouldReplaceValues(checkerRunning, table.useInChecker()))
        return {};
    return table.replacer();
}

} // namespace orv::checker
