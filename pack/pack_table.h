#pragma once
// The member table of one pack, as read from its index.

#include <QString>
#include <QtGlobal>

#include <vector>

namespace wm {

// Members are numbered from 1: when pack_count is N, pack_names and
// pack_sizes hold N + 1 entries and entry 0 is unused. An empty table has
// pack_count 0. temp_folder is where extracted members go (ends in a separator).
struct PackTable {
    int pack_count = 0;
    std::vector<QString> pack_names;
    std::vector<qint32> pack_sizes;
    QString temp_folder;
};

}  // namespace wm
