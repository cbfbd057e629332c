// The association window: its radio buttons for the choices, the choice in force shown on activation,
// and OK writing the association.
#include "ui/assocform.h"

#include "platform/fileassoc.h"
#include "platform/settings.h"
#include "resources/texts.h"
#include "ui/mainframe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ChoiceTextCount = std::size(Txt::AssocChoiceItems);
static_assert(ChoiceTextCount == TLXASForm::ChoiceCount &&
              std::size(Txt::AssocSettingItems) == ChoiceTextCount);

} // namespace

TLXASForm::TLXASForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(T(Txt::AssocCaption));

    Label1 = new QLabel(T(Txt::AssocExplanation), this);
    Label2 = new QLabel(T(Txt::AssocEffect), this);
    RadioGroup1 = new QGroupBox(this);
    auto* radioLayout = new QVBoxLayout(RadioGroup1);
    RadioButton1 = new QRadioButton(T(Txt::AssocChoiceItems[0]), RadioGroup1);
    RadioButton2 = new QRadioButton(T(Txt::AssocChoiceItems[1]), RadioGroup1);
    RadioButton3 = new QRadioButton(T(Txt::AssocChoiceItems[2]), RadioGroup1);
    RadioButton4 = new QRadioButton(T(Txt::AssocChoiceItems[3]), RadioGroup1);
    for (QRadioButton* radio : Radios())
        radioLayout->addWidget(radio);

    Label3 = new QLabel(T(Txt::AssocCurrent), this);
    Edit1 = new QLineEdit(this);
    Edit1->setReadOnly(true);
    Label4 = new QLabel(this);
    OkBtn = new QPushButton(T(Txt::AssocOk), this);
    CancelBtn = new QPushButton(T(Txt::AssocCancel), this);
    AboutBtn = new QPushButton(T(Txt::AssocAbout), this);

    auto* current = new QHBoxLayout;
    current->addWidget(Label3);
    current->addWidget(Edit1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label4, 1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(AboutBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(RadioGroup1);
    layout->addLayout(current);
    layout->addLayout(buttons);

    connect(OkBtn, &QPushButton::clicked, this, &TLXASForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TLXASForm::CancelBtnClick);
    connect(AboutBtn, &QPushButton::clicked, this, &TLXASForm::AboutBtnClick);
}

TLXASForm* TLXASForm::Execute(QWidget* parent) {
    // One window per owner, brought back by every choice of the menu item (it reads the association
    // again whenever it is shown).
    TLXASForm* window =
        parent != nullptr ? parent->findChild<TLXASForm*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (window == nullptr) {
        window = new TLXASForm(parent);
        // Owned by the frame, it lives as long as the frame; without an owner it goes when closed.
        if (parent == nullptr) window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QString TLXASForm::ProgramPath() {
    const QString folder =
        Settings.ExeDir.isEmpty() ? QCoreApplication::applicationDirPath() : Settings.ExeDir;
    return folder + u'/' + T(ProgramFileName);
}

std::array<QRadioButton*, TLXASForm::ChoiceCount> TLXASForm::Radios() const {
    return {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
}

bool TLXASForm::event(QEvent* event) {
    // Read again at every activation: the choice may have been changed elsewhere meanwhile.
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(event);
}

void TLXASForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormActivate();
    CentreOnScreen();
}

void TLXASForm::CentreOnScreen() {
    // Sized and placed once its texts are in, just before it appears, each time it is shown.
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    // The frame (title bar and borders) counts once the window has one.
    const QSize frame = frameGeometry().size();
    move(screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
}

void TLXASForm::FormActivate() {
    AssocChoice = ReadAssociation();
    const int index = AssocChoice - AssocChoiceValue::Run;
    if (index < 0 || index >= ChoiceCount) return;
    Radios()[index]->setChecked(true);
    Edit1->setText(T(Txt::AssocSettingItems[index]));
}

void TLXASForm::OkBtnClick() {
    int choice = 0;
    const auto radios = Radios();
    for (int i = 0; i < ChoiceCount; ++i)
        if (radios[i]->isChecked()) choice = AssocChoiceValue::Run + i;
    if (choice == 0) return;

    MessageRequest request;
    request.Caption = windowTitle();
    QString error;
    if (!WriteAssociation(choice, ProgramPath(), &error)) {
        request.Text = T(Txt::AssocFailed).arg(error);
        request.Icon = QMessageBox::Warning;
        ShowMessage(this, request);
        return;
    }
    request.Text = T(Txt::AssocDone);
    ShowMessage(this, request);
    close();
}

void TLXASForm::CancelBtnClick() {
    close();
}

void TLXASForm::AboutBtnClick() {
    MessageRequest request;
    request.Caption = windowTitle();
    request.Text = T(Txt::AssocAboutText);
    ShowMessage(this, request);
}
