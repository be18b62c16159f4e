// The picking commands a seismogram window takes from its keys and from the
// main window's "Odczyt" menu.
#pragma once

namespace dyma::gui {

// The picking keys of the seismogram window, also the tags of the "Odczyt"
// menu's items. They act on the current channel of the page "Sejsmogram".
enum PickingCommand : int {
    kPolarityPlus = 0,      // the pick's polarity becomes "+"
    kPolarityMinus = 1,     // ... "-"
    kPlaceAtMouse = 2,      // a pick at the time under the mouse
    kRemovePick = 3,        // the channel's pick goes
    kAcceptSuggestion = 4,  // the suggested onset becomes the pick
    kZoomToOnset = 5,       // a short window round the pick or the suggestion
    kToggleFilter = 6,      // the band-pass view on or off
    kWeight10 = 10,         // kWeight10 + n: the weight 10 x (n + 1), n = 0 ... 9
    kWeight100 = 19,
};

}  // namespace dyma::gui
