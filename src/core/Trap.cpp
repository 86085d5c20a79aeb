#include "core/Trap.h"

#include <new>

namespace {

// Failures that do not come as the runtime's error object get the nearest standard number.
ErrorObject errorFromStandardException(const std::exception& failure)
{
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return {ErrorNumber::OutOfMemory, standardErrorDescription(ErrorNumber::OutOfMemory),
                ApplicationName};
    return {ErrorNumber::InternalError, QString::fromLocal8Bit(failure.what()), ApplicationName};
}

} // namespace

bool runTrapped(ErrorSink& sink, const std::function<QString()>& procedureName,
                const std::function<void()>& body)
{
    ErrorObject error;
    try {
        body();
        return true;
    } catch (const RuntimeError& failure) {
        error = failure.error();
    } catch (const std::exception& failure) {
        error = errorFromStandardException(failure);
    }
    sink.HandleErrorsGlobally(error, procedureName());
    return false;
}

bool runTrapped(ErrorSink& sink, const QString& procedureName, const std::function<void()>& body)
{
    return runTrapped(
        sink, [&procedureName] { return procedureName; }, body);
}
