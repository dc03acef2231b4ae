#pragma once

#include "platform/dialogs.h"

// Answers come from queues filled by the test; every question is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Asked {
        QString kind, text, title;
        QString fileName; // the name a file dialog offered
        QString defaultText = {}; // the text an input box offered
    };

    QStringList fileAnswers; // for openFile and saveFile, in order ("" = cancel)
    QList<Answer> messageAnswers; // default Ok when empty
    QList<std::optional<QString>> inputAnswers; // default cancel when empty
    QList<Asked> asked;

    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;

protected:
    QString askOpenFile(const QString &folder, const QString &filter, const QString &defaultSuffix,
                        const QString &offered) override;
    QString askSaveFile(const QString &folder, const QString &filter, const QString &defaultSuffix,
                        const QString &offered, bool askOverwrite) override;
};
