#include "calibration/qt/kalibr_form.h"

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"
#include "ui/qt/page_control.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/window_keys.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace calibration {

TKalibrForm* KalibrForm = nullptr;

QString TKalibrForm::Caption() {
    return ui::qt::ToQt(KalibrFormDescription().caption);
}

TKalibrForm::TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                         protocol::UiServices& ui, QWidget* parent)
    : QDialog(parent) {
    form_ = std::make_unique<ui::qt::QtForm>(KalibrFormDescription(), *this, &DiagramBitmap);
    setModal(true);
    FindControls();
    logic_ = std::make_unique<KalibrFormLogic>(engine, mainWindow, ui, *form_,
                                               KalibrFormWindow{
                                                   .close = [this] { close(); },
                                                   .showModal = [this] { exec(); },
                                               });
    ConnectHandlers();
}

TKalibrForm::~TKalibrForm() {
    if (KalibrForm == this) {
        KalibrForm = nullptr;
    }
}

void TKalibrForm::FindControls() {
    const ui::qt::QtForm& form = *form_;
    PageControl1 = form.As<ui::qt::PageControl>("PageControl1");
    TabSheet1 = form.Widget("TabSheet1");
    Image1 = form.As<QLabel>("Image1");
    Label1 = form.As<QLabel>("Label1");
    Label2 = form.As<QLabel>("Label2");
    Label3 = form.As<QLabel>("Label3");
    ButtonExit = form.As<QPushButton>("ButtonExit");
    Button1 = form.As<QPushButton>("Button1");
    Button2 = form.As<QPushButton>("Button2");
    TabSheet2 = form.Widget("TabSheet2");
    Image2 = form.As<QLabel>("Image2");
    Label4 = form.As<QLabel>("Label4");
    Label5 = form.As<QLabel>("Label5");
    Button3 = form.As<QPushButton>("Button3");
    Button4 = form.As<QPushButton>("Button4");
}

void TKalibrForm::ConnectHandlers() {
    KalibrFormLogic& logic = *logic_;
    form_->OnClick("Button1", [&logic] { logic.Button1Click(); });
    form_->OnClick("Button2", [&logic] { logic.Button2Click(); });
    form_->OnClick("Button3", [&logic] { logic.Button3Click(); });
    form_->OnClick("ButtonExit", [&logic] { logic.ButtonExitClick(); });
    form_->OnClick("Button4", [&logic] { logic.ButtonExitClick(); });
    form_->OnChanging("PageControl1", [&logic] { return logic.PageControl1Changing(); });
}

void TKalibrForm::keyPressEvent(QKeyEvent* event) {
    if (!ui::qt::HandleWindowKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void TKalibrForm::done(int result) {
    if (isVisible()) {
        logic_->FormClose();
    }
    QDialog::done(result);
}

void TKalibrForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ui::qt::CentreOnScreen(*this);
        logic_->FormShow();
    }
    QDialog::showEvent(event);
}

} // namespace calibration
