#pragma once

#include "config/FileChooser.h"

#include <QStringList>

#include <utility>

// Answers the file dialogs with a path given beforehand ("" cancels) and records what the
// program proposed, so no test waits on a modal dialog.
class ScriptedFileChooser : public climate::config::FileChooser {
public:
    struct Log {
        QStringList proposedSaves; // folder and default name offered for Save
        QStringList openFolders;   // folder offered for Load
    };

    ScriptedFileChooser(QString answer, Log& log) : m_answer(std::move(answer)), m_log(log) {}

    QString saveFileName(const QString& proposed) override {
        m_log.proposedSaves << proposed;
        return m_answer;
    }
    QString openFileName(const QString& folder) override {
        m_log.openFolders << folder;
        return m_answer;
    }

private:
    QString m_answer;
    Log& m_log;
};
