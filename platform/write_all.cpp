#include "platform/write_all.h"

#include "platform/error_text.h"

namespace wm {

bool write_all(QIODevice& to, const char* bytes, qint64 count, QString* reason) {
    qint64 done = 0;
    while (done < count) {
        const qint64 written = to.write(bytes + done, count - done);
        if (written <= 0) {
            set_error(reason, to.errorString());
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace wm
