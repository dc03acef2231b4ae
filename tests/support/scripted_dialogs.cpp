#include "support/scripted_dialogs.h"

QString ScriptedDialogs::askOpenFile(const QString &folder, const QString &filter, const QString &,
                                     const QString &offered)
{
    asked.append({ QStringLiteral("open"), folder, filter, offered });
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedDialogs::askSaveFile(const QString &folder, const QString &filter, const QString &,
                                     const QString &offered, bool)
{
    asked.append({ QStringLiteral("save"), folder, filter, offered });
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

Dialogs::Answer ScriptedDialogs::message(const QString &text, const QString &title, Icon, Buttons)
{
    asked.append({ QStringLiteral("message"), text, title, {} });
    return messageAnswers.isEmpty() ? Answer::Ok : messageAnswers.takeFirst();
}

std::optional<QString> ScriptedDialogs::input(const QString &prompt, const QString &title,
                                              const QString &defaultText)
{
    asked.append({ QStringLiteral("input"), prompt, title, {}, defaultText });
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
}
