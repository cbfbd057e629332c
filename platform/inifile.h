// A small ini file of our own: "[section]" headers and "key=value" lines. Keys and sections match
// without regard to case; a value is everything after the first "=", kept exactly (backslashes, blanks,
// any script). Lines this program does not know (other sections, comments) are written back untouched,
// and saving replaces the file atomically (where its folder can be written) so a crash never leaves a
// half-written file behind.
#pragma once

#include <QString>

#include <vector>

class IniFile {
public:
    // Reads the file. UTF-8 (with or without a byte-order mark) is the format we write; UTF-16 with a
    // byte-order mark and Shift-JIS (what the Windows profile functions wrote) are read as well. Lines
    // may end in CR LF, LF or CR. False, with the object left empty, when the file cannot be read.
    bool Load(const QString& path, QString* errorMessage = nullptr);

    // The value of key in section, or fallback when there is none. With duplicates the first section of
    // that name and the first key in it count.
    QString Value(const QString& section, const QString& key, const QString& fallback = QString()) const;
    bool Contains(const QString& section, const QString& key) const;

    // Replaces the value in place (keeping the line's own spelling of the key) or adds the key at the end
    // of its section, adding the section at the end of the file when it is missing. False, with nothing
    // changed, for what one line cannot hold: a line break in any of the three, a key that is empty, has
    // blanks around it, contains "=" or begins with "[", ";" or "#", or a section name containing "]".
    [[nodiscard]] bool SetValue(const QString& section, const QString& key, const QString& value);

    // Writes every line as UTF-8 to a temporary file next to path and renames it over path; where no
    // file can be made next to it, a writable file at path is written in place. The line ends are those
    // of the file that was loaded (LF for a new file). The folder must exist.
    [[nodiscard]] bool Save(const QString& path, QString* errorMessage = nullptr) const;

    // The whole text as Save writes it.
    QByteArray ToUtf8() const;

private:
    enum class LineKind { Other, Section, Entry };
    struct Line {
        LineKind Kind = LineKind::Other;
        QString Text;  // the whole line, or for an entry the text up to and including the "="
        QString Name;  // section name or key, trimmed
        QString Value; // entry value, exactly as written
    };

    void Parse(const QString& text);
    // Index of the header line of the first section called name; -1 when there is none. The empty name
    // stands for the lines in front of the first header (index -1 with found set).
    int FindSection(const QString& name, bool* found) const;
    // Index of the entry for key in the section whose header is at sectionLine; -1 when there is none.
    int FindEntry(int sectionLine, const QString& key) const;

    std::vector<Line> Lines_;
    bool CrLf_ = false;
    bool Bom_ = false;
};
