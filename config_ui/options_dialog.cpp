#include "config_ui/options_dialog.h"

#include "config_ui/captions_dialog.h"
#include "config_ui/custom_music_dialog.h"
#include "config_ui/custom_pictures_dialog.h"
#include "config_ui/device_names_dialog.h"
#include "config_ui/test_run.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "ui_options_dialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QSignalBlocker>

namespace wm {
namespace {

// The label under the frame-rate bar.
QString frame_rate_text(int value) {
    return QString::number(value) + QStringLiteral(" Frames Per Second");
}

}  // namespace

OptionsDialog::OptionsDialog(ConfigurationContext context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OptionsDialog>()), context_(context) {
    ui_->setupUi(this);
    SaverSettings& s = context_.state.settings;

    // Each box and bar writes its setting as it changes.
    const std::pair<QCheckBox*, int SaverSettings::*> boxes[] = {
        {ui_->Check1, &SaverSettings::random_music},
        {ui_->Check2, &SaverSettings::mute_audio},
        {ui_->Check3, &SaverSettings::objects_off},
        {ui_->Check4, &SaverSettings::scale_background},
        {ui_->Check5, &SaverSettings::random_pictures},
        {ui_->Check6, &SaverSettings::show_time},
        {ui_->Check7, &SaverSettings::save_wallpaper},
        {ui_->Check8, &SaverSettings::captions_off},
    };
    for (const auto& [box, setting] : boxes) {
        {
            const QSignalBlocker block(box);
            box->setChecked(s.*setting == 1);
        }
        connect(box, &QCheckBox::toggled, this,
                [&s, setting = setting](bool on) { s.*setting = on ? 1 : 0; });
    }
    const std::pair<QScrollBar*, int SaverSettings::*> bars[] = {
        {ui_->HScroll1, &SaverSettings::frame_rate},
        {ui_->HScroll2, &SaverSettings::mouse_sensitivity},
        {ui_->HScroll3, &SaverSettings::scene_duration},
        {ui_->HScroll4, &SaverSettings::sprite_active},
    };
    for (const auto& [bar, setting] : bars) {
        {
            // A stored value beyond the bar's ends puts the thumb at the
            // nearer end; the setting keeps its value until the bar moves.
            const QSignalBlocker block(bar);
            bar->setValue(s.*setting);
        }
        connect(bar, &QScrollBar::valueChanged, this,
                [&s, setting = setting](int value) { s.*setting = value; });
    }
    connect(ui_->HScroll1, &QScrollBar::valueChanged, this, &OptionsDialog::show_frame_rate);
    show_frame_rate(ui_->HScroll1->value());

    for (const Media media : {Media::Music, Media::Pictures}) {
        auto* group = new QButtonGroup(this);
        group->addButton(option(media, 0), 0);
        group->addButton(option(media, 1), 1);
        const int flag = media == Media::Music ? s.custom_music_flag : s.custom_picture_flag;
        {
            const QSignalBlocker block(group);
            option(media, flag == 1 ? 1 : 0)->setChecked(true);
        }
        connect(group, &QButtonGroup::idToggled, this, [this, media](int id, bool on) {
            if (on) {
                option_chosen(media, id);
            }
        });
        option(media, 1)->installEventFilter(this);
    }

    connect(ui_->Command1, &QPushButton::clicked, this, [this] {
        DeviceNamesDialog window(context_.state.settings, this);
        window.exec();
    });
    connect(ui_->Command2, &QPushButton::clicked, this, [this] {
        CaptionsDialog window(context_.state.settings, this);
        window.exec();
    });
    connect(ui_->Command3, &QPushButton::clicked, this,
            [this] { start_test_run(context_.state, context_.store, context_.test_run); });
    connect(ui_->Command4, &QPushButton::clicked, this, &QDialog::accept);
    loading_ = false;
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::done(int result) {
    save_settings(context_.state.settings, context_.store);
    QDialog::done(result);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    // A double click on a chosen "from your system" option opens its window
    // again.
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (const Media media : {Media::Music, Media::Pictures}) {
            const bool open = media == Media::Music ? music_window_open_ : picture_window_open_;
            QRadioButton* own = option(media, 1);
            if (watched == own && own->isChecked() && !loading_ && !open) {
                open_selection(media);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::show_frame_rate(int value) {
    ui_->Label1->setText(frame_rate_text(value));
}

QRadioButton* OptionsDialog::option(Media media, int index) const {
    if (media == Media::Music) {
        return index == 0 ? ui_->Option1_0 : ui_->Option1_1;
    }
    return index == 0 ? ui_->Option2_0 : ui_->Option2_1;
}

void OptionsDialog::option_chosen(Media media, int option_number) {
    SaverSettings& s = context_.state.settings;
    (media == Media::Music ? s.custom_music_flag : s.custom_picture_flag) = option_number;
    if (!loading_ && option_number == 1) {
        open_selection(media);
    }
}

void OptionsDialog::open_selection(Media media) {
    SaverSettings& s = context_.state.settings;
    RunValues& run = context_.state.run;
    bool& open = media == Media::Music ? music_window_open_ : picture_window_open_;
    open = true;
    if (media == Media::Music) {
        CustomMusicDialog window(s, run, this, context_.audio, context_.volumes);
        window.exec();
    } else {
        CustomPicturesDialog window(s, run, this, context_.volumes);
        window.exec();
    }
    // A list left empty means the built-in media after all.
    const bool empty = media == Media::Music
                           ? list_in_use(s.custom_audio_files_total, s.custom_audio_paths) == 0
                           : list_in_use(s.custom_picture_files_total, s.custom_picture_paths) == 0;
    if (empty) {
        option(media, 0)->setChecked(true);  // its toggle sets the flag to 0
    }
    open = false;
}

}  // namespace wm
