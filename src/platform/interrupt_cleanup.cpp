#include "platform/interrupt_cleanup.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace dirscribe {

namespace {

// Enough for every page one run has open at once (one, or one per thread).
constexpr int kSlots = 64;

enum slot_state : int { slot_free, slot_filling, slot_held };

struct cleanup_slot {
  std::atomic<int> state{slot_free};
  int folder = -1;
  char name[NAME_MAX + 1] = {};
};

cleanup_slot slots[kSlots];
std::atomic<bool> installed{false};

// Only async-signal-safe calls: unlinkat, signal, raise.
void remove_and_die(int signal_number) {
  for (cleanup_slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == slot_held) {
      ::unlinkat(slot.folder, slot.name, 0);
    }
  }
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

void install_interrupt_cleanup() {
  if (installed.exchange(true)) return;
  ::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = remove_and_die;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    // A signal the caller chose to ignore (nohup) stays ignored.
    if (::sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    ::sigaction(signal_number, &action, nullptr);
  }
}

interrupt_cleanup_entry::interrupt_cleanup_entry(int folder_descriptor, std::string_view name) {
  if (name.size() > NAME_MAX) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = slot_free;
    if (!slots[i].state.compare_exchange_strong(expected, slot_filling)) continue;
    slots[i].folder = folder_descriptor;
    std::memcpy(slots[i].name, name.data(), name.size());
    slots[i].name[name.size()] = '\0';
    slots[i].state.store(slot_held, std::memory_order_release);
    slot_ = i;
    return;
  }
}

interrupt_cleanup_entry::~interrupt_cleanup_entry() {
  if (slot_ >= 0) slots[slot_].state.store(slot_free, std::memory_order_release);
}

}  // namespace dirscribe
