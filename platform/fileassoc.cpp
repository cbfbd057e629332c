// The program-file association the freedesktop way: the MIME package, the desktop entry and the default
// application in mimeapps.list, written and read back in the user's folders.
#include "platform/fileassoc.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

int AssocChoice = AssocChoiceValue::None;

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

constexpr char16_t DesktopEntryGroup[] = u"Desktop Entry";
constexpr char16_t DefaultApplicationsGroup[] = u"Default Applications";
constexpr char16_t AddedAssociationsGroup[] = u"Added Associations";
constexpr char16_t ExecKey[] = u"Exec";
constexpr char16_t RunOption[] = u"-R";
constexpr char16_t RunEditOption[] = u"-A";
constexpr char16_t FileFieldCode[] = u"%f";
constexpr char16_t ApplicationName[] = u"Lorvex";
constexpr char16_t TypeDescription[] = u"Lorvex Text";
// The program's icon in the desktop's icon theme (installed with the program).
constexpr char16_t ApplicationIconName[] = u"lorvex";
constexpr char16_t LxtGlob[] = u"*.lxt";
constexpr int ToolTimeoutMs = 20000;

// A folder from an XDG variable; an unset, empty or relative value means the default below home.
QString XdgFolder(const char* variable, const char* defaultBelowHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return QDir::homePath() + u'/' + QLatin1String(defaultBelowHome);
}

// ---- key files (desktop entries and mimeapps.list) ------------------------------------------------
// Only the lines we change are rewritten; comments, other groups and other keys stay exactly as they
// were, because mimeapps.list belongs to every program of the user.
class KeyFileLines {
public:
    // False when the file exists but cannot be read; a missing file reads as empty.
    bool Load(const QString& path, QString* reason) {
        Lines_.clear();
        QFile file(path);
        if (!file.exists()) return true;
        if (!file.open(QIODevice::ReadOnly)) {
            if (reason) *reason = file.errorString();
            return false;
        }
        QString text = QString::fromUtf8(file.readAll());
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        Lines_ = text.split(u'\n');
        // A final line end leaves an empty last element, which is no line of the file.
        if (!Lines_.isEmpty() && Lines_.constLast().isEmpty()) Lines_.removeLast();
        return true;
    }

    QByteArray ToUtf8() const {
        QString text;
        for (const QString& line : Lines_)
            text += line + u'\n';
        return text.toUtf8();
    }

    // The value of key in group; a null string when there is none.
    QString Value(const QString& group, const QString& key) const {
        const int line = FindKey(group, key);
        if (line < 0) return QString();
        const QString& text = Lines_.at(line);
        return text.mid(text.indexOf(u'=') + 1).trimmed();
    }

    void SetValue(const QString& group, const QString& key, const QString& value) {
        const QString entry = key + u'=' + value;
        const int line = FindKey(group, key);
        if (line >= 0) {
            Lines_[line] = entry;
            return;
        }
        int header = FindGroup(group);
        if (header < 0) {
            if (!Lines_.isEmpty() && !Lines_.constLast().trimmed().isEmpty()) Lines_.append(QString());
            Lines_.append(u'[' + group + u']');
            header = int(Lines_.size()) - 1;
        }
        // After the group's last non-blank line, so a blank line before the next group stays there.
        int at = header + 1;
        for (int i = header + 1; i < GroupEnd(header); ++i)
            if (!Lines_.at(i).trimmed().isEmpty()) at = i + 1;
        Lines_.insert(at, entry);
    }

    void Remove(const QString& group, const QString& key) {
        const int line = FindKey(group, key);
        if (line >= 0) Lines_.removeAt(line);
    }

private:
    static bool IsHeader(const QString& line) { return line.trimmed().startsWith(u'['); }

    int FindGroup(const QString& group) const {
        const QString header = u'[' + group + u']';
        for (int i = 0; i < int(Lines_.size()); ++i)
            if (Lines_.at(i).trimmed() == header) return i;
        return -1;
    }

    int GroupEnd(int header) const {
        int i = header + 1;
        while (i < int(Lines_.size()) && !IsHeader(Lines_.at(i)))
            ++i;
        return i;
    }

    int FindKey(const QString& group, const QString& key) const {
        const int header = FindGroup(group);
        if (header < 0) return -1;
        for (int i = header + 1; i < GroupEnd(header); ++i) {
            const QString& line = Lines_.at(i);
            if (line.trimmed().startsWith(u'#')) continue;
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0 && line.left(equals).trimmed() == key) return i;
        }
        return -1;
    }

    QStringList Lines_;
};

bool Fail(QString* errorMessage, const QString& text) {
    if (errorMessage) *errorMessage = text;
    return false;
}

// Replaces the file at once (a crash never leaves half of it), making its folder when needed.
bool WriteWhole(const QString& path, const QByteArray& bytes, QString* errorMessage) {
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder))
        return Fail(errorMessage, QStringLiteral("The folder %1 cannot be made.").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Fail(errorMessage, QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    return true;
}

bool RemoveFile(const QString& path, QString* errorMessage) {
    QFile file(path);
    if (!file.exists() || file.remove()) return true;
    return Fail(errorMessage, QStringLiteral("%1 cannot be removed: %2").arg(path, file.errorString()));
}

// A list value of mimeapps.list ("a.desktop;b.desktop;") as its entries.
QStringList ListEntries(const QString& value) {
    QStringList entries = value.split(u';', Qt::SkipEmptyParts);
    for (QString& entry : entries)
        entry = entry.trimmed();
    entries.removeAll(QString());
    return entries;
}

QString ListValue(const QStringList& entries) {
    return entries.isEmpty() ? QString() : entries.join(u';') + u';';
}

// Puts our desktop entry first in the list of one group, keeping the other programs behind it.
void PutFirst(KeyFileLines& list, const QString& group) {
    const QString type = T(LxtMimeType), id = T(LxtDesktopFileName);
    QStringList entries = ListEntries(list.Value(group, type));
    entries.removeAll(id);
    entries.prepend(id);
    list.SetValue(group, type, ListValue(entries));
}

// Takes our desktop entry out of the list of one group; a list left empty goes with it.
void TakeOut(KeyFileLines& list, const QString& group) {
    const QString type = T(LxtMimeType), id = T(LxtDesktopFileName);
    const QString value = list.Value(group, type);
    if (value.isNull()) return;
    QStringList entries = ListEntries(value);
    if (!entries.contains(id)) return;
    entries.removeAll(id);
    if (entries.isEmpty())
        list.Remove(group, type);
    else
        list.SetValue(group, type, ListValue(entries));
}

QByteArray MimePackageText() {
    QString text;
    text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    text += QLatin1String("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    text += QStringLiteral("  <mime-type type=\"%1\">\n").arg(T(LxtMimeType));
    text += QStringLiteral("    <comment>%1</comment>\n").arg(T(TypeDescription));
    text += QLatin1String("    <sub-class-of type=\"text/plain\"/>\n");
    text += QStringLiteral("    <glob pattern=\"%1\"/>\n").arg(T(LxtGlob));
    text += QLatin1String("  </mime-type>\n");
    text += QLatin1String("</mime-info>\n");
    return text.toUtf8();
}

QByteArray DesktopEntryText(const QString& exec) {
    QString text;
    text += u'[' + T(DesktopEntryGroup) + QLatin1String("]\n");
    text += QLatin1String("Type=Application\n");
    text += QStringLiteral("Name=%1\n").arg(T(ApplicationName));
    text += QStringLiteral("Comment=%1\n").arg(T(TypeDescription));
    text += QStringLiteral("Exec=%1\n").arg(exec);
    text += QStringLiteral("MimeType=%1;\n").arg(T(LxtMimeType));
    // Only for opening files: no launcher of its own in the desktop's menus.
    text += QLatin1String("NoDisplay=true\n");
    text += QLatin1String("Terminal=false\n");
    text += QStringLiteral("Icon=%1\n").arg(T(ApplicationIconName));
    return text.toUtf8();
}

void RefreshDesktopCaches(const AssociationFiles& files) {
    if (!AssociationToolHook) return;
    AssociationToolHook(QStringLiteral("update-mime-database"), {files.MimeFolder});
    AssociationToolHook(QStringLiteral("update-desktop-database"), {files.ApplicationsFolder});
}

void RunInstalledTool(const QString& program, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted()) return;
    if (!process.waitForFinished(ToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace

std::function<void(const QString&, const QStringList&)> AssociationToolHook = RunInstalledTool;

AssociationFiles CurrentAssociationFiles() {
    const QString data = XdgFolder("XDG_DATA_HOME", ".local/share");
    const QString config = XdgFolder("XDG_CONFIG_HOME", ".config");
    AssociationFiles files;
    files.MimeFolder = data + QLatin1String("/mime");
    files.MimePackage = files.MimeFolder + QLatin1String("/packages/") + T(LxtMimePackageName);
    files.ApplicationsFolder = data + QLatin1String("/applications");
    files.DesktopFile = files.ApplicationsFolder + u'/' + T(LxtDesktopFileName);
    files.MimeAppsList = config + QLatin1String("/mimeapps.list");
    return files;
}

QString AssociationCommand(int choice, const QString& programPath) {
    if (programPath.contains(u'\n') || programPath.contains(u'\r')) return QString();
    // A "%" cannot stand in the program of an Exec value: GLib looks the program up with "%%" as it
    // stands (and drops the entry when no such file exists), but launches it with "%%" made "%" and
    // a single "%" taken as a field code. No quoting serves both readings.
    if (programPath.contains(u'%')) return QString();
    // The program is always quoted; inside the quotes ", `, $ and \ take a backslash, and the value as
    // a whole doubles every backslash once more.
    QString quoted;
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    QString exec = quoted;
    if (choice == AssocChoiceValue::Run) exec += u' ' + T(RunOption);
    if (choice == AssocChoiceValue::RunEdit) exec += u' ' + T(RunEditOption);
    return exec + u' ' + T(FileFieldCode);
}

QStringList SplitExecValue(const QString& exec) {
    // First the escapes of any string value of a desktop entry.
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c != u'\\' || i + 1 >= exec.size()) {
            value += c;
            continue;
        }
        const QChar next = exec.at(++i);
        if (next == u's')
            value += u' ';
        else if (next == u'n')
            value += u'\n';
        else if (next == u't')
            value += u'\t';
        else if (next == u'r')
            value += u'\r';
        else if (next == u'\\')
            value += u'\\';
        else
            value += QString(c) + next;
    }
    // Then the quoting of the command line.
    QStringList arguments;
    QString current;
    bool inArgument = false, quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < value.size() &&
                       QStringView(u"\"`$\\").contains(value.at(i + 1))) {
                current += value.at(++i);
            } else {
                current += c;
            }
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument) arguments.append(current);
            current.clear();
            inArgument = false;
        } else if (c == u'"') {
            quoted = inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument && !quoted) arguments.append(current);
    for (QString& argument : arguments)
        argument.replace(QLatin1String("%%"), QLatin1String("%"));
    return arguments;
}

int ReadAssociation() {
    const AssociationFiles files = CurrentAssociationFiles();
    if (!QFileInfo::exists(files.MimePackage)) return AssocChoiceValue::None;

    // Another program chosen as the default for the type leaves our desktop entry out of play.
    KeyFileLines mimeApps;
    if (mimeApps.Load(files.MimeAppsList, nullptr)) {
        const QStringList defaults = ListEntries(mimeApps.Value(T(DefaultApplicationsGroup), T(LxtMimeType)));
        if (!defaults.isEmpty() && defaults.constFirst() != T(LxtDesktopFileName))
            return AssocChoiceValue::Edit;
    }

    KeyFileLines desktop;
    if (!desktop.Load(files.DesktopFile, nullptr)) return AssocChoiceValue::Edit;
    const QStringList arguments = SplitExecValue(desktop.Value(T(DesktopEntryGroup), T(ExecKey)));
    int choice = AssocChoiceValue::Edit;
    // The program itself is not an option, whatever its path holds.
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments.at(i) == T(RunOption) && choice == AssocChoiceValue::Edit)
            choice = AssocChoiceValue::Run;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments.at(i) == T(RunEditOption)) choice = AssocChoiceValue::RunEdit;
    return choice;
}

bool WriteAssociation(int choice, const QString& programPath, QString* errorMessage) {
    const AssociationFiles files = CurrentAssociationFiles();
    KeyFileLines mimeApps;
    QString reason;
    // mimeapps.list holds other programs' choices: one we cannot read is not overwritten.
    if (!mimeApps.Load(files.MimeAppsList, &reason))
        return Fail(errorMessage, QStringLiteral("%1 cannot be read: %2").arg(files.MimeAppsList, reason));

    if (choice == AssocChoiceValue::None) {
        if (QFileInfo::exists(files.MimeAppsList)) {
            TakeOut(mimeApps, T(DefaultApplicationsGroup));
            TakeOut(mimeApps, T(AddedAssociationsGroup));
            if (!WriteWhole(files.MimeAppsList, mimeApps.ToUtf8(), errorMessage)) return false;
        }
        if (!RemoveFile(files.DesktopFile, errorMessage) || !RemoveFile(files.MimePackage, errorMessage))
            return false;
        RefreshDesktopCaches(files);
        return true;
    }

    if (choice < AssocChoiceValue::Run || choice > AssocChoiceValue::Edit)
        return Fail(errorMessage, QStringLiteral("There is no association choice %1.").arg(choice));
    const QString exec = AssociationCommand(choice, programPath);
    if (exec.isEmpty())
        return Fail(errorMessage,
                    QStringLiteral("The program path %1 cannot be used in a desktop entry: a line break or "
                                   "a \"%\" in it cannot stand in the command that the desktop runs.")
                        .arg(programPath));
    if (!WriteWhole(files.MimePackage, MimePackageText(), errorMessage) ||
        !WriteWhole(files.DesktopFile, DesktopEntryText(exec), errorMessage))
        return false;
    PutFirst(mimeApps, T(DefaultApplicationsGroup));
    PutFirst(mimeApps, T(AddedAssociationsGroup));
    if (!WriteWhole(files.MimeAppsList, mimeApps.ToUtf8(), errorMessage)) return false;
    RefreshDesktopCaches(files);
    return true;
}
