// The layout of the standard dialogs: message boxes fitted to their caption and lines, file dialogs
// sized for their columns.
#include "ui/dialoglayout.h"

#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QTextDocument>
#include <QTreeView>

#include <algorithm>

namespace {

// Room a title bar takes besides the caption: the window menu icon and three buttons, with margins.
constexpr int TitleBarButtonsAllowance = 120;

// The toolkit's message box grows no wider than the screen on a screen up to 1024 pixels wide, and
// than the screen less 480 (at most 1000) on a wider one; past that it breaks its text anywhere.
constexpr int SmallScreenWidth = 1024;
constexpr int WideScreenReserve = 480;
constexpr int WidestMessageBox = 1000;
// What a message box needs beside its text: the icon, the margins and the spacing between them.
constexpr int MessageBoxChromeWidth = 120;
// The narrowest text a message box breaks its lines for, however small the screen.
constexpr int NarrowestMessageText = 200;
// The label's own margins around the text it lays out.
constexpr int LabelSlack = 8;
// The object name the toolkit gives a message box's text label.
constexpr char MessageLabelName[] = "qt_msgbox_label";

// A file dialog with a side bar and a list of four columns (name, size, type, date), at most this
// share of the screen.
constexpr int FileDialogWidth = 900;
constexpr int FileDialogHeight = 560;
constexpr int FileDialogScreenPercent = 90;
constexpr int NameColumn = 0;
// The object name of the toolkit's file dialog's list in its detail view.
constexpr char FileListName[] = "treeView";

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

bool IsPathSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

QString WithoutTrailingBlanks(QString text) {
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

const QScreen* ScreenOf(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    if (parent != nullptr && parent->screen() != nullptr) return parent->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

int MessageBoxCaptionWidth(const QString& caption, const QFont& font) {
    QFont titleFont = font;
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(caption) + TitleBarButtonsAllowance;
}

QStringList MessageBoxLines(const QString& text, const QFont& font, int maxWidth) {
    const QFontMetrics metrics(font);
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (metrics.horizontalAdvance(line) <= maxWidth) {
            lines.append(line);
            continue;
        }
        // The line's parts, each ending after a path separator or a blank, go on one line while they
        // fit; a blank where the line breaks is not kept.
        QString current;
        qsizetype start = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const bool last = i + 1 == line.size();
            if (!last && !IsBlank(line.at(i)) && !IsPathSeparator(line.at(i))) continue;
            const QString part = line.mid(start, i + 1 - start);
            start = i + 1;
            if (!current.isEmpty() &&
                metrics.horizontalAdvance(WithoutTrailingBlanks(current + part)) > maxWidth) {
                lines.append(WithoutTrailingBlanks(current));
                current = part;
            } else {
                current += part;
            }
        }
        lines.append(WithoutTrailingBlanks(current));
    }
    return lines;
}

void FitMessageBox(QMessageBox& box, const QString& caption) {
    // A short text would leave the window manager to cut the caption short ("Lorv... Box").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(MessageBoxCaptionWidth(caption, box.font()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));

    auto* label = box.findChild<QLabel*>(QLatin1String(MessageLabelName));
    if (label == nullptr || Qt::mightBeRichText(box.text())) return;
    int lineLimit = NarrowestMessageText;
    if (const QScreen* screen = ScreenOf(box)) {
        const int screenWidth = screen->availableGeometry().width();
        const int boxLimit = screenWidth <= SmallScreenWidth
                                 ? screenWidth
                                 : std::min(screenWidth - WideScreenReserve, WidestMessageBox);
        lineLimit = std::max(NarrowestMessageText, boxLimit - MessageBoxChromeWidth);
    }
    const QStringList lines = MessageBoxLines(box.text(), label->font(), lineLimit);
    box.setText(lines.join(u'\n'));
    // The label as wide as its widest line: the box then has no narrower width at which it would
    // break a line of its own accord. A part too long to break stays within the screen all the same.
    const QFontMetrics metrics(label->font());
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    label->setMinimumWidth(std::min(width, lineLimit) + LabelSlack);
}

void FitFileDialog(QFileDialog& dialog) {
    QSize size(FileDialogWidth, FileDialogHeight);
    if (const QScreen* screen = ScreenOf(dialog))
        size = size.boundedTo(screen->availableGeometry().size() * FileDialogScreenPercent / 100);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));

    auto* list = dialog.findChild<QTreeView*>(QLatin1String(FileListName));
    if (list == nullptr) return; // the platform's own dialog
    // The names take what the other columns leave; those follow their texts in every folder shown
    // (the dialog sizes them once for short English texts: "824 bytes" read "824...tes").
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column = NameColumn + 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}
