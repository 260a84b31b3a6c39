#include "assets/contact_sheet.h"

#include "assets/bird/bird_sheet.h"
#include "assets/media_catalogue.h"
#include "imaging/jpeg_reader.h"
#include "platform/error_text.h"
#include "sprites/sheet_layout.h"

#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace wm::media {

namespace {

constexpr int kMargin = 40;
constexpr int kGap = 24;
constexpr int kLabelHeight = 30;
constexpr int kSheetWidthPx = 2600;
constexpr int kThumbColumns = 5;
constexpr int kCellsPerRow = 12;
const QColor kPaper(34, 38, 48);
const QColor kInk(226, 230, 238);

// The picture at `path`, opaque unless `keep_alpha` is asked for.
std::optional<QImage> load_picture(const QString& path, QString* problem, bool keep_alpha = false) {
    if (!QFileInfo::exists(path)) {
        set_error(problem,
                  QStringLiteral("missing %1: run `wintermere-media build` first").arg(path));
        return std::nullopt;
    }
    if (path.endsWith(QLatin1String(".jpg"))) {
        cDIBSection surface;
        if (load_jpeg(surface, path)) {
            return to_qimage(surface);
        }
    } else {
        QImage picture(path);
        if (!picture.isNull()) {
            return picture.convertToFormat(keep_alpha ? QImage::Format_ARGB32
                                                      : QImage::Format_RGB32);
        }
    }
    set_error(problem, QStringLiteral("cannot read %1").arg(path));
    return std::nullopt;
}

// Lays pictures out left to right, top to bottom, with labels.
class SheetWriter {
  public:
    explicit SheetWriter(QPainter& painter) : painter_(painter) {}

    void heading(const QString& text) {
        new_row();
        painter_.setFont(QFont(QStringLiteral("Liberation Sans"), 22, QFont::Bold));
        painter_.setPen(kInk);
        painter_.drawText(QRect(kMargin, y_, kSheetWidthPx, 40), Qt::AlignLeft, text);
        y_ += 48;
    }

    // Places a picture at `scale`, with a label under it.
    void place(const QImage& picture, double scale, const QString& label) {
        const QSize size(static_cast<int>(picture.width() * scale),
                         static_cast<int>(picture.height() * scale));
        if (x_ + size.width() > kSheetWidthPx - kMargin && x_ > kMargin) {
            new_row();
        }
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, scale < 1.0);
        painter_.drawImage(QRect(QPoint(x_, y_), size), picture);
        painter_.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
        painter_.setPen(kInk);
        painter_.drawText(QRect(x_, y_ + size.height() + 4, std::max(size.width(), 150), 24),
                          Qt::AlignLeft, label);
        x_ += std::max(size.width(), 150) + kGap;
        row_height_ = std::max(row_height_, size.height() + kLabelHeight);
    }

    void new_row() {
        if (x_ > kMargin) {
            y_ += row_height_ + kGap;
        }
        x_ = kMargin;
        row_height_ = 0;
    }

    int bottom() const { return y_ + row_height_ + kMargin; }

  private:
    QPainter& painter_;
    int x_ = kMargin;
    int y_ = kMargin;
    int row_height_ = 0;
};

// Cell n drawn over `stage` as the saver draws a sprite: AND the mask, OR the sprite.
QImage composed_cell(const QImage& stage, const BirdSheets& sheets, int n) {
    QImage cell = stage.copy(QRect(0, 0, kCellSize, kCellSize));
    QPainter painter(&cell);
    draw_bird_cell(painter, QPoint(0, 0), sheets, n);
    return cell;
}

// A small stage framed with the border pieces, tiled the way the saver frames its stage.
QImage framed_stage(const QImage& border, const QImage& scene) {
    constexpr int kPiece = 8;
    const QSize stage(400, 300);
    QImage framed(stage + QSize(2 * kPiece, 2 * kPiece), QImage::Format_RGB32);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(kPiece, kPiece), stage), scene);
    const int right = kPiece + stage.width();
    const int bottom = kPiece + stage.height();
    for (int x = 0; x <= right; x += kPiece) {
        painter.drawImage(QPoint(x, 0), border, QRect(8, 0, kPiece, kPiece));
        painter.drawImage(QPoint(x, bottom), border, QRect(8, 72, kPiece, kPiece));
    }
    for (int y = 0; y <= bottom; y += kPiece) {
        painter.drawImage(QPoint(0, y), border, QRect(0, 8, kPiece, kPiece));
        painter.drawImage(QPoint(right, y), border, QRect(72, 64, kPiece, kPiece));
    }
    painter.drawImage(QPoint(0, 0), border, QRect(0, 0, kPiece, kPiece));
    painter.drawImage(QPoint(right, 0), border, QRect(72, 0, kPiece, kPiece));
    painter.drawImage(QPoint(right, bottom), border, QRect(72, 72, kPiece, kPiece));
    painter.drawImage(QPoint(0, bottom), border, QRect(0, 72, kPiece, kPiece));
    return framed;
}

// `icon` over a plain panel of `panel`, with room around it, to show its
// clear corners and edge.
QImage on_panel(const QImage& icon, const QColor& panel) {
    constexpr int kPad = 12;
    QImage shown(icon.size() + QSize(2 * kPad, 2 * kPad), QImage::Format_RGB32);
    shown.fill(panel);
    QPainter painter(&shown);
    painter.drawImage(QPoint(kPad, kPad), icon);
    return shown;
}

}  // namespace

bool write_contact_sheet(const QString& media_folder, const QString& png, QString* problem) {
    const QString members = media_folder + QStringLiteral("/members/");
    const QString windows = media_folder + QStringLiteral("/windows/");
    const auto items = pack_members();

    std::vector<QImage> backgrounds;
    for (int position = 1; position <= kBackgroundCount; ++position) {
        auto picture = load_picture(members + member_at(items, position).name, problem);
        if (!picture) {
            return false;
        }
        backgrounds.push_back(*picture);
    }
    const auto sprite = load_picture(members + member_at(items, kSpriteMember).name, problem);
    const auto mask = load_picture(members + member_at(items, kMaskMember).name, problem);
    const auto title = load_picture(members + member_at(items, kTitleCardMember).name, problem);
    if (!sprite || !mask || !title) {
        return false;
    }
    const BirdSheets sheets{*sprite, *mask};
    std::vector<std::pair<QString, QImage>> window_images;
    for (const MediaItem& item : window_pictures()) {
        auto picture = load_picture(windows + item.name, problem);
        if (!picture) {
            return false;
        }
        window_images.emplace_back(item.name, *picture);
    }
    std::vector<std::pair<QString, QImage>> icons;
    for (const MediaItem& item : app_icons()) {
        auto picture =
            load_picture(media_folder + QStringLiteral("/icons/") + item.name, problem, true);
        if (!picture) {
            return false;
        }
        icons.emplace_back(item.name, *picture);
    }

    QImage sheet(kSheetWidthPx, 6000, QImage::Format_RGB32);
    sheet.fill(kPaper);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    SheetWriter writer(painter);

    writer.heading(QStringLiteral("Backgrounds (members 1-10, %1 x %2)")
                       .arg(kBackgroundSize.width())
                       .arg(kBackgroundSize.height()));
    const double thumb_scale = (kSheetWidthPx - 2.0 * kMargin - (kThumbColumns - 1) * kGap) /
                               kThumbColumns / kBackgroundSize.width();
    for (int position = 1; position <= kBackgroundCount; ++position) {
        writer.place(backgrounds[static_cast<std::size_t>(position - 1)], thumb_scale,
                     QStringLiteral("%1  %2").arg(position).arg(member_at(items, position).name));
    }

    // Each half of the cycle over a calm patch of sky where birds fly: the
    // right-flying cells over dusk, the left-flying ones over a night sky.
    const auto place_cycle = [&](const QString& heading, int first_cell, const QImage& sky) {
        writer.heading(heading);
        for (int n = first_cell; n < first_cell + kFlapCells; ++n) {
            if ((n - first_cell) % kCellsPerRow == 0) {
                writer.new_row();
            }
            writer.place(composed_cell(sky, sheets, n), 1.0, QString::number(n));
        }
    };
    place_cycle(QStringLiteral("Wing cycle flying right (cells 1-24), drawn over a scene at 1:1"),
                1, backgrounds[1].copy(QRect(600, 380, kCellSize, kCellSize)));
    place_cycle(QStringLiteral("Flying left (cells 25-48), over a night sky"), kFlapCells + 1,
                backgrounds[0].copy(QRect(300, 120, kCellSize, kCellSize)));

    writer.heading(QStringLiteral("Sheets (members 11, 12) and title card (member 13)"));
    writer.place(*sprite, 0.4, member_at(items, kSpriteMember).name);
    writer.place(*mask, 0.4, member_at(items, kMaskMember).name);
    writer.place(*title, 0.8, member_at(items, kTitleCardMember).name);

    writer.heading(QStringLiteral("Window pictures"));
    QImage border;
    for (const auto& [name, picture] : window_images) {
        const bool small = picture.width() <= 80;
        writer.place(
            picture, small ? 3.0 : 1.0,
            QStringLiteral("%1  %2 x %3").arg(name).arg(picture.width()).arg(picture.height()));
        if (name.startsWith(QLatin1String("border"))) {
            border = picture;
        }
    }
    if (!border.isNull()) {
        writer.place(framed_stage(border, backgrounds[0]), 1.0,
                     QStringLiteral("border pieces framing a stage"));
    }

    // Each size as drawn, 1:1, over a dark panel and a light one as desktops show it.
    writer.heading(
        QStringLiteral("Program icon, each size drawn at 1:1, on dark and light panels"));
    for (const QColor& panel : {QColor(48, 52, 60), QColor(242, 242, 238)}) {
        for (const auto& [name, picture] : icons) {
            writer.place(on_panel(picture, panel), 1.0, name);
        }
    }
    painter.end();

    const QImage cropped = sheet.copy(0, 0, kSheetWidthPx, std::min(writer.bottom(), 6000));
    if (!cropped.save(png, "PNG")) {
        set_error(problem, QStringLiteral("cannot write %1").arg(png));
        return false;
    }
    return true;
}

}  // namespace wm::media
