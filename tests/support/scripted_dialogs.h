#pragma once

#include "platform/dialogs.h"

#include <functional>

// Answers come from queues filled by the test; every question is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Asked {
        QString kind, text, title;
        QString fileName; // the name a file dialog offered
        QString suffix = {}; // a file dialog's default extension
        QString defaultText = {}; // the text an input box offered
        int maxLength = 0; // the characters it took
    };

    QStringList fileAnswers; // for openFile and saveFile, in order ("" = cancel)
    QList<qsizetype> filterAnswers; // the filter chosen with each file answer; the first if empty
    QList<Answer> messageAnswers; // default Ok when empty
    QList<std::optional<QString>> inputAnswers; // default cancel when empty
    QList<Asked> asked;
    // Runs while a message box stands, as the event loop goes on under a real one.
    std::function<void()> whileShown;

    Answer message(const QString &text, const QString &title, Icon, Buttons) override
    {
        asked.append({ QStringLiteral("message"), text, title, {} });
        if (whileShown)
            whileShown();
        return messageAnswers.isEmpty() ? Answer::Ok : messageAnswers.takeFirst();
    }
    QString folder(const QString &start) override
    {
        asked.append({ QStringLiteral("folder"), start, {}, {} });
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText, int maxLength) override
    {
        asked.append({ QStringLiteral("input"), prompt, title, {}, {}, defaultText, maxLength });
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
    }
    // Answered from inputAnswers; what was offered is the defaultText, joined by "|".
    std::optional<QString> choose(const QString &prompt, const QString &title,
                                  const QStringList &offered, int maxLength) override
    {
        return input(prompt, title, offered.join(u'|'), maxLength);
    }
    // Answered from inputAnswers, the fields split at "|"; labels and texts recorded joined so.
    std::optional<QStringList> form(const QString &title, const QStringList &labels,
                                    const QStringList &offered, int maxLength) override
    {
        const auto typed = input(labels.join(u'|'), title, offered.join(u'|'), maxLength);
        return typed ? std::optional(typed->split(u'|')) : std::nullopt;
    }

    // One file answer, its paths split at "|".
    QStringList openFiles(const QString &folder, const QString &filter) override
    {
        asked.append({ QStringLiteral("open files"), folder, filter, {} });
        const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        return answer.isEmpty() ? QStringList() : answer.split(u'|');
    }
    // Answered from inputAnswers: the options' texts split at "|"; the labels and the chosen
    // options' texts recorded joined so.
    std::optional<QList<int>> picks(const QString &title, const QString &,
                                    const QStringList &labels, const QStringList &options,
                                    const QList<int> &chosen) override
    {
        QStringList offered;
        for (int c : chosen)
            offered << options.value(c);
        const auto typed = input(labels.join(u'|'), title, offered.join(u'|'), 0);
        if (!typed)
            return std::nullopt;
        QList<int> picked;
        for (const QString &t : typed->split(u'|'))
            picked << int(options.indexOf(t));
        return picked;
    }

protected:
    FileChoice askOpenFile(const QString &folder, const QString &filter, const QString &suffix,
                           const QString &offered) override
    {
        asked.append({ QStringLiteral("open"), folder, filter, offered, suffix });
        return { fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst(),
                 filterAnswers.isEmpty() ? 0 : filterAnswers.takeFirst() };
    }
    FileChoice askSaveFile(const QString &folder, const QString &filter, const QString &suffix,
                           const QString &offered, bool) override
    {
        asked.append({ QStringLiteral("save"), folder, filter, offered, suffix });
        return { fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst(),
                 filterAnswers.isEmpty() ? 0 : filterAnswers.takeFirst() };
    }
};
