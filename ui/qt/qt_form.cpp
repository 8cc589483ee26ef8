#include "ui/qt/qt_form.h"

#include "ui/qt/page_control.h"
#include "ui/qt/picture.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"
#include "ui/qt/window_face.h"
#include "ui/window_scale.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ui::qt {

namespace {

// Where the system lacks MS Sans Serif, a fixed-size label's caption may be wider than its box
// in the substitute face; its font then shrinks, but not below this character height.
constexpr int kSmallestFontHeight = 8;

// What every control can do; the kinds below add their texts, items and index.
class WidgetControl : public Control {
public:
    explicit WidgetControl(QWidget* widget) : widget_(widget) {}

    // The window's resolution and the control's left edge in the description's pixels.
    void SetLayout(int dpi, int designLeft) {
        dpi_ = dpi;
        designLeft_ = designLeft;
    }

    std::string Text() const override { return {}; }
    void SetText(const std::string&) override {}
    bool Enabled() const override { return widget_->isEnabled(); }
    void SetEnabled(bool enabled) override { widget_->setEnabled(enabled); }
    // The control's own visibility, also while its window is hidden.
    bool Visible() const override { return !widget_->isHidden(); }
    void SetVisible(bool visible) override { widget_->setVisible(visible); }
    // Scaled, the place in pixels may stand for two of the description's: the one set counts.
    int Left() const override { return dpi_ == kDesignDpi ? widget_->x() : designLeft_; }
    void SetLeft(int left) override {
        designLeft_ = left;
        widget_->move(ScaleLength(left, dpi_), widget_->y());
    }
    void ClearItems() override {}
    void AddItem(const std::string&) override {}
    int ItemCount() const override { return 0; }
    std::string ItemText(int) const override { return {}; }
    void SetItemText(int, const std::string&) override {}
    int Index() const override { return -1; }
    void SetIndex(int) override {}

private:
    QWidget* widget_;
    int dpi_ = kDesignDpi;
    int designLeft_ = 0;
};

class LabelControl final : public WidgetControl {
public:
    LabelControl(QLabel* label, const ControlSpec& spec, std::function<void()> changed)
        : WidgetControl(label), label_(label), spec_(spec), changed_(std::move(changed)) {}

    std::string Text() const override { return FromQt(label_->text()); }
    void SetText(const std::string& text) override {
        const QString caption = ToQt(text);
        label_->setText(caption);
        if (spec_.autoSize) {
            Grow(caption);
        } else {
            FitFont(caption);
        }
        if (changed_) {
            changed_();
        }
    }

private:
    // A label that sizes itself is never narrower than the layout drew it, and grows with a
    // longer caption (a reading with more digits, a wider substitute face), so nothing is cut.
    // Its height stays the layout's, which holds a line of its font.
    void Grow(const QString& caption) {
        const int needed =
            label_->fontMetrics().horizontalAdvance(caption) + 2 * label_->margin() + 2;
        label_->resize(std::max(spec_.width, needed), spec_.height);
    }

    // A fixed-size label keeps its box; the caption gets the largest character height up to
    // the layout's at which it still fits.
    void FitFont(const QString& caption) {
        QFont font = label_->font();
        const int room = label_->width() - 2 * label_->margin();
        int height = spec_.fontHeight > 0 ? spec_.fontHeight : font.pixelSize();
        font.setPixelSize(height);
        while (height > kSmallestFontHeight &&
               QFontMetrics(font).horizontalAdvance(caption) > room) {
            font.setPixelSize(--height);
        }
        label_->setFont(font);
    }

    QLabel* label_;
    const ControlSpec& spec_;
    std::function<void()> changed_;
};

class ButtonControl final : public WidgetControl {
public:
    explicit ButtonControl(QPushButton* button) : WidgetControl(button), button_(button) {}
    std::string Text() const override { return FromQt(button_->text()); }
    void SetText(const std::string& text) override { button_->setText(ToQt(text)); }

private:
    QPushButton* button_;
};

class EditControl final : public WidgetControl {
public:
    explicit EditControl(QLineEdit* edit) : WidgetControl(edit), edit_(edit) {}
    std::string Text() const override { return FromQt(edit_->text()); }
    void SetText(const std::string& text) override { edit_->setText(ToQt(text)); }

private:
    QLineEdit* edit_;
};

// Everything done from code is done with the box's signals blocked: only a user's choice is a
// change.
class ComboBoxControl final : public WidgetControl {
public:
    explicit ComboBoxControl(QComboBox* box) : WidgetControl(box), box_(box) {}
    std::string Text() const override { return FromQt(box_->currentText()); }
    void SetText(const std::string& text) override {
        const QSignalBlocker blocker(box_);
        box_->setEditText(ToQt(text));
    }
    void ClearItems() override {
        const QSignalBlocker blocker(box_);
        box_->clear();
    }
    void AddItem(const std::string& text) override {
        const QSignalBlocker blocker(box_);
        box_->addItem(ToQt(text));
    }
    int ItemCount() const override { return box_->count(); }
    std::string ItemText(int index) const override { return FromQt(box_->itemText(index)); }
    void SetItemText(int index, const std::string& text) override {
        const QSignalBlocker blocker(box_);
        if (index >= 0 && index < box_->count()) {
            box_->setItemText(index, ToQt(text));
        }
    }
    int Index() const override { return box_->currentIndex(); }
    void SetIndex(int index) override {
        const QSignalBlocker blocker(box_);
        box_->setCurrentIndex(index);
        box_->setEditText(index >= 0 && index < box_->count() ? box_->itemText(index) : QString());
    }

private:
    QComboBox* box_;
};

class GroupBoxControl final : public WidgetControl {
public:
    explicit GroupBoxControl(QGroupBox* group) : WidgetControl(group), group_(group) {}
    std::string Text() const override { return FromQt(group_->title()); }
    void SetText(const std::string& text) override { group_->setTitle(ToQt(text)); }

private:
    QGroupBox* group_;
};

class RadioGroupControl final : public WidgetControl {
public:
    explicit RadioGroupControl(RadioGroup* group) : WidgetControl(group), group_(group) {}
    std::string Text() const override { return FromQt(group_->title()); }
    void SetText(const std::string& text) override {
        group_->setTitle(ToQt(text));
        group_->setAccessibleName(group_->title().trimmed());
    }
    void ClearItems() override { group_->SetItems({}); }
    void AddItem(const std::string& text) override {
        QStringList items;
        for (int i = 0; i < group_->Count(); ++i) {
            items << group_->Button(i)->text();
        }
        group_->SetItems(items << ToQt(text));
    }
    int ItemCount() const override { return group_->Count(); }
    std::string ItemText(int index) const override {
        return index >= 0 && index < group_->Count() ? FromQt(group_->Button(index)->text())
                                                     : std::string();
    }
    void SetItemText(int index, const std::string& text) override {
        if (index >= 0 && index < group_->Count()) {
            group_->Button(index)->setText(ToQt(text));
        }
    }
    int Index() const override { return group_->ItemIndex(); }
    void SetIndex(int index) override { group_->SetItemIndex(index); }

private:
    RadioGroup* group_;
};

class UpDownControl final : public WidgetControl {
public:
    explicit UpDownControl(UpDown* upDown) : WidgetControl(upDown), upDown_(upDown) {}
    std::string Text() const override { return std::to_string(upDown_->Position()); }
    int Index() const override { return upDown_->Position(); }
    void SetIndex(int index) override { upDown_->SetPosition(index); }

private:
    UpDown* upDown_;
};

class StatusBarControl final : public WidgetControl {
public:
    explicit StatusBarControl(StatusBar* bar) : WidgetControl(bar), bar_(bar) {}
    int ItemCount() const override { return bar_->PanelCount(); }
    std::string ItemText(int index) const override { return FromQt(bar_->PanelText(index)); }
    void SetItemText(int index, const std::string& text) override {
        bar_->SetPanelText(index, ToQt(text));
    }

private:
    StatusBar* bar_;
};

// Pages changed from code are not asked about; only the user's changes are guarded.
class PageControlControl final : public WidgetControl {
public:
    explicit PageControlControl(PageControl* pages) : WidgetControl(pages), pages_(pages) {}
    int ItemCount() const override { return pages_->count(); }
    std::string ItemText(int index) const override { return FromQt(pages_->tabText(index)); }
    int Index() const override { return pages_->currentIndex(); }
    void SetIndex(int index) override { pages_->setCurrentIndex(index); }

private:
    PageControl* pages_;
};

class TabSheetControl final : public WidgetControl {
public:
    TabSheetControl(QWidget* page, PageControl* pages)
        : WidgetControl(page), page_(page), pages_(pages) {}
    std::string Text() const override { return FromQt(pages_->tabText(pages_->indexOf(page_))); }
    void SetText(const std::string& text) override {
        pages_->setTabText(pages_->indexOf(page_), ToQt(text));
    }

private:
    QWidget* page_;
    PageControl* pages_;
};

// The accessible name a label's caption gives: without blanks at the ends, doubled blanks and
// the closing colon.
QString NameFromCaption(QString caption) {
    caption = caption.simplified();
    if (caption.endsWith(QLatin1Char(':'))) {
        caption.chop(1);
    }
    return caption.trimmed();
}

Qt::WindowFlags FrameFlags(FrameKind frame) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (frame == FrameKind::FixedDialogWithCloseBox) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

} // namespace

QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) {
    return text.toStdString();
}

namespace {

const QScreen* ScreenOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

ScreenRect AreaOf(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

} // namespace

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = ScreenOf(window)) {
        const QRect frame = window.frameGeometry();
        const ScreenRect at =
            CentreInside(frame.width(), frame.height(), AreaOf(screen->availableGeometry()));
        window.move(at.left, at.top);
    }
}

int FittingLayoutDpi(const FormSpec& spec, const QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return kDesignDpi;
    }
    // Before the window is shown its frame is not known: the style's title bar and borders
    // stand in for it.
    QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (frame.isEmpty()) {
        const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame =
            QSize(2 * border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
    }
    // In the screen's own pixels, where Qt's scaling is a resolution like any other.
    const double ratio = screen->devicePixelRatio();
    const auto device = [ratio](int logical) { return static_cast<int>(logical * ratio); };
    const QRect area = screen->availableGeometry();
    const int monitorDpi = static_cast<int>(kDesignDpi * ratio + 0.5);
    const int fitting = FittingDpi(
        spec.clientWidth, spec.clientHeight, monitorDpi,
        {device(frame.width()), device(frame.height())},
        {device(area.x()), device(area.y()), device(area.width()), device(area.height())});
    return fitting >= monitorDpi ? kDesignDpi : static_cast<int>(fitting / ratio);
}

QtForm::QtForm(const FormSpec& spec, QWidget& window, PictureSource pictures)
    : layoutDpi_(FittingLayoutDpi(spec, window)), design_(spec),
      spec_(layoutDpi_ == kDesignDpi ? spec : ScaleForm(spec, layoutDpi_)), window_(window) {
    window_.setObjectName(ToQt(spec_.name));
    window_.setWindowFlags(FrameFlags(spec_.frame));
    window_.setWindowTitle(ToQt(spec_.caption));
    window_.setFixedSize(spec_.clientWidth, spec_.clientHeight);
    window_.setFont(WindowFace(spec_.fontHeight));
    // The face colour of dialogs: the system's button face.
    window_.setBackgroundRole(QPalette::Button);
    window_.setAutoFillBackground(true);
    for (const ControlSpec& control : spec_.controls) {
        Create(control, pictures);
    }
    Connect();
    SetTabOrder();
}

QtForm::~QtForm() = default;

Control& QtForm::operator[](const std::string& name) {
    const auto found = controls_.find(name);
    if (found == controls_.end()) {
        throw std::out_of_range(spec_.name + " has no control " + name);
    }
    return *found->second;
}

QWidget* QtForm::Widget(const std::string& name) const {
    const auto found = widgets_.find(name);
    if (found == widgets_.end()) {
        throw std::out_of_range(spec_.name + " has no control " + name);
    }
    return found->second;
}

void QtForm::Create(const ControlSpec& control, PictureSource& pictures) {
    QWidget* parent = control.parent.empty() ? &window_ : Widget(control.parent);
    QWidget* widget = nullptr;
    std::unique_ptr<Control> adapter;
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (!control.transparent) {
            // Opaque: it hides whatever lies under it (a picture) with the window's face.
            label->setBackgroundRole(window_.backgroundRole());
            label->setAutoFillBackground(true);
        }
        widget = label;
        adapter = std::make_unique<LabelControl>(
            label, control, [this, name = control.name] { UpdateAccessibleNames(name); });
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        // Enter presses the focused button only, as on a dialog; no button is the default.
        button->setAutoDefault(false);
        widget = button;
        adapter = std::make_unique<ButtonControl>(button);
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(control.readOnly);
        widget = edit;
        adapter = std::make_unique<EditControl>(edit);
        break;
    }
    case ControlKind::ComboBox: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(control.dropDownRows);
        widget = box;
        adapter = std::make_unique<ComboBoxControl>(box);
        break;
    }
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(parent);
        widget = group;
        adapter = std::make_unique<GroupBoxControl>(group);
        break;
    }
    case ControlKind::RadioGroup: {
        auto* group = new RadioGroup(QString(), {}, parent);
        widget = group;
        adapter = std::make_unique<RadioGroupControl>(group);
        break;
    }
    case ControlKind::UpDown: {
        auto* upDown = new UpDown(parent);
        upDown->SetRange(control.minimum, control.maximum);
        widget = upDown;
        adapter = std::make_unique<UpDownControl>(upDown);
        break;
    }
    case ControlKind::StatusBar: {
        QList<StatusBar::PanelSpec> panels;
        for (const StatusPanel& panel : control.panels) {
            panels.append({ToQt(panel.text), panel.width});
        }
        auto* bar = new StatusBar(panels, parent);
        bar->setAccessibleName(QStringLiteral("Строка состояния"));
        widget = bar;
        adapter = std::make_unique<StatusBarControl>(bar);
        break;
    }
    case ControlKind::PageControl: {
        auto* pages = new PageControl(parent);
        widget = pages;
        adapter = std::make_unique<PageControlControl>(pages);
        break;
    }
    case ControlKind::TabSheet: {
        auto* pages = qobject_cast<PageControl*>(parent);
        if (pages == nullptr) {
            throw std::logic_error(control.name + " is a page of no page control");
        }
        auto* page = new QWidget;
        pages->addTab(page, QString());
        widget = page;
        adapter = std::make_unique<TabSheetControl>(page, pages);
        break;
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setAlignment(Qt::AlignCenter);
        // A window drawn smaller to fit its screen draws its pictures smaller with it.
        picture->setScaledContents(true);
        if (pictures) {
            SetPictureWhenShown(*picture, pictures(control.picture), control.transparent);
        }
        widget = picture;
        adapter = std::make_unique<WidgetControl>(picture);
        break;
    }
    }
    widget->setObjectName(ToQt(control.name));
    if (control.kind != ControlKind::TabSheet) {
        widget->setGeometry(control.left, control.top, control.width, control.height);
    }
    if (control.fontHeight > 0) {
        widget->setFont(WindowFace(control.fontHeight));
    }
    widgets_.emplace(control.name, widget);
    Control& created = *adapter;
    controls_.emplace(control.name, std::move(adapter));

    static_cast<WidgetControl&>(created).SetLayout(layoutDpi_, design_.Control(control.name).left);
    created.SetText(control.text);
    for (const std::string& item : control.items) {
        created.AddItem(item);
    }
    if (control.kind == ControlKind::UpDown) {
        created.SetIndex(control.position);
    } else if (control.itemIndex >= 0) {
        created.SetIndex(control.itemIndex);
    }
    created.SetEnabled(control.enabled);
    if (!control.visible) {
        created.SetVisible(false);
    }
}

void QtForm::Connect() {
    for (const ControlSpec& control : spec_.controls) {
        if (!control.associate.empty()) {
            if (auto* upDown = As<UpDown>(control.name)) {
                upDown->SetAssociate(As<QLineEdit>(control.associate));
            }
        }
        for (const std::string& labelName : control.labelledBy) {
            auto* label = As<QLabel>(labelName);
            if (label != nullptr && label->buddy() == nullptr) {
                label->setBuddy(Widget(control.name));
            }
        }
    }
    for (const ControlSpec& control : spec_.controls) {
        if (control.kind == ControlKind::Label) {
            UpdateAccessibleNames(control.name);
        }
    }
}

void QtForm::UpdateAccessibleNames(const std::string& labelName) {
    for (const ControlSpec& control : spec_.controls) {
        if (std::find(control.labelledBy.begin(), control.labelledBy.end(), labelName) ==
                control.labelledBy.end() ||
            widgets_.count(control.name) == 0) {
            continue;
        }
        QStringList parts;
        for (const std::string& name : control.labelledBy) {
            if (auto* label = widgets_.count(name) != 0 ? As<QLabel>(name) : nullptr) {
                parts << NameFromCaption(label->text());
            }
        }
        Widget(control.name)->setAccessibleName(parts.join(QLatin1Char(' ')));
    }
}

void QtForm::SetTabOrder() {
    std::vector<std::string> parents = {std::string()};
    for (const ControlSpec& control : spec_.controls) {
        if (control.kind == ControlKind::TabSheet) {
            parents.push_back(control.name);
        }
    }
    for (const std::string& parent : parents) {
        QList<QWidget*> chain;
        for (const ControlSpec* control : spec_.TabChain(parent)) {
            if (auto* group = As<RadioGroup>(control->name)) {
                // Tab visits the items of a radio group in turn.
                for (int i = 0; i < group->Count(); ++i) {
                    chain.append(group->Button(i));
                }
            } else {
                chain.append(Widget(control->name));
            }
        }
        for (qsizetype i = 1; i < chain.size(); ++i) {
            QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
        }
    }
}

void QtForm::SendEventsTo(EventSink& events) {
    for (const ControlSpec& control : spec_.controls) {
        const std::string name = control.name;
        switch (control.kind) {
        case ControlKind::Button:
            QObject::connect(As<QAbstractButton>(name), &QAbstractButton::clicked, &window_,
                             [&events, name] { events.Raise(name, FormEvent::Click); });
            break;
        case ControlKind::ComboBox:
            QObject::connect(As<QComboBox>(name), &QComboBox::activated, &window_,
                             [&events, name] { events.Raise(name, FormEvent::Change); });
            break;
        case ControlKind::PageControl:
            As<PageControl>(name)->SetOnChanging(
                [&events, name] { return events.Raise(name, FormEvent::Changing); });
            break;
        default:
            break; // raises no event (ui::Raises)
        }
    }
}

void QtForm::FocusFirstTabStop() {
    const std::vector<const ControlSpec*> chain = spec_.TabChain({});
    if (!chain.empty()) {
        Widget(chain.front()->name)->setFocus();
    }
}

} // namespace ui::qt
