#include "calibration/qt/kalibr_form.h"

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/window_keys.h"

#include <QKeyEvent>
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
    logic_ = std::make_unique<KalibrFormLogic>(engine, mainWindow, ui, *form_,
                                               KalibrFormWindow{
                                                   .close = [this] { close(); },
                                                   .showModal = [this] { exec(); },
                                               });
    events_.Bind(KalibrFormDescription(), KalibrFormEvents(), *logic_);
    form_->SendEventsTo(events_);
}

TKalibrForm::~TKalibrForm() {
    if (KalibrForm == this) {
        KalibrForm = nullptr;
    }
}

QWidget* TKalibrForm::FormWidget(const std::string& name) const {
    return form_->Widget(name);
}

void TKalibrForm::keyPressEvent(QKeyEvent* event) {
    if (!ui::qt::HandleWindowKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void TKalibrForm::done(int result) {
    if (isVisible()) {
        events_.Raise({}, ui::FormEvent::Close);
    }
    QDialog::done(result);
}

void TKalibrForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ui::qt::CentreOnScreen(*this);
        events_.Raise({}, ui::FormEvent::Show);
    }
    QDialog::showEvent(event);
}

} // namespace calibration
