// Copies the contents of one folder into another in one call of the platform's folder copy.
// The run makes one object per component, sets its properties, calls Perform once and
// releases it.
#pragma once

#include <QString>
#include <QtGlobal>

class ErrorSink;
class RuntimeServices;

class FileCopier
{
public:
    FileCopier(RuntimeServices& services, ErrorSink& sink);

    /// This is the source from where to copy.
    QString Source() const { return m_Source; }
    /// This is the source from where to copy.
    void setSource(const QString& strSource) { m_Source = strSource; }

    /// This is the target to copy to.
    QString Target() const { return m_Target; }
    /// This is the target to copy to.
    void setTarget(const QString& strTarget) { m_Target = strTarget; }

    QString FileSpec() const { return m_FileSpec; }
    void setFileSpec(const QString& strNewValue) { m_FileSpec = strNewValue; }

    /// If a file by the same name is encountered, then a message box is shown asking the user
    /// what to do. This can be disabled and the class can be forced to overwrite without
    /// prompting the user.
    bool Overwrite() const { return m_Overwrite; }
    /// If a file by the same name is encountered, then a message box is shown asking the user
    /// what to do. This can be disabled and the class can be forced to overwrite without
    /// prompting the user.
    void setOverwrite(bool blnYesNo) { m_Overwrite = blnYesNo; }

    /// This is the main method which does the job.
    bool Perform(qintptr lngHwnd);

private:
    // Appends the separator unless the path ends in one; the caller's variable changes.
    QString SlashPad(QString& path);

    RuntimeServices& m_services;
    ErrorSink& m_sink;
    QString m_Source;
    QString m_Target;
    QString m_FileSpec = QStringLiteral("*.*");
    bool m_Overwrite = false;
};
