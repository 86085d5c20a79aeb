// A run's observer that gives one answer to every replace question and listens to nothing else.
#pragma once

#include "RecordingSink.h"

#include "core/BackupRun.h"

#include <functional>

struct QuietObserver : RunObserver
{
    Os::ReplaceAnswer answer = Os::ReplaceAnswer::Yes;
    Os::ReplaceAnswer askReplace(const QString&) override { return answer; }
};

// An observer that stops its run as Ctrl+C would: as the first component starts, or with
// afterFirst as soon as one is done.
template <typename Observer> struct Stopping : Observer
{
    std::function<void()> stop;
    bool afterFirst = false;
    void componentStarted(const Component&, qint64) override { stopIf(!afterFirst); }
    void componentFinished(const ComponentResult&) override { stopIf(afterFirst); }
    void stopIf(bool now)
    {
        if (now && stop)
            stop();
    }
};

// Runs a plan: whether every component was copied without a report. Refusing, every replace
// question is answered No, as a run without a terminal does.
inline bool runQuietly(const RunPlan& plan, bool refuseReplacing = false)
{
    RecordingSink sink;
    QuietObserver observer;
    if (refuseReplacing)
        observer.answer = Os::ReplaceAnswer::No;
    bool copied = true;
    for (const ComponentResult& result : BackupRun(plan, sink, observer).execute())
        copied = copied && result.copied;
    return copied && sink.reports.isEmpty();
}
