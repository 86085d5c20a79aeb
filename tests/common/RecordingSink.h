// An error sink that records each report as its error number and procedure name.
#pragma once

#include "core/ErrorSink.h"

#include <QStringList>

struct RecordingSink final : ErrorSink
{
    QStringList reports;
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        reports << QString::number(error.number) + QLatin1Char(' ') + procedure;
    }
};
