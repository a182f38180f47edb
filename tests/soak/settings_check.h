// Loading and saving config.dat for arbitrary file contents: shared by the
// fuzzer and by the test that replays its corpus and the inputs it found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Window;

// Writes the bytes as config.dat of the configuration folder in force
// ($XDG_CONFIG_HOME/tavix-reversi, which the caller points at a scratch
// folder), loads it into the
// window, saves it again and loads the saved file once more. Returns "" when
// every step kept its promises, else what went wrong.
std::string checkSettingsRoundTrip(Window* window, const uint8_t* data, size_t size);
