// wintermere-pack: builds, lists and unpacks media packs from the command line.
//
//   wintermere-pack create DIR FILE...   writes DIR/images.icf and DIR/images.img
//   wintermere-pack list DIR             prints each member's name and size
//   wintermere-pack extract DIR N OUT    copies member N to the file OUT
//   wintermere-pack --help | --version
//
// Exit status: 0 on success, 1 when the work fails, 2 for wrong arguments.
// The manual page is wintermere-pack(1).

#include "pack/pack_files.h"
#include "platform/app_paths.h"
#include "platform/tool_exit.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

using wm::kExitFailure;
using wm::kExitSuccess;

constexpr char kTool[] = "wintermere-pack";

constexpr char kUsage[] =
    "usage: wintermere-pack create DIR FILE...\n"
    "       wintermere-pack list DIR\n"
    "       wintermere-pack extract DIR N OUT\n";

int usage() {
    return wm::print_usage(kUsage);
}

QString help_text() {
    using wm::usage_line;
    return QLatin1String(kUsage) +
           QStringLiteral(
               "       wintermere-pack --help | --version\n"
               "Builds, lists and unpacks Wintermere's media packs: DIR/images.icf (the index)\n"
               "and DIR/images.img (the members' bytes, back to back).\n"
               "\n") +
           usage_line(QStringLiteral("create DIR FILE..."),
                      QStringLiteral("write the pack in DIR from the files, in their order")) +
           usage_line(QStringLiteral("list DIR"),
                      QStringLiteral("print each member's name and size, one a line")) +
           usage_line(QStringLiteral("extract DIR N OUT"),
                      QStringLiteral("copy member N (from 1) to the file OUT")) +
           usage_line(QStringLiteral("--help"), QStringLiteral("show this help and exit")) +
           usage_line(QStringLiteral("--version"), QStringLiteral("show the version and exit")) +
           QStringLiteral(
               "\n"
               "A lone \"--\" ends the options: the names after it may start with \"--\".\n"
               "Exit status: 0 on success, 1 when the work fails, 2 for wrong arguments.\n"
               "See wintermere-pack(1).\n");
}

int failure(const QString& text) {
    wm::print_tool_error(kTool, text);
    return kExitFailure;
}

QString pack_base(const QString& folder) {
    return wm::with_trailing_separator(folder) + wm::kPackBaseName;
}

// Reads the pack's index, telling the user when there is no usable one.
bool load_index(const QString& base, wm::PackTable& table) {
    QString problem;
    switch (wm::load_pack_index(table, base, &problem)) {
        case wm::IndexLoad::Loaded:
            return true;
        case wm::IndexLoad::Missing:
            failure(QStringLiteral("no pack index at %1").arg(base + wm::kIndexSuffix));
            return false;
        case wm::IndexLoad::Malformed:
            failure(QStringLiteral("malformed pack index %1: %2")
                        .arg(base + wm::kIndexSuffix, problem));
            return false;
    }
    return false;
}

int create(const QString& folder, const QStringList& files) {
    QString problem;
    if (!wm::make_pack_file(folder, wm::kPackBaseName, files, &problem)) {
        return failure(QStringLiteral("cannot make the pack: %1").arg(problem));
    }
    return kExitSuccess;
}

int list(const QString& folder) {
    wm::PackTable table;
    if (!load_index(pack_base(folder), table)) {
        return kExitFailure;
    }
    for (int i = 1; i <= table.pack_count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const QByteArray line =
            (table.pack_names[at] + QLatin1Char('\t') + QString::number(table.pack_sizes[at]))
                .toUtf8() +
            '\n';
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    }
    return std::fflush(stdout) == 0 ? kExitSuccess
                                    : failure(QStringLiteral("cannot write the list"));
}

int extract(const QString& folder, const QString& number, const QString& out) {
    bool ok = false;
    const int position = number.toInt(&ok, 10);
    if (!ok || position < 1) {
        return failure(
            QStringLiteral("member number %1 is not a whole number from 1 up").arg(number));
    }
    const QString base = pack_base(folder);
    wm::PackTable table;
    if (!load_index(base, table)) {
        return kExitFailure;
    }
    QString problem;
    if (!wm::copy_member(table, base, position, out, &problem)) {
        return failure(QStringLiteral("cannot extract: %1").arg(problem));
    }
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    // The arguments before a lone "--" that start with "--" are options:
    // --help wins over everything, then --version; any other is unknown.
    QStringList args;
    bool help = false;
    bool version = false;
    QString unknown;
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (options_ended || !argument.startsWith(QLatin1String("--"))) {
            args << argument;
        } else if (argument == QLatin1String("--")) {
            options_ended = true;
        } else if (argument == QLatin1String("--help")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else if (unknown.isEmpty()) {
            unknown = argument;
        }
    }
    if (help) {
        return wm::print_answer(kTool, help_text());
    }
    if (version) {
        return wm::print_version(kTool);
    }
    if (!unknown.isEmpty()) {
        return wm::print_option_error(
            kTool, QStringLiteral("unknown option \"%1\"").arg(wm::one_line(unknown)));
    }

    const QString command = args.value(0);
    if (command == QLatin1String("create") && args.size() >= 3) {
        return create(args[1], args.mid(2));
    }
    if (command == QLatin1String("list") && args.size() == 2) {
        return list(args[1]);
    }
    if (command == QLatin1String("extract") && args.size() == 4) {
        return extract(args[1], args[2], args[3]);
    }
    return usage();
}
