// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/AISelfTest.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (AISelfTest::runIfRequested(QCoreApplication::arguments()))
        return 0;
    return 3; // no diagnostic switch: the real entry would start its UI here
}
