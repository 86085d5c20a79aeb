// A run's observer that gives one answer to every replace question and listens to nothing else.
#pragma once

#include "core/BackupRun.h"

struct QuietObserver : RunObserver
{
    Os::ReplaceAnswer answer = Os::ReplaceAnswer::Yes;
    Os::ReplaceAnswer askReplace(const QString&) override { return answer; }
};
