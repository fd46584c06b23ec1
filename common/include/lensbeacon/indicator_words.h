// The indicator's words in the twenty languages of the language table
// (localized_texts.h, the same indices): the caption of a camera that is on,
// and the words that join it to the names of the programs holding the
// camera in the tooltip and for screen readers. Plain code, no Windows call.
#pragma once

namespace lensbeacon {

struct IndicatorWords {
    const wchar_t* caption;        // "Camera on"
    const wchar_t* namesFormat;    // "%1: %2": the caption, then the names
    const wchar_t* nameSeparator;  // ", ": between two names
};

// The words of language `index`; English for an index outside 1..20. Never
// null.
const IndicatorWords& IndicatorWordsFor(int index);

}  // namespace lensbeacon
