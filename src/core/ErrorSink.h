#pragma once

#include "core/ErrorObject.h"

// The one sink of unexpected failures; the main window is the program's only one.
class ErrorSink
{
public:
    virtual ~ErrorSink() = default;
    virtual void HandleErrorsGlobally(const ErrorObject& errErrorObject,
                                      const QString& strSubProcedureName) = 0;
};
