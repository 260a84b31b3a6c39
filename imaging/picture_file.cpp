#include "imaging/picture_file.h"

#include "platform/error_text.h"
#include "platform/regular_file.h"

#include <QBuffer>
#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace wm {
namespace {

bool is_jpeg(const QByteArray& bytes, const QString& name) {
    return name.right(3).toUpper() == QLatin1String("JPG") || bytes.startsWith("\xFF\xD8");
}

bool has_area(const QSize& size) {
    return size.isValid() && !size.isEmpty();
}

QString claims_too_much(qint64 width, qint64 height) {
    return QStringLiteral("the picture claims %1 x %2 pixels").arg(width).arg(height);
}

// The size of a picture of `own` pixels shrunk into `box` with its aspect
// ratio kept: never larger than its own size, never below 1 x 1.
QSize exact_fit_size(const QSize& own, const QSize& box) {
    const double scale = std::min({1.0, static_cast<double>(box.width()) / own.width(),
                                   static_cast<double>(box.height()) / own.height()});
    return {std::clamp(static_cast<int>(std::lround(own.width() * scale)), 1, own.width()),
            std::clamp(static_cast<int>(std::lround(own.height() * scale)), 1, own.height())};
}

// `picture` turned as an orientation tag says: mirrored and flipped first,
// then a quarter turn clockwise, as Qt's reader applies it.
QImage oriented(QImage picture, QImageIOHandler::Transformations transformation) {
    const bool mirror = (transformation & QImageIOHandler::TransformationMirror) != 0;
    const bool flip = (transformation & QImageIOHandler::TransformationFlip) != 0;
    if (mirror || flip) {
        picture = picture.mirrored(mirror, flip);
    }
    if ((transformation & QImageIOHandler::TransformationRotate90) != 0) {
        picture = picture.transformed(QTransform().rotate(90));
    }
    return picture;
}

std::optional<QImage> load_jpeg_picture(const QByteArray& bytes, const PictureFileOptions& options,
                                        QString* problem) {
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone;
    if (options.apply_orientation) {
        // Only the markers before the first scan are read for the tag.
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        transformation = QImageReader(&buffer, "jpeg").transformation();
    }
    const bool turned = (transformation & QImageIOHandler::TransformationRotate90) != 0;
    const bool fit = has_area(options.fit_into);
    // The box in the stored picture's orientation.
    const QSize box = !fit ? QSize() : turned ? options.fit_into.transposed() : options.fit_into;

    QImage picture;
    QString detail;
    const JpegOutcome outcome = decode_jpeg_image(picture, bytes, box, &detail);
    if (outcome != JpegOutcome::kDecoded) {
        const QString message = jpeg_message(outcome);
        set_error(problem, message.isEmpty()  ? detail
                           : detail.isEmpty() ? message
                                              : QStringLiteral("%1 (%2)").arg(message, detail));
        return std::nullopt;
    }
    if (picture.isNull()) {
        set_error(problem, QStringLiteral("no memory for the picture"));
        return std::nullopt;
    }
    if (fit && options.exact_fit) {
        // The decoder's reduced scale covers the fit; a smooth scaling does the rest.
        const QSize wanted = exact_fit_size(picture.size(), box);
        if (wanted != picture.size()) {
            picture = picture.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }
    return oriented(std::move(picture), transformation);
}

std::optional<QImage> load_other_picture(const QByteArray& bytes, const PictureFileOptions& options,
                                         QString* problem) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The bytes tell the format, whatever the name says: a name would only
    // send bytes that are no such picture to a decoder that then complains.
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (format.isEmpty()) {
        set_error(problem, QStringLiteral("not a picture of any known kind"));
        return std::nullopt;
    }
    buffer.seek(0);
    // The limit is the process's: set once, so that pictures may be read on
    // two threads at once.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(kReaderAllocationLimitMb);
        return true;
    }();
    Q_UNUSED(limited)
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(options.apply_orientation);

    const QSize stored = reader.size();
    // A top-down bitmap gives its height as a negative number.
    const bool top_down = stored.width() > 0 && stored.height() < 0;
    if (!top_down && !has_area(stored)) {
        set_error(problem,
                  QStringLiteral("no picture of a known size (%1)").arg(reader.errorString()));
        return std::nullopt;
    }
    const qint64 width = stored.width();
    const qint64 height = std::abs(qint64{stored.height()});
    if (!cDIBSection::within_limits(width, height)) {
        set_error(problem, claims_too_much(width, height));
        return std::nullopt;
    }
    if (has_area(options.fit_into) && options.exact_fit) {
        const QSize own(static_cast<int>(width), static_cast<int>(height));
        const bool turned =
            options.apply_orientation &&
            (reader.transformation() & QImageIOHandler::TransformationRotate90) != 0;
        const QSize shown = turned ? own.transposed() : own;
        const QSize wanted = exact_fit_size(shown, options.fit_into);
        if (wanted != shown) {
            reader.setScaledSize(turned ? wanted.transposed() : wanted);
        }
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        set_error(problem, reader.errorString());
        return std::nullopt;
    }
    // A container whose pictures differ from the size it told (an icon
    // holding a larger picture, a GIF whose screen is larger than its first
    // frame) is held to the same limits, and to the fit it was asked for.
    if (!cDIBSection::within_limits(picture.width(), picture.height())) {
        set_error(problem, claims_too_much(picture.width(), picture.height()));
        return std::nullopt;
    }
    if (has_area(options.fit_into) && options.exact_fit) {
        const QSize wanted = exact_fit_size(picture.size(), options.fit_into);
        if (wanted != picture.size()) {
            picture = picture.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }
    return picture;
}

}  // namespace

std::optional<QImage> load_picture_data(const QByteArray& bytes, const QString& name,
                                        const PictureFileOptions& options, QString* problem) {
    if (is_jpeg(bytes, name)) {
        return load_jpeg_picture(bytes, options, problem);
    }
    return load_other_picture(bytes, options, problem);
}

std::optional<QImage> load_picture_file(const QString& path, const PictureFileOptions& options,
                                        QString* problem) {
    const std::optional<QByteArray> bytes = read_regular_file(path, kMaxPictureFileBytes, problem);
    if (!bytes) {
        return std::nullopt;
    }
    return load_picture_data(*bytes, path, options, problem);
}

}  // namespace wm
