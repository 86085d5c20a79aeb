// A main window over a sample installation, driven through its real widgets by name.
#pragma once

#include "SampleInstallation.h"
#include "ScriptedRuntime.h"
#include "gui/app/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

struct WizardFixture
{
    SampleInstallation sample;
    ScriptedRuntime runtime;
    std::unique_ptr<frmMain> window;
    std::vector<ShownBox> startupBoxes;

    WizardFixture()
    {
        qputenv("WINEPREFIX", sample.prefix().toUtf8());
        runtime.programFolderPath = sample.programFolder();
        window = std::make_unique<frmMain>(runtime);
        window->Form_Load();
        startupBoxes.swap(runtime.boxes);
    }

    template <typename Control> Control* control(const char* name) const
    {
        return window->findChild<Control*>(QLatin1String(name));
    }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QString caption(const char* name) const { return control<QLabel>(name)->text(); }
    QListWidget* list(const char* name) const { return control<QListWidget>(name); }
    QString page() const { return caption("lblFrameNumber"); }
    QString busy() const { return caption("lblBusy"); }

    // Presses a button as the user would; a program end stays inside the click.
    void press(const char* name) const { button(name)->click(); }

    // Walks from the first page to "Task Options" with the given task and folders (the sample's
    // backup folder unless another is named).
    void enterTaskOptions(bool backup = true, const QString& backupFolder = {})
    {
        control<QRadioButton>(backup ? "optBackup" : "optRestore")->setChecked(true);
        press("cmdNext");
        control<QLineEdit>("txtICQLocation")->setText(sample.icqFolder());
        control<QLineEdit>("txtZEBLocation")
            ->setText(backupFolder.isEmpty() ? sample.backupFolder() : backupFolder);
        press("cmdNext");
    }

    // The entries' texts, or only the selected ones'.
    QStringList entries(const char* listName, bool selectedOnly = false) const
    {
        QStringList texts;
        const QListWidget* box = list(listName);
        for (int i = 0; i < box->count(); ++i)
            if (!selectedOnly || box->item(i)->isSelected())
                texts << box->item(i)->text();
        return texts;
    }
};
