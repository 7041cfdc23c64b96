// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/RecordListModel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Row
{
    QString key;
    int value = 0;
    friend bool operator==(const Row &, const Row &) = default;
};

class Rows : public RecordListModel<Row>
{
public:
    QVariant data(const QModelIndex &index, int role) const override
    {
        const Row *row = recordAt(index);
        if (!row)
            return {};
        if (role == Qt::DisplayRole)
            return row->key;
        return role == Qt::UserRole ? QVariant(row->value) : QVariant();
    }

protected:
    QString keyOf(const Row &row) const override { return row.key; }
};

QList<Row> rows(const QString &keys, int value = 0)
{
    QList<Row> list;
    for (QChar key : keys)
        list.append(Row{key, value});
    return list;
}

} // namespace

class RecordListModelTest : public QObject
{
    Q_OBJECT

private slots:
    // Any sequence of lists, with repeated keys and changed values, ends in
    // exactly the list given, through signals a checked model accepts.
    void everyAssignmentEndsInTheGivenList()
    {
        Rows model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy counts(&model, &RecordListModelBase::countChanged);
        QRandomGenerator random(17);
        for (int round = 0; round < 400; ++round) {
            QList<Row> next;
            const int size = random.bounded(9);
            for (int i = 0; i < size; ++i)
                next.append(Row{QString(QChar(u'a' + random.bounded(7))), random.bounded(3)});
            const int before = model.count();
            model.assign(next);
            QCOMPARE(model.rows(), next);
            QCOMPARE(model.count(), int(next.size()));
            if (before != model.count())
                QVERIFY(counts.count() > 0);
            counts.clear();
        }
        QCOMPARE(resets.count(), 0);
    }

    // A changed value is one dataChanged of its row; a removed row is one
    // removal; rows around them keep their place for persistent indexes.
    void singleChangesStayOnTheirRow()
    {
        Rows model;
        model.assign(rows(QStringLiteral("abcde")));
        const QPersistentModelIndex d(model.index(3));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);

        QList<Row> next = rows(QStringLiteral("abcde"));
        next[1].value = 5;
        model.assign(next);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);

        next.removeAt(2);
        model.assign(next);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 2);
        QCOMPARE(removed.at(0).at(2).toInt(), 2);
        QCOMPARE(inserted.count() + moved.count(), 0);
        QCOMPARE(d.row(), 2);
        QCOMPARE(d.data().toString(), QStringLiteral("d"));

        QVERIFY(!model.assign(next));
        QCOMPARE(changed.count(), 1);
    }

    void keyChangeTouchesEveryRowWithTheKey()
    {
        Rows model;
        model.assign(rows(QStringLiteral("abab")));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.keyChanged(QStringLiteral("b"), {Qt::UserRole});
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex().row(), 3);
        QCOMPARE(model.rowOfKey(QStringLiteral("b")), 1);
        QCOMPARE(model.rowOfKey(QStringLiteral("z")), -1);
    }
};

QTEST_GUILESS_MAIN(RecordListModelTest)
#include "tst_recordlistmodel.moc"
