// A run's observer that replaces without asking and listens to nothing else.
#pragma once

#include "core/BackupRun.h"

struct QuietObserver : RunObserver
{
    Os::ReplaceAnswer askReplace(const QString&) override { return Os::ReplaceAnswer::Yes; }
};
