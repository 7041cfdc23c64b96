#pragma once

#include <QString>

// Ends the running step of the tour, saying what went wrong.
struct StepFailure
{
    QString reason;
};
