// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ruleevaluator.h"

#include <algorithm>
#include <limits>

#include "orv/engine/textutil.h"

namespace orv::checker {

namespace {

using engine::ServerInfo;

// Only A to Z are folded, as the original 8-bit comparison did; accented letters keep
// their case.
inline char16_t foldChar(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

QString foldText(const QString &text)
{
    // Most values are typed in lower case already: share the text instead of copying it.
    const auto upper = std::find_if(text.cbegin(), text.cend(), [](QChar c) { return foldChar(c.unicode()) != c; });
    if (upper == text.cend())
        return text;
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = foldChar(text.at(i).unicode());
    return folded;
}

// Folded server text against an already folded value, code unit by code unit as unsigned
// values; a prefix orders first. Latin-1 texts thus compare in byte order.
int compareFolded(QStringView server, QStringView foldedValue)
{
    const qsizetype n = std::min(server.size(), foldedValue.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t a = foldChar(server.at(i).unicode());
        const char16_t b = foldedValue.at(i).unicode();
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (server.size() == foldedValue.size())
        return 0;
    return server.size() < foldedValue.size() ? -1 : 1;
}

bool equalFolded(QStringView server, QStringView foldedValue)
{
    return server.size() == foldedValue.size() && compareFolded(server, foldedValue) == 0;
}

bool containsFolded(QStringView server, QStringView foldedValue)
{
    const qsizetype m = foldedValue.size();
    if (m == 0 || m > server.size())
        return false;
    const char16_t first = foldedValue.at(0).unicode();
    for (qsizetype start = 0; start + m <= server.size(); ++start) {
        if (foldChar(server.at(start).unicode()) != first)
            continue;
        qsizetype k = 1;
        while (k < m && foldChar(server.at(start + k).unicode()) == foldedValue.at(k).unicode())
            ++k;
        if (k == m)
            return true;
    }
    return false;
}

std::optional<qint32> readNumber(QStringView text)
{
    return readRuleNumber(text);
}

bool textRule(QStringView server, RuleOp rule, QStringView foldedValue)
{
    if (server.isEmpty())
        return false;
    switch (rule) {
    case RuleOp::Equal:
        return equalFolded(server, foldedValue);
    case RuleOp::NotEqual:
        return !equalFolded(server, foldedValue);
    case RuleOp::Less:
        return compareFolded(server, foldedValue) < 0;
    case RuleOp::More:
        return compareFolded(server, foldedValue) > 0;
    case RuleOp::LessOrEqual:
        return compareFolded(server, foldedValue) <= 0;
    case RuleOp::MoreOrEqual:
        return compareFolded(server, foldedValue) >= 0;
    case RuleOp::Contain:
        return containsFolded(server, foldedValue);
    }
    return false;
}

bool numberRule(qint32 server, RuleOp rule, qint32 value)
{
    switch (rule) {
    case RuleOp::Equal:
        return server == value;
    case RuleOp::NotEqual:
        return server != value;
    case RuleOp::Less:
        return server < value;
    case RuleOp::More:
        return server > value;
    case RuleOp::LessOrEqual:
    case RuleOp::Contain: // "?" on numbers is "less or equal", not containment
        return server <= value;
    case RuleOp::MoreOrEqual:
        return server >= value;
    }
    return false;
}

bool applyOperator(CompiledScript::LineKind op, bool left, bool right)
{
    using K = CompiledScript::LineKind;
    switch (op) {
    case K::And:
        return left && right;
    case K::Or:
        return left || right;
    case K::AndNot:
        return left && !right;
    case K::OrNot:
        return left || !right;
    default:
        return false;
    }
}

bool isOperator(CompiledScript::LineKind kind)
{
    using K = CompiledScript::LineKind;
    return kind == K::And || kind == K::Or || kind == K::AndNot || kind == K::OrNot;
}

CompiledScript::LineKind kindOf(const QString &cmd)
{
    using K = CompiledScript::LineKind;
    if (cmd == QLatin1StringView("-"))
        return K::Expression;
    if (cmd == QLatin1StringView("{"))
        return K::Begin;
    if (cmd == QLatin1StringView("}"))
        return K::End;
    if (cmd == QLatin1StringView("and"))
        return K::And;
    if (cmd == QLatin1StringView("or"))
        return K::Or;
    if (cmd == QLatin1StringView("and not"))
        return K::AndNot;
    if (cmd == QLatin1StringView("or not"))
        return K::OrNot;
    return K::Other;
}

// One item of the reduced list.
enum class Item : quint8 { False, True, And, Or, AndNot, OrNot, Other };

Item itemOf(CompiledScript::LineKind kind)
{
    using K = CompiledScript::LineKind;
    switch (kind) {
    case K::And:
        return Item::And;
    case K::Or:
        return Item::Or;
    case K::AndNot:
        return Item::AndNot;
    case K::OrNot:
        return Item::OrNot;
    default:
        return Item::Other;
    }
}

bool isOperatorItem(Item item)
{
    return item == Item::And || item == Item::Or || item == Item::AndNot || item == Item::OrNot;
}

CompiledScript::LineKind operatorKind(Item item)
{
    using K = CompiledScript::LineKind;
    switch (item) {
    case Item::And:
        return K::And;
    case Item::Or:
        return K::Or;
    case Item::AndNot:
        return K::AndNot;
    default:
        return K::OrNot;
    }
}

} // namespace

QString timeOfDayText(const QTime &time, const QLocale &locale)
{
    // Drop the time-zone token ("t") outside quoted literals; a time of day alone has
    // no zone, and the desktop's long time format shows none.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString cleaned;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        cleaned.append(c);
    }
    return locale.toString(time, cleaned.trimmed());
}

CompiledScript::CompiledScript(const QList<CheckerLine> &rows)
{
    m_lines.reserve(static_cast<size_t>(rows.size()));
    for (const CheckerLine &row : rows) {
        Line line;
        line.kind = kindOf(row.cmd);
        line.cmd = row.cmd;
        line.mark = row.mark;
        if (line.kind == LineKind::Expression) {
            line.arg = findArgument(row.arg);
            line.ruleKnown = parseRule(row.rule, line.rule);
            line.foldedValue = foldText(row.value);
            line.number = readNumber(line.foldedValue);
            if (line.arg && line.arg->source == ArgSource::TimeNow)
                m_usesTime = true;
        }
        m_lines.push_back(std::move(line));
    }
}

bool CompiledScript::test(const Line &line, const ServerInfo &info, const EvaluationContext &context,
                          const QString &timeNow) const
{
    if (!line.arg || !line.ruleKnown)
        return false;
    const CheckerArgument &arg = *line.arg;

    if (arg.kind == ArgKind::Player) {
        const auto count = readNumber(info.numplayers);
        if (!count || *count <= 0)
            return false;
        const int players = std::min<int>(*count, engine::kPlayerSlots);
        for (int p = 0; p < players; ++p) {
            const QString &text = arg.player ? info.players[static_cast<size_t>(p)].*(arg.player) : info.*(arg.field);
            // Player values, numbers included, compare as text.
            if (textRule(text, line.rule, line.foldedValue))
                return true;
        }
        return false;
    }

    if (arg.kind == ArgKind::Number) {
        if (!line.number)
            return false;
        qint32 server = 0;
        switch (arg.source) {
        case ArgSource::PassNumber:
            server = context.passNumber;
            break;
        case ArgSource::Ping:
            server = info.ping;
            break;
        default: {
            const auto number = readNumber(info.*(arg.field));
            if (!number)
                return false;
            server = *number;
        }
        }
        return numberRule(server, line.rule, *line.number);
    }

    QStringView server;
    switch (arg.source) {
    case ArgSource::Address:
        server = context.address;
        break;
    case ArgSource::TimeNow:
        server = timeNow;
        break;
    default:
        server = info.*(arg.field);
        break;
    }
    // Text and True/False settings share the folded text rules; for a setting only "="
    // is meaningful, the others compare its text all the same.
    return textRule(server, line.rule, line.foldedValue);
}

Evaluation CompiledScript::evaluate(const ServerInfo &info, const EvaluationContext &context) const
{
    const qsizetype n = static_cast<qsizetype>(m_lines.size());
    const QString timeNow = m_usesTime ? timeOfDayText(context.time, context.locale) : QString();

    static const QString kPlus = QStringLiteral("+");
    static const QString kMinus = QStringLiteral("-");
    static const QString kTrue = QStringLiteral("true");
    static const QString kFalse = QStringLiteral("false");

    Evaluation result;
    result.marks.reserve(n);
    // R(i): the truth value of each expression line; other lines read as false when an
    // operator in a malformed block takes them as a neighbour.
    std::vector<char> r(static_cast<size_t>(n), 0);
    for (qsizetype i = 0; i < n; ++i) {
        const Line &line = m_lines[static_cast<size_t>(i)];
        if (line.kind != LineKind::Expression) {
            result.marks.append(line.mark);
            continue;
        }
        const bool value = test(line, info, context, timeNow);
        r[static_cast<size_t>(i)] = value;
        result.marks.append(value ? kPlus : kMinus);
        result.expressionMarks.append(value ? QLatin1Char('+') : QLatin1Char('-'));
    }
    const auto rAt = [&](qsizetype k) { return k >= 0 && k < n && r[static_cast<size_t>(k)] != 0; };

    // Reduce: blocks to one value each, expressions to their value, everything else as is.
    std::vector<Item> items;
    std::vector<qsizetype> itemLine; // the line an Other item came from
    items.reserve(static_cast<size_t>(n));
    itemLine.reserve(static_cast<size_t>(n));
    qsizetype i = 0;
    while (i < n) {
        const Line &line = m_lines[static_cast<size_t>(i)];
        if (line.kind == LineKind::Begin) {
            // EvaluateBlock: every operator met while the value is still true applies to
            // the lines just above and below it; the first "}" ends the block. Without a
            // "}" the block ends with the script.
            // A block without any operator holds only when it has expressions and all of
            // them hold: the starting value alone never makes a block true.
            bool value = true;
            bool joined = false;
            bool anyExpression = false;
            bool allExpressions = true;
            qsizetype k = i + 1;
            while (k < n) {
                const Line &inner = m_lines[static_cast<size_t>(k)];
                if (inner.kind == LineKind::End) {
                    ++k;
                    break;
                }
                if (inner.kind == LineKind::Expression) {
                    anyExpression = true;
                    allExpressions = allExpressions && rAt(k);
                }
                if (isOperator(inner.kind)) {
                    joined = true;
                    if (value)
                        value = applyOperator(inner.kind, rAt(k - 1), rAt(k + 1));
                }
                ++k;
            }
            if (!joined)
                value = anyExpression && allExpressions;
            items.push_back(value ? Item::True : Item::False);
            itemLine.push_back(i);
            i = k;
        } else if (line.kind == LineKind::Expression) {
            items.push_back(rAt(i) ? Item::True : Item::False);
            itemLine.push_back(i);
            ++i;
        } else {
            items.push_back(itemOf(line.kind));
            itemLine.push_back(i);
            ++i;
        }
    }

    result.newPrg.reserve(static_cast<qsizetype>(items.size()));
    for (size_t k = 0; k < items.size(); ++k) {
        switch (items[k]) {
        case Item::True:
            result.newPrg.append(kTrue);
            break;
        case Item::False:
            result.newPrg.append(kFalse);
            break;
        default:
            result.newPrg.append(m_lines[static_cast<size_t>(itemLine[k])].cmd);
            break;
        }
    }

    // Fold left to right: the first operator always runs; afterwards only a true result
    // is combined further, so a false result stays false.
    bool value = true;
    bool left = true;
    const size_t count = items.size();
    bool joined = false;
    bool anyValue = false;
    bool allValues = true;
    for (const Item item : items) {
        joined = joined || isOperatorItem(item);
        if (item == Item::True || item == Item::False) {
            anyValue = true;
            allValues = allValues && item == Item::True;
        }
    }
    size_t pos = 0;
    while (pos < count) {
        const Item item = items[pos];
        if (item == Item::True || item == Item::False) {
            if (count == 1)
                value = item == Item::True;
            else
                left = item == Item::True;
        }
        const bool op = isOperatorItem(item);
        if (value && op) {
            const bool right = pos + 1 < count && items[pos + 1] == Item::True;
            value = applyOperator(operatorKind(item), left, right);
        }
        ++pos;
        if (op) {
            ++pos;
            left = value;
        }
    }
    // Without an operator the starting value would decide: a list of values alone holds
    // only when it has values and all of them hold. So an empty script, or expressions
    // that are all false with no "not" between them, is never right.
    if (!joined)
        value = anyValue && allValues;
    result.right = count > 0 && value;
    return result;
}

bool TestExpression(const QString &arg, const QString &rule, const QString &value, const ServerInfo &info,
                    const EvaluationContext &context)
{
    const QList<CheckerLine> rows{CheckerLine{QStringLiteral("-"), arg, rule, value, QString()}};
    const CompiledScript script(rows);
    return script.evaluate(info, context).right;
}

Evaluation EvaluateScript(const QList<CheckerLine> &rows, const ServerInfo &info, const EvaluationContext &context)
{
    return CompiledScript(rows).evaluate(info, context);
}

} // namespace orv::checker
