#include "Routes.h"

void addUploadRoutes(Server &, State &) {}
