// The one error trap of every trapping procedure: it runs the body, and hands any failure with
// the procedure's name to the sink. The immediate end of the program (ProgramEnded in tests)
// is no failure and passes through untouched.
#pragma once

#include "core/ErrorSink.h"

#include <functional>

// Answers true when the body ran to its end, false when it failed and was reported.
bool runTrapped(ErrorSink& sink, const QString& procedureName, const std::function<void()>& body);
// For procedures whose reported name depends on their state at the moment of the failure.
bool runTrapped(ErrorSink& sink, const std::function<QString()>& procedureName,
                const std::function<void()>& body);
