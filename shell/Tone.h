#pragma once

// Plays a sine tone of the given frequency and duration on the default sound device and returns
// when it has been played. Returns false at once, silently, where no sound device can be opened.
bool PlayTone(int frequencyHz, int durationMs);
