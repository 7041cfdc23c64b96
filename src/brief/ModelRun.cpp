// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "brief/ModelRun.h"

void ModelRun::reset(const QString &kind, const QString &message)
{
    ++m_run;
    m_kind = kind;
    m_message = message;
    emit changed();
}

void ModelRun::cancel()
{
    if (isRunning())
        reset();
}
