#include "engine/audio_processing_unit.h"

namespace Korvane {

void AudioProcessingUnit::SetBypassed(bool bypassed) {
    bypassed_ = bypassed;
    if (bypassed) {
        fadeGain_ = 1.0 - kFadeStep;
        fadeStep_ = -kFadeStep;
    } else {
        fadeGain_ = kFadeStep;
        fadeStep_ = kFadeStep;
    }
}

}  // namespace Korvane
