#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every question the program asks the user goes through here, so tests can answer from
// a script. Filters use the "Description(*.ext)|*.ext|All files(*.*)|*.*" form that the
// commands have always passed; the real dialogs show them the platform's way.
class Dialogs {
public:
    enum class Icon { None, Question, Critical, Information };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    // A file dialog's answer: the path ("" when cancelled) and the filter chosen, counted from
    // 0 in the order the filter string lists them.
    struct FileChoice {
        QString path;
        qsizetype filter = 0;
    };

    virtual ~Dialogs() = default;

    // The chosen path, or "" when the user cancelled. The next file dialog offers the chosen
    // name again until a command forgets it: a save that was not confirmed, or an open that
    // failed, offers the same name next time.
    QString openFile(const QString &folder, const QString &filter, const QString &defaultSuffix)
    {
        return fileName_ = askOpenFile(folder, filter, defaultSuffix, fileName_).path;
    }
    QString saveFile(const QString &folder, const QString &filter, const QString &defaultSuffix)
    {
        return fileName_ = askSaveFile(folder, filter, defaultSuffix, fileName_, false).path;
    }
    // A file to write that is not a run file: no name offered, the remembered one left alone,
    // and the dialog itself asks before an existing file is replaced. `chosenFilter`, when
    // given, receives the filter chosen; a name without an ending takes that filter's.
    QString exportFile(const QString &folder, const QString &filter, const QString &defaultSuffix,
                       qsizetype *chosenFilter = nullptr);
    // The ending ("bdf.csv") a name takes under the filter at `index`: its pattern's, or
    // `defaultSuffix` under "*.*".
    static QString ending(const QString &filter, qsizetype index, const QString &defaultSuffix);
    // The name the next file dialog offers.
    QString fileName() const { return fileName_; }
    // A command finished with its file: the next dialog starts without a name.
    void forgetFileName() { fileName_.clear(); }

    virtual Answer message(const QString &text, const QString &title, Icon icon,
                           Buttons buttons = Buttons::Ok)
        = 0;
    // A folder chosen from `start`, or "" when the user cancelled.
    virtual QString folder(const QString &start) = 0;
    // The typed text, at most `maxLength` characters, or none when the user cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText, int maxLength)
        = 0;
    // A text picked from `offered` (the first one proposed) or typed, as input() takes it.
    virtual std::optional<QString> choose(const QString &prompt, const QString &title,
                                          const QStringList &offered, int maxLength)
        = 0;
    // The texts typed into a form, a field for each of `labels` with its text of `offered`, at
    // most `maxLength` characters each; none when the user cancelled.
    virtual std::optional<QStringList> form(const QString &title, const QStringList &labels,
                                            const QStringList &offered, int maxLength)
        = 0;

    // Files to open, several at once; none when the user cancelled.
    virtual QStringList openFiles(const QString &folder, const QString &filter) = 0;
    // For each of `labels`, one of `options` by its index, starting from `chosen`; none when
    // the user cancelled. `note` stands above the choices.
    virtual std::optional<QList<int>> picks(const QString &title, const QString &note,
                                            const QStringList &labels, const QStringList &options,
                                            const QList<int> &chosen)
        = 0;

protected:
    virtual FileChoice askOpenFile(const QString &folder, const QString &filter,
                                   const QString &defaultSuffix, const QString &offered)
        = 0;
    // With `askOverwrite` the dialog asks before an existing file is chosen; otherwise the
    // caller asks its own question.
    virtual FileChoice askSaveFile(const QString &folder, const QString &filter,
                                   const QString &defaultSuffix, const QString &offered,
                                   bool askOverwrite)
        = 0;

private:
    QString fileName_;
};

// The real dialogs, parented to `parent` (may be null).
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : parent_(parent) { }
    // The window the dialogs stand over, once it exists.
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText, int maxLength) override;
    std::optional<QString> choose(const QString &prompt, const QString &title,
                                  const QStringList &offered, int maxLength) override;
    std::optional<QStringList> form(const QString &title, const QStringList &labels,
                                    const QStringList &offered, int maxLength) override;
    QString folder(const QString &start) override;
    QStringList openFiles(const QString &folder, const QString &filter) override;
    std::optional<QList<int>> picks(const QString &title, const QString &note,
                                    const QStringList &labels, const QStringList &options,
                                    const QList<int> &chosen) override;

    // "A(*.a)|*.a|B(*.*)|*.*" as QFileDialog wants it: "A (*.a);;B (*)". "*.*" means every file
    // where the filter comes from, but only names with a dot here.
    static QString qtFilter(const QString &filter);

protected:
    FileChoice askOpenFile(const QString &folder, const QString &filter,
                           const QString &defaultSuffix, const QString &offered) override;
    FileChoice askSaveFile(const QString &folder, const QString &filter,
                           const QString &defaultSuffix, const QString &offered,
                           bool askOverwrite) override;

private:
    QWidget *parent_;
};
