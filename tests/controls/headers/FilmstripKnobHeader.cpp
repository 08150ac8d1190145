// Proves that gui/controls/FilmstripKnob.h compiles on its own.
#include "gui/controls/FilmstripKnob.h"
