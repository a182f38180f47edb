// The checks the record fuzzer applies to every input, shared with the
// records test, which replays the corpus and the regressions through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// "" when the bytes read soundly: either refused with a message and no game,
// or a legal game that writes and reads back as the same game, in GGF and
// (from the standard start) as a transcript. Otherwise what went wrong.
std::string checkRecordRoundTrip(const uint8_t* data, size_t size);
