// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/EmailText.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTextBoundaryFinder>

namespace {

bool isLineSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedLine(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isLineSpace(line.at(begin)))
        ++begin;
    while (end > begin && isLineSpace(line.at(end - 1)))
        --end;
    return line.mid(begin, end - begin);
}

// Lines split at LF; a CR right before the LF belongs to the line break, so
// CR LF mail (the usual form of plain-text parts) is split like LF mail.
QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

QStringList keptLines(const QStringList &lines)
{
    static const QRegularExpression replyHeader(QStringLiteral("^On .+ wrote:$"));
    QStringList kept;
    for (const QString &line : lines) {
        const QString t = trimmedLine(line);
        if (replyHeader.match(t).hasMatch())
            break;
        if (t == u"--" || t == u"-- ")
            break;
        if (t.startsWith(u'>'))
            continue;
        if (t.startsWith(u"From:") && kept.size() > 3)
            break;
        kept.append(line);
    }
    return kept;
}

// The first maxCharacters grapheme clusters plus "…", or the text unchanged.
QString capped(const QString &text, int maxCharacters)
{
    if (text.size() <= maxCharacters)
        return text; // never more clusters than code units
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int clusters = 0;
    qsizetype cut = 0;
    while (finder.toNextBoundary() != -1) {
        ++clusters;
        if (clusters == maxCharacters)
            cut = finder.position();
        if (clusters > maxCharacters)
            return text.left(cut) + QChar(0x2026);
    }
    return text;
}

} // namespace

QString EmailText::sanitized(const QString &text, int maxCharacters)
{
    static const QRegularExpression blankRuns(QStringLiteral("\n{3,}"));
    QString joined = keptLines(splitLines(text)).join(u'\n');
    joined.replace(blankRuns, QStringLiteral("\n\n"));
    return capped(joined.trimmed(), qMax(0, maxCharacters));
}
