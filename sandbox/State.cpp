// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "State.h"

const Account *State::account(const QString &sub) const
{
    for (const Account &candidate : accounts)
        if (candidate.sub == sub || candidate.email.compare(sub, Qt::CaseInsensitive) == 0)
            return &candidate;
    return nullptr;
}

QString State::nextId(const QString &prefix)
{
    return prefix + QString::number(++serial, 16).rightJustified(8, u'0');
}

void State::reset()
{
    seededAt = QDateTime::currentDateTime();
    tokenLifetime = options.tokenLifetime;
    requireSecret = options.requireSecret;
    rotateRefreshTokens = options.rotateRefreshTokens;
    granularity = options.granularity;
    inlineBodyLimit = options.inlineBodyLimit;
    shortPages.clear();
    accounts.clear();
    data.clear();
    accessTokens.clear();
    refreshTokens.clear();
    codes.clear();
    uploads.clear();
    uploadOrder.clear();
    consentSub.clear();
    consentOutcome = QStringLiteral("grant");
    discoveryIssuer.clear();
    modelLoading = false;
    models = QStringList{options.model};
    modelAnswerShape = QStringLiteral("plain");
    modelBriefShape = QStringLiteral("sound");
    seed(*this);
}
