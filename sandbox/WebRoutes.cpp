#include "Routes.h"

void addWebRoutes(Server &, State &) {}
