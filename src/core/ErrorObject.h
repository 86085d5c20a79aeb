// The runtime's error object and the failures that carry it.
#pragma once

#include "core/Text.h"

#include <QString>

#include <exception>

struct ErrorObject
{
    qint32 number = 0;
    QString description; // English, as error reports carry it
    QString source;
};

// The standard error numbers of the runtime that this program can meet.
namespace ErrorNumber {
inline constexpr qint32 InvalidProcedureCall = 5;
inline constexpr qint32 Overflow = 6;
inline constexpr qint32 OutOfMemory = 7;
inline constexpr qint32 SubscriptOutOfRange = 9;
inline constexpr qint32 DivisionByZero = 11;
inline constexpr qint32 TypeMismatch = 13;
inline constexpr qint32 InternalError = 51;
inline constexpr qint32 BadFileNameOrNumber = 52;
inline constexpr qint32 FileNotFound = 53;
inline constexpr qint32 InputPastEndOfFile = 62;
inline constexpr qint32 PermissionDenied = 70;
inline constexpr qint32 PathFileAccessError = 75;
inline constexpr qint32 PathNotFound = 76;
inline constexpr qint32 ObjectRequired = 424;
} // namespace ErrorNumber

// The application's name, the source of every error raised by number alone.
inline const QString ApplicationName = QStringLiteral("ZEB2000");

class RuntimeError : public std::exception
{
public:
    // `words`: the description for people, where it has a translation.
    explicit RuntimeError(ErrorObject error, Text words = {});
    const ErrorObject& error() const noexcept { return m_error; }
    // The description in words that can be shown in the user's language.
    Text shown() const { return m_words.isEmpty() ? Text::verbatim(m_error.description) : m_words; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    ErrorObject m_error;
    Text m_words;
    QByteArray m_what;
};

// The runtime's standard description of an error number ("Application-defined or
// object-defined error" for numbers that have none).
QString standardErrorDescription(qint32 number);

// Raises an error. Without a description the standard one of the number is used, without a
// source the application's name. Raising error 0 is itself refused with error 5.
[[noreturn]] void raiseError(qint32 number, const QString& description = QString(),
                             const QString& source = QString());
// Raises an error whose description people may read in their language.
[[noreturn]] void raiseError(qint32 number, const Text& description);
