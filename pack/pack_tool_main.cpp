// wintermere-pack: builds, lists and unpacks media packs from the command line.
//
//   wintermere-pack create DIR FILE...   writes DIR/images.icf and DIR/images.img
//   wintermere-pack list DIR             prints each member's name and size
//   wintermere-pack extract DIR N OUT    copies member N to the file OUT
//
// Exit status: 0 on success, 1 when the work fails, 2 for wrong arguments.

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

int usage() {
    return wm::print_usage(
        "usage: wintermere-pack create DIR FILE...\n"
        "       wintermere-pack list DIR\n"
        "       wintermere-pack extract DIR N OUT\n");
}

int failure(const QString& text) {
    wm::print_tool_error("wintermere-pack", text);
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
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QFile::decodeName(argv[i]);
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
