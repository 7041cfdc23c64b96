#include "Routes.h"

void addCalendarRoutes(Server &, State &) {}
