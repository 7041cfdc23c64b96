#include "Routes.h"

void addModelRoutes(Server &, State &) {}
