#pragma once

#include "picked_words.h"
#include "text_source.h"
#include "wanted_words.h"
#include "word_index.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstddef>

namespace tavilon {

// One pass over an opened list, rewound first, that finds the words
// `wanted` asks for, `targets` of them, and keeps them within `textBudget`
// bytes of distinct word text. A target beyond the words the file holds
// means the file is not what was counted.
Outcome<PickedWords> collectPass(TextSource& source, SortedTargets wanted, std::size_t targets,
                                 const ProgressFn& progress, const WordIndex* index, std::size_t textBudget);
Outcome<PickedWords> collectPass(TextSource& source, EveryWord wanted, std::size_t targets,
                                 const ProgressFn& progress, const WordIndex* index, std::size_t textBudget);

} // namespace tavilon
