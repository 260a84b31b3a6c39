// Writes the seed corpora of the fuzz targets: small valid files of every
// kind each target reads, made here (pictures by libjpeg and Qt's writers or
// by hand, packs by the program's own pack writer), and a few damaged ones.
//
//   wm_fuzz_seeds OUT   writes OUT/<target>/<seed> for every target

#include "fuzz/fuzz_support.h"
#include "fuzz/seed_format.h"
#include "pack/pack_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs the standard types first.
#include <jpeglib.h>

namespace {

using wm::fuzz::write_file;

class SeedFolder {
  public:
    SeedFolder(const QString& root, const QString& target) : path_(root + '/' + target + '/') {
        if (!QDir().mkpath(path_)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(path_));
            std::exit(1);
        }
    }
    void add(const QString& name, const QByteArray& bytes) const {
        write_file(path_ + name, bytes);
    }

  private:
    QString path_;
};

void put16(QByteArray& out, int value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>((value >> 8) & 0xff);
}

void put32(QByteArray& out, qint64 value) {
    put16(out, static_cast<int>(value & 0xffff));
    put16(out, static_cast<int>((value >> 16) & 0xffff));
}

// ---- JPEG, through libjpeg's own encoder -----------------------------------

struct JpegKind {
    const char* name;
    int width;
    int height;
    int components;  // 1 grey, 3 colour, 4 CMYK
    int h_sampling;  // of the first component; 1 for 4:4:4
    int v_sampling;
    bool progressive = false;
    unsigned restart_interval = 0;  // in MCUs
    int restart_rows = 0;           // in MCU rows
    bool arithmetic = false;
    bool optimise = false;
    int quality = 75;
};

// A smooth picture with some edges, so that every block has coefficients.
unsigned char sample(int x, int y, int channel) {
    const int v = (x * (channel + 3) * 7 + y * (5 - channel) * 5 + ((x / 4 + y / 4) % 2) * 90);
    return static_cast<unsigned char>(v & 0xff);
}

QByteArray encode_jpeg(const JpegKind& kind) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_CreateCompress(&info, JPEG_LIB_VERSION, sizeof info);
    unsigned char* out = nullptr;
    unsigned long out_size = 0;
    jpeg_mem_dest(&info, &out, &out_size);
    info.image_width = static_cast<JDIMENSION>(kind.width);
    info.image_height = static_cast<JDIMENSION>(kind.height);
    info.input_components = kind.components;
    info.in_color_space =
        kind.components == 1 ? JCS_GRAYSCALE : (kind.components == 4 ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kind.quality, TRUE);
    if (kind.components == 3) {
        info.comp_info[0].h_samp_factor = kind.h_sampling;
        info.comp_info[0].v_samp_factor = kind.v_sampling;
    }
    if (kind.progressive) {
        jpeg_simple_progression(&info);
    }
    info.restart_interval = kind.restart_interval;
    info.restart_in_rows = kind.restart_rows;
    info.arith_code = kind.arithmetic ? TRUE : FALSE;
    info.optimize_coding = kind.optimise ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(kind.width * kind.components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < kind.width; ++x) {
            for (int c = 0; c < kind.components; ++c) {
                row[static_cast<std::size_t>(x * kind.components + c)] = sample(x, y, c);
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(out_size));
    std::free(out);
    return bytes;
}

// The JPEG seeds by name: every kind libjpeg-turbo reads, and damaged ones.
std::vector<std::pair<QString, QByteArray>> jpeg_seeds() {
    const JpegKind kinds[] = {
        {"grey", 16, 16, 1, 1, 1},
        {"grey_progressive", 17, 9, 1, 1, 1, true},
        {"colour_444", 16, 16, 3, 1, 1},
        {"colour_420", 33, 17, 3, 2, 2},
        {"colour_422", 24, 8, 3, 2, 1},
        {"colour_440", 8, 24, 3, 1, 2},
        {"three_wide", 3, 40, 3, 2, 2},
        {"one_pixel", 1, 1, 3, 2, 2},
        {"progressive", 48, 32, 3, 2, 2, true},
        {"restart_every_mcu", 40, 24, 3, 2, 2, false, 1},
        {"restart_every_row_progressive", 40, 40, 3, 2, 2, true, 0, 1},
        {"arithmetic", 24, 24, 3, 2, 2, false, 0, 0, true},
        {"arithmetic_progressive", 24, 24, 1, 1, 1, true, 0, 0, true},
        {"optimised", 32, 32, 3, 1, 1, false, 0, 0, false, true},
        {"cmyk", 16, 16, 4, 1, 1},
        {"large_for_scaling", 320, 240, 3, 2, 2, false, 0, 0, false, false, 20},
        {"large_progressive", 256, 160, 1, 1, 1, true, 0, 0, false, false, 20},
    };
    std::vector<std::pair<QString, QByteArray>> seeds;
    for (const JpegKind& kind : kinds) {
        const QByteArray jpeg = encode_jpeg(kind);
        seeds.emplace_back(QString::fromLatin1(kind.name), jpeg);
        if (kind.progressive || kind.restart_interval > 0 || kind.width >= 256) {
            seeds.emplace_back(QString::fromLatin1(kind.name) + QStringLiteral("_truncated"),
                               jpeg.left(jpeg.size() / 2));
        }
    }
    // The header alone, up to the first scan's data.
    const QByteArray grey = encode_jpeg(kinds[0]);
    const qsizetype scan = grey.indexOf("\xff\xda");
    seeds.emplace_back(QStringLiteral("header_only"), grey.left(scan + 14));
    return seeds;
}

// A JPEG with an Exif orientation tag inserted after its start marker:
// `orientation` 6 asks for a quarter turn clockwise.
QByteArray with_orientation(const QByteArray& jpeg, int orientation) {
    QByteArray exif("Exif\0\0II\x2a\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
    put16(exif, orientation);
    exif += QByteArray(6, '\0');  // the rest of the value, and no next directory
    QByteArray segment("\xff\xe1", 2);
    segment += static_cast<char>(((exif.size() + 2) >> 8) & 0xff);
    segment += static_cast<char>((exif.size() + 2) & 0xff);
    segment += exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// ---- BMP, PNG and GIF -----------------------------------------------------------

QImage test_picture(int width, int height, QImage::Format format) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           qRgba(sample(x, y, 0), sample(x, y, 1), sample(x, y, 2),
                                 (x + y) % 3 == 0 ? 128 : 255));
        }
    }
    return image.convertToFormat(format);
}

QByteArray qt_file(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        std::fprintf(stderr, "Qt cannot write %s\n", format);
        std::exit(1);
    }
    return bytes;
}

// A 24-bit BMP stored top-down (negative height), which Qt's writer never makes.
QByteArray top_down_bmp(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    QByteArray out("BM");
    put32(out, 54 + stride * height);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width);
    put32(out, -height);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, stride * height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < stride; ++x) {
            out += static_cast<char>(x < width * 3 ? sample(x / 3, y, x % 3) : 0);
        }
    }
    return out;
}

// GIF image data of 2-bit pixels, written without compression: a clear code
// before every second pixel keeps the codes 3 bits wide.
QByteArray gif_pixels(int width, int height) {
    constexpr int kClear = 4;
    constexpr int kEnd = 5;
    QByteArray packed;
    quint32 bits = 0;
    int bit_count = 0;
    const auto put_code = [&](int code) {
        bits |= static_cast<quint32>(code) << bit_count;
        bit_count += 3;
        while (bit_count >= 8) {
            packed += static_cast<char>(bits & 0xff);
            bits >>= 8;
            bit_count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0) {
            put_code(kClear);
        }
        put_code((i / width + i % width) % 4);
    }
    put_code(kEnd);
    if (bit_count > 0) {
        packed += static_cast<char>(bits & 0xff);
    }
    QByteArray out(1, 2);  // the smallest code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    return out;
}

QByteArray gif_frame(int width, int height, bool interlaced, bool local_palette) {
    QByteArray out;
    out += "\x21\xf9\x04";  // graphic control: delay 1/10 s, colour 3 transparent
    out += '\x01';
    put16(out, 10);
    out += '\x03';
    out += '\0';
    out += '\x2c';
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out += static_cast<char>((interlaced ? 0x40 : 0) | (local_palette ? 0x81 : 0));
    if (local_palette) {
        out += QByteArray::fromHex("ff000000ff000000ffffffff");
    }
    out += gif_pixels(width, height);
    return out;
}

QByteArray gif_file(int width, int height, int frames, bool interlaced) {
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out += '\x81';  // a global palette of 4 colours
    out += '\0';
    out += '\0';
    out += QByteArray::fromHex("000000ffffff3366cc99cc33");
    if (frames > 1) {
        out += QByteArray("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    }
    for (int f = 0; f < frames; ++f) {
        out += gif_frame(width, height, interlaced, f % 2 == 1);
    }
    out += '\x3b';
    return out;
}

// ---- songs -------------------------------------------------------------------

QByteArray big_endian32(quint32 value) {
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

QByteArray standard_midi_file() {
    const QByteArray track = QByteArray::fromHex("00903c40608003c4000ff2f00");
    QByteArray out("MThd");
    out += big_endian32(6);
    out += QByteArray::fromHex("000000010060");
    out += "MTrk";
    out += big_endian32(static_cast<quint32>(track.size()));
    out += track;
    return out;
}

QByteArray riff_chunk(const char* id, const QByteArray& body) {
    QByteArray out(id, 4);
    put32(out, body.size());
    out += body;
    if (body.size() % 2 != 0) {
        out += '\0';
    }
    return out;
}

QByteArray riff_file(const char* form, const QByteArray& chunks) {
    QByteArray out("RIFF");
    put32(out, 4 + chunks.size());
    out += QByteArray(form, 4);
    out += chunks;
    return out;
}

// ---- packs ---------------------------------------------------------------

QByteArray pack_seed(const std::vector<std::pair<QString, QByteArray>>& members) {
    QTemporaryDir dir;
    QStringList sources;
    for (const auto& [name, bytes] : members) {
        sources << dir.filePath(name);
        write_file(sources.back(), bytes);
    }
    const QString folder = dir.filePath(QStringLiteral("pack/"));
    QDir().mkpath(folder);
    QString problem;
    if (!wm::make_pack_file(folder, wm::kPackBaseName, sources, &problem)) {
        std::fprintf(stderr, "cannot write a seed pack: %s\n", qPrintable(problem));
        std::exit(1);
    }
    const QString base = folder + wm::kPackBaseName;
    return wm::fuzz::join_parts({wm::fuzz::read_file(base + wm::kIndexSuffix),
                                 wm::fuzz::read_file(base + wm::kDataSuffix)});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 2;
    }
    wm::fuzz::quiet_output();
    const QString root = QString::fromLocal8Bit(argv[1]);
    const std::vector<std::pair<QString, QByteArray>> jpegs = jpeg_seeds();

    const SeedFolder jpeg(root, QStringLiteral("imaging_jpeg_fuzz"));
    for (const auto& [name, bytes] : jpegs) {
        // Whole size, and decoded for areas that take the reduced scales.
        for (const char selector :
             {wm::fuzz::kJpegWholeSize, wm::fuzz::kJpegSmallFit, wm::fuzz::kJpegLargeFit}) {
            jpeg.add(name + QStringLiteral("_fit%1").arg(int{selector}),
                     QByteArray(1, selector) + bytes);
        }
    }

    const SeedFolder pictures(root, QStringLiteral("imaging_picture_fuzz"));
    const auto add_picture = [&pictures](const QString& name, wm::fuzz::PictureKind kind,
                                         const QByteArray& bytes) {
        // As the saver reads pictures, and as the preview windows do.
        pictures.add(name, wm::fuzz::picture_selector(kind, false, false, false) + bytes);
        pictures.add(name + QStringLiteral("_fit"),
                     wm::fuzz::picture_selector(kind, true, false, false) + bytes);
        pictures.add(name + QStringLiteral("_preview"),
                     wm::fuzz::picture_selector(kind, true, true, true) + bytes);
    };
    using wm::fuzz::PictureKind;
    add_picture(QStringLiteral("png_rgb"), PictureKind::Png,
                qt_file(test_picture(20, 12, QImage::Format_RGB32), "PNG"));
    add_picture(QStringLiteral("png_alpha"), PictureKind::Png,
                qt_file(test_picture(9, 7, QImage::Format_ARGB32), "PNG"));
    add_picture(QStringLiteral("png_indexed"), PictureKind::Png,
                qt_file(test_picture(12, 12, QImage::Format_Indexed8), "PNG"));
    add_picture(QStringLiteral("png_grey"), PictureKind::Png,
                qt_file(test_picture(5, 17, QImage::Format_Grayscale8), "PNG"));
    add_picture(QStringLiteral("png_mono"), PictureKind::Png,
                qt_file(test_picture(19, 3, QImage::Format_Mono), "PNG"));
    add_picture(QStringLiteral("png_16bit"), PictureKind::Png,
                qt_file(test_picture(6, 6, QImage::Format_RGBA64), "PNG"));
    add_picture(QStringLiteral("bmp_24bit"), PictureKind::Bmp,
                qt_file(test_picture(13, 7, QImage::Format_RGB32), "BMP"));
    add_picture(QStringLiteral("bmp_8bit"), PictureKind::Bmp,
                qt_file(test_picture(10, 10, QImage::Format_Indexed8), "BMP"));
    add_picture(QStringLiteral("bmp_1bit"), PictureKind::Bmp,
                qt_file(test_picture(17, 5, QImage::Format_Mono), "BMP"));
    add_picture(QStringLiteral("bmp_top_down"), PictureKind::Bmp, top_down_bmp(7, 5));
    add_picture(QStringLiteral("gif"), PictureKind::Gif, gif_file(8, 6, 1, false));
    add_picture(QStringLiteral("gif_interlaced"), PictureKind::Gif, gif_file(5, 11, 1, true));
    add_picture(QStringLiteral("gif_animated"), PictureKind::Gif, gif_file(6, 4, 3, false));
    for (const auto& [name, bytes] : jpegs) {
        if (name == QStringLiteral("colour_420") || name == QStringLiteral("large_for_scaling")) {
            add_picture(QStringLiteral("jpeg_") + name, PictureKind::Jpeg, bytes);
            add_picture(QStringLiteral("jpeg_turned_") + name, PictureKind::Jpeg,
                        with_orientation(bytes, 6));
        }
    }

    const SeedFolder packs(root, QStringLiteral("pack_members_fuzz"));
    packs.add(QStringLiteral("three_members"),
              pack_seed({{QStringLiteral("frozen_lake.jpg"), jpegs[2].second},
                         {QStringLiteral("sheet.png"), QByteArray(300, 'p')},
                         {QStringLiteral("carol.mid"), standard_midi_file()}}));
    packs.add(QStringLiteral("one_member"),
              pack_seed({{QStringLiteral("only.bmp"), QByteArray("BM1234567")}}));
    std::vector<std::pair<QString, QByteArray>> many;
    for (int i = 1; i <= 12; ++i) {
        many.emplace_back(QStringLiteral("m%1.x%2").arg(i).arg(i % 3),
                          QByteArray(i * 3, static_cast<char>('a' + i)));
    }
    packs.add(QStringLiteral("twelve_members"), pack_seed(many));
    packs.add(QStringLiteral("no_members_lf"),
              wm::fuzz::join_parts({QByteArray("Wintermere\nQuillory\nhttps://x\n0\n"), {}}));
    packs.add(QStringLiteral("short_data"),
              wm::fuzz::join_parts({QByteArray("a\r\nb\r\nc\r\n2\r\nx.jpg\r\n4\r\ny.png\r\n9\r\n"),
                                    QByteArray("12345678")}));

    const SeedFolder settings(root, QStringLiteral("platform_ini_settings_fuzz"));
    const QByteArray every_option =
        "[Config]\ninstall_path=/usr/share/wintermere\n\n[Options]\n"
        "sprite_active=8\nframe_rate=30\nmute_audio=0\nrandom_music=1\ncustom_music_flag=1\n"
        "random_pictures=0\ncustom_picture_flag=1\nsave_wallpaper=0\nmouse_sensitivity=7\n"
        "scene_duration=20\nobjects_off=0\nscale_background=1\nshow_time=1\n"
        "wav_devicename=WaveAudio\nmidi_devicename=Sequencer\nmp3_devicename=MPEGVideo\n"
        "welcome=1\ncustom_audio_files_total=2\ncustom_audio_paths1=/home/a/carol.mid\n"
        "custom_audio_paths2=/home/a/b c.mp3\ncustom_picture_files_total=1\n"
        "custom_picture_paths1=/home/a/snow.jpg\ncaptions_color=15\ncaptions_size=30\n"
        "captions_bold=1\ncaptions_italic=1\ncaptions_random=0\ncaptions_off=0\n"
        "captions_total=3\ncaption1=Merry Christmas\ncaption2=\"  spaced, \\\"quoted\\\"\\t\"\n"
        "caption3=Happy New Year!\n";
    settings.add(QStringLiteral("every_option"), every_option);
    QByteArray crlf = every_option;
    settings.add(QStringLiteral("every_option_crlf"), crlf.replace("\n", "\r\n"));
    settings.add(QStringLiteral("bom_and_comments"),
                 "\xef\xbb\xbf; written by hand\n[options] ; mine\nFRAME_RATE = 99\n"
                 "# scene_duration=5\nscene_duration=5\ncaptions_total=-1\n");
    // However many byte-order marks open the file, none is part of its text.
    settings.add(QStringLiteral("three_byte_order_marks"),
                 "\xef\xbb\xbf\xef\xbb\xbf\xef\xbb\xbf[Options]\nframe_rate=45\n");
    settings.add(QStringLiteral("repeated_sections"),
                 "[Options]\ncaptions_total=2\ncaption1=a\n[Other]\nx=1\n[OPTIONS]\ncaption2=b\n"
                 "caption1=ignored\ncustom_picture_files_total=100001\n"
                 "custom_picture_paths7=/p.png\n");
    settings.add(QStringLiteral("mixed_line_ends"),
                 "[Options]\r\r\nmute_audio=1\rshow_time=0\r\n\"x\"=\"\\x41\\0\"\n=novalue\n"
                 "[Config\nsprite_active=3.5e0\n");

    const SeedFolder songs(root, QStringLiteral("audio_midi_unwrap_fuzz"));
    const QByteArray smf = standard_midi_file();
    songs.add(QStringLiteral("plain.mid"), smf);
    songs.add(QStringLiteral("data_only.rmi"), riff_file("RMID", riff_chunk("data", smf)));
    songs.add(QStringLiteral("list_first.rmi"),
              riff_file("RMID", riff_chunk("LIST", QByteArray("INFOINAM\x03\0\0\0abc", 15)) +
                                    riff_chunk("data", smf)));
    songs.add(QStringLiteral("data_too_long.rmi"),
              riff_file("RMID", riff_chunk("data", smf).left(smf.size())));
    songs.add(QStringLiteral("wave.wav"), riff_file("WAVE", riff_chunk("data", "abcd")));

    const SeedFolder lines(root, QStringLiteral("startup_command_line_fuzz"));
    const char* const command_lines[] = {
        "/s",         "/S",   "/c",         "/c:99",     "/p 1234",       "/P 0x1A",
        "/a 77",      "/m",   "/p 1 2 3 4", "/p -1.5e3", "/p 2147483648", "/p 2147483647.5",
        "/p\t12\n34", "junk", "--root",     "/p +.5d1"};
    int n = 0;
    for (const char* line : command_lines) {
        lines.add(QStringLiteral("line%1").arg(++n), QByteArray(line));
    }
    lines.add(QStringLiteral("empty"), QByteArray());
    lines.add(QStringLiteral("two_arguments"), QByteArray("/p\0"
                                                          "1234",
                                                          7));
    lines.add(QStringLiteral("window_id_form"), QByteArray("--window-id\0"
                                                           "0x4a00007",
                                                           21));
    // A host's line with every option the hosts' XML offers.
    static constexpr char kHostLine[] =
        "-root\0--window-id=4660\0--scene-duration\0"
        "60\0-frame-rate=45\0--birds\0"
        "0\0--no-captions\0--clock\0--framed\0--mute";
    lines.add(QStringLiteral("host_options"), QByteArray(kHostLine, sizeof kHostLine - 1));
    return 0;
}
