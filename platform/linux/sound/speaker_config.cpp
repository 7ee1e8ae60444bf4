#include "platform/linux/sound/speaker_config.h"

#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/panning.h"

namespace {

const DWORD MIN_STEREO_ANGLE = 5;
const DWORD MAX_STEREO_ANGLE = 180;

bool LayoutOf(DWORD configuration, SpeakerLayout* layout) {
    switch (configuration) {
        case DSSPEAKER_HEADPHONE: *layout = SpeakerLayout::Headphones; return true;
        case DSSPEAKER_MONO: *layout = SpeakerLayout::Mono; return true;
        case DSSPEAKER_QUAD: *layout = SpeakerLayout::Quad; return true;
        case DSSPEAKER_STEREO: *layout = SpeakerLayout::Stereo; return true;
        case DSSPEAKER_SURROUND: *layout = SpeakerLayout::Surround; return true;
        case DSSPEAKER_5POINT1: *layout = SpeakerLayout::FivePointOne; return true;
        default: return false;
    }
}

}  // namespace

bool ParseSpeakerConfig(DWORD value, SpeakerSetup* setup) {
    const DWORD configuration = value & 0xFFu;
    const DWORD angle = (value >> 16) & 0xFFu;
    const DWORD otherBits = value & 0xFF00FF00u;
    SpeakerLayout layout;
    if (otherBits != 0 || !LayoutOf(configuration, &layout)) {
        return false;
    }
    // An angle belongs to stereo speakers only; 0 there means none was given.
    if (angle != 0 && (layout != SpeakerLayout::Stereo || angle < MIN_STEREO_ANGLE ||
                       angle > MAX_STEREO_ANGLE)) {
        return false;
    }
    *setup = SpeakerSetup{layout, angle};
    return true;
}

int LayoutChannels(SpeakerLayout layout) {
    switch (layout) {
        case SpeakerLayout::Mono: return 1;
        case SpeakerLayout::Quad: return 4;
        case SpeakerLayout::FivePointOne: return 6;
        case SpeakerLayout::Headphones:
        case SpeakerLayout::Stereo:
        case SpeakerLayout::Surround: return 2;
    }
    return 2;
}

RenderLayout RenderLayoutFor(const SpeakerSetup& setup) {
    const int channels = LayoutChannels(setup.layout);
    switch (setup.layout) {
        case SpeakerLayout::Stereo: {
            const float angle =
                setup.angle != 0 ? static_cast<float>(setup.angle) : DEFAULT_SPEAKER_ANGLE;
            return RenderLayout{channels, Panning::SpeakerPair, angle};
        }
        case SpeakerLayout::Surround:
            return RenderLayout{channels, Panning::MatrixSurround, 0};
        default:
            return RenderLayout{channels, Panning::OpenAl, 0};
    }
}

HrtfChoice HrtfFor(const SpeakerSetup& setup, const GUID& algorithm) {
    if (setup.layout != SpeakerLayout::Headphones) {
        return HrtfChoice::Off;
    }
    if (SameGuid(algorithm, DS3DALG_HRTF_FULL)) {
        return HrtfChoice::Full;
    }
    return SameGuid(algorithm, DS3DALG_HRTF_LIGHT) ? HrtfChoice::Light : HrtfChoice::Off;
}
