// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/ModelLine.h"

#include <QRegularExpression>

namespace ai {
namespace {

bool hasLink(const QString &line)
{
    static const QRegularExpression link(
        QStringLiteral(R"((\b[a-z][a-z0-9+.-]*://)|(\bwww\.)|(\b(mailto|javascript|data|file|tel):))"
                       R"(|(\b[a-z0-9-]+(\.[a-z0-9-]+)*\.[a-z]{2,}/))"),
        QRegularExpression::CaseInsensitiveOption);
    return link.match(line).hasMatch();
}

bool hasMarkup(const QString &line)
{
    // HTML tags and entities, Markdown links, images, emphasis and code.
    static const QRegularExpression markup(
        QStringLiteral(R"(<\s*/?\s*[a-z!?][^>]*>|&(#\d+|#x[0-9a-f]+|[a-z]+);|!?\[[^\]]*\]\(|\*\*|__|`)"),
        QRegularExpression::CaseInsensitiveOption);
    return markup.match(line).hasMatch();
}

} // namespace

QString plainLine(const QString &line)
{
    return line.simplified();
}

std::optional<LineFault> lineFault(const QString &line, int maxCharacters)
{
    const QString plain = plainLine(line);
    if (plain.toUcs4().size() > maxCharacters)
        return LineFault::TooLong;
    if (hasLink(plain))
        return LineFault::Link;
    if (hasMarkup(plain))
        return LineFault::Markup;
    return std::nullopt;
}

} // namespace ai
