#include "shell/Tone.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <vector>

namespace {

// ALSA reports a missing device on stderr by default; a workstation without sound is normal.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

bool PlayTone(int frequencyHz, int durationMs) {
    if (frequencyHz <= 0 || durationMs <= 0) {
        return false;
    }
    snd_lib_error_set_handler(IgnoreAlsaError);
    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a busy or missing device must never hold up the worker.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return false;
    }
    constexpr unsigned kRate = 44100;
    bool played = false;
    if (snd_pcm_nonblock(pcm, 0) == 0 &&
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate, 1, 100000) == 0) {
        const size_t frames = static_cast<size_t>(kRate) * static_cast<size_t>(durationMs) / 1000;
        std::vector<short> samples(frames);
        for (size_t i = 0; i < frames; ++i) {
            samples[i] =
                static_cast<short>(12000 * std::sin(2.0 * M_PI * frequencyHz * static_cast<double>(i) / kRate));
        }
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data(), frames);
        if (written < 0) {
            written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
        }
        played = written >= 0;
        if (played) {
            snd_pcm_drain(pcm);
        }
    }
    snd_pcm_close(pcm);
    return played;
}
