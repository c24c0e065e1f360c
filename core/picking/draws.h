#pragma once

#include "random_bytes.h"
#include "random_source.h"
#include "core/errors/outcome.h"

#include <cstdint>
#include <vector>

namespace tavilon {

// The word numbers (1 to count) that the picks of a command land on, in
// the order drawn. Each checks what every draw checks first (at most
// MaxPicksPerPress picks, a list with words); on an error there are no
// picks, and the program's sequence is left where it was.

// With repeats, from the program's sequence: the draws of a press.
Outcome<std::vector<std::uint64_t>> drawWithRepeats(std::uint64_t count, std::uint64_t picks, RandomSource& random);

// With repeats, each number equally likely, from the bytes of `random`.
Outcome<std::vector<std::uint64_t>> drawWithRepeats(std::uint64_t count, std::uint64_t picks, RandomBytes& random);

// Without repeats, from the program's sequence: the draws a press would
// make, each number that came before skipped, until `picks` different ones
// are drawn. Asking for more than the list holds, or than the sequence
// reaches (it lands on at most 2^24 different numbers), is an error.
Outcome<std::vector<std::uint64_t>> drawDistinct(std::uint64_t count, std::uint64_t picks, RandomSource& random);

// Without repeats, from the bytes of `random`: every set of `picks`
// different numbers equally likely (Floyd's way of drawing a subset), and
// every order of it equally likely (a shuffle). Asking for more than the
// list holds is an error.
Outcome<std::vector<std::uint64_t>> drawDistinct(std::uint64_t count, std::uint64_t picks, RandomBytes& random);

} // namespace tavilon
