#pragma once

#include "State.h"

#include <QJsonObject>

// The Drive file resource in the provider's full shape.
QJsonObject driveFileJson(const State &state, const DriveFile &file);
