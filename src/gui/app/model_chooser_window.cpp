#include "gui/app/model_chooser_window.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include "core/common/messages.hpp"
#include "gui/app/about_box.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/controls/busy_message_window.hpp"
#include "gui/controls/dialog_units.hpp"

namespace verdanel::gui {

namespace {
// Client area 131 x 257 units, plus a strip below the buttons for the About
// entry (there is no system menu to carry it on every desktop).
constexpr int kClientWidth = 131;
constexpr int kClientHeight = 257;
constexpr int kAboutStripHeight = 14;
}  // namespace

ModelChooserWindow::ModelChooserWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("modelChooserWindow"));
    setWindowTitle(QStringLiteral("Verdanel"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(dluX(kClientWidth), dluY(kClientHeight + kAboutStripHeight));

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("chooserPicture"));
    picture_->setGeometry(dluRect(8, 8, 116, 192));
    picture_->setPixmap(chooserPicture());
    picture_->setAlignment(Qt::AlignCenter);

    // Tab order is the order of creation: Stream, Ditch, Pond, Quit, About.
    stream_ = addButton("Stream Model", "streamButton", 7, 203);
    ditch_ = addButton("Ditch Model", "ditchButton", 67, 203);
    pond_ = addButton("Pond Model", "pondButton", 7, 227);
    quit_ = addButton("Quit", "quitButton", 67, 227);

    about_ = new QPushButton(QString::fromUtf8(msg::kAboutMenuText), this);
    about_->setObjectName(QStringLiteral("aboutButton"));
    about_->setGeometry(dluRect(7, 255, 117, 12));
    about_->setFlat(true);
    about_->setCursor(Qt::PointingHandCursor);

    // The same entry on the window's context menu.
    aboutAction_ = new QAction(QString::fromUtf8(msg::kAboutMenuText), this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(stream_, &QPushButton::clicked, this, [this] { openModel(ModelKind::Stream); });
    connect(ditch_, &QPushButton::clicked, this, [this] { openModel(ModelKind::Ditch); });
    connect(pond_, &QPushButton::clicked, this, [this] { openModel(ModelKind::Pond); });
    connect(quit_, &QPushButton::clicked, this, [this] {
        endProgram();
        accept();
    });
    connect(about_, &QPushButton::clicked, this, &ModelChooserWindow::showAbout);
    connect(aboutAction_, &QAction::triggered, this, &ModelChooserWindow::showAbout);
}

QPushButton* ModelChooserWindow::addButton(const char* caption, const char* name, int x, int y) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(dluRect(x, y, 57, 23));
    // None is the default button: Enter presses the one that has the focus.
    button->setDefault(false);
    button->setAutoDefault(true);
    return button;
}

void ModelChooserWindow::setModelOpener(ModelKind kind, Action open) {
    switch (kind) {
        case ModelKind::Stream: openStream_ = std::move(open); break;
        case ModelKind::Ditch: openDitch_ = std::move(open); break;
        case ModelKind::Pond: openPond_ = std::move(open); break;
    }
}

QPushButton* ModelChooserWindow::modelButton(ModelKind kind) const {
    switch (kind) {
        case ModelKind::Stream: return stream_;
        case ModelKind::Ditch: return ditch_;
        case ModelKind::Pond: return pond_;
    }
    return nullptr;
}

void ModelChooserWindow::openModel(ModelKind kind) {
    const Action& open = kind == ModelKind::Stream ? openStream_ : kind == ModelKind::Ditch ? openDitch_ : openPond_;
    if (open) open();
}

void ModelChooserWindow::showAbout() {
    AboutBox box(this);
    box.exec();
}

void ModelChooserWindow::endProgram() {
    // A second close request while the store is being compacted is ignored.
    if (ending_) return;
    // With nothing to reclaim the program ends at once, without a busy window.
    if (!compaction_ || (compactionDue_ && !compactionDue_())) return;
    ending_ = true;
    BusyMessageWindow busy;
    busy.open(this, QString::fromUtf8(msg::kShuttingDown));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    compaction_();
    QGuiApplication::restoreOverrideCursor();
    busy.close();
    ending_ = false;
}

void ModelChooserWindow::closeEvent(QCloseEvent* event) {
    // The close box ends the program like Quit. Escape does not come here:
    // the dialog's cancel hides the window without a close request.
    if (ending_) {
        event->ignore();
        return;
    }
    if (isVisible()) endProgram();
    QDialog::closeEvent(event);
}

}  // namespace verdanel::gui
