// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/app/PopoverPlacement.h"

#include <algorithm>

namespace {

constexpr int kGap = 4;

// Keeps [start, start + length) inside [low, high); when it cannot fit, the
// start edge wins so the header stays reachable.
int clampSpan(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

} // namespace

QPoint popoverPosition(const QRect &anchor, const QSize &size, const QRect &available)
{
    const bool iconInUpperHalf = anchor.center().y() < available.center().y();
    const int x = anchor.center().x() - size.width() / 2;
    const int y = iconInUpperHalf ? anchor.bottom() + 1 + kGap : anchor.top() - kGap - size.height();
    return {clampSpan(x, size.width(), available.left(), available.left() + available.width()),
            clampSpan(y, size.height(), available.top(), available.top() + available.height())};
}
