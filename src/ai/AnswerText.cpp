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
    static const QRegularExpression block(
        QStringLiteral("<(think|thinking|reasoning)>.*?</\\1>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression openless(
        QStringLiteral("^.*?</(think|thinking|reasoning)>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString out = text;
    out.remove(block);
    out.remove(openless);
    return out;
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
