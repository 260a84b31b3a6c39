#pragma once
// Temporary rough scene used until each picture is painted properly.
#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdint>
namespace wm::media {
QImage sketch_scene(QSize size, const QColor& sky_top, const QColor& sky_bottom,
                    std::uint64_t seed);
}
