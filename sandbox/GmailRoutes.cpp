#include "Routes.h"

void addGmailRoutes(Server &, State &) {}
