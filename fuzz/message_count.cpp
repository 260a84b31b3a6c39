#include "fuzz/message_count.h"

#include "platform/messages.h"

#include <atomic>

namespace wm::fuzz {
namespace {

std::atomic<int> shown{0};

}  // namespace

void count_messages() {
    set_message_handler([](const Message&) { ++shown; });
}

int messages_shown() {
    return shown.load();
}

}  // namespace wm::fuzz
