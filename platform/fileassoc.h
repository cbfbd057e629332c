// What a double click on a program file (.lxt) does, kept the freedesktop way in the user's own folders:
// a MIME type for *.lxt (a shared-mime-info package under $XDG_DATA_HOME/mime/packages), a desktop entry
// that starts the program with the chosen option (under $XDG_DATA_HOME/applications) and the default
// application for that type in $XDG_CONFIG_HOME/mimeapps.list. Nothing outside those folders is touched.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The four choices of the association window.
namespace AssocChoiceValue {
inline constexpr int Run = 1;     // run it, the editor minimised (-R)
inline constexpr int RunEdit = 2; // run it, the editor shown (-A)
inline constexpr int Edit = 3;    // open it in an editor
inline constexpr int None = 4;    // no association
} // namespace AssocChoiceValue

// The choice found when the association window last read what is in force (1 to 4).
extern int AssocChoice;

// The names our association uses.
inline constexpr char16_t LxtMimeType[] = u"text/x-lorvex";
inline constexpr char16_t LxtMimePackageName[] = u"lorvex-lxt.xml";
inline constexpr char16_t LxtDesktopFileName[] = u"lorvex-lxt.desktop";
// The program that the desktop entry starts, in the program folder.
inline constexpr char16_t ProgramFileName[] = u"lorvex";

// The three files, from the XDG variables as they stand now (unset, empty or relative: the defaults).
struct AssociationFiles {
    QString MimeFolder;  // $XDG_DATA_HOME/mime (what update-mime-database rebuilds)
    QString MimePackage; // $XDG_DATA_HOME/mime/packages/lorvex-lxt.xml
    QString ApplicationsFolder;
    QString DesktopFile;  // $XDG_DATA_HOME/applications/lorvex-lxt.desktop
    QString MimeAppsList; // $XDG_CONFIG_HOME/mimeapps.list
};
AssociationFiles CurrentAssociationFiles();

// The choice in force: None without our MIME type; otherwise Run or RunEdit when our desktop entry
// starts the program with -R or -A (-A wins when both stand there), else Edit (also when mimeapps.list
// names another program as the default for the type).
int ReadAssociation();

// The Exec value of the desktop entry for a choice of 1 to 3: the program (quoted), the option, "%f".
// Empty when the path cannot stand in a desktop entry (a line break or a "%" in it).
QString AssociationCommand(int choice, const QString& programPath);

// The arguments of an Exec value, unquoted as the desktop-entry rules say (field codes kept as they
// stand). A value with an unterminated quote gives what was read up to it.
QStringList SplitExecValue(const QString& exec);

// Choices 1 to 3 write the MIME type, the desktop entry and the default application; choice 4 removes
// all three (other programs' entries in mimeapps.list are kept). The desktop's caches are rebuilt
// afterwards. False, with a message for the user, when a file cannot be written; what was already
// written stays.
[[nodiscard]] bool WriteAssociation(int choice, const QString& programPath, QString* errorMessage = nullptr);

// Runs a desktop tool that rebuilds a cache (update-mime-database FOLDER, update-desktop-database
// FOLDER). The default runs it when it is installed and waits for it a short while; a missing or failing
// tool is not an error (the files are in place, the desktop picks them up at its next refresh). Tests
// replace it.
extern std::function<void(const QString& program, const QStringList& arguments)> AssociationToolHook;
