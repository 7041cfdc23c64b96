// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// The model's side of the brief: what a careful model draws from the mail
// blocks of a prompt, and the ways careless or misled models go wrong.

#include "Routes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

struct MailBlock
{
    QString id, sender, body;
};

QList<MailBlock> mailBlocks(const QString &prompt)
{
    static const QRegularExpression block(
        QStringLiteral("<mail id=\"([^\"]*)\">\\nFrom: ([^\\n]*)\\n[^\\n]*\\n\\n(.*?)\\n</mail>"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<MailBlock> blocks;
    for (auto it = block.globalMatch(prompt); it.hasNext();) {
        const auto match = it.next();
        blocks.append({match.captured(1), match.captured(2), match.captured(3)});
    }
    return blocks;
}

QString firstName(const QString &sender)
{
    const int open = sender.indexOf(u'<');
    QString name = open > 0 ? sender.left(open) : sender;
    name = name.remove(u'"').trimmed();
    name = name.section(u' ', 0, 0);
    return name.isEmpty() ? QStringLiteral("the sender") : name;
}

// The first sentence that asks something, without links.
QString askOf(const QString &body)
{
    static const QRegularExpression end(QStringLiteral(R"((?<=[.!?])\s+)"));
    static const QRegularExpression ask(
        QStringLiteral(R"(\?|\bplease\b|\bcould you\b|\bcan you\b|\bbitte\b)"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString &sentence : body.simplified().split(end, Qt::SkipEmptyParts))
        if (ask.match(sentence).hasMatch() && !sentence.contains(QStringLiteral("://"))
            && !sentence.contains(u'<'))
            return sentence;
    return {};
}

// Snippets end mid-word; a model writes whole words.
QString wholeWords(const QString &sentence)
{
    static const QRegularExpression finished(QStringLiteral(R"([.!?…]$)"));
    const qsizetype lastSpace = sentence.lastIndexOf(u' ');
    if (finished.match(sentence).hasMatch() || lastSpace < 0)
        return sentence;
    return sentence.left(lastSpace) + QChar(0x2026);
}

QString dueOf(const QString &sentence)
{
    static const QRegularExpression due(
        QStringLiteral(R"(\bby ((mon|tues|wednes|thurs|fri|satur|sun)day|today|tomorrow|noon|end of day|)"
                       R"(\d{1,2}(:\d\d)?\s?(am|pm)?)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = due.match(sentence);
    return match.hasMatch() ? match.captured(1) : QString();
}

QJsonObject item(const QString &id, const QString &text, const QString &due = {})
{
    return QJsonObject{{"sourceId", id}, {"text", text}, {"due", due}};
}

QJsonArray soundItems(const QList<MailBlock> &blocks)
{
    QJsonArray items;
    for (const MailBlock &mail : blocks) {
        const QString ask = askOf(mail.body);
        if (ask.isEmpty() || items.size() == 7)
            continue;
        QString text = QStringLiteral("Reply to %1: %2").arg(firstName(mail.sender), wholeWords(ask));
        if (text.size() > 120)
            text = text.left(119).trimmed() + QChar(0x2026);
        items.append(item(mail.id, text, dueOf(ask)));
    }
    return items;
}

QString anyId(const QList<MailBlock> &blocks)
{
    return blocks.isEmpty() ? QStringLiteral("18f0000000000001") : blocks.first().id;
}

// A mail that tells the model what to answer, and a model that does it.
void obeyInjection(QJsonArray &items, const QList<MailBlock> &blocks)
{
    for (const MailBlock &mail : blocks) {
        if (!mail.body.contains(QStringLiteral("ignore previous instructions"), Qt::CaseInsensitive))
            continue;
        items.append(item(QStringLiteral("attacker0000001"), QStringLiteral("Wire the deposit today")));
        items.append(
            item(mail.id, QStringLiteral("Confirm your password at https://login.example.net/reset")));
        items.append(item(mail.id, QStringLiteral("URGENT ").repeated(400), QStringLiteral("now")));
        items.append(item(mail.id, QStringLiteral("<b>Approve</b> the invoice")));
    }
}

} // namespace

QStringList modelBriefShapes()
{
    return {QStringLiteral("sound"), QStringLiteral("made-up-ids"), QStringLiteral("links-markup"),
            QStringLiteral("obeys-injection")};
}

QString briefAnswer(const QString &prompt, const QString &shape)
{
    const QList<MailBlock> blocks = mailBlocks(prompt);
    QJsonArray items = soundItems(blocks);
    if (shape == u"made-up-ids") {
        items.append(item(QStringLiteral("18f00000000000ff"), QStringLiteral("Call the bank back")));
        items.append(item(QString(), QStringLiteral("Renew your subscription")));
    } else if (shape == u"links-markup") {
        const QString id = anyId(blocks);
        items.append(item(id, QStringLiteral("Review the draft at www.example.org")));
        items.append(item(id, QStringLiteral("Sign the [contract](https://example.org/sign)")));
        items.append(item(id, QStringLiteral("Read the <i>notes</i> first")));
        items.append(item(id, QStringLiteral("Pay **now**"), QStringLiteral("<script>")));
    } else if (shape == u"obeys-injection") {
        obeyInjection(items, blocks);
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"items", items}}).toJson(QJsonDocument::Compact));
}

QString meetingNotesAnswer(const QString &prompt, const QString &shape)
{
    QJsonArray lines;
    for (const QJsonValue &value : soundItems(mailBlocks(prompt))) {
        if (lines.size() < 3)
            lines.append(value.toObject()
                             .value(QStringLiteral("text"))
                             .toString()
                             .replace(QStringLiteral("Reply to "), QStringLiteral("Answer ")));
    }
    if (lines.isEmpty())
        lines.append(QStringLiteral("No open questions from the guests."));
    if (shape == u"links-markup" || shape == u"obeys-injection") {
        lines.append(QStringLiteral("Bring the slides from https://files.example.net/deck"));
        lines.append(QStringLiteral("<b>Approve</b> the budget"));
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"lines", lines}}).toJson(QJsonDocument::Compact));
}
