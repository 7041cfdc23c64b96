// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rest/URITemplate.h"

#include <QJsonArray>
#include <QUrl>

namespace rest {

namespace {

struct Operator
{
    QChar symbol; // null for the plain expression
    QString prefix;
    QString joiner;
    bool keepReserved;
    bool named; // "?" and ";" write name=value
};

std::optional<Operator> operatorFor(QChar c)
{
    switch (c.unicode()) {
    case '+': return Operator{c, {}, QStringLiteral(","), true, false};
    case '.': return Operator{c, QStringLiteral("."), QStringLiteral("."), false, false};
    case '/': return Operator{c, QStringLiteral("/"), QStringLiteral("/"), false, false};
    case ';': return Operator{c, QStringLiteral(";"), QStringLiteral(";"), false, true};
    case '?': return Operator{c, QStringLiteral("?"), QStringLiteral("&"), false, true};
    default: return std::nullopt;
    }
}

bool isOperatorSymbol(QChar c)
{
    return QStringView(u"+./;?|!@").contains(c);
}

struct Variable
{
    QString name;
    QChar explode; // '*', '+' or null
    bool partial = false;
    std::optional<QString> defaultValue;
};

struct Failure
{
    QString reason;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'-' || c == u'%' || c == u'$' || c == u'@';
}

std::optional<Variable> parseVariable(QStringView text)
{
    Variable v;
    const qsizetype eq = text.indexOf(u'=');
    if (eq >= 0) {
        v.defaultValue = QUrl::fromPercentEncoding(text.mid(eq + 1).toUtf8());
        text = text.left(eq);
    }
    const qsizetype colon = text.indexOf(u':') >= 0 ? text.indexOf(u':') : text.indexOf(u'^');
    if (colon >= 0) {
        v.partial = true;
        text = text.left(colon);
    }
    if (text.endsWith(u'*') || text.endsWith(u'+')) {
        v.explode = text.back();
        text.chop(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text)
        if (!isNameChar(c))
            return std::nullopt;
    v.name = text.toString();
    return v;
}

QString scalarText(const QJsonValue &value, bool *ok)
{
    *ok = true;
    if (value.isString())
        return value.toString();
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble()) {
        const double d = value.toDouble();
        const qint64 i = value.toInteger();
        return double(i) == d ? QString::number(i) : QString::number(d, 'g', 17);
    }
    *ok = false;
    return {};
}

QString typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Array: return QStringLiteral("array");
    case QJsonValue::Object: return QStringLiteral("object");
    case QJsonValue::Null: return QStringLiteral("null");
    default: return QStringLiteral("value");
    }
}

// One variable's text, or nothing when it has no value.
std::optional<QString> expandVariable(const Operator &op, const Variable &var, QJsonValue value)
{
    const bool empty = value.isUndefined() || value.isNull() || (value.isArray() && value.toArray().isEmpty())
                       || (value.isObject() && value.toObject().isEmpty());
    if (empty) {
        if (!var.defaultValue)
            return std::nullopt;
        value = *var.defaultValue;
    }
    if (var.partial)
        throw Failure{QStringLiteral("Unsupported partial on expansion %1").arg(var.name)};
    auto esc = [&](const QString &s) { return URITemplate::escape(s, op.keepReserved); };
    auto elementText = [&](const QJsonValue &element) {
        bool ok = false;
        const QString text = scalarText(element, &ok);
        if (!ok)
            throw Failure{QStringLiteral("Variable returned unsupported type (%1)").arg(typeName(element))};
        return esc(text);
    };

    if (value.isArray() || value.isObject()) {
        QStringList parts;
        if (value.isArray()) {
            for (const QJsonValue &element : value.toArray())
                parts.append(elementText(element));
        } else {
            const QJsonObject map = value.toObject();
            for (auto it = map.begin(); it != map.end(); ++it)
                parts.append(var.explode.isNull() ? esc(it.key()) + u',' + elementText(it.value())
                                                  : esc(it.key()) + u'=' + elementText(it.value()));
        }
        if (var.explode == u'+') {
            const QString lead = var.name + (op.named ? u'=' : u'.');
            for (QString &part : parts)
                part.prepend(lead);
            return parts.join(op.joiner);
        }
        if (var.explode == u'*')
            return parts.join(op.joiner);
        return op.named ? var.name + u'=' + parts.join(u',') : parts.join(u',');
    }
    const QString text = elementText(value);
    if (op.named)
        return text.isEmpty() ? var.name : var.name + u'=' + text;
    return text;
}

// The text of one "{...}" expression.
QString expandExpression(QStringView expression, const QJsonObject &values, bool closed)
{
    const QString unparsed = u'{' + expression.toString() + (closed ? QStringLiteral("}") : QString());
    Operator op{QChar(), {}, QStringLiteral(","), false, false};
    if (!expression.isEmpty() && isOperatorSymbol(expression.front())) {
        const auto known = operatorFor(expression.front());
        if (!known)
            throw Failure{QStringLiteral("Unknown expression operator '%1'").arg(expression.front())};
        op = *known;
        expression = expression.mid(1);
    }
    if (!closed)
        return unparsed;
    QList<Variable> variables;
    for (QStringView part : expression.split(u',')) {
        const auto var = parseVariable(part);
        if (!var)
            return unparsed;
        variables.append(*var);
    }
    QStringList pieces;
    for (const Variable &var : variables)
        if (const auto text = expandVariable(op, var, values.value(var.name)))
            pieces.append(*text);
    return pieces.isEmpty() ? QString() : op.prefix + pieces.join(op.joiner);
}

} // namespace

QString URITemplate::escape(const QString &text, bool keepReserved)
{
    static const QByteArray reserved = ":/?#[]@!$&'()*+,;=";
    const QByteArray utf8 = text.toUtf8();
    QString out;
    out.reserve(utf8.size());
    for (const char ch : utf8) {
        const uchar c = uchar(ch);
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                                || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved || (keepReserved && reserved.contains(ch)))
            out.append(QChar(c));
        else
            out.append(QString::asprintf("%%%02X", c));
    }
    return out;
}

std::optional<QString> URITemplate::queryText(const QJsonObject &parameters, QString *failure)
{
    QStringList names = parameters.keys();
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const Operator op = *operatorFor(u'?');
    QStringList pieces;
    try {
        for (const QString &name : names) {
            const QJsonValue value = parameters.value(name);
            Variable var;
            var.name = escape(name, false);
            if (value.isArray() || value.isObject())
                var.explode = u'+';
            if (const auto text = expandVariable(op, var, value))
                pieces.append(*text);
        }
    } catch (const Failure &f) {
        if (failure)
            *failure = f.reason;
        return std::nullopt;
    }
    return pieces.join(op.joiner);
}

std::optional<QString> URITemplate::expand(const QString &uriTemplate, const QJsonObject &values,
                                           QString *failure)
{
    QString result;
    qsizetype pos = 0;
    try {
        while (pos < uriTemplate.size()) {
            const qsizetype open = uriTemplate.indexOf(u'{', pos);
            if (open < 0) {
                result += QStringView(uriTemplate).mid(pos);
                break;
            }
            result += QStringView(uriTemplate).mid(pos, open - pos);
            const qsizetype close = uriTemplate.indexOf(u'}', open + 1);
            const bool closed = close >= 0;
            const qsizetype end = closed ? close : uriTemplate.size();
            result += expandExpression(QStringView(uriTemplate).mid(open + 1, end - open - 1), values,
                                       closed);
            pos = end + 1;
        }
    } catch (const Failure &f) {
        if (failure)
            *failure = f.reason;
        return std::nullopt;
    }
    return result;
}

} // namespace rest
