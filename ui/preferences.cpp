// The preferences window: its four pages, each page's settings read and applied, the
// store chosen, and the folder, colour and font choosers behind their hooks.
#include "ui/preferences.h"

#include "platform/settings.h"
#include "platform/settingsstore.h"
#include "resources/texts.h"
#include "ui/colorfont.h"
#include "ui/mainframe.h"
#include "ui/runform.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>

#include <cstdint>
#include <iterator>
#include <mutex>

namespace {

constexpr char16_t WindowFontFamily[] = u"Arial";

// Figures of the layout. The page buttons and the folder rows stand where the design put them; the
// rest follows a plain grid.
constexpr int Margin = 24;
constexpr int ButtonWidth = 100;
constexpr int ButtonHeight = 25;
constexpr int RefButtonWidth = 60;
constexpr int EditHeight = 24;
constexpr int LabelHeight = 20;
constexpr int FirstPageButtonTop = 396;
constexpr int FirstPageButtonLefts[] = {225, 332, 450};
constexpr int PageButtonTop = 422;
constexpr int PageButtonLefts[] = {214, 321, 439};
constexpr int FolderBoxWidth = 404;
constexpr int FolderButtonLeft = 482;
constexpr int FolderRowTops[] = {20, 80};
constexpr int SwitchTop = 150;
constexpr int SwitchWidth = 260;
constexpr int OptionRowStep = 30;
constexpr int StoreLeft = 300;
constexpr int StoreWidth = 280;
constexpr int PresentSettingWidth = 160;
constexpr int SwatchWidth = 43;
constexpr int SwatchHeight = 32;
constexpr int ColorRowTop = 16;
constexpr int ColorRowStep = 44;
constexpr int ColorLabelWidth = 96;
constexpr int SwatchLeft = 120;
constexpr int SwatchButtonLeft = 175;
constexpr int StyleLabelLeft = 260;
constexpr int StyleComboLeft = 330;
constexpr int StyleComboWidth = 130;
constexpr int EditorFontTop = 250;
constexpr int TScreenFontTop = 120;
constexpr int FontBoxLefts[] = {24, 104, 294, 424};
constexpr int FontBoxWidths[] = {70, 180, 120, 50};
constexpr int SizeRowTop = 30;
constexpr int SizeRowStep = 50;
constexpr int SizeLabelWidth = 150;
constexpr int WidthLabelLeft = 180;
constexpr int WidthBoxLeft = 210;
constexpr int HeightLabelLeft = 296;
constexpr int HeightBoxLeft = 340;
constexpr int SizeBoxWidth = 70;
constexpr int SizeButtonLeft = 430;
constexpr int ScreenDpi = 96;
constexpr int PointsPerInch = 72;
// The run window's button bar above its text area.
constexpr int RunButtonBarHeight = 21;

// Style lists: item numbers and the style sets they stand for.
constexpr std::uint8_t StyleOfItem[] = {0, FontStyleBit::Italic, FontStyleBit::Bold,
                                        FontStyleBit::Bold | FontStyleBit::Italic};
static_assert(std::size(StyleOfItem) == std::size(Txt::OptionStyleItems));
constexpr int NoItem = -1;

int ItemOfStyle(std::uint8_t style) {
    for (int i = 0; i < int(std::size(StyleOfItem)); ++i)
        if (StyleOfItem[i] == style) return i;
    return NoItem;
}

// The text a style box shows for a font's style. The four plain styles read as the style lists name
// them; any other (Underline, StrikeOut) in the form the font chooser gives, so that saving the page
// does not lose it.
QString StyleBoxText(std::uint8_t style) {
    const int item = ItemOfStyle(style);
    return item == NoItem ? FontStyleToStr(style) : T(Txt::OptionStyleItems[item]);
}

// A font's size in points; a font given in pixels is converted at the screen's 96 dots per inch.
int PointSizeOf(const QFont& font) {
    if (font.pointSize() > 0) return font.pointSize();
    if (font.pixelSize() > 0) return (font.pixelSize() * PointsPerInch + ScreenDpi / 2) / ScreenDpi;
    return 0;
}

QLabel* AddLabel(QWidget* page, const char16_t* text, int left, int top, int width) {
    auto* label = new QLabel(T(text), page);
    label->setGeometry(left, top, width, LabelHeight);
    return label;
}

QPushButton* AddButton(QWidget* page, const char16_t* text, int left, int top, int width = ButtonWidth) {
    auto* button = new QPushButton(T(text), page);
    button->setGeometry(left, top, width, ButtonHeight);
    return button;
}

QLineEdit* AddEdit(QWidget* page, int left, int top, int width, bool readOnly = false) {
    auto* edit = new QLineEdit(page);
    edit->setGeometry(left, top, width, EditHeight);
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace

std::optional<QString> DefaultFolderDialog(QWidget* parent, const QString& caption, const QString& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(parent, caption, folder);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QColor> DefaultColorDialog(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

std::optional<QFont> DefaultFontDialog(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return chosen;
}

namespace {

// One colour row of a page: its label, the colour swatch and the button that chooses the colour.
void AddColorRow(QWidget* page, const char16_t* text, int row, TColorPanel*& panel, QPushButton*& button) {
    const int top = ColorRowTop + row * ColorRowStep;
    AddLabel(page, text, Margin, top + (SwatchHeight - LabelHeight) / 2, ColorLabelWidth);
    panel = new TColorPanel(page);
    panel->move(SwatchLeft, top);
    button = AddButton(page, Txt::OptionBrowse, SwatchButtonLeft, top + (SwatchHeight - ButtonHeight) / 2,
                       RefButtonWidth);
}

// The font row of a page: its label, the four read-only boxes (character set, name, style, size) under
// their own labels, and the button that chooses the font.
void AddFontRow(QWidget* page, int top, QLineEdit*& charSet, QLineEdit*& name, QLineEdit*& style,
                QLineEdit*& size, QPushButton*& button) {
    AddLabel(page, Txt::OptionFont, Margin, top, ColorLabelWidth);
    const char16_t* boxLabels[] = {Txt::OptionCharSetNo, Txt::OptionFontName, Txt::OptionFontStyle,
                                   Txt::OptionFontSize};
    QLineEdit** boxes[] = {&charSet, &name, &style, &size};
    static_assert(std::size(boxes) == std::size(FontBoxLefts));
    for (std::size_t i = 0; i < std::size(FontBoxLefts); ++i) {
        AddLabel(page, boxLabels[i], FontBoxLefts[i], top + LabelHeight, FontBoxWidths[i]);
        *boxes[i] = AddEdit(page, FontBoxLefts[i], top + 2 * LabelHeight, FontBoxWidths[i], true);
    }
    button = AddButton(page, Txt::OptionBrowse, FolderButtonLeft, top + 2 * LabelHeight, RefButtonWidth);
}

// The Save, Save and Exit and Cancel buttons every page ends with.
void AddPageButtons(QWidget* page, int top, const int (&lefts)[std::size(PageButtonLefts)],
                    QPushButton*& save, QPushButton*& saveExit, QPushButton*& cancel) {
    save = AddButton(page, Txt::OptionSave, lefts[0], top);
    saveExit = AddButton(page, Txt::OptionSaveExit, lefts[1], top);
    cancel = AddButton(page, Txt::OptionCancel, lefts[2], top);
}

} // namespace

void ApplyTScreenSettings(TRunForm* form) {
    if (form == nullptr) return;
    QFont font;
    int back = 0, fore = 0;
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        font.setFamily(Settings.TScreenFontName);
        if (Settings.TScreenFontSize > 0) font.setPointSize(Settings.TScreenFontSize);
        SetFontStyle(font, Settings.TScreenFontStyle);
        back = Settings.TScreenBackColor;
        fore = Settings.TScreenFontColor;
    }
    // The character set has no meaning for Qt's fonts: the family covers every script it has.
    font.setStyleHint(QFont::TypeWriter);
    form->Memo()->setFont(font);
    QPalette palette = form->Memo()->palette();
    palette.setColor(QPalette::Base, FromColorRef(back));
    palette.setColor(QPalette::Text, FromColorRef(fore));
    form->Memo()->setPalette(palette);
}

// ---- colour swatch --------------------------------------------------------------------------------

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    resize(SwatchWidth, SwatchHeight);
    SetColor(0);
}

void TColorPanel::SetColor(int color) {
    color_ = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, FromColorRef(color));
    setPalette(palette);
}

// ---- the window -------------------------------------------------------------------------------------

TLXOptionFrame::TLXOptionFrame(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    QFont windowFont = font();
    windowFont.setFamily(T(WindowFontFamily));
    setFont(windowFont);
    setWindowTitle(T(Txt::OptionCaption));
    setFixedSize(ClientWidth, ClientHeight);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, 0, ClientWidth, ClientHeight);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, T(Txt::OptionPageGeneral));
    PageControl1->addTab(TabSheet2, T(Txt::OptionPageEditor));
    PageControl1->addTab(TabSheet3, T(Txt::OptionPageTScreen));
    PageControl1->addTab(TabSheet4, T(Txt::OptionPageSize));
    CreateGeneralPage();
    CreateEditorPage();
    CreateTScreenPage();
    CreateSizePage();
    FormCreate();

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TLXOptionFrame* TLXOptionFrame::Execute(QWidget* parent) {
    // One window per owner: another choice of the menu item brings back the one there is, as it
    // stands while shown, filled from the settings again once it was closed.
    TLXOptionFrame* window = parent != nullptr
                                 ? parent->findChild<TLXOptionFrame*>(QString(), Qt::FindDirectChildrenOnly)
                                 : nullptr;
    if (window == nullptr) {
        window = new TLXOptionFrame(parent);
        // Owned by the frame, it lives as long as the frame; without an owner it goes when closed.
        if (parent == nullptr) window->setAttribute(Qt::WA_DeleteOnClose);
    } else if (window->isHidden()) {
        window->FormCreate();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void TLXOptionFrame::CreateGeneralPage() {
    QWidget* page = TabSheet1;
    const int boxTop[] = {FolderRowTops[0] + LabelHeight, FolderRowTops[1] + LabelHeight};
    Label11 = AddLabel(page, Txt::OptionInstallFolder, Margin, FolderRowTops[0], FolderBoxWidth);
    Label11->setToolTip(T(Txt::OptionInstallFolderHint));
    HelpFilePathBox = AddEdit(page, Margin, boxTop[0], FolderBoxWidth);
    SelectHelpPathButton = AddButton(page, Txt::OptionBrowse, FolderButtonLeft, boxTop[0], RefButtonWidth);
    Label12 = AddLabel(page, Txt::OptionWorkingFolder, Margin, FolderRowTops[1], FolderBoxWidth);
    Label12->setToolTip(T(Txt::OptionWorkingFolderHint));
    WorkingPathBox = AddEdit(page, Margin, boxTop[1], FolderBoxWidth);
    SelectWorkPathButton = AddButton(page, Txt::OptionBrowse, FolderButtonLeft, boxTop[1], RefButtonWidth);

    auto addSwitch = [&](const char16_t* text, const char16_t* hint, int row) {
        auto* box = new QCheckBox(T(text), page);
        box->setGeometry(Margin, SwitchTop + row * OptionRowStep, SwitchWidth, LabelHeight);
        box->setToolTip(T(hint));
        return box;
    };
    FormatCheckBox = addSwitch(Txt::OptionFormatCheck, Txt::OptionFormatCheckHint, 0);
    AFLoadCheckBox = addSwitch(Txt::OptionAutoFormatLoad, Txt::OptionAutoFormatLoadHint, 1);
    CursorCheckBox = addSwitch(Txt::OptionCursorMode, Txt::OptionCursorModeHint, 2);
    ExitMSGCheckBox = addSwitch(Txt::OptionExitMsgCheck, Txt::OptionExitMsgCheckHint, 3);

    auto addStore = [&](const char16_t* text, int row) {
        auto* radio = new QRadioButton(T(text), page);
        radio->setGeometry(StoreLeft, SwitchTop + row * OptionRowStep, StoreWidth, LabelHeight);
        return radio;
    };
    RegiRadioButton = addStore(Txt::OptionStoreRegistry, 0);
    IniRadioButton = addStore(Txt::OptionStoreIniFile, 1);
    NoRadioButton = addStore(Txt::OptionStoreNone, 2);
    Label13 = AddLabel(page, Txt::OptionPresentSetting, StoreLeft, SwitchTop + 3 * OptionRowStep, StoreWidth);
    PresentSettingBox =
        AddEdit(page, StoreLeft, SwitchTop + 3 * OptionRowStep + LabelHeight, PresentSettingWidth, true);

    AddPageButtons(page, FirstPageButtonTop, FirstPageButtonLefts, SaveButton, SaveExitButton, CancelButton);

    connect(SelectHelpPathButton, &QPushButton::clicked, this, &TLXOptionFrame::SelectHelpPathButtonClick);
    connect(SelectWorkPathButton, &QPushButton::clicked, this, &TLXOptionFrame::SelectWorkPathButtonClick);
    connect(SaveButton, &QPushButton::clicked, this, &TLXOptionFrame::SaveButtonClick);
    connect(SaveExitButton, &QPushButton::clicked, this, &TLXOptionFrame::SaveExitButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TLXOptionFrame::CancelButtonClick);
}

void TLXOptionFrame::CreateEditorPage() {
    QWidget* page = TabSheet2;
    AddColorRow(page, Txt::OptionFontColor, 0, FCPanel, Button1);
    AddColorRow(page, Txt::OptionBackColor, 1, BCPanel, Button2);
    AddColorRow(page, Txt::OptionKeywordColor, 2, KCPanel, Button3);
    AddColorRow(page, Txt::OptionCommentColor, 3, CCPanel, Button4);
    AddColorRow(page, Txt::OptionStringColor, 4, SCPanel, Button5);

    auto addStyleList = [&](int row) {
        const int top = ColorRowTop + row * ColorRowStep + (SwatchHeight - EditHeight) / 2;
        AddLabel(page, Txt::OptionStyle, StyleLabelLeft, top + (EditHeight - LabelHeight) / 2,
                 StyleComboLeft - StyleLabelLeft);
        auto* list = new QComboBox(page);
        for (const char16_t* item : Txt::OptionStyleItems)
            list->addItem(T(item));
        list->setGeometry(StyleComboLeft, top, StyleComboWidth, EditHeight);
        return list;
    };
    KSComboBox = addStyleList(2);
    CSComboBox = addStyleList(3);
    SSComboBox = addStyleList(4);

    AddFontRow(page, EditorFontTop, EFCharSetBox, EFNameBox, EFStyleBox, EFSizeBox, EFChange);

    AddPageButtons(page, PageButtonTop, PageButtonLefts, ESaveButton, ESaveExitButton, ECancelButton);

    connect(Button1, &QPushButton::clicked, this, &TLXOptionFrame::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TLXOptionFrame::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TLXOptionFrame::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TLXOptionFrame::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TLXOptionFrame::Button5Click);
    connect(EFChange, &QPushButton::clicked, this, &TLXOptionFrame::EFChangeClick);
    connect(ESaveButton, &QPushButton::clicked, this, &TLXOptionFrame::ESaveButtonClick);
    connect(ESaveExitButton, &QPushButton::clicked, this, &TLXOptionFrame::ESaveExitButtonClick);
    connect(ECancelButton, &QPushButton::clicked, this, &TLXOptionFrame::CancelButtonClick);
}

void TLXOptionFrame::CreateTScreenPage() {
    QWidget* page = TabSheet3;
    AddColorRow(page, Txt::OptionFontColor, 0, TFCPanel, TFCRefButton);
    AddColorRow(page, Txt::OptionBackColor, 1, TBCPanel, TBCRefButton);

    AddFontRow(page, TScreenFontTop, TFCharSetBox, TFNameBox, TFStyleBox, TFSizeBox, TFRefButton);

    AddPageButtons(page, PageButtonTop, PageButtonLefts, TSaveButton, TSaveExitButton, TCancelButton);

    connect(TFCRefButton, &QPushButton::clicked, this, &TLXOptionFrame::TFCRefButtonClick);
    connect(TBCRefButton, &QPushButton::clicked, this, &TLXOptionFrame::TBCRefButtonClick);
    connect(TFRefButton, &QPushButton::clicked, this, &TLXOptionFrame::TFRefButtonClick);
    connect(TSaveButton, &QPushButton::clicked, this, &TLXOptionFrame::TSaveButtonClick);
    connect(TSaveExitButton, &QPushButton::clicked, this, &TLXOptionFrame::TSaveExitButtonClick);
    connect(TCancelButton, &QPushButton::clicked, this, &TLXOptionFrame::TCancelButtonClick);
}

void TLXOptionFrame::CreateSizePage() {
    QWidget* page = TabSheet4;
    auto addRow = [&](const char16_t* text, int row, QLineEdit*& width, QLineEdit*& height,
                      QPushButton*& button) {
        const int top = SizeRowTop + row * SizeRowStep;
        const int labelTop = top + (EditHeight - LabelHeight) / 2;
        AddLabel(page, text, Margin, labelTop, SizeLabelWidth);
        AddLabel(page, Txt::OptionWidth, WidthLabelLeft, labelTop, WidthBoxLeft - WidthLabelLeft);
        width = AddEdit(page, WidthBoxLeft, top, SizeBoxWidth);
        AddLabel(page, Txt::OptionHeight, HeightLabelLeft, labelTop, HeightBoxLeft - HeightLabelLeft);
        height = AddEdit(page, HeightBoxLeft, top, SizeBoxWidth);
        button = AddButton(page, Txt::OptionCurrentSize, SizeButtonLeft, top);
    };
    addRow(Txt::OptionMainSize, 0, MainWidthBox, MainHeightBox, MainCurrentSizeButton);
    addRow(Txt::OptionEditorSize, 1, EditorWidthBox, EditorHeightBox, EditorCurrentSizeButton);
    addRow(Txt::OptionTScreenSize, 2, TScreenWidthBox, TScreenHeightBox, TScreenCurrentSizeButton);

    AddPageButtons(page, PageButtonTop, PageButtonLefts, SSaveButton, SSaveExitButton, SCancelButton);

    connect(MainCurrentSizeButton, &QPushButton::clicked, this, &TLXOptionFrame::MainCurrentSizeButtonClick);
    connect(EditorCurrentSizeButton, &QPushButton::clicked, this,
            &TLXOptionFrame::EditorCurrentSizeButtonClick);
    connect(TScreenCurrentSizeButton, &QPushButton::clicked, this,
            &TLXOptionFrame::TScreenCurrentSizeButtonClick);
    connect(SSaveButton, &QPushButton::clicked, this, &TLXOptionFrame::SSaveButtonClick);
    connect(SSaveExitButton, &QPushButton::clicked, this, &TLXOptionFrame::SSaveExitButtonClick);
    connect(SCancelButton, &QPushButton::clicked, this, &TLXOptionFrame::SCancelButtonClick);
}

void TLXOptionFrame::FormCreate() {
    const QString on = T(SwitchOn), off = T(SwitchOff);
    std::lock_guard<std::mutex> lock(SettingsMutex());
    HelpFilePathBox->setText(Settings.InstallPath);
    WorkingPathBox->setText(Settings.WorkingPath);

    FormatCheckBox->setChecked(Settings.CfgFormatCheck == on);
    AFLoadCheckBox->setChecked(Settings.CfgAutoFormatLoad == on);
    CursorCheckBox->setChecked(Settings.CfgCursorMode == on);
    ExitMSGCheckBox->setChecked(Settings.CfgExitMsgCheck != off);

    if (Settings.CfgStoreMode == QStringView(StoreModeRegistry)) {
        RegiRadioButton->setChecked(true);
        PresentSettingBox->setText(T(Txt::OptionPresentRegistry));
    } else if (Settings.CfgStoreMode == QStringView(StoreModeIniFile)) {
        IniRadioButton->setChecked(true);
        PresentSettingBox->setText(T(Txt::OptionPresentIniFile));
    } else {
        NoRadioButton->setChecked(true);
        PresentSettingBox->setText(T(Txt::OptionPresentDefault));
    }

    FCPanel->SetColor(Settings.EditorFontColor);
    BCPanel->SetColor(Settings.EditorBackColor);
    KCPanel->SetColor(Settings.EditorKeywordColor);
    CCPanel->SetColor(Settings.EditorCommentColor);
    SCPanel->SetColor(Settings.EditorStringColor);
    TFCPanel->SetColor(Settings.TScreenFontColor);
    TBCPanel->SetColor(Settings.TScreenBackColor);

    KSComboBox->setCurrentIndex(ItemOfStyle(Settings.EditorKeywordStyle));
    CSComboBox->setCurrentIndex(ItemOfStyle(Settings.EditorCommentStyle));
    SSComboBox->setCurrentIndex(ItemOfStyle(Settings.EditorStringStyle));

    EFCharSetBox->setText(Settings.CfgEditorFontCharset);
    EFNameBox->setText(Settings.CfgEditorFontName);
    EFStyleBox->setText(StyleBoxText(Settings.EditorFontStyle));
    EFSizeBox->setText(Settings.CfgEditorFontSize);
    TFCharSetBox->setText(Settings.CfgTScreenFontCharset);
    TFNameBox->setText(Settings.CfgTScreenFontName);
    TFStyleBox->setText(StyleBoxText(Settings.TScreenFontStyle));
    TFSizeBox->setText(Settings.CfgTScreenFontSize);

    MainWidthBox->setText(Settings.CfgMainFormWidth);
    MainHeightBox->setText(Settings.CfgMainFormHeight);
    EditorWidthBox->setText(Settings.CfgEditorWidth);
    EditorHeightBox->setText(Settings.CfgEditorHeight);
    TScreenWidthBox->setText(Settings.CfgTScreenWidth);
    TScreenHeightBox->setText(Settings.CfgTScreenHeight);
}

// ---- apply steps ------------------------------------------------------------------------------------

void TLXOptionFrame::GeneralSettingSet() {
    const QString on = T(SwitchOn), off = T(SwitchOff);
    auto setSwitch = [&](const QCheckBox* box, QString& text, std::uint8_t& typed) {
        text = box->isChecked() ? on : off;
        typed = box->isChecked() ? 1 : 0;
    };
    std::lock_guard<std::mutex> lock(SettingsMutex());
    Settings.InstallPath = HelpFilePathBox->text();
    // DefaultDir keeps the folder the file dialogs last used.
    Settings.WorkingPath = WorkingPathBox->text();
    if (RegiRadioButton->isChecked())
        Settings.CfgStoreMode = T(StoreModeRegistry);
    else if (IniRadioButton->isChecked())
        Settings.CfgStoreMode = T(StoreModeIniFile);
    else if (NoRadioButton->isChecked())
        Settings.CfgStoreMode.clear();
    setSwitch(FormatCheckBox, Settings.CfgFormatCheck, Settings.FormatCheck);
    setSwitch(AFLoadCheckBox, Settings.CfgAutoFormatLoad, Settings.AutoFormatLoad);
    setSwitch(CursorCheckBox, Settings.CfgCursorMode, Settings.CursorMode);
    setSwitch(ExitMSGCheckBox, Settings.CfgExitMsgCheck, Settings.ExitMsgCheck);
}

void TLXOptionFrame::EditorSettingSet() {
    auto setColor = [](const TColorPanel* panel, QString& text, int& typed) {
        typed = panel->Color();
        text = ColorToHex(typed);
    };
    // A list without a selection leaves its style as it was.
    auto setStyle = [](const QComboBox* list, QString& text, std::uint8_t& typed) {
        const int item = list->currentIndex();
        if (item < 0 || item >= int(std::size(StyleOfItem))) return;
        typed = StyleOfItem[item];
        text = T(Txt::OptionStyleItems[item]);
    };
    std::lock_guard<std::mutex> lock(SettingsMutex());
    setColor(FCPanel, Settings.CfgEditorFontColor, Settings.EditorFontColor);
    setColor(BCPanel, Settings.CfgEditorBackColor, Settings.EditorBackColor);
    setColor(KCPanel, Settings.CfgEditorKeywordColor, Settings.EditorKeywordColor);
    setColor(CCPanel, Settings.CfgEditorCommentColor, Settings.EditorCommentColor);
    setColor(SCPanel, Settings.CfgEditorStringColor, Settings.EditorStringColor);
    setStyle(KSComboBox, Settings.CfgEditorKeywordStyle, Settings.EditorKeywordStyle);
    setStyle(CSComboBox, Settings.CfgEditorCommentStyle, Settings.EditorCommentStyle);
    setStyle(SSComboBox, Settings.CfgEditorStringStyle, Settings.EditorStringStyle);
    Settings.CfgEditorFontCharset = EFCharSetBox->text();
    Settings.CfgEditorFontName = EFNameBox->text();
    Settings.CfgEditorFontStyle = EFStyleBox->text();
    Settings.CfgEditorFontSize = EFSizeBox->text();
    Settings.EditorFontStyle = StrToFontStyle(Settings.CfgEditorFontStyle);
    Settings.EditorFontName = Settings.CfgEditorFontName;
    Settings.EditorFontSize = ParseLeadingInteger(Settings.CfgEditorFontSize);
    Settings.EditorFontCharset = ParseLeadingInteger(Settings.CfgEditorFontCharset);
}

void TLXOptionFrame::TScreenSettingSet() {
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        Settings.TScreenFontColor = TFCPanel->Color();
        Settings.CfgTScreenFontColor = ColorToHex(Settings.TScreenFontColor);
        Settings.TScreenBackColor = TBCPanel->Color();
        Settings.CfgTScreenBackColor = ColorToHex(Settings.TScreenBackColor);
        Settings.CfgTScreenFontCharset = TFCharSetBox->text();
        Settings.CfgTScreenFontName = TFNameBox->text();
        Settings.CfgTScreenFontStyle = TFStyleBox->text();
        Settings.CfgTScreenFontSize = TFSizeBox->text();
        Settings.TScreenFontStyle = StrToFontStyle(Settings.CfgTScreenFontStyle);
        Settings.TScreenFontName = Settings.CfgTScreenFontName;
        Settings.TScreenFontSize = ParseLeadingInteger(Settings.CfgTScreenFontSize);
        Settings.TScreenFontCharset = ParseLeadingInteger(Settings.CfgTScreenFontCharset);
    }
    ApplyTScreenSettings(Win.RunForm);
}

namespace {

// A size setting must be a whole number of 1 or more, written in digits alone.
bool IsUsableSizeText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    for (const QChar c : trimmed)
        if (c < u'0' || c > u'9') return false;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    return ok && value >= 1;
}

} // namespace

bool TLXOptionFrame::SizeSettingSet() {
    // A size the windows cannot use is refused before anything is stored, the box it stands in
    // selected for correction.
    const struct {
        QLineEdit* Box;
        const char16_t* Row;
        const char16_t* Side;
    } boxes[] = {{MainWidthBox, Txt::OptionMainSize, Txt::OptionWidth},
                 {MainHeightBox, Txt::OptionMainSize, Txt::OptionHeight},
                 {EditorWidthBox, Txt::OptionEditorSize, Txt::OptionWidth},
                 {EditorHeightBox, Txt::OptionEditorSize, Txt::OptionHeight},
                 {TScreenWidthBox, Txt::OptionTScreenSize, Txt::OptionWidth},
                 {TScreenHeightBox, Txt::OptionTScreenSize, Txt::OptionHeight}};
    for (const auto& entry : boxes) {
        if (IsUsableSizeText(entry.Box->text())) continue;
        MessageRequest request;
        request.Text = T(Txt::OptionSizeRefused).arg(T(entry.Row), T(entry.Side), entry.Box->text());
        request.Caption = windowTitle();
        request.Icon = QMessageBox::Warning;
        ShowMessage(this, request);
        PageControl1->setCurrentWidget(TabSheet4);
        entry.Box->setFocus();
        entry.Box->selectAll();
        return false;
    }
    std::lock_guard<std::mutex> lock(SettingsMutex());
    Settings.CfgMainFormWidth = MainWidthBox->text();
    Settings.CfgMainFormHeight = MainHeightBox->text();
    Settings.CfgEditorWidth = EditorWidthBox->text();
    Settings.CfgEditorHeight = EditorHeightBox->text();
    Settings.CfgTScreenWidth = TScreenWidthBox->text();
    Settings.CfgTScreenHeight = TScreenHeightBox->text();
    Settings.MainFormWidth = ParseLeadingInteger(Settings.CfgMainFormWidth);
    Settings.MainFormHeight = ParseLeadingInteger(Settings.CfgMainFormHeight);
    Settings.EditorWidth = ParseLeadingInteger(Settings.CfgEditorWidth);
    Settings.EditorHeight = ParseLeadingInteger(Settings.CfgEditorHeight);
    Settings.TScreenWidth = ParseLeadingInteger(Settings.CfgTScreenWidth);
    Settings.TScreenHeight = ParseLeadingInteger(Settings.CfgTScreenHeight);
    return true;
}

// ---- buttons that fill controls ---------------------------------------------------------------------

void TLXOptionFrame::ChooseFolder(QLineEdit* box, const QString& caption) {
    if (!WinHooks.PreferencesFolderDialogHook) return;
    const std::optional<QString> chosen = WinHooks.PreferencesFolderDialogHook(this, caption, box->text());
    if (chosen) box->setText(*chosen);
}

void TLXOptionFrame::SelectHelpPathButtonClick() {
    ChooseFolder(HelpFilePathBox, Label11->text());
}
void TLXOptionFrame::SelectWorkPathButtonClick() {
    ChooseFolder(WorkingPathBox, Label12->text());
}

void TLXOptionFrame::ChooseColor(TColorPanel* panel) {
    if (!WinHooks.PreferencesColorDialogHook) return;
    const std::optional<QColor> chosen =
        WinHooks.PreferencesColorDialogHook(this, FromColorRef(lastDialogColor_));
    if (!chosen || !chosen->isValid()) return;
    lastDialogColor_ = ToColorRef(*chosen);
    panel->SetColor(lastDialogColor_);
}

void TLXOptionFrame::Button1Click() {
    ChooseColor(FCPanel);
}
void TLXOptionFrame::Button2Click() {
    ChooseColor(BCPanel);
}
void TLXOptionFrame::Button3Click() {
    ChooseColor(KCPanel);
}
void TLXOptionFrame::Button4Click() {
    ChooseColor(CCPanel);
}
void TLXOptionFrame::Button5Click() {
    ChooseColor(SCPanel);
}
void TLXOptionFrame::TFCRefButtonClick() {
    ChooseColor(TFCPanel);
}
void TLXOptionFrame::TBCRefButtonClick() {
    ChooseColor(TBCPanel);
}

void TLXOptionFrame::ChooseFont(QLineEdit* charSetBox, QLineEdit* nameBox, QLineEdit* styleBox,
                                QLineEdit* sizeBox) {
    if (!WinHooks.PreferencesFontDialogHook) return;
    // Qt's fonts carry no character set: the number goes through the chooser unchanged.
    const int charSet = ParseLeadingInteger(charSetBox->text());
    QFont font(nameBox->text());
    const int size = ParseLeadingInteger(sizeBox->text());
    if (size > 0) font.setPointSize(size);
    SetFontStyle(font, StrToFontStyle(styleBox->text()));
    const std::optional<QFont> chosen = WinHooks.PreferencesFontDialogHook(this, font);
    if (!chosen) return;
    charSetBox->setText(QString::number(charSet));
    sizeBox->setText(QString::number(PointSizeOf(*chosen)));
    nameBox->setText(chosen->family());
    styleBox->setText(FontStyleToStr(StyleOfFont(*chosen)));
}

void TLXOptionFrame::EFChangeClick() {
    ChooseFont(EFCharSetBox, EFNameBox, EFStyleBox, EFSizeBox);
}
void TLXOptionFrame::TFRefButtonClick() {
    ChooseFont(TFCharSetBox, TFNameBox, TFStyleBox, TFSizeBox);
}

void TLXOptionFrame::MainCurrentSizeButtonClick() {
    if (Win.LxFrameForm == nullptr) return;
    // The frame was sized as the setting plus its menu bar (see its start-up).
    MainWidthBox->setText(QString::number(Win.LxFrameForm->width()));
    MainHeightBox->setText(
        QString::number(Win.LxFrameForm->height() - Win.LxFrameForm->menuBar()->sizeHint().height()));
}

void TLXOptionFrame::EditorCurrentSizeButtonClick() {
    EditorWidthBox->setText(QString::number(Settings.CurrentEditorWidth));
    EditorHeightBox->setText(QString::number(Settings.CurrentEditorHeight));
}

void TLXOptionFrame::TScreenCurrentSizeButtonClick() {
    if (Win.RunForm == nullptr) return;
    // The run-window size settings are the size of its text area under the button bar; the run window
    // adds the bar's height to them when it sizes itself, so this gives back the size it has now.
    TScreenWidthBox->setText(QString::number(Win.RunForm->width()));
    TScreenHeightBox->setText(QString::number(Win.RunForm->height() - RunButtonBarHeight));
}

// ---- save and cancel --------------------------------------------------------------------------------

void TLXOptionFrame::SavePage(void (TLXOptionFrame::*apply)(), bool close) {
    (this->*apply)();
    StoreSettings(close);
}

void TLXOptionFrame::SaveSizePage(bool close) {
    if (SizeSettingSet()) StoreSettings(close);
}

namespace {

// What the user reads when the settings could not be saved.
QString SettingsSaveMessage(const SettingsSaveFailure& failure) {
    QString reason;
    switch (failure.Fault) {
    case SettingsSaveFault::FolderNotWritable:
        reason = T(Txt::OptionSaveFolderNotWritable).arg(failure.Detail);
        break;
    case SettingsSaveFault::NoProgramFolder: reason = T(Txt::OptionSaveNoProgramFolder); break;
    case SettingsSaveFault::FileUnreadable: reason = T(Txt::OptionSaveFileUnreadable); break;
    case SettingsSaveFault::LineBreak: reason = T(Txt::OptionSaveLineBreak).arg(failure.Detail); break;
    case SettingsSaveFault::WriteFailed:
    case SettingsSaveFault::None: reason = failure.Detail; break;
    }
    return T(Txt::OptionSaveFailed).arg(failure.Path, reason);
}

} // namespace

void TLXOptionFrame::StoreSettings(bool close) {
    SettingsSaveFailure failure;
    if (!SaveSettings(&failure)) {
        MessageRequest request;
        request.Text = SettingsSaveMessage(failure);
        request.Caption = windowTitle();
        request.Icon = QMessageBox::Warning;
        ShowMessage(this, request);
        return;
    }
    if (close) this->close();
}

void TLXOptionFrame::SaveButtonClick() {
    SavePage(&TLXOptionFrame::GeneralSettingSet, false);
}
void TLXOptionFrame::SaveExitButtonClick() {
    SavePage(&TLXOptionFrame::GeneralSettingSet, true);
}
void TLXOptionFrame::ESaveButtonClick() {
    SavePage(&TLXOptionFrame::EditorSettingSet, false);
}
void TLXOptionFrame::ESaveExitButtonClick() {
    SavePage(&TLXOptionFrame::EditorSettingSet, true);
}
void TLXOptionFrame::TSaveButtonClick() {
    SavePage(&TLXOptionFrame::TScreenSettingSet, false);
}
void TLXOptionFrame::TSaveExitButtonClick() {
    SavePage(&TLXOptionFrame::TScreenSettingSet, true);
}
void TLXOptionFrame::SSaveButtonClick() {
    SaveSizePage(false);
}
void TLXOptionFrame::SSaveExitButtonClick() {
    SaveSizePage(true);
}
void TLXOptionFrame::CancelButtonClick() {
    close();
}
void TLXOptionFrame::TCancelButtonClick() {
    close();
}
void TLXOptionFrame::SCancelButtonClick() {
    close();
}
