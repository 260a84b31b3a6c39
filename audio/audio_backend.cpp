#include "audio/audio_backend.h"

namespace wm {

std::optional<Decoder> decoder_for_device(const QString& device_type) {
    const QString name = device_type.trimmed();
    if (name.compare(QLatin1String("WaveAudio"), Qt::CaseInsensitive) == 0) {
        return Decoder::Wave;
    }
    if (name.compare(QLatin1String("Sequencer"), Qt::CaseInsensitive) == 0) {
        return Decoder::Midi;
    }
    if (name.isEmpty() || name.compare(QLatin1String("MPEGVideo"), Qt::CaseInsensitive) == 0) {
        return Decoder::Any;
    }
    return std::nullopt;
}

}  // namespace wm
