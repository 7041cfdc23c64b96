#pragma once

class QQmlEngine;

namespace tl {

// Prepares an engine to load the app's QML modules, which are linked in
// statically and served from the application's resources.
void setUpQmlEngine(QQmlEngine &engine);

} // namespace tl
