// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Seed.h"

void seed(State &state)
{
    state.accounts = {
        {"108000000000000000001", "alex.rivera@example.com", "Alex Rivera", "Alex", "Rivera"},
        {"108000000000000000002", "mira.okafor@example.com", "Mira Okafor", "Mira", "Okafor"},
        {"108000000000000000003", "empty.box@example.com", "Sam Empty", "Sam", "Empty"},
    };
    // Variant 0: the full data set; 1: a small one; 2: empty.
    for (int variant = 0; variant < state.accounts.size(); ++variant) {
        const QString sub = state.accounts[variant].sub;
        state.data[sub];
        seeding::seedMail(state, sub, variant);
        seeding::seedCalendar(state, sub, variant);
        seeding::seedDrive(state, sub, variant);
    }
    // Mira's event and file lists come in short and empty pages, as Google's may.
    state.shortPages.insert(state.accounts[1].sub);
}
