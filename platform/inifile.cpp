// The ini file: read (UTF-8, else the legacy code page), its sections and keys found without regard to
// case, unknown lines kept, and saved atomically.
#include "platform/inifile.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <unicode/ucnv.h>

namespace {

// A settings file is a few kilobytes; anything far larger is not one of ours, and reading it whole
// would only exhaust memory.
constexpr qint64 MaxIniFileSize = 16 * 1024 * 1024;

// The profile functions of Windows wrote ini files in the ANSI code page, Shift-JIS on the Japanese
// systems this program comes from; a file that is not valid UTF-8 is read as that.
constexpr char LegacyCodePage[] = "windows-31j";

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

QString DecodeLegacy(const QByteArray& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(LegacyCodePage, &status);
    if (U_FAILURE(status)) return QString::fromUtf8(bytes);
    // Shift-JIS never yields more UTF-16 units than it has bytes.
    QString text(bytes.size() + 1, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()), text.size(),
                                         bytes.constData(), static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status)) return QString::fromUtf8(bytes);
    text.truncate(length);
    return text;
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool IniFile::Load(const QString& path, QString* errorMessage) {
    Lines_.clear();
    CrLf_ = false;
    Bom_ = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage) *errorMessage = file.errorString();
        return false;
    }
    if (file.size() > MaxIniFileSize) {
        if (errorMessage) *errorMessage = QStringLiteral("The file is too large to be a settings file.");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (errorMessage) *errorMessage = file.errorString();
        return false;
    }

    QString text;
    if (bytes.startsWith(Utf8Bom)) {
        Bom_ = true;
        text = QString::fromUtf8(bytes.mid(Utf8Bom.size()));
    } else if (bytes.startsWith(Utf16LeBom)) {
        text = QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(Utf16LeBom.size()));
    } else if (bytes.startsWith(Utf16BeBom)) {
        text = QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(Utf16BeBom.size()));
    } else {
        QStringDecoder utf8(QStringConverter::Utf8);
        text = utf8(bytes);
        if (utf8.hasError()) text = DecodeLegacy(bytes);
    }
    Parse(text);
    return true;
}

void IniFile::Parse(const QString& text) {
    bool firstBreak = true;
    qsizetype start = 0;
    auto addLine = [this](const QString& line) {
        Line parsed;
        parsed.Text = line;
        const QString trimmed = line.trimmed();
        const qsizetype close = trimmed.indexOf(u']');
        const qsizetype equals = line.indexOf(u'=');
        if (trimmed.startsWith(u'[') && close > 0) {
            parsed.Kind = LineKind::Section;
            parsed.Name = trimmed.mid(1, close - 1).trimmed();
        } else if (trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            // a comment
        } else if (equals > 0 && !line.left(equals).trimmed().isEmpty()) {
            parsed.Kind = LineKind::Entry;
            parsed.Text = line.left(equals + 1);
            parsed.Name = line.left(equals).trimmed();
            parsed.Value = line.mid(equals + 1);
        }
        Lines_.push_back(std::move(parsed));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && c != u'\r') continue;
        addLine(text.mid(start, i - start));
        const bool crLf = c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
        if (firstBreak) CrLf_ = crLf;
        firstBreak = false;
        if (crLf) ++i;
        start = i + 1;
    }
    if (start < text.size()) addLine(text.mid(start));
}

int IniFile::FindSection(const QString& name, bool* found) const {
    *found = name.isEmpty();
    if (*found) return -1;
    for (size_t i = 0; i < Lines_.size(); ++i) {
        if (Lines_[i].Kind == LineKind::Section && SameName(Lines_[i].Name, name)) {
            *found = true;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int IniFile::FindEntry(int sectionLine, const QString& key) const {
    for (size_t i = static_cast<size_t>(sectionLine + 1); i < Lines_.size(); ++i) {
        const Line& line = Lines_[i];
        if (line.Kind == LineKind::Section) break;
        if (line.Kind == LineKind::Entry && SameName(line.Name, key)) return static_cast<int>(i);
    }
    return -1;
}

QString IniFile::Value(const QString& section, const QString& key, const QString& fallback) const {
    bool found = false;
    const int header = FindSection(section, &found);
    if (!found) return fallback;
    const int entry = FindEntry(header, key);
    return entry < 0 ? fallback : Lines_[static_cast<size_t>(entry)].Value;
}

bool IniFile::Contains(const QString& section, const QString& key) const {
    bool found = false;
    const int header = FindSection(section, &found);
    return found && FindEntry(header, key) >= 0;
}

bool IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.contains(u']') || section.trimmed() != section) return false;
    if (key.isEmpty() || key.trimmed() != key || key.contains(u'=') || key.startsWith(u'[') ||
        key.startsWith(u';') || key.startsWith(u'#'))
        return false;

    bool found = false;
    const int header = FindSection(section, &found);
    if (found) {
        const int entry = FindEntry(header, key);
        if (entry >= 0) {
            Lines_[static_cast<size_t>(entry)].Value = value;
            return true;
        }
    }
    Line added;
    added.Kind = LineKind::Entry;
    added.Text = key + u'=';
    added.Name = key;
    added.Value = value;
    if (found) {
        // After the section's last entry, so that blank lines and comments that separate it from the
        // next section stay where they are.
        size_t insertAt = static_cast<size_t>(header + 1);
        for (size_t i = insertAt; i < Lines_.size() && Lines_[i].Kind != LineKind::Section; ++i)
            if (Lines_[i].Kind == LineKind::Entry) insertAt = i + 1;
        Lines_.insert(Lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(added));
        return true;
    }
    if (!Lines_.empty() && !Lines_.back().Text.trimmed().isEmpty()) Lines_.push_back(Line{});
    Line head;
    head.Kind = LineKind::Section;
    head.Text = u'[' + section + u']';
    head.Name = section;
    Lines_.push_back(std::move(head));
    Lines_.push_back(std::move(added));
    return true;
}

QByteArray IniFile::ToUtf8() const {
    const QString lineEnd = CrLf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const Line& line : Lines_) {
        text += line.Text;
        if (line.Kind == LineKind::Entry) text += line.Value;
        text += lineEnd;
    }
    QByteArray bytes = text.toUtf8();
    if (Bom_) bytes.prepend(Utf8Bom);
    return bytes;
}

bool IniFile::Save(const QString& path, QString* errorMessage) const {
    // QSaveFile writes a temporary file in the same folder, syncs it and renames it over the old one;
    // it follows a symbolic link to the real file and keeps the old file's permissions. In a folder the
    // user may not write (an installed program's), a file made writable for the user is written in
    // place instead: saving there is worth more than the safety of the rename.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorMessage) *errorMessage = file.errorString();
        return false;
    }
    const QByteArray bytes = ToUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (errorMessage) *errorMessage = file.errorString();
        return false;
    }
    return true;
}
