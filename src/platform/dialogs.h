#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every question the program asks the user goes through here, so tests can answer from
// a script. Filters use the "Description|*.ext|Description|*.*" form of the run files.
class Dialogs {
public:
    enum class Icon { None, Question, Critical, Information };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    // The name the next file dialog offers, as the commands leave it: a save that was not
    // confirmed offers the same name again, a finished one offers none.
    QString fileName;
    // The chosen path, or "" when the user cancelled.
    virtual QString openFile(const QString &folder, const QString &filter,
                             const QString &defaultSuffix)
        = 0;
    virtual QString saveFile(const QString &folder, const QString &filter,
                             const QString &defaultSuffix)
        = 0;
    virtual Answer message(const QString &text, const QString &title, Icon icon,
                           Buttons buttons = Buttons::Ok)
        = 0;
    // The typed text, or none when the user cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText)
        = 0;
};

// The real dialogs, parented to `parent` (may be null).
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : parent_(parent) { }
    // The window the dialogs stand over, once it exists.
    void setParent(QWidget *parent) { parent_ = parent; }
    QString openFile(const QString &folder, const QString &filter,
                     const QString &defaultSuffix) override;
    QString saveFile(const QString &folder, const QString &filter,
                     const QString &defaultSuffix) override;
    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;

    // "A|*.a|B|*.*" as QFileDialog wants it: "A (*.a);;B (*.*)".
    static QString qtFilter(const QString &filter);

private:
    QWidget *parent_;
};

// Test double: answers come from queues filled by the test; every question is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Asked {
        QString kind, text, title;
        QString fileName; // the name a file dialog offered
    };

    QStringList fileAnswers; // for openFile and saveFile, in order ("" = cancel)
    QList<Answer> messageAnswers; // default Ok when empty
    QList<std::optional<QString>> inputAnswers; // default cancel when empty
    QList<Asked> asked;

    QString openFile(const QString &folder, const QString &filter,
                     const QString &defaultSuffix) override;
    QString saveFile(const QString &folder, const QString &filter,
                     const QString &defaultSuffix) override;
    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
};
