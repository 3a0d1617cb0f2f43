// Placeholder until the libpulse player lands.
#include "app/pulse_player.h"

namespace kob {
struct PulsePlayer::Impl {};
PulsePlayer::PulsePlayer() : d(std::make_unique<Impl>()) {}
PulsePlayer::~PulsePlayer() = default;
void PulsePlayer::play(std::string_view, const std::uint8_t*, std::size_t) {}
bool PulsePlayer::ready() const { return false; }
}  // namespace kob
