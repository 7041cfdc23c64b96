// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

// JSON objects, date-times and URI templates: pure conversions.

#include "rest/DateTime.h"
#include "rest/Resources.h"
#include "rest/RestObject.h"
#include "rest/URITemplate.h"

#include <QJsonDocument>
#include <QTest>

using namespace rest;

namespace {
// JSON written with single quotes, for readability.
QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json).replace('\'', '"')).object();
}
} // namespace

class ObjectsTest : public QObject
{
    Q_OBJECT
private slots:
    void dateOnlyIsNoonUTC()
    {
        const DateTime d = DateTime::fromRFC3339String(QStringLiteral("2024-03-10"));
        QVERIFY(d.isValid());
        QVERIFY(!d.hasTime());
        QCOMPARE(d.date(), QDateTime(QDate(2024, 3, 10), QTime(12, 0), Qt::UTC));
        QCOMPARE(d.RFC3339String(), QStringLiteral("2024-03-10"));
    }

    void offsetMovesToUTCAndPrintsBack()
    {
        const QString text = QStringLiteral("2024-03-10T09:15:00-05:00");
        const DateTime d = DateTime::fromRFC3339String(text);
        QCOMPARE(d.hour(), 14);
        QCOMPARE(d.minute(), 15);
        QCOMPARE(d.offsetMinutes(), -300);
        QCOMPARE(d.date(), QDateTime(QDate(2024, 3, 10), QTime(14, 15), Qt::UTC));
        QCOMPARE(d.RFC3339String(), text);
        // An offset that crosses midnight moves the day as well.
        const DateTime east = DateTime::fromRFC3339String(QStringLiteral("2024-01-01T01:30:00+05:30"));
        QCOMPARE(east.date(), QDateTime(QDate(2023, 12, 31), QTime(20, 0), Qt::UTC));
        QCOMPARE(east.RFC3339String(), QStringLiteral("2024-01-01T01:30:00+05:30"));
    }

    void fractionsAndFromDate()
    {
        const QDateTime instant(QDate(2024, 5, 1), QTime(8, 30, 0, 250), Qt::UTC);
        QCOMPARE(DateTime::fromDate(instant).RFC3339String(), QStringLiteral("2024-05-01T08:30:00.250Z"));
        QCOMPARE(DateTime::fromDate(instant.addMSecs(-250)).RFC3339String(),
                 QStringLiteral("2024-05-01T08:30:00Z"));
        QCOMPARE(DateTime::fromRFC3339String(QStringLiteral("2024-05-01t08:30:00.1235z")).milliseconds(),
                 124);
        // A fraction that rounds up to a whole second carries into the seconds.
        QCOMPARE(DateTime::fromRFC3339String(QStringLiteral("2024-05-01T08:30:59.9996Z")).date(),
                 QDateTime(QDate(2024, 5, 1), QTime(8, 31), Qt::UTC));
    }

    void badDateTimesAreInvalid_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *t : {"", "2024", "2024-13-01", "2024-02-30", "2024-03-10T25:00:00Z",
                              "2024-03-10T09:15", "2024-03-10T09:15:00+2", "2024-03-10T09:15:00Zjunk",
                              "99999999999999999999-01-01", "not a date", "2024-03-10T09:15:00.Z"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    void badDateTimesAreInvalid()
    {
        QFETCH(QString, text);
        const DateTime d = DateTime::fromRFC3339String(text);
        QVERIFY(!d.isValid());
        QVERIFY(!d.date().isValid());
        QVERIFY(d.RFC3339String().isEmpty());
    }

    void numericStrings()
    {
        auto object = RestObject::withJSON(
            parse("{'big':'18446744073709551615','neg':'-5', "
                  "'dec':'2.5','junk':'12abc','huge':'99999999999999999999999','num':42,'flag':true, "
                  "'over':9.3e18,'minus':-1.5}"));
        QCOMPARE(object->uint64Value("big"), std::optional<quint64>(18446744073709551615ULL));
        QCOMPARE(object->int64Value("big"), std::nullopt); // beyond the signed range
        QCOMPARE(object->int64Value("neg"), std::optional<qint64>(-5));
        QCOMPARE(object->doubleValue("dec"), std::optional<double>(2.5));
        QCOMPARE(object->int64Value("junk"), std::nullopt);
        QCOMPARE(object->uint64Value("huge"), std::nullopt);
        QCOMPARE(object->int64Value("num"), std::optional<qint64>(42));
        QCOMPARE(object->int64Value("over"), std::nullopt);
        QCOMPARE(object->uint64Value("over"), std::optional<quint64>(9300000000000000000ULL));
        QCOMPARE(object->uint64Value("minus"), std::nullopt);
        QCOMPARE(object->boolValue("flag"), std::optional<bool>(true));
        QCOMPARE(object->stringValue("num"), std::nullopt);
        QCOMPARE(object->int64Value("absent"), std::nullopt);
    }

    void kindChoosesClassElseExpected()
    {
        ObjectClassResolver resolver(driveKindMap());
        auto known = resolver.objectForJSON(parse("{'kind':'drive#file','id':'x'}"),
                                            ObjectClass::of<DriveFileListResource>());
        QVERIFY(std::dynamic_pointer_cast<DriveFileResource>(known));
        auto unknown = resolver.objectForJSON(parse("{'kind':'drive#unheardOf','files':[]}"),
                                              ObjectClass::of<DriveFileListResource>());
        QVERIFY(std::dynamic_pointer_cast<DriveFileListResource>(unknown));
        QVERIFY(std::dynamic_pointer_cast<DriveFileListResource>(
            resolver.objectForJSON(QJsonValue::Null, ObjectClass::of<DriveFileListResource>())));
        QVERIFY(!resolver.objectForJSON(QJsonArray{1, 2}, ObjectClass::of<DriveFileListResource>()));
        QVERIFY(!resolver.objectForJSON(QJsonObject(), nullptr));
    }

    void childrenAreCachedAndWrittenBack()
    {
        auto event = RestObject::withJSON<CalendarEventResource>(parse(
            "{'start':{'dateTime':'2024-03-10T09:15:00-05:00'},'attendees':[{'email':'a'},{'email':'b'}]}"));
        auto start = event->objectValue("start");
        QVERIFY(start);
        QCOMPARE(event->objectValue("start").get(), start.get());
        QCOMPARE(event->objectArrayValue("attendees").size(), 2);
        QCOMPARE(event->objectArrayValue("attendees").first().get(),
                 event->objectArrayValue("attendees").first().get());
        // A change made on the cached child shows in the parent's JSON.
        start->setString("timeZone", "America/New_York");
        QCOMPARE(event->JSON()["start"].toObject()["timeZone"].toString(),
                 QStringLiteral("America/New_York"));
        // A write replaces the cached child.
        auto replacement = RestObject::withJSON(parse("{'date':'2024-03-11'}"));
        event->setObject("start", replacement);
        QCOMPARE(event->objectValue("start").get(), replacement.get());
        QCOMPARE(event->objectValue("start")->dateTimeValue("date")->date(),
                 QDateTime(QDate(2024, 3, 11), QTime(12, 0), Qt::UTC));
        QVERIFY(!event->objectValue("attendees")); // an array is not an object
    }

    void collectionItems()
    {
        ObjectClassResolver resolver(driveKindMap());
        auto list = std::dynamic_pointer_cast<DriveFileListResource>(resolver.objectForJSON(
            parse("{'kind':'drive#fileList','files':[{'id':'1'},'junk',{'id':'2','kind':'drive#file'}]}"),
            nullptr));
        QVERIFY(list);
        QCOMPARE(list->count(), 2);
        QVERIFY(std::dynamic_pointer_cast<DriveFileResource>(list->itemAt(0)));
        QCOMPARE(list->itemAt(1)->identifier(), QStringLiteral("2"));
        QVERIFY(!list->itemAt(5));
    }

    void structuredError()
    {
        auto object = RestObject::withJSON<ErrorObject>(
            parse("{'code':404,'message':'Not Found','status':'NOT_FOUND', "
                  "'errors':[{'domain':'global','reason':'notFound','message':'Not Found'}], "
                  "'details':[{'@type':'type.googleapis.com/x','detail':'d'}]}"));
        const Error error = object->foundationError();
        QCOMPARE(error.domain(), QStringLiteral("rest.error"));
        QCOMPARE(error.code(), 404);
        QCOMPARE(error.description(), QStringLiteral("Not Found"));
        const ErrorObjectPtr back = rest::structuredError(error);
        QCOMPARE(back.get(), object.get());
        QCOMPARE(back->errors().value(0)->reason(), QStringLiteral("notFound"));
        QCOMPARE(back->details().value(0)->type(), QStringLiteral("type.googleapis.com/x"));

        const Error platform = Error::make("url", -1001, "timed out");
        const Error wrapped = ErrorObject::fromError(platform)->foundationError();
        QVERIFY(wrapped.is("url", -1001));
        QVERIFY(rest::structuredError(wrapped));
    }

    void templates_data()
    {
        QTest::addColumn<QString>("tmpl");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "users/{userId}/messages/{id}"
                               << "users/me/messages/a%2Fb%40c";
        QTest::newRow("reserved kept") << "{+path}/x"
                                       << "a/b@c/x";
        QTest::newRow("missing skipped") << "x{?absent,space}"
                                         << "x?space=a%20b";
        QTest::newRow("all missing, no prefix") << "x{?absent}"
                                                << "x";
        QTest::newRow("default") << "{absent=a%2Fb}"
                                 << "a%2Fb";
        QTest::newRow("list named") << "{?list+}"
                                    << "?list=A&list=B%26";
        QTest::newRow("list joined") << "{?list}"
                                     << "?list=A,B%26";
        QTest::newRow("path list") << "{/list*}"
                                   << "/A/B%26";
        QTest::newRow("dot list named") << "{.list+}"
                                        << ".list.A.list.B%26";
        QTest::newRow("numbers, bools") << "{;n,t,empty}"
                                        << ";n=7;t=true;empty";
        QTest::newRow("unclosed") << "a{id"
                                  << "a{id";
        QTest::newRow("bad variable") << "a{i d}b"
                                      << "a{i d}b";
    }
    void templates()
    {
        QFETCH(QString, tmpl);
        QFETCH(QString, expected);
        const QJsonObject values{{"userId", "me"},
                                 {"id", "a/b@c"},
                                 {"path", "a/b@c"},
                                 {"space", "a b"},
                                 {"list", QJsonArray{"A", "B&"}},
                                 {"n", 7},
                                 {"t", true},
                                 {"empty", ""}};
        QString failure;
        QCOMPARE(URITemplate::expand(tmpl, values, &failure), std::optional<QString>(expected));
        QVERIFY(failure.isEmpty());
    }

    void templateFailures()
    {
        QString failure;
        QVERIFY(!URITemplate::expand("{|x}", {{"x", "1"}}, &failure));
        QCOMPARE(failure, QStringLiteral("Unknown expression operator '|'"));
        QVERIFY(!URITemplate::expand("{x:3}", {{"x", "1"}}, &failure));
        QVERIFY(failure.startsWith(QStringLiteral("Unsupported partial on expansion")));
        QVERIFY(!URITemplate::expand("{?x}", {{"x", QJsonArray{QJsonObject{{"a", 1}}}}}, &failure));
        QVERIFY(failure.startsWith(QStringLiteral("Variable returned unsupported type")));
    }

    void queryTextSortsAndExplodes()
    {
        const QJsonObject parameters{
            {"maxResults", 25}, {"labelIds", QJsonArray{"A", "B"}}, {"Zeta", "z"}, {"alpha", "a b"}};
        QCOMPARE(URITemplate::queryText(parameters),
                 std::optional<QString>("alpha=a%20b&labelIds=A&labelIds=B&maxResults=25&Zeta=z"));
    }
};

QTEST_GUILESS_MAIN(ObjectsTest)
#include "tst_objects.moc"
