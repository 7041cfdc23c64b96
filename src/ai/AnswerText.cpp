// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ai/AnswerText.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace ai {
namespace {

// Each try scans to the end of the text at worst; a few tries are plenty
// for an answer of prose and one object, and keep a hostile one cheap.
constexpr int MaxObjectStarts = 16;

// The end (one past the closing brace) of the balanced object starting at
// `start`, or -1 when it never closes.
qsizetype balancedEnd(const QString &text, qsizetype start)
{
    int depth = 0;
    bool inString = false, escaped = false;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == u'\\')
                escaped = true;
            else if (c == u'"')
                inString = false;
        } else if (c == u'"') {
            inString = true;
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}' && --depth == 0) {
            return i + 1;
        }
    }
    return -1;
}

} // namespace

QString withoutReasoning(const QString &text)
{
    // One pass over the tags, so no input costs more than a scan.
    static const QRegularExpression tag(QStringLiteral("<(/?)(think|thinking|reasoning)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString kept;
    qsizetype at = 0;
    qsizetype openAt = -1;
    QString openName;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString name = match.captured(2).toLower();
        if (match.captured(1).isEmpty()) {
            if (openAt < 0) {
                openAt = match.capturedStart();
                openName = name;
            }
        } else if (openAt >= 0 && name == openName) {
            kept += text.mid(at, openAt - at);
            at = match.capturedEnd();
            openAt = -1;
        } else if (openAt < 0) {
            kept.clear(); // closes a block whose opening tag the server left out
            at = match.capturedEnd();
        }
    }
    return kept + text.mid(at);
}

std::optional<QJsonObject> firstJsonObject(const QString &text)
{
    static const QRegularExpression fence(QStringLiteral("^[ \\t]*```[^\\n]*$"),
                                          QRegularExpression::MultilineOption);
    QString plain = text;
    plain.remove(fence);
    qsizetype start = plain.indexOf(u'{');
    for (int tries = 0; start >= 0 && tries < MaxObjectStarts; ++tries) {
        // An unclosed brace of the prose may come before a complete object.
        if (const qsizetype end = balancedEnd(plain, start); end >= 0) {
            const QJsonDocument document = QJsonDocument::fromJson(plain.mid(start, end - start).toUtf8());
            if (document.isObject())
                return document.object();
        }
        start = plain.indexOf(u'{', start + 1);
    }
    return std::nullopt;
}

} // namespace ai
