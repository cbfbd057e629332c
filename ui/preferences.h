// The preferences window: the settings of settings.h on four pages (general, editor, run window,
// window sizes), the choice of the store, and Save buttons that apply only their own page and write the
// store. The folder, colour and font choosers go through replaceable hooks, so tests can answer them.
#pragma once

#include "ui/windowhooks.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TRunForm;

// Gives the run window's text area the run-window font and colours of the settings (TScreen...).
void ApplyTScreenSettings(TRunForm* form);

// A colour swatch: shows one colour 0x00BBGGRR.
class TColorPanel : public QFrame {
    Q_OBJECT
public:
    explicit TColorPanel(QWidget* parent = nullptr);
    void SetColor(int color);
    int Color() const { return color_; }

private:
    int color_ = 0;
};

class TLXOptionFrame : public QWidget {
    Q_OBJECT
public:
    // Client size of the window.
    static constexpr int ClientWidth = 605;
    static constexpr int ClientHeight = 493;

    // Fills every control from the settings as they are now.
    explicit TLXOptionFrame(QWidget* parent = nullptr);

    // The menu command: shows the window owned by parent (modeless), made at the first call and
    // used again afterwards; a window that was closed reads the settings afresh.
    static TLXOptionFrame* Execute(QWidget* parent);

    // Each copies one page into the settings (texts and typed copies, under SettingsMutex).
    void GeneralSettingSet();
    void EditorSettingSet();
    void TScreenSettingSet(); // also gives the run window its new look at once
    // Refuses (with a message, storing nothing) when a box is not a whole number of 1 or more.
    bool SizeSettingSet();

    // Buttons that only fill controls.
    void SelectHelpPathButtonClick();
    void SelectWorkPathButtonClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void TFCRefButtonClick();
    void TBCRefButtonClick();
    void EFChangeClick();
    void TFRefButtonClick();
    void MainCurrentSizeButtonClick();
    void EditorCurrentSizeButtonClick();
    void TScreenCurrentSizeButtonClick();

    // Save applies the page and writes the store; Save-and-close then closes the window (it stays open
    // when the store cannot be written, so the user can choose another). Cancel closes, applying nothing.
    void SaveButtonClick();
    void SaveExitButtonClick();
    void ESaveButtonClick();
    void ESaveExitButtonClick();
    void TSaveButtonClick();
    void TSaveExitButtonClick();
    void SSaveButtonClick();
    void SSaveExitButtonClick();
    void CancelButtonClick();
    void TCancelButtonClick();
    void SCancelButtonClick();

    // The controls, named as the window's layout names them.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;

    QLabel* Label11 = nullptr;
    QLineEdit* HelpFilePathBox = nullptr;
    QPushButton* SelectHelpPathButton = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* WorkingPathBox = nullptr;
    QPushButton* SelectWorkPathButton = nullptr;
    QCheckBox* FormatCheckBox = nullptr;
    QCheckBox* AFLoadCheckBox = nullptr;
    QCheckBox* CursorCheckBox = nullptr;
    QCheckBox* ExitMSGCheckBox = nullptr;
    QRadioButton* RegiRadioButton = nullptr;
    QRadioButton* IniRadioButton = nullptr;
    QRadioButton* NoRadioButton = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* PresentSettingBox = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* SaveExitButton = nullptr;
    QPushButton* CancelButton = nullptr;

    TColorPanel* FCPanel = nullptr;
    TColorPanel* BCPanel = nullptr;
    TColorPanel* KCPanel = nullptr;
    TColorPanel* CCPanel = nullptr;
    TColorPanel* SCPanel = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QComboBox* KSComboBox = nullptr;
    QComboBox* CSComboBox = nullptr;
    QComboBox* SSComboBox = nullptr;
    QLineEdit* EFCharSetBox = nullptr;
    QLineEdit* EFNameBox = nullptr;
    QLineEdit* EFStyleBox = nullptr;
    QLineEdit* EFSizeBox = nullptr;
    QPushButton* EFChange = nullptr;
    QPushButton* ESaveButton = nullptr;
    QPushButton* ESaveExitButton = nullptr;
    QPushButton* ECancelButton = nullptr;

    TColorPanel* TFCPanel = nullptr;
    TColorPanel* TBCPanel = nullptr;
    QPushButton* TFCRefButton = nullptr;
    QPushButton* TBCRefButton = nullptr;
    QLineEdit* TFCharSetBox = nullptr;
    QLineEdit* TFNameBox = nullptr;
    QLineEdit* TFStyleBox = nullptr;
    QLineEdit* TFSizeBox = nullptr;
    QPushButton* TFRefButton = nullptr;
    QPushButton* TSaveButton = nullptr;
    QPushButton* TSaveExitButton = nullptr;
    QPushButton* TCancelButton = nullptr;

    QLineEdit* MainWidthBox = nullptr;
    QLineEdit* MainHeightBox = nullptr;
    QPushButton* MainCurrentSizeButton = nullptr;
    QLineEdit* EditorWidthBox = nullptr;
    QLineEdit* EditorHeightBox = nullptr;
    QPushButton* EditorCurrentSizeButton = nullptr;
    QLineEdit* TScreenWidthBox = nullptr;
    QLineEdit* TScreenHeightBox = nullptr;
    QPushButton* TScreenCurrentSizeButton = nullptr;
    QPushButton* SSaveButton = nullptr;
    QPushButton* SSaveExitButton = nullptr;
    QPushButton* SCancelButton = nullptr;

private:
    void CreateGeneralPage();
    void CreateEditorPage();
    void CreateTScreenPage();
    void CreateSizePage();
    void FormCreate();

    // The colour chooser for one swatch; it opens at the colour last chosen in it (black at first).
    void ChooseColor(TColorPanel* panel);
    // The font chooser for the four boxes of a page.
    void ChooseFont(QLineEdit* charSetBox, QLineEdit* nameBox, QLineEdit* styleBox, QLineEdit* sizeBox);
    void ChooseFolder(QLineEdit* box, const QString& caption);
    // Applies a page, writes the store and, when that worked and close is set, closes the window. A
    // store that cannot be written is reported in a message box.
    void SavePage(void (TLXOptionFrame::*apply)(), bool close);
    void SaveSizePage(bool close);
    void StoreSettings(bool close);

    int lastDialogColor_ = 0;
};
