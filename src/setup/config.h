#pragma once

#include "platform/core/private_folder.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <utility>

class QSqlDatabase;

// Turns a stored field into interface text. The field is Base64 of UTF-8 bytes; the decoder
// never fails: a character outside the alphabet (or "=") counts as 63, a missing one as 0,
// and the length comes from the characters before the first "=".
QString Base64Decode(const QString &text);

// Which menu entries and tools the delivery shows: one flag per field of the store's Menu
// table, named as the field. All shown when the store cannot be read.
struct MenuFlags {
    bool Client_Menu_File = true;
    bool Client_Menu_View = true;
    bool Client_Menu_Wlist = true;
    bool Client_Menu_Help = true;
    bool Client_View_Copy = true;
    bool Client_View_Title = true;
    bool Client_View_CrossLine = true;
    bool Help_Guid = true;
    bool Help_About = true;
    bool MDI_file = true;
    bool MDI_help = true;
    bool MDI_File_Open = true;
    bool MDI_File_Lang = true;
    bool MDI_File_Exit = true;
    bool Tools_Open = true;
    bool Tools_Save = true;
    bool Tools_Print = true;
    bool Tools_Copy = true;
    bool Tools_Export = true;
    bool Tools_Title = true;
    bool Tools_CrossLine = true;
    bool Tools_Lang = true;
    bool Client_View_Summary = true;
};

// The Menu table's fields in their order, each with the flag it fills.
inline constexpr std::array<std::pair<const char *, bool MenuFlags::*>, 23> menuFlagFields { {
    { "Client_Menu_File", &MenuFlags::Client_Menu_File },
    { "Client_Menu_View", &MenuFlags::Client_Menu_View },
    { "Client_Menu_Wlist", &MenuFlags::Client_Menu_Wlist },
    { "Client_Menu_Help", &MenuFlags::Client_Menu_Help },
    { "Client_View_Copy", &MenuFlags::Client_View_Copy },
    { "Client_View_Title", &MenuFlags::Client_View_Title },
    { "Client_View_CrossLine", &MenuFlags::Client_View_CrossLine },
    { "Help_Guid", &MenuFlags::Help_Guid },
    { "Help_About", &MenuFlags::Help_About },
    { "MDI_file", &MenuFlags::MDI_file },
    { "MDI_help", &MenuFlags::MDI_help },
    { "MDI_File_Open", &MenuFlags::MDI_File_Open },
    { "MDI_File_Lang", &MenuFlags::MDI_File_Lang },
    { "MDI_File_Exit", &MenuFlags::MDI_File_Exit },
    { "Tools_Open", &MenuFlags::Tools_Open },
    { "Tools_Save", &MenuFlags::Tools_Save },
    { "Tools_Print", &MenuFlags::Tools_Print },
    { "Tools_Copy", &MenuFlags::Tools_Copy },
    { "Tools_Export", &MenuFlags::Tools_Export },
    { "Tools_Title", &MenuFlags::Tools_Title },
    { "Tools_CrossLine", &MenuFlags::Tools_CrossLine },
    { "Tools_Lang", &MenuFlags::Tools_Lang },
    { "Client_View_Summary", &MenuFlags::Client_View_Summary },
} };

// The interface-text store of one run: the SQLite database carried in the program (or another
// file, for tests) and the files written from it. One lives for the whole run, created after
// the application object; every Config reads through it. Files are written only when missing
// or changed, and the images go to a private folder that disappears with this object.
class InterfaceTextStore {
public:
    static QString builtInPath() { return QStringLiteral(":/store/interface.db"); }

    explicit InterfaceTextStore(const QString &storePath = builtInPath());
    // Writes the pages beside `programFolder` instead of the program's own folder.
    InterfaceTextStore(const QString &storePath, const QString &programFolder);
    InterfaceTextStore(const InterfaceTextStore &) = delete;
    InterfaceTextStore &operator=(const InterfaceTextStore &) = delete;

    // The first failure to read the store or to write a file from it, for the status line;
    // given out once, empty afterwards.
    QString takeProblem();

    // For Config: a database file SQLite can open, "" (with a problem noted) when there is none.
    QString databaseFile();
    const QString &programFolder() const { return programFolder_; }
    // Makes `path` hold `bytes`; true when it does (written now or before). Folders are made
    // as needed; a failure is noted.
    bool writeFile(const QString &path, const QByteArray &bytes);
    // The path of a file in the run's private folder that holds `bytes`, "" on failure.
    QString writePrivateFile(const QString &name, const QByteArray &bytes);
    void noteProblem(const QString &problem);

private:
    QString privateFolder();

    QString storePath_;
    QString programFolder_;
    std::optional<PrivateFolder> private_;
    QString extractedStore_;
    QHash<QString, QByteArray> written_;
    QString problem_;
    bool problemTaken_ = false;
};

// A read-only snapshot of the interface-text store, taken when it is created. Create one for
// each use and let it go; the pages and images it names stay on disk.
class Config {
public:
    explicit Config(InterfaceTextStore &store);

    const QString &Caption() const { return caption_; }
    const QString &AboutCHT() const { return aboutCHT_; }
    const QString &AboutEN() const { return aboutEN_; }
    // The about text of a store column a language names: AboutCHT for "AboutCHT", AboutEN for
    // every other.
    const QString &About(const char *column) const;
    // Docked width of the advertisement pane in twips; 0 runs without the pane.
    qint32 AdWidth() const { return adWidth_; }
    const QString &AD_Html_FileName() const { return adHtmlFileName_; }
    const QString &Guid_Html_FileName() const { return guidHtmlFileName_; }
    // Image files; "" when the store has no such picture.
    const QString &AboutImg() const { return aboutImg_; }
    const QString &Splash() const { return splash_; }
    const MenuFlags &flags() const { return flags_; }

private:
    void load(InterfaceTextStore &store, const QString &databaseFile);
    void readInterface(InterfaceTextStore &store, const QSqlDatabase &db);
    void readPages(InterfaceTextStore &store, const QSqlDatabase &db);
    void readMenu(InterfaceTextStore &store, const QSqlDatabase &db);

    QString caption_;
    QString aboutCHT_;
    QString aboutEN_;
    qint32 adWidth_ = 0;
    QString adHtmlFileName_;
    QString guidHtmlFileName_;
    QString aboutImg_;
    QString splash_;
    MenuFlags flags_;
};
