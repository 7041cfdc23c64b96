// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mail/MimeEncoding.h"

namespace gmail {
namespace {

constexpr int MaxLine = 78;
// 39 bytes are 52 base64 characters: a word of 64, which fits behind
// "Subject: " within the line limit.
constexpr int MaxWordBytes = 39;

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Splits at commas outside quotes, angle brackets and comments.
QStringList splitMailboxes(const QString &value)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    int angle = 0, comment = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (quoted && c == u'\\' && i + 1 < value.size()) {
            current += c;
            current += value.at(++i);
            continue;
        }
        if (c == u'"' && !comment)
            quoted = !quoted;
        else if (!quoted && c == u'<')
            ++angle;
        else if (!quoted && c == u'>' && angle > 0)
            --angle;
        else if (!quoted && c == u'(')
            ++comment;
        else if (!quoted && c == u')' && comment > 0)
            --comment;
        if (c == u',' && !quoted && !angle && !comment) {
            parts.append(current.trimmed());
            current.clear();
            continue;
        }
        current += c;
    }
    parts.append(current.trimmed());
    return parts;
}

QString unquoted(QString name)
{
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        name = name.mid(1, name.size() - 2);
        name.replace(QStringLiteral("\\\\"), QStringLiteral("\\"))
            .replace(QStringLiteral("\\\""), QStringLiteral("\""));
    }
    return name;
}

// One mailbox as tokens for folding: its display name as encoded words when
// it is not ASCII, the address untouched.
QStringList mailboxTokens(const QString &mailbox)
{
    if (isAscii(mailbox))
        return mailbox.split(u' ', Qt::SkipEmptyParts);
    const qsizetype open = mailbox.lastIndexOf(u'<');
    if (open >= 0 && mailbox.endsWith(u'>')) {
        const QString name = unquoted(mailbox.left(open));
        QStringList tokens = isAscii(name) ? mailbox.left(open).split(u' ', Qt::SkipEmptyParts)
                                           : encodedWords(name);
        return tokens << mailbox.mid(open);
    }
    // "address (comment)": the comment may hold encoded words.
    const qsizetype comment = mailbox.indexOf(u'(');
    if (comment > 0 && mailbox.endsWith(u')') && isAscii(mailbox.left(comment))) {
        const QStringList words = encodedWords(mailbox.mid(comment + 1, mailbox.size() - comment - 2));
        QStringList tokens = mailbox.left(comment).split(u' ', Qt::SkipEmptyParts);
        tokens << u'(' + words.join(u' ') + u')';
        return tokens;
    }
    return {mailbox}; // an address of its own beyond ASCII stays as it is
}

QByteArray folded(const QString &name, const QStringList &tokens)
{
    QString text = name + u':';
    qsizetype lineLength = text.size();
    for (const QString &token : tokens) {
        if (lineLength + 1 + token.size() > MaxLine && lineLength > name.size() + 1) {
            text += QStringLiteral("\r\n");
            lineLength = 0;
        }
        text += u' ' + token;
        lineLength += 1 + token.size();
    }
    return text.toUtf8() + "\r\n";
}

} // namespace

QStringList encodedWords(const QString &text)
{
    QStringList words;
    QByteArray chunk;
    const auto flush = [&] {
        if (!chunk.isEmpty())
            words.append(QStringLiteral("=?UTF-8?B?") + QString::fromLatin1(chunk.toBase64())
                         + QStringLiteral("?="));
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character and goes into one word.
        const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        if (chunk.size() + bytes.size() > MaxWordBytes)
            flush();
        chunk += bytes;
        i += length - 1;
    }
    flush();
    return words;
}

QByteArray headerLine(const QString &name, const QString &value, bool mailboxes)
{
    if (isAscii(value))
        return (name + QStringLiteral(": ") + value).toUtf8() + "\r\n";
    if (!mailboxes)
        return folded(name, encodedWords(value));
    QStringList tokens;
    const QStringList list = splitMailboxes(value);
    for (qsizetype i = 0; i < list.size(); ++i) {
        QStringList mailbox = mailboxTokens(list.at(i));
        if (i + 1 < list.size() && !mailbox.isEmpty())
            mailbox.last() += u',';
        tokens += mailbox;
    }
    return folded(name, tokens);
}

QString withCrLf(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            out += QStringLiteral("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            continue;
        }
        out += c;
    }
    return out;
}

bool hasOverlongLine(const QByteArray &text)
{
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf("\r\n", start);
        if (end < 0)
            end = text.size();
        if (end - start > 998)
            return true;
        start = end + 2;
    }
    return false;
}

QByteArray quotedPrintable(const QByteArray &text)
{
    QByteArray out;
    qsizetype lineLength = 0;
    const auto put = [&](const QByteArray &piece) {
        // Soft break: "=" ends a line of at most 76 characters.
        if (lineLength + piece.size() > 75) {
            out += "=\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar c = uchar(text.at(i));
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            out += "\r\n";
            lineLength = 0;
            ++i;
            continue;
        }
        // White space before a line end would be lost in transport.
        const bool lineEndsNext = i + 1 == text.size() || text.at(i + 1) == '\r';
        const bool plain = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lineEndsNext);
        put(plain ? QByteArray(1, char(c))
                  : '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

} // namespace gmail
