#include "assets/windows/palette_quantiser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace wm::media {

namespace {

using Colour = std::array<double, 3>;

// How much a difference in each channel counts: the eye is most sensitive to
// green and least to blue, but winter pictures live on blue gradients, so
// blue keeps a fair share.
constexpr Colour kWeight = {3.0, 4.0, 3.0};

double distance(const Colour& a, const Colour& b) {
    double sum = 0.0;
    for (std::size_t c = 0; c < 3; ++c) {
        const double d = a[c] - b[c];
        sum += kWeight[c] * d * d;
    }
    return sum;
}

// One distinct colour of the picture and how many pixels have it.
struct Entry {
    Colour colour;
    double count;
};

std::vector<Entry> distinct_colours(const QImage& rgb) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            pixels.push_back(row[x] & 0xFFFFFFu);
        }
    }
    std::sort(pixels.begin(), pixels.end());
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < pixels.size();) {
        std::size_t j = i;
        while (j < pixels.size() && pixels[j] == pixels[i]) {
            ++j;
        }
        const QRgb p = pixels[i];
        entries.push_back({{static_cast<double>(qRed(p)), static_cast<double>(qGreen(p)),
                            static_cast<double>(qBlue(p))},
                           static_cast<double>(j - i)});
        i = j;
    }
    return entries;
}

// A box of the median cut: a run of entries and its spread.
struct Box {
    std::size_t begin;
    std::size_t end;
    double error;      // weighted squared distance of the entries from their mean
    std::size_t axis;  // the channel of widest weighted spread
};

Colour mean_of(const std::vector<Entry>& entries, std::size_t begin, std::size_t end) {
    Colour sum = {0.0, 0.0, 0.0};
    double total = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            sum[c] += entries[i].colour[c] * entries[i].count;
        }
        total += entries[i].count;
    }
    for (double& channel : sum) {
        channel /= std::max(total, 1.0);
    }
    return sum;
}

Box measure(const std::vector<Entry>& entries, std::size_t begin, std::size_t end) {
    const Colour mean = mean_of(entries, begin, end);
    Colour spread = {0.0, 0.0, 0.0};
    for (std::size_t i = begin; i < end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            const double d = entries[i].colour[c] - mean[c];
            spread[c] += kWeight[c] * d * d * entries[i].count;
        }
    }
    const auto widest =
        static_cast<std::size_t>(std::max_element(spread.begin(), spread.end()) - spread.begin());
    return {begin, end, spread[0] + spread[1] + spread[2], widest};
}

// Median cut: split the box of largest error at the weighted median of its
// widest channel until there are `colours` boxes or nothing left to split.
std::vector<Colour> median_cut(std::vector<Entry>& entries, std::size_t colours) {
    std::vector<Box> boxes = {measure(entries, 0, entries.size())};
    while (boxes.size() < colours) {
        const auto worst =
            std::max_element(boxes.begin(), boxes.end(),
                             [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->end - worst->begin < 2 || worst->error <= 0.0) {
            break;
        }
        const Box box = *worst;
        const auto first = entries.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = entries.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [axis = box.axis](const Entry& a, const Entry& b) {
            if (a.colour[axis] != b.colour[axis]) {
                return a.colour[axis] < b.colour[axis];
            }
            return a.colour < b.colour;
        });
        double total = 0.0;
        for (auto it = first; it != last; ++it) {
            total += it->count;
        }
        double running = 0.0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += entries[i].count;
            split = i + 1;
            if (running >= total / 2.0) {
                break;
            }
        }
        *worst = measure(entries, box.begin, split);
        boxes.push_back(measure(entries, split, box.end));
    }
    std::vector<Colour> palette;
    for (const Box& box : boxes) {
        palette.push_back(mean_of(entries, box.begin, box.end));
    }
    return palette;
}

std::size_t nearest(const std::vector<Colour>& palette, const Colour& colour) {
    std::size_t best = 0;
    double best_distance = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const double d = distance(palette[i], colour);
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

// Moves each palette colour to the mean of the picture's colours nearest to it.
void settle(std::vector<Colour>& palette, const std::vector<Entry>& entries, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<Colour> sums(palette.size(), Colour{0.0, 0.0, 0.0});
        std::vector<double> totals(palette.size(), 0.0);
        for (const Entry& entry : entries) {
            const std::size_t at = nearest(palette, entry.colour);
            for (std::size_t c = 0; c < 3; ++c) {
                sums[at][c] += entry.colour[c] * entry.count;
            }
            totals[at] += entry.count;
        }
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (totals[i] > 0.0) {
                for (std::size_t c = 0; c < 3; ++c) {
                    palette[i][c] = sums[i][c] / totals[i];
                }
            }
        }
    }
}

QRgb to_rgb(const Colour& colour) {
    const auto byte = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
    return qRgb(byte(colour[0]), byte(colour[1]), byte(colour[2]));
}

double luma(QRgb rgb) {
    return 0.299 * qRed(rgb) + 0.587 * qGreen(rgb) + 0.114 * qBlue(rgb);
}

// The palette as 8-bit colours, without repeats, dark to light.
std::vector<QRgb> final_palette(const std::vector<Colour>& palette) {
    std::vector<QRgb> table;
    for (const Colour& colour : palette) {
        table.push_back(to_rgb(colour));
    }
    std::sort(table.begin(), table.end(), [](QRgb a, QRgb b) {
        const double la = luma(a);
        const double lb = luma(b);
        return la != lb ? la < lb : a < b;
    });
    table.erase(std::unique(table.begin(), table.end()), table.end());
    return table;
}

// Serpentine Floyd-Steinberg: each pixel takes the nearest palette colour and
// passes what it missed on to the pixels not yet placed.
QImage diffuse(const QImage& rgb, const std::vector<QRgb>& table) {
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<Colour> palette;
    for (const QRgb entry : table) {
        palette.push_back({static_cast<double>(qRed(entry)), static_cast<double>(qGreen(entry)),
                           static_cast<double>(qBlue(entry))});
    }
    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(QList<QRgb>(table.begin(), table.end()));
    // Rows are padded to whole words and writers save the padding too: clear
    // it, so the file's bytes never depend on what the memory held before.
    std::fill_n(out.bits(), out.sizeInBytes(), uchar{0});
    const auto width = static_cast<std::size_t>(w) + 2;
    std::vector<Colour> current(width, Colour{0.0, 0.0, 0.0});
    std::vector<Colour> below(width, Colour{0.0, 0.0, 0.0});
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* indices = out.scanLine(y);
        const bool rightward = y % 2 == 0;
        for (int i = 0; i < w; ++i) {
            const int x = rightward ? i : w - 1 - i;
            const int ahead = rightward ? 1 : -1;
            const auto slot = static_cast<std::size_t>(x + 1);
            Colour wanted = {static_cast<double>(qRed(in[x])), static_cast<double>(qGreen(in[x])),
                             static_cast<double>(qBlue(in[x]))};
            for (std::size_t c = 0; c < 3; ++c) {
                wanted[c] = std::clamp(wanted[c] + current[slot][c], 0.0, 255.0);
            }
            const std::size_t index = nearest(palette, wanted);
            indices[x] = static_cast<uchar>(index);
            for (std::size_t c = 0; c < 3; ++c) {
                const double miss = wanted[c] - palette[index][c];
                current[static_cast<std::size_t>(static_cast<int>(slot) + ahead)][c] +=
                    miss * 7.0 / 16.0;
                below[static_cast<std::size_t>(static_cast<int>(slot) - ahead)][c] +=
                    miss * 3.0 / 16.0;
                below[slot][c] += miss * 5.0 / 16.0;
                below[static_cast<std::size_t>(static_cast<int>(slot) + ahead)][c] +=
                    miss * 1.0 / 16.0;
            }
        }
        current.swap(below);
        std::fill(below.begin(), below.end(), Colour{0.0, 0.0, 0.0});
    }
    return out;
}

}  // namespace

QImage quantise_to_indexed(const QImage& picture, int colours) {
    if (picture.isNull()) {
        return {};
    }
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<Entry> entries = distinct_colours(rgb);
    std::vector<Colour> palette =
        median_cut(entries, static_cast<std::size_t>(std::clamp(colours, 2, 256)));
    settle(palette, entries, 4);
    return diffuse(rgb, final_palette(palette));
}

}  // namespace wm::media
