// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Seed.h"
#include "Util.h"

#include <QRegularExpression>
#include <QUrl>
#include <QTimeZone>

namespace {

enum Flag : unsigned {
    Unread = 1,
    HtmlOnly = 2,
    Alternative = 4,
    Crlf = 8,
    NoMessageId = 16,
    NoDate = 32,
    DateComment = 64,
    Starred = 128,
    Archived = 256,
    Sent = 512,
    Important = 1024,
    Updates = 2048,
    LargeBody = 4096,
    WithPhotos = 8192,
    WithPdf = 16384,
};

struct MailSeed
{
    const char *from;
    const char *subject;
    const char *body;
    unsigned flags;
    int threadRoot = 0; // index of the first message of the thread, 0: its own
    int utcOffsetMinutes = 0;
    const char *userLabels = ""; // ids, comma-separated
};

// Alex's mailbox, newest first; index i (from 1) gets id messageId(i).
const MailSeed AlexMail[] = {
    {"Priya Natarajan <priya@northwind.example>", "Q3 roadmap review \u2014 agenda",
     "Hi Alex,\n\nAttached is the agenda for Thursday's roadmap review. Could you send me your three "
     "priorities for Q3 by Wednesday noon so I can fold them into the deck?\n\nThanks,\nPriya",
     Unread | Alternative | Important, 0, 60},
    {"Tarn Weekly <digest@news.tarn.example>", "Your weekly digest: 5 stories you missed",
     "<html><body><h1>This week</h1><p>Five stories picked for you: the lake trail reopens, "
     "a new ferry timetable, and more.</p><p><a href=\"https://news.tarn.example/u\">Unsubscribe</a></p>"
     "</body></html>",
     Unread | HtmlOnly | Updates, 0, 0},
    {"Zo\u00eb M\u00fcller-\u0141ukasiewicz <zoe@kanzlei-mueller.example>",
     "\u00dcberpr\u00fcfung der Vertr\u00e4ge \u2013 bitte bis Freitag \U0001F4C4",
     "Hallo Alex,\n\nanbei die \u00fcberarbeiteten Vertr\u00e4ge. K\u00f6nntest du sie bis Freitag "
     "pr\u00fcfen und mir Bescheid geben?\n\nViele Gr\u00fc\u00dfe\nZo\u00eb",
     Unread, 0, 120},
    {"Daniel Kim <daniel.kim@example.com>", "Re: Offsite venue shortlist",
     "Sounds good, let's book the lakeside one. Can you confirm the headcount by Monday?\n\n"
     "--\nDaniel Kim\nOperations Lead | Example Corp\n+1 555 0100\n\n"
     "On Mon, 2 Jun 2025 at 09:12, Alex Rivera <alex.rivera@example.com> wrote:\n"
     "> Here are the three venues I found. The lakeside one has the best rooms.\n"
     "> Let me know what you think.\n",
     Unread, 33, -420},
    {"Billing <billing@cloudhost.example>", "Invoice INV-20931 is available",
     "Hello,\n\nYour invoice INV-20931 for 48.00 EUR is now available in the billing console.\n"
     "Payment will be collected automatically on the 15th.\n\nCloudHost Billing",
     Unread | NoMessageId | Updates, 0, 0},
    {"Grandma Rose <rose.rivera@example.net>", "Sunday lunch",
     "Dear Alex, are you coming on Sunday? I am making the lemon cake. Please bring the folding chairs. "
     "Love, Grandma",
     Unread | NoDate, 0, 0},
    {"Facilities <facilities@example.com>", "Building maintenance this weekend",
     "Hi all,\r\n\r\nThe elevators in building B will be serviced on Saturday between 08:00 and 14:00.\r\n"
     "Please use the stairs or building A in that time.\r\n\r\nFacilities team\r\n",
     Crlf | DateComment, 0, 120},
    {"Lena Park <lena.park@example.com>", "Design review notes",
     "Hi Alex,\n\nNotes from today's design review are in the shared folder. Main open point: the "
     "onboarding flow needs one screen less. Can you take a first pass at it?\n\nLena",
     Unread | Alternative, 0, 60},
    {"GitLab <noreply@gitlab.example>", "[tarnlight] Pipeline failed for main",
     "Pipeline #4411 failed for main.\n\nJob: test (stage test)\nCommit: 3f2a9c1 Fix tray icon size\n\n"
     "View pipeline: https://gitlab.example/tarnlight/-/pipelines/4411",
     Unread | Updates, 0, 0},
    {"Omar Haddad <omar@haddad-consulting.example>", "Quote for the migration project",
     "Hello Alex,\n\nAs discussed, the quote for the migration project is 12,400 EUR, covering the "
     "analysis and two migration waves. The offer is valid until the end of the month.\n\nBest "
     "regards,\nOmar",
     Alternative, 0, 180},
    {"Mira Okafor <mira.okafor@example.com>", "Lunch on Thursday?",
     "Hey! Are you free for lunch on Thursday? The new ramen place near the station opened. 12:30?", Unread,
     0, 60},
    {"HR Team <hr@example.com>", "Please complete your annual compliance training",
     "Hi Alex,\n\nA reminder that the annual compliance training is due by the 30th. It takes about "
     "45 minutes.\n\nThank you,\nHR Team",
     Important, 0, 0},
    {"Jo\u00e3o Pereira <joao.pereira@example.pt>", "Fotos da viagem \U0001F304",
     "Ol\u00e1 Alex! Coloquei as fotos da viagem na pasta partilhada. Diz-me se consegues "
     "abrir.\n\nAbra\u00e7o,\nJo\u00e3o",
     Unread, 0, 60},
    {"Calendar <calendar-notification@example.com>", "Invitation: Sprint planning @ Mon 10:00",
     "You have been invited to Sprint planning.\n\nWhen: Monday 10:00 - 11:00\nWhere: Room Fjord\n", 0, 0, 0},
    {"Sofia Rossi <sofia.rossi@example.it>", "Re: Conference talk",
     "Great news, your talk was accepted! We need your slides by the 20th.\n\n"
     "Sofia\n\n"
     "On Fri, 30 May 2025 at 17:40, Alex Rivera <alex.rivera@example.com> wrote:\n"
     "> Attached is my abstract for the conference.\n",
     Starred, 0, 120},
    {"Daniel Kim <daniel.kim@example.com>", "Headcount for the offsite",
     "Quick one: how many people from your team are coming to the offsite?", Unread, 0, -420},
    {"Bank of Tarn <no-reply@bankoftarn.example>", "Your statement is ready",
     "<html><body><p>Dear customer,</p><p>Your monthly statement is ready. Sign in to online banking to "
     "view it.</p><p>Bank of Tarn</p></body></html>",
     HtmlOnly | Updates, 0, 0},
    {"Priya Natarajan <priya@northwind.example>", "Slides from last week",
     "Hi Alex,\n\nAs promised, here are the slides from last week's customer call. No action "
     "needed.\n\nPriya",
     0, 0, 60},
    {"Ana Lima <ana.lima@example.com>", "Welcome to the team!",
     "Hi everyone,\n\nPlease welcome Ana to the platform team! She starts on Monday.\n\nCheers,\nLena", 0, 0,
     60},
    {"Support <support@ferryline.example>", "Your booking FL-88213 is confirmed",
     "Your ferry booking FL-88213 is confirmed.\n\nDeparture: Saturday 09:15, Harbour Pier 2\n"
     "Passengers: 2\n\nHave a pleasant trip!",
     Unread | Alternative, 0, 0},
    {"Lena Park <lena.park@example.com>", "Re: Hiring plan",
     "Agreed on the two backend roles.\n\n> Should we open two backend roles or one backend and one SRE?\n",
     0, 0, 60},
    {"Chen Wei <chen.wei@example.cn>", "\u4f1a\u8bae\u7eaa\u8981 \u2013 meeting notes",
     "Hi Alex,\n\n\u9644\u4e0a\u4eca\u5929\u7684\u4f1a\u8bae\u7eaa\u8981\u3002Notes from today's call are "
     "below.\n\n"
     "1. Release on the 12th\n2. Docs update\n\nChen",
     0, 0, 480},
    {"Newsletter <hello@coffee-roasters.example>", "New single origin: Huila, Colombia",
     "<html><body><p>Our new single origin from Huila is here: notes of <b>caramel</b> and red "
     "apple.</p></body></html>",
     HtmlOnly | Updates, 0, 0},
    {"Marta Nowak <marta.nowak@example.pl>", "Budget spreadsheet",
     "Hi Alex, I updated the budget spreadsheet with the Q2 actuals. Could you double-check the travel "
     "line?\n\nMarta",
     0, 0, 120},
    {"IT Service Desk <it@example.com>", "Ticket #5521 resolved",
     "Your ticket #5521 (VPN disconnects) has been resolved. Reply to this message to reopen it.", Updates, 0,
     0},
    {"Daniel Kim <daniel.kim@example.com>", "Offsite venue shortlist",
     "Thanks for the list! I'll look at them tonight.", 0, 33, -420},
    {"Grandma Rose <rose.rivera@example.net>", "Photos from the garden",
     "The tulips are out! I will send you the photos when your cousin shows me how.", 0, 0, 0},
    {"Lena Park <lena.park@example.com>", "1:1 agenda",
     "Topics for our 1:1: promotion cycle, conference budget, onboarding flow.\n\n"
     "-- \nLena Park\nEngineering Manager",
     0, 0, 60},
    {"Priya Natarajan <priya@northwind.example>", "Contract renewal",
     "Hi Alex,\n\nOur contract renews next month. Could we schedule a call to go over the new "
     "terms?\n\nPriya",
     Important, 0, 60},
    {"Travel Desk <travel@example.com>", "Itinerary: Berlin trip",
     "Your itinerary for the Berlin trip:\n\nFlight TL 204 Monday 07:45\nHotel Spreeblick, 2 nights\n", 0, 0,
     60},
    {"Omar Haddad <omar@haddad-consulting.example>", "Intro call",
     "Hello Alex,\n\nThank you for the intro call today. I'll send over a quote next week.\n\nOmar", 0, 0,
     180},
    {"Welcome <welcome@example.com>", "Welcome to your new mailbox",
     "Welcome! This is your new mailbox. Tips: use labels to stay organised.", 0, 0, 0},
    // Not in the inbox.
    {"Alex Rivera <alex.rivera@example.com>", "Offsite venue shortlist",
     "Here are the three venues I found. The lakeside one has the best rooms.\nLet me know what you think.",
     Sent, 0, 60},
    {"Store <orders@bookshop.example>", "Your order has shipped",
     "Your order #1182 has shipped and will arrive on Tuesday.", Archived | Updates, 0, 0},
    {"Alex Rivera <alex.rivera@example.com>", "Re: Lunch on Thursday?", "Yes, 12:30 works!", Sent, 0, 60},
    {"Sofia Rossi <sofia.rossi@example.it>", "Conference travel grant",
     "You are eligible for the travel grant. Fill in the form when you book.", Archived | Starred, 0, 120},
    // Older and archived, under user labels: a thread of three with attachments,
    // a body too large to come inline, a receipt.
    {"Jo\u00e3o Pereira <joao.pereira@example.pt>", "Re: Fotos de \u00c5lesund \U0001F4F7",
     "Aqui est\u00e1 o hor\u00e1rio do ferry em PDF. At\u00e9 breve!\n\nJo\u00e3o\n\n"
     "> Obrigado, Jo\u00e3o! As fotos est\u00e3o lindas. Tens o hor\u00e1rio do ferry?\n",
     Archived | Unread | WithPdf, 39, 60, "Label_3"},
    {"Alex Rivera <alex.rivera@example.com>", "Re: Fotos de \u00c5lesund \U0001F4F7",
     "Obrigado, Jo\u00e3o! As fotos est\u00e3o lindas. Tens o hor\u00e1rio do ferry?", Sent, 39, 60,
     "Label_3"},
    {"Jo\u00e3o Pereira <joao.pereira@example.pt>", "Fotos de \u00c5lesund \U0001F4F7",
     "Ol\u00e1 Alex! Aqui v\u00e3o duas fotos do porto de \u00c5lesund.\n\nAbra\u00e7o,\nJo\u00e3o",
     Archived | WithPhotos, 0, 60, "Label_3"},
    {"Ingrid S\u00f8rensen <ingrid.sorensen@fjordline.example>",
     "\u00c5rsrapport 2024 \u2013 fullst\u00e4ndig text",
     "Hej Alex,\n\nh\u00e4r kommer hela \u00e5rsrapporten som text, kapitel f\u00f6r kapitel.\n\n",
     Archived | Alternative | LargeBody, 0, 60, "Label_2"},
    {"\u0141ukasz \u017b\u00f3\u0142\u0107 <lukasz@zolc.example>",
     "Faktura nr 2025/06/117 \u2013 p\u0142atno\u015b\u0107",
     "Dzie\u0144 dobry,\n\nw za\u0142\u0105czniku faktura za czerwiec. Termin p\u0142atno\u015bci: 14 "
     "dni.\n\nPozdrawiam,\n\u0141ukasz",
     Archived | Updates | WithPdf, 0, 120, "Label_1"},
};

// Alex's user labels, as named in the web interface ("/" nests them).
const Label AlexLabels[] = {
    {"Label_1", "Receipts"},
    {"Label_2", "Work/Clients"},
    {"Label_3", "Travel/\u00c5lesund 2025"},
    {"Label_4", "Family", "hide", "labelShowIfUnread"},
};

const MailSeed MiraMail[] = {
    {"Alex Rivera <alex.rivera@example.com>", "Re: Lunch on Thursday?", "Yes, 12:30 works!", Unread, 0, 60},
    {"Yoga Studio <hello@yoga.example>", "Class schedule for June",
     "<html><body><p>Our June schedule is online.</p></body></html>", Unread | HtmlOnly, 0, 0},
    {"Kofi Mensah <kofi@example.gh>", "Book club: next pick",
     "What do you think about reading \"Piranesi\" next? Please vote by Friday.", Unread, 0, 0},
    {"Landlord <office@flats.example>", "Rent receipt", "We received your rent for this month. Thank you.", 0,
     0, 60},
    {"Mira Okafor <mira.okafor@gmail.example>", "Note to self", "Buy stamps. Call the dentist.", 0, 0, 60},
};

QString escapeSnippet(QString text)
{
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    text.replace(u'>', QStringLiteral("&gt;"));
    text.replace(u'"', QStringLiteral("&quot;"));
    text.replace(u'\'', QStringLiteral("&#39;"));
    return text;
}

QString htmlOf(const QString &plain)
{
    QString html = plain.toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    html.replace(u'\n', QStringLiteral("<br>\n"));
    return QStringLiteral("<div dir=\"ltr\">") + html + QStringLiteral("</div>\n");
}

QString messageIdHeader(const QString &id)
{
    return QStringLiteral("<CAF%1@mail.gmail.com>").arg(id);
}

// A body well over the default inline limit, so it comes as an attachment.
QByteArray largeBody(const QByteArray &opening)
{
    QByteArray text = opening;
    for (int chapter = 1; text.size() < 100 * 1024; ++chapter)
        text += "Kapitel " + QByteArray::number(chapter)
                + "\n\n"
                  "Under \xc3\xa5ret v\xc3\xa4xte trafiken p\xc3\xa5 alla linjer. Bokningarna \xc3\xb6kade, "
                  "f\xc3\xa4rjorna g\xc3\xa5r enligt tidtabell och underh\xc3\xa5llet f\xc3\xb6ljer planen. "
                  "Styrelsen f\xc3\xb6resl\xc3\xa5r en utdelning i linje med f\xc3\xb6reg\xc3\xa5"
                  "ende \xc3\xa5r.\n\n";
    return text;
}

// An attachment part; the non-ASCII file name travels as RFC 2231 parameters.
MessagePart attachmentPart(const QString &mimeType, const QString &fileName, const QByteArray &bytes)
{
    MessagePart part;
    part.mimeType = mimeType;
    part.filename = fileName;
    part.data = bytes;
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(fileName));
    part.headers = {{"Content-Type", mimeType + QStringLiteral("; name*=UTF-8''") + encoded},
                    {"Content-Disposition", QStringLiteral("attachment; filename*=UTF-8''") + encoded},
                    {"Content-Transfer-Encoding", "base64"},
                    {"X-Attachment-Id",
                     QStringLiteral("f_%1").arg(qHash(fileName) % 100000000, 8, 10, QLatin1Char('0'))}};
    return part;
}

QByteArray fakeFile(const QByteArray &head, const QByteArray &tail, int size)
{
    QByteArray bytes = head;
    for (int i = 0; bytes.size() < size - tail.size(); ++i)
        bytes += char((i * 37 + i / 251) & 0xff);
    return bytes + tail;
}

QList<MessagePart> attachmentsOf(unsigned flags)
{
    QList<MessagePart> parts;
    if (flags & WithPhotos) {
        const QByteArray jpegHead("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11);
        parts << attachmentPart(QStringLiteral("image/jpeg"), QStringLiteral("Porto de \u00c5lesund.jpg"),
                                fakeFile(jpegHead, "\xff\xd9", 24000))
              << attachmentPart(QStringLiteral("image/jpeg"), QStringLiteral("Ferry ao p\u00f4r do sol.jpg"),
                                fakeFile(jpegHead, "\xff\xd9", 31000));
    }
    if (flags & WithPdf)
        parts << attachmentPart(QStringLiteral("application/pdf"),
                                QStringLiteral("Hor\u00e1rio \u2013 ver\u00e3o.pdf"),
                                fakeFile("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n", "\n%%EOF\n", 12000));
    return parts;
}

Message buildMessage(const MailSeed &seed, int index, int idBase, const QDateTime &when, const QString &owner,
                     const QString &repliedTo = {})
{
    Message message;
    message.id = seeding::messageId(idBase + index);
    message.threadId = seeding::messageId(idBase + (seed.threadRoot ? seed.threadRoot : index));
    message.internalDate = when;
    const unsigned f = seed.flags;
    if (!(f & (Sent | Archived)))
        message.labelIds << QStringLiteral("INBOX");
    if (f & Sent)
        message.labelIds << QStringLiteral("SENT");
    if (f & Unread)
        message.labelIds << QStringLiteral("UNREAD");
    if (f & Starred)
        message.labelIds << QStringLiteral("STARRED");
    if (f & Important)
        message.labelIds << QStringLiteral("IMPORTANT");
    message.labelIds << ((f & Updates) ? QStringLiteral("CATEGORY_UPDATES")
                                       : QStringLiteral("CATEGORY_PERSONAL"));
    message.labelIds << QString::fromLatin1(seed.userLabels).split(u',', Qt::SkipEmptyParts);

    const QString from = QString::fromUtf8(seed.from);
    const QString to = !(f & Sent)            ? owner
                       : !repliedTo.isEmpty() ? repliedTo
                                              : QStringLiteral("Daniel Kim <daniel.kim@example.com>");
    const QByteArray body = (f & LargeBody) ? largeBody(seed.body) : QByteArray(seed.body);
    MessagePart &payload = message.payload;
    if (f & HtmlOnly) {
        payload = seeding::textPart(QStringLiteral("text/html"), body);
    } else if (f & Alternative) {
        payload.mimeType = QStringLiteral("multipart/alternative");
        payload.parts = {
            seeding::textPart(QStringLiteral("text/plain"), body),
            seeding::textPart(QStringLiteral("text/html"), htmlOf(QString::fromUtf8(body)).toUtf8())};
        payload.headers = {{"Content-Type", "multipart/alternative; boundary=\"000000000000a1b2c3d4e5f6\""}};
    } else {
        payload = seeding::textPart(QStringLiteral("text/plain"), body);
    }
    if (const QList<MessagePart> attachments = attachmentsOf(f); !attachments.isEmpty()) {
        MessagePart mixed;
        mixed.mimeType = QStringLiteral("multipart/mixed");
        mixed.headers = {{"Content-Type", "multipart/mixed; boundary=\"000000000000f6e5d4c3b2a1\""}};
        mixed.parts = QList<MessagePart>{payload} + attachments;
        payload = mixed;
    }
    HeaderList headers = {{"MIME-Version", "1.0"}};
    const QDateTime sent = when.toOffsetFromUtc(seed.utcOffsetMinutes * 60);
    if (!(f & NoDate))
        headers.append(
            {"Date", util::rfc2822(sent) + ((f & DateComment) ? QStringLiteral(" (CEST)") : QString())});
    if (!(f & NoMessageId))
        headers.append({"Message-ID", messageIdHeader(message.id)});
    if (seed.threadRoot) {
        const QString root = messageIdHeader(message.threadId);
        headers.append({"In-Reply-To", root});
        headers.append({"References", root});
    }
    headers.append({"Subject", QString::fromUtf8(seed.subject)});
    headers.append({"From", from});
    headers.append({"To", to});
    payload.headers = headers + payload.headers;
    message.snippet = seeding::snippetOf(payload);
    return message;
}

} // namespace

namespace seeding {

QString messageId(int index)
{
    return QStringLiteral("18f") + QString::number(index, 16).rightJustified(13, u'0');
}

MessagePart textPart(const QString &mimeType, const QByteArray &text)
{
    MessagePart part;
    part.mimeType = mimeType;
    part.data = text;
    part.headers = {{"Content-Type", mimeType + QStringLiteral("; charset=\"UTF-8\"")},
                    {"Content-Transfer-Encoding", "quoted-printable"}};
    return part;
}

QString snippetOf(const MessagePart &payload)
{
    const MessagePart *text = nullptr;
    std::function<void(const MessagePart &)> find = [&](const MessagePart &part) {
        if (!text && part.mimeType == u"text/plain")
            text = &part;
        for (const MessagePart &child : part.parts)
            find(child);
    };
    find(payload);
    QString plain;
    if (text) {
        plain = QString::fromUtf8(text->data);
    } else {
        std::function<const MessagePart *(const MessagePart &)> html =
            [&](const MessagePart &part) -> const MessagePart * {
            if (part.mimeType == u"text/html")
                return &part;
            for (const MessagePart &child : part.parts)
                if (auto found = html(child))
                    return found;
            return nullptr;
        };
        if (const MessagePart *part = html(payload))
            // A tag ends a word, as Gmail's snippets show "week</p><p>Five" as two words.
            plain = QString::fromUtf8(part->data)
                        .replace(QRegularExpression(QStringLiteral("<[^>]+>")), QStringLiteral(" "));
    }
    plain = plain.simplified();
    if (plain.size() > 140)
        plain = plain.left(140);
    return escapeSnippet(plain);
}

void seedMail(State &state, const QString &sub, int variant)
{
    AccountData &data = state.data[sub];
    const Account *owner = state.account(sub);
    const QString ownerAddress = QStringLiteral("%1 <%2>").arg(owner->name, owner->email);
    if (variant == 0) {
        const int count = int(std::size(AlexMail));
        for (int i = 0; i < count; ++i) {
            const QDateTime when = state.seededAt.addSecs(-qint64(i + 1) * 97 * 60
                                                          - (i >= 32 ? 14 * 86400 : 0));
            const int root = AlexMail[i].threadRoot;
            data.messages.append(buildMessage(AlexMail[i], i + 1, 0, when, ownerAddress,
                                              root ? QString::fromUtf8(AlexMail[root - 1].from) : QString()));
        }
        data.labels = QList<Label>(std::begin(AlexLabels), std::end(AlexLabels));
    } else if (variant == 1) {
        const int count = int(std::size(MiraMail));
        for (int i = 0; i < count; ++i)
            data.messages.append(buildMessage(MiraMail[i], i + 1, 0x1000,
                                              state.seededAt.addSecs(-(i + 1) * 3600 * 5), ownerAddress));
    }
}

} // namespace seeding
