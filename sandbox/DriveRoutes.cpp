#include "Routes.h"

void addDriveRoutes(Server &, State &) {}
