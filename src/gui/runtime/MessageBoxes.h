// The window's standard boxes, shown through the runtime services.
#pragma once

#include "core/IcqDiscovery.h"

#include <QString>

class RuntimeServices;

// A modal box with the critical icon, OK alone and the title "Error!".
void ShowErrorMessage(RuntimeServices& services, const QString& text);

// The registry's notices in a plain box: OK alone, no icon, the application's title.
RegistryNotice plainBoxNotices(RuntimeServices& services);
