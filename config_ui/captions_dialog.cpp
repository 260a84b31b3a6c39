#include "config_ui/captions_dialog.h"

#include "platform/messages.h"
#include "startup/saver_settings.h"
#include "ui_captions_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

namespace wm {
namespace {

const QString kPreviewText = QStringLiteral("Example");
const QString kPreviewFont = QStringLiteral("Arial");

QFont preview_font(const PreviewLook& look) {
    QFont font(kPreviewFont);
    font.setPointSize(look.point_size);
    font.setBold(look.bold);
    font.setItalic(look.italic);
    return font;
}

}  // namespace

CaptionsDialog::CaptionsDialog(SaverSettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      list_(CaptionList::load_from(settings)),
      ui_(std::make_unique<Ui::CaptionsDialog>()) {
    ui_->setupUi(this);

    // The preview area holds the largest look without growing the window
    // while a bar is dragged.
    const QSize largest = QFontMetrics(preview_font({kCaptionsSizeBar.high, {}, true, true}))
                              .size(Qt::TextSingleLine, kPreviewText);
    ui_->Picture2->setMinimumSize(largest + QSize(24, 16));

    ui_->List1->addItems(list_.entries());
    // The controls are filled before they are connected, so filling them
    // stores nothing: a stored value outside a bar stays as it is until the
    // user moves that bar.
    ui_->Check1->setChecked(settings_.captions_random == 1);
    ui_->Check2->setChecked(settings_.captions_bold == 1);
    ui_->Check3->setChecked(settings_.captions_italic == 1);
    ui_->HScroll5->setValue(bar_position(settings_.captions_color, kCaptionsColorBar));
    ui_->HScroll6->setValue(bar_position(settings_.captions_size, kCaptionsSizeBar));
    if (preview_drawn_at_opening(settings_)) {
        preview();
    }

    connect(ui_->Command1, &QPushButton::clicked, this, &CaptionsDialog::add_caption);
    connect(ui_->Command2, &QPushButton::clicked, this, &CaptionsDialog::remove_caption);
    connect(ui_->Command3, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Check1, &QCheckBox::toggled, this,
            [this](bool on) { settings_.captions_random = on ? 1 : 0; });
    connect(ui_->Check2, &QCheckBox::toggled, this, [this](bool on) {
        settings_.captions_bold = on ? 1 : 0;
        preview();
    });
    connect(ui_->Check3, &QCheckBox::toggled, this, [this](bool on) {
        settings_.captions_italic = on ? 1 : 0;
        preview();
    });
    // With tracking on, the bars report every position while the thumb is
    // dragged, so the preview follows it.
    connect(ui_->HScroll5, &QScrollBar::valueChanged, this, [this](int value) {
        settings_.captions_color = value;
        preview();
    });
    connect(ui_->HScroll6, &QScrollBar::valueChanged, this, [this](int value) {
        settings_.captions_size = value;
        preview();
    });
    // Enter in the text box adds the caption instead of closing the window.
    ui_->Text1->installEventFilter(this);
}

CaptionsDialog::~CaptionsDialog() {
    // Still open: its parent is going away and takes the window with it,
    // which never closes it. The edits are kept all the same.
    if (isVisible()) {
        store_list();
    }
}

void CaptionsDialog::done(int result) {
    store_list();
    QDialog::done(result);
}

void CaptionsDialog::store_list() {
    list_.store_into(settings_);
}

bool CaptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            add_caption();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CaptionsDialog::add_caption() {
    const QString text = ui_->Text1->text();
    switch (list_.add(text)) {
        case CaptionList::AddResult::Empty:
            return;
        case CaptionList::AddResult::Full:
            show_message(QStringLiteral("Captions Filled!"),
                         QStringLiteral("All 500 available captions have been filled!"),
                         MessageIcon::None);
            return;
        case CaptionList::AddResult::Added:
            ui_->List1->addItem(text);
            ui_->List1->scrollToBottom();
            ui_->Text1->clear();
            return;
    }
}

void CaptionsDialog::remove_caption() {
    const QList<QListWidgetItem*> selected = ui_->List1->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int row = ui_->List1->row(selected.first());
    if (list_.remove(row)) {
        delete ui_->List1->takeItem(row);
    }
}

void CaptionsDialog::preview() {
    const PreviewLook look = preview_look(settings_);
    QLabel* label = ui_->Label1;
    label->setFont(preview_font(look));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, look.colour);
    label->setPalette(palette);
    label->setText(kPreviewText);
    // The label takes the size of its text and the preview area's layout
    // centres it; settle that now so that it repaints in its new place.
    ui_->Picture2->layout()->activate();
    if (label->isVisible()) {
        label->repaint();
    }
}

}  // namespace wm
